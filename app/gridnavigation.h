#pragma once
// Where a navigation key takes a grid's current cell. Fixed columns (left)
// and fixed rows (top) hold names and hints: a key never makes one of them
// current, so typing always lands in a cell that can take it.

namespace gridnav {

struct Cell {
    int column = -1;
    int row = -1;
    bool operator==(const Cell&) const = default;
};

struct Shape {
    int columns = 0;
    int rows = 0;
    int fixedColumns = 0;
    int fixedRows = 0;
    int pageRows = 1; // rows one PgUp / PgDn moves
};

enum class Move { Up, Down, Left, Right, Home, End, First, Last, PageUp, PageDown, Next, Previous };

// The cell the move leads to from `from`, always inside the non-fixed part;
// a move past an edge stays at the edge. Next (Tab) runs along the row and
// on to the next row's first non-fixed cell, Previous (Shift+Tab) back; both
// stop at the grid's last / first cell. A current cell outside the
// non-fixed part (or none) gives the first non-fixed cell. A grid with no
// non-fixed cell gives {-1, -1}.
Cell nextCell(Cell from, Move move, const Shape& shape);

} // namespace gridnav
