#pragma once
// A window of its own (not modal) that sets a setpoint file beside the
// relay's last read, row by row: parameter, relay value, file value and
// whether they differ. It never changes the setpoint table.
#include "setpoints/readback.h"

#include <QWidget>

class QLabel;
class QTableWidget;

class SetpointCompareWindow : public QWidget {
    Q_OBJECT
public:
    explicit SetpointCompareWindow(QWidget* parent);
    // Fills the window: the file's name, the name column's row texts of the
    // table (numbers and names) and the compared rows.
    void showComparison(const QString& fileName, const QStringList& names,
                        const QList<setpoints::FileComparison>& rows);
    // Where the relay's values came from, when they are no longer the relay
    // connected now's ("earlier, from the relay at ..."); empty: hidden.
    void showRelay(const QString& earlierNote);

    QLabel* FileLabel = nullptr;
    QLabel* RelayLabel = nullptr;
    QTableWidget* CompareTable = nullptr;
};
