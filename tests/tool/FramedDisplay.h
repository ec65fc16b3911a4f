#pragma once
// An X server of the test's own (Xvfb, one 1280 x 1024 screen) with a window manager that
// draws frames, and what that window manager shows of a window. Offscreen, a window has no
// frame; here it has one, known only after it is shown, as on most desktops.

#include <xcb/xcb.h>

#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"

// A window manager's program and its arguments.
struct WindowManager {
    std::string program;
    std::vector<std::string> arguments;
};
inline const WindowManager kOpenbox{"openbox", {"--sm-disable"}};
// Maps a new window some time after the program shows it.
inline const WindowManager kFluxbox{"fluxbox", {}};

class FramedDisplay {
public:
    // Starts the server and the window manager and waits for both. The window manager gets a
    // home folder of its own, where it may write its settings. When either cannot start,
    // Failure says why and nothing else may be called.
    explicit FramedDisplay(const WindowManager& windowManager = kOpenbox);
    ~FramedDisplay();
    FramedDisplay(const FramedDisplay&) = delete;
    FramedDisplay& operator=(const FramedDisplay&) = delete;

    const std::string& Failure() const { return failure_; }
    // The display's name, for DISPLAY.
    const std::string& Name() const { return name_; }
    QRect Screen() const;

    // The window manager's frame around the window, on the screen, with its border.
    // Nothing before the window manager has framed the window.
    std::optional<QRect> Frame(xcb_window_t window) const;
    bool IsMaximised(xcb_window_t window) const;
    // Asks the window manager to maximise the window, as the title bar's button does.
    void Maximise(xcb_window_t window) const;
    // Asks the window to close, as the frame's close box does.
    void Close(xcb_window_t window) const;
    // What the screen shows where the window is, as the X server holds it; a null image
    // while the window is not on the screen whole.
    QImage OnScreen(xcb_window_t window) const;

private:
    std::string failure_;
    std::string name_;
    QTemporaryDir windowManagerHome_;
    std::unique_ptr<baslink::testing::ChildProcess> server_;
    std::unique_ptr<baslink::testing::ChildProcess> windowManager_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};
