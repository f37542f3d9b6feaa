#pragma once
// The setpoint page: the grid of the relay's setpoints, their read, check,
// write, files and the clock set.
#include "relaydata/provenance.h"

#include <QObject>
#include <QVector>

class QToolButton;
class StringGrid;
class TForm1;

class SetpointPage : public QObject {
    Q_OBJECT
public:
    explicit SetpointPage(TForm1& window);

    struct SetpointState { // registers 12..25 of the last good read; empty until then
        QVector<qint32> setpointImage;
        relaydata::Source source; // the relay it was read from
    };
    SetpointState state;

    StringGrid* StringGrid1 = nullptr;
    StringGrid& grid() const { return *StringGrid1; }
    QToolButton *SpeedButton6 = nullptr, *SpeedButton7 = nullptr, *SpeedButton9 = nullptr,
                *SpeedButton10 = nullptr, *SpeedButton11 = nullptr;

private:
    TForm1& w_;
};
