#include "widgets/cellfit.h"

#include "widgets/controls.h"

#include <algorithm>
#include <QFontMetrics>
#include <QSignalBlocker>
#include <QStyle>

namespace cellfit {

QFont fittingFont(const QString& text, QFont font, int width, int height, int smallestOneLine, int* lines) {
    if (lines) *lines = 1;
    if (font.pixelSize() <= 0 || text.isEmpty()) return font;
    const QFont start = font;
    for (int px = start.pixelSize(); px >= smallestOneLine; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
    }
    for (int px = std::min(start.pixelSize(), smallestOneLine); px >= 8; --px) {
        font.setPixelSize(px);
        const QFontMetrics fm(font);
        const QRect r = fm.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text);
        if (r.width() <= width && r.height() <= height && r.height() <= 2 * fm.lineSpacing()) {
            if (lines) *lines = 2;
            return font;
        }
    }
    // Not even two lines: the smallest one-line size; the cell's tooltip shows the whole text.
    font.setPixelSize(smallestOneLine);
    return font;
}

namespace {

void fitCell(StringGrid* grid, int column, int row, int smallestOneLine) {
    QTableWidgetItem* it = grid->item(row, column);
    if (!it) return;
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    const QFont font = fittingFont(it->text(), grid->font(), grid->columnWidth(column) - 2 * margin,
                                   grid->rowHeight(row) - 2, smallestOneLine, nullptr);
    // A font of its own only where the text needs one; no itemChanged of its own.
    const QSignalBlocker quiet(grid);
    if (font == grid->font())
        it->setData(Qt::FontRole, QVariant());
    else if (it->font() != font || !it->data(Qt::FontRole).isValid())
        it->setFont(font);
}

} // namespace

void keepColumnWhole(StringGrid* grid, int column, int smallestOneLine) {
    grid->setWordWrap(true);
    for (int r = 0; r < grid->rowCount(); ++r)
        fitCell(grid, column, r, smallestOneLine);
    QObject::connect(grid, &QTableWidget::itemChanged, grid,
                     [grid, column, smallestOneLine](QTableWidgetItem* it) {
                         if (it->column() == column) fitCell(grid, column, it->row(), smallestOneLine);
                     });
}

} // namespace cellfit
