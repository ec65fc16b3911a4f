#include "DataListHeader.h"

#include <QPainter>
#include <QPolygon>
#include <QStandardItemModel>
#include <QStyleOptionHeader>
#include <array>

namespace quorvan {
namespace {

struct Section {
    const char* text;
    int imageIndex;
    int width;
    int largestWidth;  // 0: none
};
// "Bloque" and "Offset" carry the image indexes 5 and 6, so they sort like "Equipo".
constexpr std::array<Section, DataListHeader::kSectionCount> kSections = {{
    {"Equipo", 0, 80, 0},
    {"Nombre Var.", 1, 240, 400},
    {"Descripción", 2, 240, 400},
    {"Tipo", 3, 50, 50},
    {"Bloque", 5, 40, 50},
    {"Offset", 6, 40, 50},
}};

constexpr int kHeight = 20;
const QColor kSortMarkColour(0x80, 0x80, 0x80);

}  // namespace

DataListHeader::DataListHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent),
      sections_(new QStandardItemModel(0, kSectionCount, this)) {
    for (int section = 0; section < kSectionCount; ++section) {
        sections_->setHeaderData(section, Qt::Horizontal,
                                 QString::fromUtf8(kSections[section].text));
    }
    setModel(sections_);
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
    for (int section = 0; section < kSectionCount; ++section) {
        resizeSection(section, kSections[section].width);
    }
    setFixedHeight(kHeight);
    connect(this, &QHeaderView::sectionResized, this, &DataListHeader::KeepWithinLargestWidth);
}

int DataListHeader::ImageIndex(int section) {
    return section >= 0 && section < kSectionCount ? kSections[section].imageIndex : -1;
}

void DataListHeader::ShowSortMark(int section) {
    sortMark_ = section;
    viewport()->update();
}

void DataListHeader::KeepWithinLargestWidth(int section, int /*oldSize*/, int newSize) {
    const int largest = kSections[section].largestWidth;
    if (largest > 0 && newSize > largest) {
        resizeSection(section, largest);
    }
}

void DataListHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (painter != nullptr && rect.isValid()) {
        CabeceraDrawSection(*painter, logicalIndex, rect);
    }
}

void DataListHeader::CabeceraDrawSection(QPainter& painter, int section, const QRect& rect) const {
    QStyleOptionHeader background;
    background.initFrom(this);
    background.rect = rect;
    background.section = section;
    background.orientation = Qt::Horizontal;
    style()->drawControl(QStyle::CE_HeaderSection, &background, &painter, this);

    const QString text = QString::fromUtf8(kSections[section].text);
    const QFontMetrics metrics(font());
    const QString shown =
        metrics.horizontalAdvance(text) < rect.width() - 10 ? text : QStringLiteral("...");
    // The text starts as many pixels in as the window font has points.
    const int x = rect.left() + QFontInfo(font()).pointSize();
    const int y = rect.top() + 2;
    painter.save();
    painter.setFont(font());  // the font the text was measured in
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QPoint(x, y + metrics.ascent()), shown);
    if (section == sortMark_) {
        // Right and bottom ends one past the last pixel, as the section measures them.
        const int right = rect.left() + rect.width();
        const int bottom = rect.top() + rect.height();
        painter.setPen(kSortMarkColour);
        painter.setBrush(kSortMarkColour);
        painter.drawPolygon(
            QPolygon({QPoint(right - 10, rect.top() + 3), QPoint(right - 16, rect.top() + 3),
                      QPoint(right - 13, bottom - 6)}));
    }
    painter.restore();
}

}  // namespace quorvan
