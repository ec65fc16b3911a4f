#include "ProgramStart.h"

#include <QApplication>
#include <QIcon>
#include <chrono>

#include "About.h"
#include "SplashScreen.h"
#include "UGlobal_mod.h"

namespace quorvan {
namespace {

using namespace std::chrono_literals;

// How long the splash stays before the main window shows.
constexpr auto kSplashPause = 1300ms;
// The most the start waits for the window system to show the splash: a display that never
// shows it holds the program back no longer.
constexpr auto kSplashShowLimit = 2000ms;

}  // namespace

int RunProgram(const QString& executableFolder) {
    TAboutBoxForm AboutBoxForm;  // the splash now, the "?" box later
    ShowSplash(AboutBoxForm, kSplashShowLimit);

    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quorvan/quorvan.png")));
    TFGlobal FGlobal(AboutBoxForm, executableFolder);

    HoldSplash(kSplashPause);
    AboutBoxForm.close();

    FGlobal.show();
    return QApplication::exec();
}

}  // namespace quorvan
