#pragma once
// Setpoint tables for tests: a valid one (a 100 A relay), and reading and
// filling column 3 of the setpoint grid.
#include <QStringList>

// Rows 0..13 of a table that passes every check (variant 2, In 12,5 A).
inline QStringList validTable() {
    return {QStringLiteral("12,5"),  QStringLiteral("3,5"),  QStringLiteral("150"), QStringLiteral("40"),
            QStringLiteral("10"),    QStringLiteral("30"),   QStringLiteral("5"),   QStringLiteral("400"),
            QStringLiteral("80"),    QStringLiteral("115"),  QStringLiteral("2,5"), QStringLiteral("2"),
            QStringLiteral("12.06"), QStringLiteral("09:05")};
}

// Column 3 of a grid; a template so rule tests need no widgets.
template <typename Grid> void fill(Grid* g, const QStringList& cells) {
    for (int r = 0; r < 14; ++r)
        g->setCell(3, r, cells.value(r));
}

template <typename Grid> QStringList values(const Grid* g) {
    QStringList out;
    for (int r = 0; r < 14; ++r)
        out << g->cell(3, r);
    return out;
}
