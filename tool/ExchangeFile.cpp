// The exchange file: the table and the port saved as INI text and opened again.

#include <QFileInfo>
#include <array>

#include "Messages.h"
#include "UGlobal_mod.h"
#include "UUtiles.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

constexpr int kFilasTabla = 30;

// The keys of one row in the order they are written: the record's field number (the key
// is field "_" row) and the grid column it holds. Fields 7 and 8 are the names.
struct Campo {
    int field;
    int column;
};
constexpr std::array<Campo, 9> kCamposFila = {
    {{0, 1}, {1, 2}, {2, 3}, {7, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 8}, {8, 9}}};

QString Clave(const Campo& campo, int row) {
    return QStringLiteral("%1_%2").arg(campo.field).arg(row);
}

bool EsNombre(const Campo& campo) {
    return campo.field >= 7;
}

const QString kConfig = QStringLiteral("CONFIG");
const QString kInstrucciones = QStringLiteral("Instrucciones");
const QString kPuerto = QStringLiteral("Puerto");

}  // namespace

void TFGlobal::Guardar1Click() {
    const QString file = dialogs_.SaveDialogProyecto(this);
    if (file.isEmpty()) {
        return;
    }
    const StringGrid& grid = *ui->Comandos;
    EscribeCadenaIni(file, kConfig, QStringLiteral("NumInstrucciones"),
                     QString::number(grid.RowCount()));
    EscribeCadenaIni(file, kConfig, kPuerto, ui->EditPuerto->text());
    for (int row = 1; row <= kFilasTabla; ++row) {
        for (const Campo& campo : kCamposFila) {
            EscribeCadenaIni(file, kInstrucciones, Clave(campo, row), grid.Cell(campo.column, row));
        }
    }
}

void TFGlobal::Abrir1Click() {
    const QString file = dialogs_.OpenDialogProyecto(this);
    if (file.isEmpty()) {
        return;
    }
    // A name that leads to no file must not cost the technician the table on screen.
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        ShowMessage(QStringLiteral("No se ha encontrado el fichero ") + file);
        return;
    }
    BorraTodoClick();
    ui->EditPuerto->setText(LeeIniFichero(file, kConfig, kPuerto, false));
    if (QFileInfo::exists(RutaIniPrograma())) {
        EscribeCadenaIni(RutaIniPrograma(), kConfig, kPuerto, ui->EditPuerto->text());
    }
    const int count =
        LeeIniFichero(file, kConfig, QStringLiteral("NumInstrucciones"), false).toInt();
    StringGrid& grid = *ui->Comandos;
    for (int row = 1; row < count && row <= kFilasTabla; ++row) {
        for (const Campo& campo : kCamposFila) {
            grid.SetCell(campo.column, row,
                         LeeIniFichero(file, kInstrucciones, Clave(campo, row), EsNombre(campo)));
        }
    }
}

}  // namespace quorvan
