#pragma once
// The fault page: the relay's fault memory, its read and what it keeps
// between reads.
#include "relaydata/provenance.h"

#include <array>
#include <QObject>

class QLabel;
class QToolButton;
class StringGrid;
class TForm1;

class FaultPage : public QObject {
    Q_OBJECT
public:
    explicit FaultPage(TForm1& window);

    struct FaultLogState { // the relay's 200 bytes, kept between reads
        std::array<quint8, 200> faultBuffer{};
        // The blocks (bit b = block b) some read has got.
        unsigned faultBlocksRead = 0;
        // The blocks the last read got.
        unsigned faultBlocksFresh = 0;
        relaydata::Source source; // the relay of the last read
    };
    FaultLogState state;

    StringGrid* StringGrid2 = nullptr;
    QToolButton* SpeedButton12 = nullptr;
    QLabel* FaultLogNotice = nullptr; // what a read that missed blocks leaves on the page

    StringGrid& grid() const { return *StringGrid2; }

private:
    TForm1& w_;
};
