#include "StringGrid.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>

namespace quorvan {

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(16);
    verticalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) {
                    emit Click();
                }
            });
    connect(this, &QTableWidget::cellClicked, this, &StringGrid::Click);
}

QTableWidgetItem* StringGrid::Item(int column, int row) const {
    if (column < 0 || column >= columnCount() || row < 0 || row > rowCount()) {
        return nullptr;
    }
    return row == 0 ? horizontalHeaderItem(column) : item(row - 1, column);
}

QString StringGrid::Cell(int column, int row) const {
    const QTableWidgetItem* cell = Item(column, row);
    return cell != nullptr ? cell->text() : QString();
}

void StringGrid::SetCell(int column, int row, const QString& text) {
    if (QTableWidgetItem* cell = Item(column, row)) {
        cell->setText(text);
        return;
    }
    if (column < 0 || column >= columnCount() || row < 0 || row > rowCount()) {
        return;
    }
    if (row == 0) {
        setHorizontalHeaderItem(column, new QTableWidgetItem(text));  // the grid owns it
        return;
    }
    auto* cell = new QTableWidgetItem(text);  // the grid owns it
    if (column == 0) {
        cell->setFlags(Qt::ItemIsEnabled);
        cell->setBackground(palette().button());
    } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    setItem(row - 1, column, cell);
}

void StringGrid::SetRowCount(int rows) {
    // The selection only moves when its row goes away; that move is no click.
    const QSignalBlocker quiet(this);
    setRowCount(std::max(rows - 1, 0));
    if (currentRow() < 0 && rowCount() > 0) {
        setCurrentCell(0, std::min(1, columnCount() - 1));
    }
}

void StringGrid::SetRow(int row) {
    if (row >= 1 && row <= rowCount()) {
        setCurrentCell(row - 1, std::max(currentColumn(), std::min(1, columnCount() - 1)));
    }
}

}  // namespace quorvan
