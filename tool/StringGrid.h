#pragma once
// A grid of texts addressed like the exchange table: row 0 is the fixed header row (the
// column captions), column 0 the fixed first column, rows 1 on the table's rows. A click
// selects a whole row; cells are not edited in place.

#include <QString>
#include <QTableWidget>

namespace quorvan {

class StringGrid : public QTableWidget {
    Q_OBJECT

public:
    explicit StringGrid(QWidget* parent = nullptr);

    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString& text);

    // Rows counted with the header row, as the table counts them.
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);

    // The selected row (1 or more); selecting another one emits Click.
    int Row() const { return currentRow() + 1; }
    void SetRow(int row);

    int ColWidth(int column) const { return columnWidth(column); }
    void SetColWidth(int column, int width) { setColumnWidth(column, width); }

signals:
    // A mouse click on a cell, or the selection moved (by keyboard or by SetRow).
    void Click();

private:
    QTableWidgetItem* Item(int column, int row) const;
};

}  // namespace quorvan
