// The library's messages and event pumping, with and without a Qt application.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QTimer>
#include <string>
#include <thread>
#include <vector>

#include "UserInterface.h"

namespace {

using baslink::platform::PumpMessages;
using baslink::platform::SetMessageRecorder;
using baslink::platform::ShowMessage;

TEST(LibraryMessages, WithoutAnApplicationAreOneLineOnStandardError) {
    testing::internal::CaptureStderr();
    ShowMessage("Tamaño maximo 24 bytes");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Tamaño maximo 24 bytes\n");
}

TEST(LibraryMessages, GoToTheRecorderWhileOneIsInstalled) {
    std::vector<std::string> recorded;
    SetMessageRecorder([&recorded](const std::string& text) { recorded.push_back(text); });
    testing::internal::CaptureStderr();
    ShowMessage("uno");
    ShowMessage("dos");
    SetMessageRecorder({});
    ShowMessage("tres");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "tres\n");
    EXPECT_EQ(recorded, (std::vector<std::string>{"uno", "dos"}));
}

TEST(PumpingMessages, RunsTheApplicationThreadsPendingEventsOnlyThere) {
    int argc = 1;
    char name[] = "pump-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    int ran = 0;
    QMetaObject::invokeMethod(
        &app, [&ran] { ++ran; }, Qt::QueuedConnection);

    std::thread other([] { PumpMessages(); });
    other.join();
    EXPECT_EQ(ran, 0);

    PumpMessages();
    EXPECT_EQ(ran, 1);
}

}  // namespace
