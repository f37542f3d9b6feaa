#pragma once
// Reading the fault log's grid in tests.
#include "widgets/controls.h"

#include <QStringList>

// Columns 1..3 of the fault-log rows 1..rows, one "cause|date|time" text each.
inline QStringList listing(const StringGrid* g, int rows) {
    QStringList out;
    for (int r = 1; r <= rows; ++r)
        out << g->cell(1, r) + QLatin1Char('|') + g->cell(2, r) + QLatin1Char('|') + g->cell(3, r);
    return out;
}

// Whether columns 1..3 of rows `row`..40 are all empty.
inline bool listingEmptyFrom(const StringGrid* g, int row) {
    for (int r = row; r <= 40; ++r)
        for (int c = 1; c <= 3; ++c)
            if (!g->cell(c, r).isEmpty()) return false;
    return true;
}
