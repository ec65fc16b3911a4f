// One start of the main window, as the program makes it, on the folder given as the only
// argument (it stands for the executable's folder). The window's X11 id is written on a
// line once it is shown; the program ends when the window is closed.

#include <QApplication>
#include <cstdio>

#include "About.h"
#include "UGlobal_mod.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    quorvan::TAboutBoxForm about;
    quorvan::TFGlobal window(about, QString::fromLocal8Bit(argv[1]));
    window.show();
    std::printf("%llu\n", static_cast<unsigned long long>(window.winId()));
    std::fflush(stdout);
    return QApplication::exec();
}
