#include "DataCell.h"

#include <QFontMetrics>
#include <QPainter>

namespace quorvan {

int DibujaCelda(QPainter& canvas, const QRect& item, CellAlignment alignment,
                const QColor& lineColour, const QColor& background, const QColor& textColour,
                const QString& text, int width, int x) {
    const QRect cell(item.left() + x, item.top(), width, item.height());
    canvas.save();
    canvas.fillRect(cell, background);
    // The bottom line, then the right one up to the cell's top.
    canvas.fillRect(QRect(cell.left(), cell.bottom(), width - 1, 1), lineColour);
    canvas.fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), lineColour);

    const QFontMetrics metrics(canvas.font());
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    // Right and bottom ends as the row measures them: one past the last pixel.
    const int cellRight = cell.left() + width;
    const int y = cell.top() + (cell.height() - textHeight) / 2;
    int textX = cell.left() + 2;
    switch (alignment) {
        case CellAlignment::Left:
            break;
        case CellAlignment::Right:
            textX = cellRight - textWidth - 2;
            break;
        case CellAlignment::Centre:
            textX = cell.left() + (width - textWidth) / 2;
            break;
    }
    canvas.setClipRect(cell, Qt::IntersectClip);
    canvas.setPen(textColour);
    canvas.drawText(QPoint(textX, y + metrics.ascent()), text);  // (x, y) is the text's top left
    canvas.restore();
    return x + width - 2;
}

}  // namespace quorvan
