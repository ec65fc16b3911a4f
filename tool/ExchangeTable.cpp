// Editing the exchange table: the origin and destination fields, "Asignar", the row
// selection and the two deletions.

#include <array>

#include "ExchangeGrid.h"
#include "IntegerText.h"
#include "Messages.h"
#include "UGlobal_mod.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

const QString kByteSizeItem = QStringLiteral("CHAR - BYTE");
const QString kIntegerSizeItem = QStringLiteral("INTEGER");
const QString kLongSizeItem = QStringLiteral("LONG - FLOAT");

// The data size a row holds, from the combo's text.
QString SizeOfComboItem(const QString& shown) {
    if (shown == kIntegerSizeItem) {
        return QStringLiteral("2");
    }
    if (shown == kLongSizeItem) {
        return QStringLiteral("4");
    }
    return QStringLiteral("1");
}

// The combo's item for a size text, or -1 when the text is no size.
int ComboItemOfSize(const QString& size) {
    if (size == QLatin1String("1")) {
        return 0;
    }
    if (size == QLatin1String("2")) {
        return 1;
    }
    if (size == QLatin1String("4")) {
        return 2;
    }
    return -1;
}

}  // namespace

void TFGlobal::EscribeFilaVacia(int row) {
    for (int column = kColumnOriginCode; column <= kColumnDestinationName; ++column) {
        const bool isName = column == kColumnOriginName || column == kColumnDestinationName;
        ui->Comandos->SetCell(column, row, isName ? QString() : QStringLiteral("0"));
    }
}

bool TFGlobal::FilaUsada(int row) const {
    const QString origin = ui->Comandos->Cell(kColumnOriginCode, row);
    return !origin.isEmpty() && origin != QLatin1String("0");
}

void TFGlobal::AsignarClick() {
    struct Check {
        const UpDownEdit* field;
        int min;
        const char* message;
    };
    const std::array<Check, 7> checks = {{
        {ui->ROCodigo, 1, "ROCodigo incorrecto"},
        {ui->ROBloque, 1, "ROBloque incorrecto"},
        {ui->ROOffset, 0, "ROOffset incorrecto"},
        {ui->ROTamanio, 1, "ROTamanio incorrecto"},
        {ui->RDCodigo, 1, "RDCodigo incorrecto"},
        {ui->RDBloque, 1, "RDBloque incorrecto"},
        {ui->RDOffset, 0, "RDOffset incorrecto"},
    }};
    for (const Check& check : checks) {
        if (!ValorEnRango(check.field->text(), check.min, 1023)) {
            ShowMessage(QString::fromLatin1(check.message));
            return;
        }
    }

    StringGrid& grid = *ui->Comandos;
    const int row = FilaActual;
    grid.SetCell(kColumnOriginCode, row, ui->ROCodigo->text());
    grid.SetCell(kColumnOriginBlock, row, ui->ROBloque->text());
    grid.SetCell(kColumnOriginOffset, row, ui->ROOffset->text());
    grid.SetCell(kColumnOriginName, row, ui->DescOrigen->text());
    grid.SetCell(kColumnSize, row, SizeOfComboItem(ui->ComboTamano->currentText()));
    grid.SetCell(kColumnDestinationCode, row, ui->RDCodigo->text());
    grid.SetCell(kColumnDestinationBlock, row, ui->RDBloque->text());
    grid.SetCell(kColumnDestinationOffset, row, ui->RDOffset->text());
    grid.SetCell(kColumnDestinationName, row, ui->DescDestino->text());

    if (FilaActual < kExchangeRows) {
        ++FilaActual;
        if (grid.RowCount() <= FilaActual) {
            grid.SetRowCount(FilaActual + 1);
        }
        grid.SetRow(FilaActual);  // a move runs ComandosClick, which loads a used row
        if (grid.Cell(kColumnOriginCode, FilaActual).isEmpty()) {
            EscribeFilaVacia(FilaActual);
        }
    }
}

void TFGlobal::ComandosClick() {
    const StringGrid& grid = *ui->Comandos;
    FilaActual = grid.Row();
    if (!FilaUsada(FilaActual)) {
        return;
    }
    ui->ROCodigo->setText(grid.Cell(kColumnOriginCode, FilaActual));
    ui->ROBloque->setText(grid.Cell(kColumnOriginBlock, FilaActual));
    ui->ROOffset->setText(grid.Cell(kColumnOriginOffset, FilaActual));
    ui->DescOrigen->setText(grid.Cell(kColumnOriginName, FilaActual));
    ui->ROTamanio->setText(grid.Cell(kColumnSize, FilaActual));
    ui->RDCodigo->setText(grid.Cell(kColumnDestinationCode, FilaActual));
    ui->RDBloque->setText(grid.Cell(kColumnDestinationBlock, FilaActual));
    ui->RDOffset->setText(grid.Cell(kColumnDestinationOffset, FilaActual));
    ui->DescDestino->setText(grid.Cell(kColumnDestinationName, FilaActual));
    if (const int item = ComboItemOfSize(grid.Cell(kColumnSize, FilaActual)); item >= 0) {
        ui->ComboTamano->setCurrentIndex(item);
    }
}

void TFGlobal::BorraTodoClick() {
    StringGrid& grid = *ui->Comandos;
    for (int row = 1; row < grid.RowCount(); ++row) {
        grid.SetCell(kColumnOrder, row, QString::number(row));
        EscribeFilaVacia(row);
    }
    FilaActual = 1;
    grid.SetRowCount(kExchangeRows + 1);
}

void TFGlobal::BorraUnoClick() {
    StringGrid& grid = *ui->Comandos;
    const int removed = grid.Row();
    EscribeFilaVacia(removed);
    for (int row = removed; row < kExchangeRows; ++row) {
        for (int column = kColumnOriginCode; column <= kColumnDestinationName; ++column) {
            grid.SetCell(column, row, grid.Cell(column, row + 1));
        }
        EscribeFilaVacia(row + 1);
    }
}

void TFGlobal::ROTamanioChange() {
    ui->ComboTamano->setCurrentIndex(0);
    if (const int item = ComboItemOfSize(ui->ROTamanio->text()); item >= 0) {
        ui->ComboTamano->setCurrentIndex(item);
    }
}

void TFGlobal::ComboTamanoChange() {
    ui->ROTamanio->setText(SizeOfComboItem(ui->ComboTamano->currentText()));
}

}  // namespace quorvan
