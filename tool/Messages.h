#pragma once
// Every message box of the tool goes through ShowMessage, and every fatal stop through
// EndProgram, so tests can record them instead of blocking on a modal box or exiting.

#include <QString>
#include <functional>

namespace quorvan {

using MessageHandler = std::function<void(const QString& text)>;
using EndHandler = std::function<void()>;

// A simple box with the text and an OK button (or the handler installed below).
void ShowMessage(const QString& text);

// Ends the program at once: no closing work of the windows runs.
void EndProgram();

// Install a handler in place of the box or the exit; an empty one restores the default.
// Each returns the handler it replaces.
MessageHandler SetMessageHandler(MessageHandler handler);
EndHandler SetEndHandler(EndHandler handler);

}  // namespace quorvan
