#include "UserInterface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <mutex>

#include "MessageBoxTitle.h"

namespace baslink::platform {
namespace {

std::mutex recorderMutex;
std::shared_ptr<const MessageRecorder> recorder;

std::shared_ptr<const MessageRecorder> CurrentRecorder() {
    std::lock_guard lock(recorderMutex);
    return recorder;
}

bool OnApplicationThread(const QCoreApplication* app) {
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

void ShowMessage(std::string_view text) {
    if (const auto record = CurrentRecorder()) {
        (*record)(std::string(text));
        return;
    }
    if (ShowsWindows()) {
        const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), message,
                        QMessageBox::Ok, QApplication::activeWindow());
        MakeRoomForTitle(box);
        box.exec();
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

void PumpMessages() {
    if (PumpsMessages()) {
        QCoreApplication::processEvents();
    }
}

bool ShowsWindows() {
    return OnApplicationThread(qobject_cast<QApplication*>(QCoreApplication::instance()));
}

bool PumpsMessages() {
    return OnApplicationThread(QCoreApplication::instance());
}

void SetMessageRecorder(MessageRecorder next) {
    std::shared_ptr<const MessageRecorder> replacement;
    if (next) {
        replacement = std::make_shared<const MessageRecorder>(std::move(next));
    }
    std::lock_guard lock(recorderMutex);
    recorder.swap(replacement);
}

}  // namespace baslink::platform
