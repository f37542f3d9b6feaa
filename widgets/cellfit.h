#pragma once
// Texts shown whole in cells of a fixed size: a text wider than its cell is
// drawn in a smaller font, and on two lines when one line would need a
// font too small to read.
#include <QFont>
#include <QString>

class StringGrid;

namespace cellfit {

// The font a text is drawn in within a cell of the given inner width and
// height, starting from `font`: the font itself when the text fits; else the
// largest size down to `smallestOneLine` pixels on one line; else the
// largest size that fits two lines (down to 8 pixels). `lines` tells which.
QFont fittingFont(const QString& text, QFont font, int width, int height, int smallestOneLine, int* lines);

// Keeps every text of the grid's column whole, now and whenever a cell of
// it changes (a language change, a read).
void keepColumnWhole(StringGrid* grid, int column, int smallestOneLine = 11);

} // namespace cellfit
