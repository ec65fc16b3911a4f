// The library's messages in a program with a running QApplication (offscreen).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <thread>

#include "UserInterface.h"

namespace {

using baslink::platform::ShowMessage;

class WithApplication : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("QT_QPA_PLATFORM", "offscreen", 1); }
    int argc_ = 1;
    char name_[12] = "window-test";
    char* argv_[2] = {name_, nullptr};
    QApplication app_{argc_, argv_};
};

TEST_F(WithApplication, MessageOnTheApplicationThreadIsAModalBoxWithTheTextAsWritten) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    ShowMessage("Tamaño maximo 24 bytes");
    EXPECT_EQ(shown, QStringLiteral(u"Tama\u00f1o maximo 24 bytes"));
}

TEST_F(WithApplication, MessageFromAnotherThreadGoesToStandardError) {
    testing::internal::CaptureStderr();
    std::thread other([] { ShowMessage("desde otro hilo"); });
    other.join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "desde otro hilo\n");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
