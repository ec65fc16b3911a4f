// The exchange file: the table and the port saved as INI text and opened again.

#include <QFileInfo>
#include <array>

#include "ExchangeGrid.h"
#include "Messages.h"
#include "UGlobal_mod.h"
#include "UUtiles.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

// The keys of one row in the order they are written: the record's field number (the key
// is field "_" row) and the grid column it holds. Fields 7 and 8 are the names.
struct RowKey {
    int field;
    int column;
};
constexpr std::array<RowKey, 9> kRowKeys = {{{0, kColumnOriginCode},
                                             {1, kColumnOriginBlock},
                                             {2, kColumnOriginOffset},
                                             {7, kColumnOriginName},
                                             {3, kColumnSize},
                                             {4, kColumnDestinationCode},
                                             {5, kColumnDestinationBlock},
                                             {6, kColumnDestinationOffset},
                                             {8, kColumnDestinationName}}};

QString KeyName(const RowKey& key, int row) {
    return QStringLiteral("%1_%2").arg(key.field).arg(row);
}

bool IsName(const RowKey& key) {
    return key.field >= 7;
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
    for (int row = 1; row <= kExchangeRows; ++row) {
        for (const RowKey& key : kRowKeys) {
            EscribeCadenaIni(file, kInstrucciones, KeyName(key, row), grid.Cell(key.column, row));
        }
    }
}

void TFGlobal::Abrir1Click() {
    const QString file = dialogs_.OpenDialogProyecto(this);
    if (file.isEmpty()) {
        return;
    }
    // A name that leads to no file it can read (none at all, a folder, a file too large to
    // read) must not cost the technician the table on screen.
    if (!IniFileReadable(file)) {
        ShowMessage(QStringLiteral("No se ha encontrado el fichero ") + file);
        return;
    }
    BorraTodoClick();
    ui->EditPuerto->setText(LeeIniFichero(file, kConfig, kPuerto, false));
    if (QFileInfo::exists(IniProgramaPath())) {
        EscribeCadenaIni(IniProgramaPath(), kConfig, kPuerto, ui->EditPuerto->text());
    }
    const int count =
        LeeIniFichero(file, kConfig, QStringLiteral("NumInstrucciones"), false).toInt();
    StringGrid& grid = *ui->Comandos;
    for (int row = 1; row < count && row <= kExchangeRows; ++row) {
        for (const RowKey& key : kRowKeys) {
            grid.SetCell(key.column, row,
                         LeeIniFichero(file, kInstrucciones, KeyName(key, row), IsName(key)));
        }
    }
}

}  // namespace quorvan
