#pragma once
// The user-interface services of the library: its messages and the pumping of the
// calling thread's pending events. With a QApplication running on the calling thread
// they use Qt; in a program without one a message is one line on standard error and
// pumping does nothing.

#include <functional>
#include <string>
#include <string_view>

namespace baslink::platform {

// Shows one library message and returns once the person has dismissed it (modal).
// The text is UTF-8.
void ShowMessage(std::string_view text);

// Lets the calling thread's pending events run, when it is the thread of the running
// QCoreApplication; elsewhere it does nothing.
void PumpMessages();

// True when PumpMessages does something on the calling thread: a waiting thread that
// pumps nothing need not wake up to pump.
bool PumpsMessages();

// True when the calling thread runs the QApplication, so the library's windows can show.
bool ShowsWindows();

// While a recorder is installed, messages go to it instead of being shown (for tests).
// An empty function removes it.
using MessageRecorder = std::function<void(const std::string& text)>;
void SetMessageRecorder(MessageRecorder recorder);

}  // namespace baslink::platform
