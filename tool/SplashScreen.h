#pragma once
// A window shown as a splash screen while the program makes itself ready: on the screen and
// drawn before the program goes on, and kept drawn through a pause. Window managers map a
// new window some time after the program shows it, and a window is drawn only when the
// program handles its exposure, so both wait with the window system's events running.

#include <chrono>

class QWidget;

namespace quorvan {

// Shows `splash` and returns once the window system shows it and it has been drawn, or after
// `limit` where the window system does not show it.
void ShowSplash(QWidget& splash, std::chrono::milliseconds limit);

// Lets `pause` pass with the shown windows kept drawn. Only events other than the person's
// input run; the input waits for the message loop that follows.
void HoldSplash(std::chrono::milliseconds pause);

}  // namespace quorvan
