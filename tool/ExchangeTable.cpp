// Editing the exchange table: the origin and destination fields, "Asignar", the row
// selection and the two deletions.

#include <array>

#include "IntegerText.h"
#include "Messages.h"
#include "UGlobal_mod.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

constexpr int kLastRow = 30;

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
    for (int column = 1; column <= 9; ++column) {
        const bool isName = column == 4 || column == 9;
        ui->Comandos->SetCell(column, row, isName ? QString() : QStringLiteral("0"));
    }
}

bool TFGlobal::FilaUsada(int row) const {
    const QString origin = ui->Comandos->Cell(1, row);
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
    grid.SetCell(1, row, ui->ROCodigo->text());
    grid.SetCell(2, row, ui->ROBloque->text());
    grid.SetCell(3, row, ui->ROOffset->text());
    grid.SetCell(4, row, ui->DescOrigen->text());
    grid.SetCell(5, row, SizeOfComboItem(ui->ComboTamano->currentText()));
    grid.SetCell(6, row, ui->RDCodigo->text());
    grid.SetCell(7, row, ui->RDBloque->text());
    grid.SetCell(8, row, ui->RDOffset->text());
    grid.SetCell(9, row, ui->DescDestino->text());

    if (FilaActual < kLastRow) {
        ++FilaActual;
        if (grid.RowCount() <= FilaActual) {
            grid.SetRowCount(FilaActual + 1);
        }
        grid.SetRow(FilaActual);  // a move runs ComandosClick, which loads a used row
        if (grid.Cell(1, FilaActual).isEmpty()) {
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
    ui->ROCodigo->setText(grid.Cell(1, FilaActual));
    ui->ROBloque->setText(grid.Cell(2, FilaActual));
    ui->ROOffset->setText(grid.Cell(3, FilaActual));
    ui->DescOrigen->setText(grid.Cell(4, FilaActual));
    ui->ROTamanio->setText(grid.Cell(5, FilaActual));
    ui->RDCodigo->setText(grid.Cell(6, FilaActual));
    ui->RDBloque->setText(grid.Cell(7, FilaActual));
    ui->RDOffset->setText(grid.Cell(8, FilaActual));
    ui->DescDestino->setText(grid.Cell(9, FilaActual));
    if (const int item = ComboItemOfSize(grid.Cell(5, FilaActual)); item >= 0) {
        ui->ComboTamano->setCurrentIndex(item);
    }
}

void TFGlobal::BorraTodoClick() {
    StringGrid& grid = *ui->Comandos;
    for (int row = 1; row < grid.RowCount(); ++row) {
        grid.SetCell(0, row, QString::number(row));
        EscribeFilaVacia(row);
    }
    FilaActual = 1;
    grid.SetRowCount(kLastRow + 1);
}

void TFGlobal::BorraUnoClick() {
    StringGrid& grid = *ui->Comandos;
    const int removed = grid.Row();
    EscribeFilaVacia(removed);
    for (int row = removed; row < kLastRow; ++row) {
        for (int column = 1; column <= 9; ++column) {
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
