#pragma once
// The fault page: the relay's fault memory, its read and what it keeps
// between reads.
#include "relaydata/provenance.h"

#include <array>
#include <QObject>
#include <QString>

class QAbstractButton;
class QLabel;
class QToolButton;
class StringGrid;
class TForm1;
namespace core {
struct Identity;
}

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

    // The grid, the read button and the notice on the window's fault sheet.
    void build();

    StringGrid& grid() const { return *StringGrid2; }
    const FaultLogState& state() const { return state_; }
    QAbstractButton* readButton() const;

    // The handlers (the window's methods of these names forward here).
    void SpeedButton12Click(); // read fault log
    QString przyczyna(int cause) const;
    QString miesiac(const QString& month) const;

    // The relay connected is another or none: the trips listed are marked as
    // the earlier relay's.
    void relayChanged(const core::Identity& now, bool connected);

private:
    // Before a read: bytes kept from another relay must not fill the blocks this read misses.
    void forgetOtherRelaysFaults();

    TForm1& w_;
    FaultLogState state_;

    StringGrid* StringGrid2 = nullptr;
    QToolButton* SpeedButton12 = nullptr;
    QLabel* FaultLogNotice = nullptr; // what a read that missed blocks leaves on the page
};
