#pragma once
// One cell of a data list row: filled, closed by a bottom and a right line, with its text
// placed inside and clipped to it.

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace quorvan {

enum class CellAlignment { Left, Right, Centre };

// Draws the cell that starts `x` pixels right of the item rectangle's left edge and is
// `width` wide, as tall as the item. Returns the x of the next cell: 2 less than this
// cell's right end, so each cell covers the last two pixel columns (the right line among
// them) of the one before.
int DibujaCelda(QPainter& canvas, const QRect& item, CellAlignment alignment,
                const QColor& lineColour, const QColor& background, const QColor& textColour,
                const QString& text, int width, int x);

}  // namespace quorvan
