#pragma once
// A top-level window as the X11 window manager shows it, asked of the X server itself. Qt's
// own record of a framed window's place can stay off by the frame after the window manager
// has placed it, so what is stored and what is set right comes from the server.

#include <QPoint>
#include <QRect>
#include <optional>

class QWindow;

namespace quorvan {

struct ShownFrame {
    QRect place;  // the frame's top-left corner on the screen, with the client area's size
    bool normal;  // neither maximised (in either direction), full screen nor minimised
};

// Nothing off X11, and before a window manager has framed the window.
std::optional<ShownFrame> X11ShownFrame(const QWindow& window);
// Asks the window manager to put the frame's top-left corner at `corner`; nothing off X11.
void X11MoveFrame(const QWindow& window, QPoint corner);

}  // namespace quorvan
