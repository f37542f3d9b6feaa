#include "app/gridnavigation.h"

#include <algorithm>

namespace gridnav {

Cell nextCell(Cell from, Move move, const Shape& s) {
    const int firstColumn = s.fixedColumns, lastColumn = s.columns - 1;
    const int firstRow = s.fixedRows, lastRow = s.rows - 1;
    if (firstColumn > lastColumn || firstRow > lastRow) return {};
    if (from.column < firstColumn || from.column > lastColumn || from.row < firstRow || from.row > lastRow)
        return {firstColumn, firstRow};
    const int page = std::max(1, s.pageRows);
    Cell to = from;
    switch (move) {
    case Move::Up:
        to.row -= 1;
        break;
    case Move::Down:
        to.row += 1;
        break;
    case Move::Left:
        to.column -= 1;
        break;
    case Move::Right:
        to.column += 1;
        break;
    case Move::Home:
        to.column = firstColumn;
        break;
    case Move::End:
        to.column = lastColumn;
        break;
    case Move::First:
        to = {firstColumn, firstRow};
        break;
    case Move::Last:
        to = {lastColumn, lastRow};
        break;
    case Move::PageUp:
        to.row -= page;
        break;
    case Move::PageDown:
        to.row += page;
        break;
    case Move::Next:
        if (to.column < lastColumn)
            ++to.column;
        else if (to.row < lastRow)
            to = {firstColumn, to.row + 1};
        break;
    case Move::Previous:
        if (to.column > firstColumn)
            --to.column;
        else if (to.row > firstRow)
            to = {lastColumn, to.row - 1};
        break;
    }
    to.column = std::clamp(to.column, firstColumn, lastColumn);
    to.row = std::clamp(to.row, firstRow, lastRow);
    return to;
}

} // namespace gridnav
