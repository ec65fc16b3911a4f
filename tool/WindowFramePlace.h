#pragma once
// The main window's place as the window manager shows it: the top-left corner of its frame,
// with the size of its client area. Under X11 the frame is known only after the window is
// shown, so a place applied before is set right once the frame is reported; and a
// maximised or full-screen window is kept by the place and size it had before.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <optional>

class QWidget;

namespace quorvan {

class WindowFramePlace : public QObject {
public:
    // `window` is a top-level widget that outlives this object.
    explicit WindowFramePlace(QWidget& window);

    // Puts the frame's top-left corner at `placed`'s and gives the client area its size.
    void Apply(const QRect& placed);
    // The frame's top-left corner and the client area's size, of the window as it is or,
    // maximised, full screen or minimised, as it was before.
    QRect Current() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sets the frame's corner right while it is not yet where Apply put it, and notes the
    // place of the window while it is shown neither maximised nor full screen.
    void Follow();

    QWidget& window_;
    std::optional<QPoint> pendingCorner_;
    int corrections_ = 0;
    std::optional<QPoint> requestedAt_;  // where the frame was when its move was last asked for
    QRect normalPlace_;
};

}  // namespace quorvan
