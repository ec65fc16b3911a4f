#pragma once
// Room in a message box for its whole title. The window manager draws the title in the title
// bar beside its buttons, so a box only as wide as a short text cuts its title short.

class QMessageBox;

namespace baslink::platform {

// Widens `box`, once its title is set, to hold the title's text in the title-bar font beside
// four title-bar buttons (at most the screen's width).
void MakeRoomForTitle(QMessageBox& box);

}  // namespace baslink::platform
