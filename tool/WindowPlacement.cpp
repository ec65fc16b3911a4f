#include "WindowPlacement.h"

#include <algorithm>

namespace quorvan {
namespace {

// How much of the window stays on the desktop, at least, in each direction.
constexpr qint64 kPartInView = 100;

}  // namespace

QRect PlaceMainWindow(const QRect& current, const StoredPlacement& stored, const QRect& desktop) {
    if (desktop.isEmpty()) {
        // No screen shows anything: the smallest window, where nothing can overflow.
        return QRect(0, 0, kMinimumWidth, kMinimumHeight);
    }
    const qint64 width = std::clamp<qint64>(stored.width.value_or(current.width()), kMinimumWidth,
                                            std::max(desktop.width(), kMinimumWidth));
    const qint64 height =
        std::clamp<qint64>(stored.height.value_or(current.height()), kMinimumHeight,
                           std::max(desktop.height(), kMinimumHeight));
    const qint64 inView = std::min(kPartInView, width);
    const qint64 x =
        std::clamp<qint64>(stored.x.value_or(current.x()), desktop.left() - (width - inView),
                           desktop.right() + 1 - inView);
    // The top stays on the desktop, also on one lower than the part kept in view.
    const qint64 y = std::clamp<qint64>(
        stored.y.value_or(current.y()), desktop.top(),
        std::max<qint64>(desktop.top(), desktop.bottom() + 1 - std::min(kPartInView, height)));
    return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                 static_cast<int>(height));
}

}  // namespace quorvan
