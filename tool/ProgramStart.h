#pragma once
// The tool's start once its application object is made: the about box as a splash screen,
// the main window made behind it, the pause, and the message loop with the main window.

#include <QString>

namespace quorvan {

// `executableFolder` holds the settings file and the help page. Returns the message loop's
// result, once the main window has closed.
int RunProgram(const QString& executableFolder);

}  // namespace quorvan
