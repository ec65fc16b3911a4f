// Where the main window opens, start after start, under a window manager that draws frames.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "ChildProcess.h"
#include "FramedDisplay.h"
#include "IniFile.h"
#include "Timing.h"

// So a failed comparison names the place.
void PrintTo(const QRect& place, std::ostream* out) {
    *out << place.x() << "," << place.y() << " " << place.width() << "x" << place.height();
}

namespace {

using baslink::testing::ChildProcess;
using baslink::testing::Eventually;
using namespace std::chrono_literals;

class WindowPlaceAcrossStarts : public ::testing::Test {
protected:
    void SetUp() override {
        if (!display.Failure().empty()) {
            GTEST_SKIP() << display.Failure();
        }
        ASSERT_TRUE(folder.isValid());
    }

    QString SettingsPath() const {
        return QDir(folder.path()).filePath(QFileInfo(WINDOW_START_PATH).fileName() + ".ini");
    }
    // Pos_X, Pos_Y, Ancho and Alto.
    void Store(const QRect& place) const {
        QFile file(SettingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[POS]\nPos_X=%1\nPos_Y=%2\nAncho=%3\nAlto=%4\n")
                       .arg(place.x())
                       .arg(place.y())
                       .arg(place.width())
                       .arg(place.height())
                       .toLatin1());
    }
    int Stored(const char* key) const {
        const auto value = baslink::ini::ReadString(SettingsPath().toStdString(), "POS", key);
        return value ? std::stoi(*value) : -1;
    }
    QRect Stored() const {
        return QRect(Stored("Pos_X"), Stored("Pos_Y"), Stored("Ancho"), Stored("Alto"));
    }

    // Starts the window in its own process and returns its X11 id, once it is shown.
    xcb_window_t Start() {
        window_ = std::make_unique<ChildProcess>(
            WINDOW_START_PATH, std::vector<std::string>{folder.path().toStdString()},
            std::vector<std::string>{"DISPLAY=" + display.Name(), "QT_QPA_PLATFORM=xcb"});
        const auto id = window_->ReadLine(10s);
        if (!id) {
            ADD_FAILURE() << "the window was not shown within 10 s";
            return XCB_WINDOW_NONE;
        }
        return static_cast<xcb_window_t>(std::stoul(*id));
    }
    // Waits for the window's frame to have its corner at `corner`, and returns the frame.
    std::optional<QRect> FrameAt(xcb_window_t window, QPoint corner) const {
        std::optional<QRect> frame;
        const bool there = Eventually(
            [&] {
                frame = display.Frame(window);
                return frame && frame->topLeft() == corner;
            },
            5s);
        EXPECT_TRUE(there) << "the frame stays at "
                           << (frame ? testing::PrintToString(*frame) : "none");
        return frame;
    }
    void Close(xcb_window_t window) {
        display.Close(window);
        EXPECT_EQ(window_->WaitFor(10s), 0) << "the program did not end within 10 s";
    }

    FramedDisplay display;
    QTemporaryDir folder;

private:
    std::unique_ptr<ChildProcess> window_;
};

TEST_F(WindowPlaceAcrossStarts, ClosedUnmovedItReopensInTheSamePlace) {
    const QRect place(200, 150, 900, 500);
    Store(place);
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(testing::Message() << "start " << start);
        const xcb_window_t window = Start();
        FrameAt(window, place.topLeft());
        Close(window);
        EXPECT_EQ(Stored(), place);
    }
}

TEST_F(WindowPlaceAcrossStarts, ClosedMaximisedItReopensWholeOnTheScreen) {
    const QRect place(200, 150, 900, 500);
    Store(place);
    const xcb_window_t maximised = Start();
    FrameAt(maximised, place.topLeft());
    display.Maximise(maximised);
    ASSERT_TRUE(Eventually([&] {
        const auto frame = display.Frame(maximised);
        return display.IsMaximised(maximised) && frame &&
               frame->width() >= display.Screen().width();
    })) << "the window manager did not maximise the window";
    Close(maximised);
    // the place and size from before it was maximised
    EXPECT_EQ(Stored(), place);

    const xcb_window_t reopened = Start();
    const auto frame = FrameAt(reopened, place.topLeft());
    ASSERT_TRUE(frame.has_value());
    EXPECT_TRUE(display.Screen().contains(*frame));
    Close(reopened);
}

}  // namespace
