#include "ExchangeFileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace quorvan {
namespace {

QString RunDialog(QWidget* owner, QFileDialog::AcceptMode mode, const QString& firstFilter) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    // "Todo" shows every file; on this platform "*.*" would hide the names without a dot.
    dialog.setNameFilters({firstFilter, QStringLiteral("Todo (*)")});
    dialog.setDefaultSuffix(QStringLiteral("chk"));
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

ExchangeFileDialogs PlatformExchangeFileDialogs() {
    return {
        [](QWidget* owner) {
            return RunDialog(owner, QFileDialog::AcceptOpen,
                             QStringLiteral("Archivo de intercambio  (*.int)"));
        },
        [](QWidget* owner) {
            return RunDialog(owner, QFileDialog::AcceptSave,
                             QStringLiteral("Archivo de intercambio (*.int)"));
        },
    };
}

}  // namespace quorvan
