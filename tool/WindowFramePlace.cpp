#include "WindowFramePlace.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "X11Frame.h"

namespace quorvan {
namespace {

// A window manager that will not put the frame where asked is asked no more than this.
constexpr int kMaxCorrections = 2;

}  // namespace

WindowFramePlace::WindowFramePlace(QWidget& window) : window_(window) {
    window_.installEventFilter(this);
}

void WindowFramePlace::Apply(const QRect& placed) {
    // Before the window manager has framed the window, Qt takes this as the frame's corner
    // or as the client area's, depending on timing; Follow sets it right either way.
    window_.move(placed.topLeft());
    window_.resize(placed.size());
    pendingCorner_ = placed.topLeft();
    corrections_ = 0;
    requestedAt_.reset();
    normalPlace_ = placed;  // until the window manager shows it
    if (QWindow* handle = window_.windowHandle()) {
        handle->installEventFilter(this);  // its exposure, which may be the only sign of a frame
    }
    Follow();
}

QRect WindowFramePlace::Current() const {
    if (const QWindow* handle = window_.windowHandle()) {
        if (const auto shown = X11ShownFrame(*handle)) {
            return shown->normal ? shown->place : normalPlace_;
        }
    }
    // Without a frame reported (offscreen, or not yet shown), Qt's own record holds.
    const bool normal = !(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    return normal ? QRect(window_.pos(), window_.size()) : window_.normalGeometry();
}

bool WindowFramePlace::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
            Follow();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void WindowFramePlace::Follow() {
    const QWindow* handle = window_.windowHandle();
    const auto shown = handle != nullptr ? X11ShownFrame(*handle) : std::nullopt;
    if (!shown) {
        return;  // not framed yet, or never (not on X11)
    }
    const QPoint corner = shown->place.topLeft();
    if (pendingCorner_ && corner != *pendingCorner_) {
        if (requestedAt_ == corner) {
            return;  // the window manager has not yet taken the last request
        }
        if (corrections_ < kMaxCorrections) {
            ++corrections_;
            requestedAt_ = corner;
            X11MoveFrame(*handle, *pendingCorner_);
            return;
        }
    }
    pendingCorner_.reset();
    if (shown->normal) {
        normalPlace_ = shown->place;
    }
}

}  // namespace quorvan
