#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace quorvan {
namespace {

MessageHandler& InstalledMessageHandler() {
    static MessageHandler handler;
    return handler;
}

EndHandler& InstalledEndHandler() {
    static EndHandler handler;
    return handler;
}

}  // namespace

void ShowMessage(const QString& text) {
    if (const auto& handler = InstalledMessageHandler()) {
        handler(text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void EndProgram() {
    if (const auto& handler = InstalledEndHandler()) {
        handler();
        return;
    }
    std::exit(EXIT_FAILURE);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(InstalledMessageHandler(), std::move(handler));
}

EndHandler SetEndHandler(EndHandler handler) {
    return std::exchange(InstalledEndHandler(), std::move(handler));
}

}  // namespace quorvan
