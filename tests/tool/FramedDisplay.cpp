#include "FramedDisplay.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <exception>

#include "Timing.h"
#include "XcbRequests.h"

using baslink::testing::ChildProcess;
using baslink::testing::Eventually;
using namespace std::chrono_literals;

namespace xcb = quorvan::xcb;

namespace {

// Sends a 32-bit client message of `type` about `window` to `destination`.
void SendMessage(xcb_connection_t* connection, xcb_window_t destination, uint32_t eventMask,
                 xcb_window_t window, const char* type, const std::array<uint32_t, 5>& data) {
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = xcb::Atom(connection, type);
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection, 0, destination, eventMask, reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

}  // namespace

FramedDisplay::FramedDisplay(const WindowManager& windowManager) {
    if (!windowManagerHome_.isValid()) {
        failure_ = "no home folder for the window manager: " +
                   windowManagerHome_.errorString().toStdString();
        return;
    }
    try {
        // -displayfd takes the first free display and names it on the output once it serves.
        server_ = std::make_unique<ChildProcess>(
            "Xvfb",
            std::vector<std::string>{"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten",
                                     "tcp"},
            std::vector<std::string>{}, true);
    } catch (const std::exception& error) {
        failure_ = std::string("no X server: ") + error.what();
        return;
    }
    const auto number = server_->ReadLine(10s);
    if (!number || number->empty()) {
        failure_ = "Xvfb did not start within 10 s";
        return;
    }
    name_ = ":" + *number;
    connection_ = xcb_connect(name_.c_str(), nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
        failure_ = "cannot connect to Xvfb on " + name_;
        return;
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    try {
        windowManager_ = std::make_unique<ChildProcess>(
            windowManager.program, windowManager.arguments,
            std::vector<std::string>{"DISPLAY=" + name_,
                                     "HOME=" + windowManagerHome_.path().toStdString()},
            true);
    } catch (const std::exception& error) {
        failure_ = "no window manager (" + windowManager.program + "): " + error.what();
        return;
    }
    // A window manager that follows the desktop conventions names itself on the root window.
    if (!Eventually(
            [this] {
                return !xcb::Property(connection_, root_, "_NET_SUPPORTING_WM_CHECK",
                                      XCB_ATOM_WINDOW)
                            .empty();
            },
            10s)) {
        failure_ = windowManager.program + " did not start within 10 s";
    }
}

FramedDisplay::~FramedDisplay() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
    // Killed, not asked to end: fluxbox asked while it starts hangs, and nothing of the
    // window manager's is kept.
    windowManager_.reset();
    if (server_) {
        server_->Stop(5s);  // so it removes its lock and socket
    }
}

QRect FramedDisplay::Screen() const {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    return QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
}

std::optional<QRect> FramedDisplay::Frame(xcb_window_t window) const {
    // The window manager's frame is the window's ancestor that is a child of the root.
    xcb_window_t frame = window;
    for (;;) {
        const auto tree = xcb::Own(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, frame), nullptr));
        if (!tree) {
            return std::nullopt;
        }
        if (tree->parent == root_) {
            break;
        }
        frame = tree->parent;
    }
    const auto geometry = xcb::Own(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, frame), nullptr));
    if (frame == window || !geometry) {
        return std::nullopt;  // not framed (yet)
    }
    const int border = geometry->border_width;
    return QRect(geometry->x, geometry->y, geometry->width + 2 * border,
                 geometry->height + 2 * border);
}

bool FramedDisplay::IsMaximised(xcb_window_t window) const {
    return xcb::HasState(connection_, window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
           xcb::HasState(connection_, window, "_NET_WM_STATE_MAXIMIZED_HORZ");
}

void FramedDisplay::Maximise(xcb_window_t window) const {
    constexpr uint32_t kAdd = 1;
    constexpr uint32_t kFromAnApplication = 1;
    SendMessage(connection_, root_,
                XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, window,
                "_NET_WM_STATE",
                {kAdd, xcb::Atom(connection_, "_NET_WM_STATE_MAXIMIZED_VERT"),
                 xcb::Atom(connection_, "_NET_WM_STATE_MAXIMIZED_HORZ"), kFromAnApplication, 0});
}

void FramedDisplay::Close(xcb_window_t window) const {
    SendMessage(connection_, window, XCB_EVENT_MASK_NO_EVENT, window, "WM_PROTOCOLS",
                {xcb::Atom(connection_, "WM_DELETE_WINDOW"), XCB_CURRENT_TIME, 0, 0, 0});
}

QImage FramedDisplay::OnScreen(xcb_window_t window) const {
    const auto geometry = xcb::Own(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    const auto corner = xcb::Own(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    const auto attributes = xcb::Own(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    if (!geometry || !corner || !attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return QImage();
    }
    const QRect place(corner->dst_x, corner->dst_y, geometry->width, geometry->height);
    if (!Screen().contains(place)) {
        return QImage();
    }
    // The root window's pixels are the screen's, whatever window shows them.
    const auto image = xcb::Own(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                      static_cast<int16_t>(place.x()), static_cast<int16_t>(place.y()),
                      static_cast<uint16_t>(place.width()), static_cast<uint16_t>(place.height()),
                      ~0u),
        nullptr));
    // Xvfb's 24-bit screen keeps a pixel in 32 bits, blue first: QImage's RGB32.
    const auto bytes = static_cast<std::size_t>(place.width()) * place.height() * 4;
    if (!image || image->depth != 24 ||
        xcb_get_image_data_length(image.get()) != static_cast<int>(bytes)) {
        return QImage();
    }
    return QImage(xcb_get_image_data(image.get()), place.width(), place.height(),
                  QImage::Format_RGB32)
        .copy();
}
