#include "FileDialog.h"

#include <QFileDialog>

namespace quorvan {

QString RunFileDialog(QWidget* owner, FileDialogMode mode, const QStringList& nameFilters,
                      const QString& defaultSuffix) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                      : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(defaultSuffix);
    if (mode == FileDialogMode::Save) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString AbrirQZT(QWidget* owner) {
    // "Todos los archivos" shows every file; on this platform "*.*" would hide the names
    // without a dot. A name typed without an extension gets ".qzt".
    return RunFileDialog(
        owner, FileDialogMode::Open,
        {QStringLiteral("Regulación Zevav (*.qzt)"), QStringLiteral("Todos los archivos (*)")},
        QStringLiteral("qzt"));
}

}  // namespace quorvan
