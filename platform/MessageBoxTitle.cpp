#include "MessageBoxTitle.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>

namespace baslink::platform {
namespace {

// A window menu, minimise, maximise and close, as most window managers put beside a title:
// with room for three only, some cut the title short still.
constexpr int kTitleBarButtons = 4;

}  // namespace

void MakeRoomForTitle(QMessageBox& box) {
    // The window manager's own title font is not known here: the desktop's title-bar font
    // (the application's where the desktop names none), bold as most window managers draw
    // it, stands for it. A title-bar button is about as wide as the title bar is high.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int button = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    int width =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtons * button;
    if (const QScreen* screen = box.screen()) {
        width = std::min(width, screen->availableGeometry().width());
    }
    // The box fixes its size from its layout's each time it is shown, so the room is a spacer
    // in the layout: in a row of its own, where the box's layout is a grid.
    auto* room = new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(room, grid->rowCount(), 0, 1, grid->columnCount());
    } else {
        box.layout()->addItem(room);
    }
}

}  // namespace baslink::platform
