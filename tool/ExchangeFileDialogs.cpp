#include "ExchangeFileDialogs.h"

#include "FileDialog.h"

namespace quorvan {
namespace {

QString RunDialog(QWidget* owner, FileDialogMode mode, const QString& firstFilter) {
    // "Todo" shows every file; on this platform "*.*" would hide the names without a dot.
    return RunFileDialog(owner, mode, {firstFilter, QStringLiteral("Todo (*)")},
                         QStringLiteral("chk"));
}

}  // namespace

ExchangeFileDialogs PlatformExchangeFileDialogs() {
    return {
        [](QWidget* owner) {
            return RunDialog(owner, FileDialogMode::Open,
                             QStringLiteral("Archivo de intercambio  (*.int)"));
        },
        [](QWidget* owner) {
            return RunDialog(owner, FileDialogMode::Save,
                             QStringLiteral("Archivo de intercambio (*.int)"));
        },
    };
}

}  // namespace quorvan
