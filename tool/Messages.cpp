#include "Messages.h"

#include <QByteArray>
#include <cstdlib>
#include <string>
#include <utility>

#include "UserInterface.h"

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

// The box, its fallback without a window and the recording for tests are the ones the
// library's messages use too; the tool only speaks Unicode to them.
void ShowMessage(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    baslink::platform::ShowMessage(std::string_view(utf8.constData(), utf8.size()));
}

void EndProgram() {
    if (const auto& handler = InstalledEndHandler()) {
        handler();
        return;
    }
    std::exit(EXIT_FAILURE);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::exchange(InstalledMessageHandler(), std::move(handler));
    if (InstalledMessageHandler()) {
        baslink::platform::SetMessageRecorder([](const std::string& text) {
            InstalledMessageHandler()(
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        });
    } else {
        baslink::platform::SetMessageRecorder({});
    }
    return previous;
}

EndHandler SetEndHandler(EndHandler handler) {
    return std::exchange(InstalledEndHandler(), std::move(handler));
}

}  // namespace quorvan
