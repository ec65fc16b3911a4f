#pragma once
// Where the main window opens: the place and size stored in the settings file, held to the
// minimum size and to what the screens can show. A stored value is a whole 32-bit number,
// so anything may come from a hand-edited file.

#include <QRect>
#include <optional>

namespace quorvan {

inline constexpr int kMinimumWidth = 800;
inline constexpr int kMinimumHeight = 400;

// The stored values that apply (the others keep the window's own).
struct StoredPlacement {
    std::optional<qint64> x, y, width, height;
};

// The window's rectangle: `current` with the stored values applied, then at least
// kMinimumWidth x kMinimumHeight, at most the desktop's size (unless that is below the
// minimum), and placed so that its top stays on the desktop and a part of it stays in view.
// Without a desktop (no screen) it is the smallest window at the origin.
QRect PlaceMainWindow(const QRect& current, const StoredPlacement& stored, const QRect& desktop);

}  // namespace quorvan
