#pragma once
// The platform's file dialogs as the tool runs them, and the one that names a project file.

#include <QString>
#include <QStringList>

class QWidget;

namespace quorvan {

enum class FileDialogMode { Open, Save };

// Runs a modal file dialog with the given name filters; a name typed without an extension
// gets `defaultSuffix`. The open dialog accepts the name of a file that does not exist;
// the save dialog replaces a file without asking. Returns the chosen file name, or the
// empty text when cancelled.
QString RunFileDialog(QWidget* owner, FileDialogMode mode, const QStringList& nameFilters,
                      const QString& defaultSuffix);

// The dialog `AbrirQZT`: project files ("*.qzt") first, then every file.
QString AbrirQZT(QWidget* owner);

}  // namespace quorvan
