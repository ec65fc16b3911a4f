#include "SplashScreen.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quorvan {
namespace {

// Ends `loop` once `window` is exposed, after the exposure has been handled: a widget's
// window draws itself while it handles its exposure.
class ExposureWatch : public QObject {
public:
    ExposureWatch(QWindow& window, QEventLoop& loop) : window_(window), loop_(loop) {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Expose && window_.isExposed()) {
            QMetaObject::invokeMethod(&loop_, &QEventLoop::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWindow& window_;
    QEventLoop& loop_;
};

// Runs events other than the person's input until `loop` is ended or `limit` has passed.
void RunWithoutInput(QEventLoop& loop, std::chrono::milliseconds limit) {
    QTimer::singleShot(limit, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void ShowSplash(QWidget& splash, std::chrono::milliseconds limit) {
    splash.show();
    QWindow* window = splash.windowHandle();
    if (window == nullptr || window->isExposed()) {
        return;
    }
    QEventLoop loop;
    const ExposureWatch watch(*window, loop);
    RunWithoutInput(loop, limit);
}

void HoldSplash(std::chrono::milliseconds pause) {
    QEventLoop loop;
    RunWithoutInput(loop, pause);
}

}  // namespace quorvan
