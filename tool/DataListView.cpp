#include "DataListView.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>
#include <vector>

#include "DataCell.h"
#include "DataListHeader.h"

namespace quorvan {
namespace {

constexpr int kItemHeight = 13;

const QColor kLineColour(0xC0, 0xC0, 0xC0);
const QColor kSelectedBackground(0x00, 0x00, 0x80);
const QColor kSelectedText(0xFF, 0xFF, 0xFF);
const QColor kBackground(0xFF, 0xFF, 0xFF);

QString TypeText(std::uint8_t tipo) {
    // "Intgeger" is the text the list has always shown for integers.
    static const std::array<QString, 5> texts = {QStringLiteral("Char"), QStringLiteral("Byte"),
                                                 QStringLiteral("Intgeger"), QStringLiteral("Long"),
                                                 QStringLiteral("Float")};
    return tipo < texts.size() ? texts[tipo] : QString();
}

// The text a record sorts by for a header section's image index: two of its fields joined
// by a blank.
QString ClaveOrden(const TRegistro& record, int imageIndex) {
    const auto joined = [](const QString& first, const QString& second) {
        return first + QLatin1Char(' ') + second;
    };
    switch (imageIndex) {
        case 1:
            return joined(record.Nombre, record.Equipo);
        case 2:
            return joined(record.Descripcion, record.Equipo);
        case 3:
            return joined(record.Bloque, record.Nombre);
        case 4:
            return joined(record.Offset, record.Nombre);
        default:
            return joined(record.Equipo, record.Descripcion);
    }
}

// Paints every row through the view, then the focus frame on the entry that has it.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(DataListView& view) : QStyledItemDelegate(&view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        view_.ListaVisiblesDrawItem(*painter, index.row(), option.rect,
                                    option.state.testFlag(QStyle::State_Selected));
        if (option.state.testFlag(QStyle::State_HasFocus)) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = kSelectedBackground;
            view_.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, &view_);
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, kItemHeight};
    }

private:
    DataListView& view_;
};

}  // namespace

// The entries: sort texts with the records they stand for, in the list's order.
class DataListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    struct Entry {
        QString text;
        const TRegistro* record;
    };

    void Replace(std::vector<Entry> entries) {
        beginResetModel();
        entries_ = std::move(entries);
        endResetModel();
    }
    const Entry& At(int row) const { return entries_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || role != Qt::DisplayRole) {
            return {};
        }
        return At(index.row()).text;
    }

private:
    std::vector<Entry> entries_;
};

DataListView::DataListView(QWidget* parent) : QListView(parent), entries_(new DataListModel(this)) {
    setModel(entries_);
    setItemDelegate(new RowDelegate(*this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont listFont(QStringLiteral("MS Sans Serif"));
    listFont.setStyleHint(QFont::SansSerif);
    listFont.setPixelSize(11);
    setFont(listFont);
}

DataListView::~DataListView() = default;

bool DataListView::event(QEvent* event) {
    const bool handled = QListView::event(event);  // lays the viewport out first
    if (event->type() == QEvent::Resize) {
        emit Resized();
    }
    return handled;
}

void DataListView::Rebuild(const RecordList& records, int imageIndex) {
    std::vector<DataListModel::Entry> entries;
    entries.reserve(records.size());
    for (const auto& record : records) {
        entries.push_back({ClaveOrden(*record, imageIndex), record.get()});
    }
    QCollator collator;  // the user's collation, so accented names sort where a reader expects
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::ranges::stable_sort(entries, [&collator](const auto& a, const auto& b) {
        return collator.compare(a.text, b.text) < 0;
    });
    entries_->Replace(std::move(entries));
    if (Count() > 0) {
        selectionModel()->setCurrentIndex(entries_->index(0), QItemSelectionModel::NoUpdate);
    }
}

void DataListView::Clear() {
    entries_->Replace({});
}

int DataListView::Count() const {
    return entries_->rowCount();
}

QString DataListView::Text(int entry) const {
    return entries_->At(entry).text;
}

const TRegistro* DataListView::Record(int entry) const {
    return entries_->At(entry).record;
}

const TRegistro* DataListView::FocusedRecord() const {
    const QModelIndex focused = currentIndex();
    return focused.isValid() ? Record(focused.row()) : nullptr;
}

void DataListView::ListaVisiblesDrawItem(QPainter& painter, int index, const QRect& rect,
                                         bool selected) const {
    const TRegistro& record = *Record(index);
    painter.fillRect(rect, palette().color(selected ? QPalette::Highlight : QPalette::Base));
    if (header_ == nullptr) {
        return;
    }
    const QColor background = selected ? kSelectedBackground : kBackground;
    const QColor text = selected ? kSelectedText : palette().color(QPalette::Text);
    const struct {
        QString text;
        CellAlignment alignment;
    } cells[DataListHeader::kSectionCount] = {
        {record.Equipo, CellAlignment::Left},      {record.Nombre, CellAlignment::Left},
        {record.Descripcion, CellAlignment::Left}, {TypeText(record.Tipo), CellAlignment::Left},
        {record.Bloque, CellAlignment::Right},     {record.Offset, CellAlignment::Right},
    };
    int x = header_->x();
    for (int k = 0; k < DataListHeader::kSectionCount; ++k) {
        x = DibujaCelda(painter, rect, cells[k].alignment, kLineColour, background, text,
                        cells[k].text, header_->sectionSize(k), x);
    }
}

}  // namespace quorvan
