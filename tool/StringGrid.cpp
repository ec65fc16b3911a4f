#include "StringGrid.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>

namespace quorvan {

StringGrid::StringGrid(QWidget* parent)
    : QTableWidget(parent), corner_(new QHeaderView(Qt::Horizontal, this)) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    verticalHeader()->setDefaultSectionSize(16);
    verticalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    // The corner shows the caption of column 0 from the grid's own header row.
    corner_->setModel(model());
    corner_->setSectionResizeMode(QHeaderView::Interactive);
    corner_->setStretchLastSection(false);
    connect(model(), &QAbstractItemModel::columnsInserted, this, &StringGrid::FixFirstColumn);
    // Dragging the corner's edge resizes the fixed column, as dragging a caption does.
    connect(corner_, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column == 0) {
            verticalHeader()->setFixedWidth(width);
            updateGeometries();
        }
    });

    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) {
                    emit Click();
                }
            });
    connect(this, &QTableWidget::cellClicked, this, &StringGrid::Click);
    // The row header selects its row by itself (as a cell does); the click is reported too.
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, &StringGrid::Click);
}

void StringGrid::FixFirstColumn() {
    setColumnHidden(0, true);
    for (int column = 1; column < columnCount(); ++column) {
        corner_->hideSection(column);
    }
    verticalHeader()->setFixedWidth(corner_->sectionSize(0));
}

void StringGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    corner_->setGeometry(verticalHeader()->x(), horizontalHeader()->y(), verticalHeader()->width(),
                         horizontalHeader()->height());
    corner_->raise();
}

int StringGrid::ColWidth(int column) const {
    return column == 0 ? corner_->sectionSize(0) : columnWidth(column);
}

void StringGrid::SetColWidth(int column, int width) {
    if (column == 0) {
        corner_->resizeSection(0, width);
    } else {
        setColumnWidth(column, width);
    }
}

QTableWidgetItem* StringGrid::Item(int column, int row) const {
    if (column < 0 || column >= columnCount() || row < 0 || row > rowCount()) {
        return nullptr;
    }
    if (row == 0) {
        return horizontalHeaderItem(column);
    }
    return column == 0 ? verticalHeaderItem(row - 1) : item(row - 1, column);
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
    auto* cell = new QTableWidgetItem(text);  // the grid owns it
    if (row == 0) {
        setHorizontalHeaderItem(column, cell);
    } else if (column == 0) {
        setVerticalHeaderItem(row - 1, cell);
    } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row - 1, column, cell);
    }
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
