#include "X11Frame.h"

#include <QGuiApplication>
#include <QWindow>
#include <utility>
#include <vector>

#include "XcbRequests.h"

namespace quorvan {
namespace {

// The application's connection when it runs on X11, and the window's X11 id.
std::optional<std::pair<xcb_connection_t*, xcb_window_t>> OnX11(const QWindow& window) {
    // Other platforms may answer for X11 too (offscreen does), without X11 windows.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || window.handle() == nullptr) {
        return std::nullopt;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return std::nullopt;
    }
    return std::make_pair(x11->connection(), static_cast<xcb_window_t>(window.winId()));
}

// The server counts device pixels, Qt's widgets scaled ones. Qt scales about each screen's
// corner; the window is taken to be on a screen at the origin.
QRect FromServer(const QRect& place, const QWindow& window) {
    const qreal ratio = window.devicePixelRatio();
    return QRect(qRound(place.x() / ratio), qRound(place.y() / ratio),
                 qRound(place.width() / ratio), qRound(place.height() / ratio));
}

QPoint ToServer(QPoint point, const QWindow& window) {
    const qreal ratio = window.devicePixelRatio();
    return QPoint(qRound(point.x() * ratio), qRound(point.y() * ratio));
}

}  // namespace

std::optional<ShownFrame> X11ShownFrame(const QWindow& window) {
    const auto x11 = OnX11(window);
    if (!x11) {
        return std::nullopt;
    }
    const auto [connection, id] = *x11;
    // left, right, top, bottom; the window manager sets them when it frames the window
    const std::vector<uint32_t> extents =
        xcb::Property(connection, id, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    const auto geometry =
        xcb::Own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
    if (extents.size() != 4 || !geometry) {
        return std::nullopt;
    }
    const auto client = xcb::Own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr));
    if (!client) {
        return std::nullopt;
    }
    bool normal = true;
    for (const char* state : {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
                              "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_HIDDEN"}) {
        normal = normal && !xcb::HasState(connection, id, state);
    }
    const QPoint corner(client->dst_x - static_cast<int>(extents[0]),
                        client->dst_y - static_cast<int>(extents[2]));
    return ShownFrame{FromServer(QRect(corner, QSize(geometry->width, geometry->height)), window),
                      normal};
}

void X11MoveFrame(const QWindow& window, QPoint corner) {
    const auto x11 = OnX11(window);
    if (!x11) {
        return;
    }
    const auto [connection, id] = *x11;
    const std::vector<uint32_t> extents =
        xcb::Property(connection, id, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (extents.size() != 4) {
        return;
    }
    // A framed window's move goes to the window manager, which takes x and y by the gravity
    // the window's hints name: the frame's corner under north-west gravity (also when none is
    // named), the client area's under static gravity. Qt names one of the two.
    constexpr uint32_t kGravityGiven = 1u << 9;
    constexpr std::size_t kGravityItem = 17;
    const std::vector<uint32_t> hints =
        xcb::Property(connection, id, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS);
    const bool staticGravity = hints.size() > kGravityItem && (hints[0] & kGravityGiven) != 0 &&
                               hints[kGravityItem] == XCB_GRAVITY_STATIC;
    const QPoint frameCorner = ToServer(corner, window);
    const QPoint place = staticGravity ? frameCorner + QPoint(static_cast<int>(extents[0]),
                                                              static_cast<int>(extents[2]))
                                       : frameCorner;
    const uint32_t values[] = {static_cast<uint32_t>(place.x()), static_cast<uint32_t>(place.y())};
    xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(connection);
}

}  // namespace quorvan
