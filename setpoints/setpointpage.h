#pragma once
// The setpoint page: the grid of the relay's setpoints, their read, check,
// write, files and the clock set.
#include "relaydata/provenance.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

class QAbstractButton;
class QToolButton;
class StringGrid;
class TForm1;
namespace core {
struct Identity;
struct WriteResult;
} // namespace core

class SetpointPage : public QObject {
    Q_OBJECT
public:
    explicit SetpointPage(TForm1& window);

    struct SetpointState { // registers 12..25 of the last good read; empty until then
        QVector<qint32> setpointImage;
        relaydata::Source source; // the relay it was read from
    };

    // The grid and the buttons on the window's setpoint sheet.
    void build();

    StringGrid& grid() const { return *StringGrid1; }
    const SetpointState& state() const { return state_; }
    // The buttons that start an exchange with the relay: read, write, clock.
    QList<QAbstractButton*> relayButtons() const;
    QAbstractButton* readButton() const;
    QAbstractButton* loadButton() const; // a setpoint file into the grid
    QAbstractButton* saveButton() const; // the grid into a setpoint file

    // The handlers (the window's methods of these names forward here).
    void Odswiez();
    bool Sprawdz(int n);
    void SpeedButton6Click();  // read setpoints
    void SpeedButton7Click();  // write setpoints
    void SpeedButton11Click(); // PC time to relay
    void SpeedButton9Click();  // load setpoint file
    void SpeedButton10Click(); // save setpoint file
    bool StringGrid1KeyPress(QChar key);
    bool StringGrid1SelectCell(int column, int row);

    void relabelSetpointRow0();
    // Marks the value cells whose text differs from the relay's last read.
    void markChangedCells();
    // The grid's context menu: a setpoint file beside the relay's last read.
    void compareSetpointFile();
    // The relay connected is another or none: values read from the earlier
    // one are marked so, in the grid and in the compare window.
    void relayChanged(const core::Identity& now, bool connected);

private:
    // The error window's text after a write that did not end confirmed.
    QString writeReport(const core::WriteResult& result, const QStringList& names) const;

    // A test sets the image up where the window cannot reach it (tests/form1setup.h).
    friend struct Form1TestSetup;
    TForm1& w_;
    SetpointState state_;

    StringGrid* StringGrid1 = nullptr;
    QToolButton *SpeedButton6 = nullptr, *SpeedButton7 = nullptr, *SpeedButton9 = nullptr,
                *SpeedButton10 = nullptr, *SpeedButton11 = nullptr;
};
