// The library's messages in a program with a running QApplication (offscreen).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QMessageBox>
#include <QStyle>
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

// The window manager draws the title beside its buttons: the box leaves room for the title's
// text in the bold title-bar font and for four buttons as wide as the title bar is high.
TEST_F(WithApplication, MessageBoxIsWideEnoughForItsWholeTitle) {
    const char* const titles[] = {
        "Quorvan", "Quorvan Programa para establecer comunicaciones entre reguladores"};
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    for (const char* title : titles) {
        SCOPED_TRACE(title);
        QCoreApplication::setApplicationName(QString::fromUtf8(title));
        int width = -1;
        int needed = 0;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                needed = QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) +
                         4 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box);
                width = box->width();
                box->accept();
            }
        });
        ShowMessage("Completado");
        EXPECT_GE(width, needed);
    }
}

TEST_F(WithApplication, MessageFromAnotherThreadGoesToStandardError) {
    testing::internal::CaptureStderr();
    std::thread other([] { ShowMessage("desde otro hilo"); });
    other.join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "desde otro hilo\n");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
