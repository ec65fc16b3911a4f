#pragma once
// The two dialogs that name an exchange file. They are plain functions so tests can
// answer them without a modal dialog.

#include <QString>
#include <functional>

class QWidget;

namespace quorvan {

// Each returns the chosen file name, or the empty text when cancelled.
struct ExchangeFileDialogs {
    std::function<QString(QWidget* owner)> OpenDialogProyecto;
    std::function<QString(QWidget* owner)> SaveDialogProyecto;
};

// The platform's file dialogs with the exchange file's filters and the default
// extension "chk"; the open dialog takes a typed name of a missing file, the save dialog
// replaces a file without asking.
ExchangeFileDialogs PlatformExchangeFileDialogs();

}  // namespace quorvan
