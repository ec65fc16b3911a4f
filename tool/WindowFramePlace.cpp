#include "WindowFramePlace.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace quorvan {
namespace {

QPoint TopLeftOf(const QMargins& frame) {
    return QPoint(frame.left(), frame.top());
}

}  // namespace

WindowFramePlace::WindowFramePlace(QWidget& window) : window_(window) {
    window_.installEventFilter(this);
}

void WindowFramePlace::Apply(const QRect& placed) {
    // Before the window manager has framed the window, Qt takes this as the frame's corner
    // or as the client area's, depending on timing; Settle puts it right either way.
    window_.move(placed.topLeft());
    window_.resize(placed.size());
    pendingCorner_ = placed.topLeft();
    if (QWindow* handle = window_.windowHandle()) {
        handle->installEventFilter(this);  // its exposure, which may be the only sign of a frame
    }
    Settle();
}

QRect WindowFramePlace::Current() const {
    if (IsNormal()) {
        const QRect client = window_.geometry();
        return QRect(client.topLeft() - TopLeftOf(Frame()), client.size());
    }
    // Qt keeps the client area of the window before it was maximised; its frame may have
    // been another than the maximised one's, so the last normal frame goes with it.
    QRect client = window_.normalGeometry();
    if (!client.isValid()) {
        client = window_.geometry();
    }
    return QRect(client.topLeft() - TopLeftOf(normalFrame_), client.size());
}

bool WindowFramePlace::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
            Settle();
            if (IsNormal()) {
                normalFrame_ = Frame();
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

QMargins WindowFramePlace::Frame() const {
    const QWindow* handle = window_.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

bool WindowFramePlace::IsNormal() const {
    return !(window_.windowState() &
             (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

void WindowFramePlace::Settle() {
    if (!pendingCorner_) {
        return;
    }
    const QMargins frame = Frame();
    if (frame.isNull()) {
        return;  // not framed yet, or never (no window manager, or offscreen)
    }
    const QPoint corner = *std::exchange(pendingCorner_, std::nullopt);
    // The client area's place, which Qt takes as it is whatever it knows of the frame.
    const QPoint client = corner + TopLeftOf(frame);
    if (window_.geometry().topLeft() != client) {
        window_.setGeometry(QRect(client, window_.size()));
    }
}

}  // namespace quorvan
