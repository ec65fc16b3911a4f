// The program's start as the tool makes it, on the folder given as the first argument (it
// stands for the executable's folder). When the splash shows, the about box as it draws
// itself is saved as the picture named by the second argument and then the splash's X11 id
// is written on a line; "hidden" follows on a line when it goes.

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <cstdio>
#include <string>
#include <utility>

#include "About.h"
#include "ProgramStart.h"

namespace {

class SplashReport : public QObject {
public:
    explicit SplashReport(QString picturePath) : picturePath_(std::move(picturePath)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* splash = qobject_cast<quorvan::TAboutBoxForm*>(watched);
        if (splash != nullptr && event->type() == QEvent::Show) {
            if (!splash->grab().save(picturePath_, "PNG")) {
                std::fprintf(stderr, "cannot save %s\n", qPrintable(picturePath_));
            }
            WriteLine(std::to_string(splash->winId()));
        } else if (splash != nullptr && event->type() == QEvent::Hide) {
            WriteLine("hidden");
        }
        return false;
    }

private:
    static void WriteLine(const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    QString picturePath_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER PICTURE\n", argv[0]);
        return 2;
    }
    SplashReport report(QString::fromLocal8Bit(argv[2]));
    application.installEventFilter(&report);
    return quorvan::RunProgram(QString::fromLocal8Bit(argv[1]));
}
