#pragma once
// A grid of texts addressed like the exchange table: row 0 is the fixed header row (the
// column captions), column 0 the fixed first column, rows 1 on the table's rows. A click
// selects a whole row; cells are not edited in place.
//
// Column 0 is drawn by the row header at the left, under a header section of its own in
// the corner, so it stays in view whatever the horizontal scroll and looks like the header.
// The model's column 0 stays hidden and empty: the cursor (Home, End, arrows, clicks) never
// lands on it, and a click on the row header selects that row like a click on a cell.

#include <QString>
#include <QTableWidget>

class QHeaderView;

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

    int ColWidth(int column) const;
    void SetColWidth(int column, int width);

signals:
    // A mouse click on a cell, or the selection moved (by keyboard or by SetRow).
    void Click();

protected:
    void updateGeometries() override;

private:
    QTableWidgetItem* Item(int column, int row) const;
    // Hides column 0 of the model and every other column of the corner's header.
    void FixFirstColumn();

    QHeaderView* corner_;  // the fixed column's header section; the grid owns it
};

}  // namespace quorvan
