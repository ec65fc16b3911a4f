// The splash at the program's start, under a window manager that maps a new window late.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>

#include "ChildProcess.h"
#include "FramedDisplay.h"
#include "Timing.h"

namespace {

using baslink::testing::ChildProcess;
using baslink::testing::Eventually;
using namespace std::chrono_literals;

// The screen shows the picture: the same size, and nearly every pixel the same colour.
bool Shows(const QImage& screen, const QImage& picture) {
    if (screen.isNull() || screen.size() != picture.size()) {
        return false;
    }
    const QImage expected = picture.convertToFormat(QImage::Format_RGB32);
    qsizetype differing = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const QRgb shown = screen.pixel(x, y);
            const QRgb drawn = expected.pixel(x, y);
            if (std::abs(qRed(shown) - qRed(drawn)) > 8 ||
                std::abs(qGreen(shown) - qGreen(drawn)) > 8 ||
                std::abs(qBlue(shown) - qBlue(drawn)) > 8) {
                ++differing;
            }
        }
    }
    return differing * 100 < screen.width() * screen.height();
}

TEST(Splash, IsOnTheScreenDrawnBeforeThePauseEnds) {
    FramedDisplay display(kFluxbox);
    if (!display.Failure().empty()) {
        GTEST_SKIP() << display.Failure();
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString picturePath = folder.filePath("about.png");
    ChildProcess start(SPLASH_START_PATH, {folder.path().toStdString(), picturePath.toStdString()},
                       {"DISPLAY=" + display.Name(), "QT_QPA_PLATFORM=xcb"});
    const auto id = start.ReadLine(10s);
    ASSERT_TRUE(id) << "the splash was not shown within 10 s";
    const auto splash = static_cast<xcb_window_t>(std::stoul(*id));
    const QImage picture(picturePath);
    ASSERT_FALSE(picture.isNull()) << "the about box's picture was not saved";

    bool drawn = false;
    bool gone = false;
    Eventually(
        [&] {
            drawn = Shows(display.OnScreen(splash), picture);
            gone = !drawn && start.ReadLine(10ms) == "hidden";
            return drawn || gone;
        },
        10s);
    EXPECT_TRUE(drawn) << (gone ? "the splash went without the screen showing it drawn"
                                : "the splash neither showed drawn nor went in 10 s");
}

}  // namespace
