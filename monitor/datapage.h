#pragma once
// The data page: the relay's measured values, the fault lamps, the load bars,
// the clock and the fault reset. The main window's poll and clock timers and
// the page's buttons come here.
#include "monitor/display.h"

#include <array>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QString>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
class QWidget;
class TForm1;
namespace core {
class Link;
struct Measurement;
} // namespace core

class DataPage : public QObject {
    Q_OBJECT
public:
    DataPage(TForm1& window, core::Link& link);

    struct PollState {
        int lostReads = 0;
        QList<display::FailedRead> failedReads; // the last ones in a row, for the drop's reason
        int faultWord = 0;
        int nominalCurrentRaw = 0;
        int relayVariant = 0;
        int ampereScale = 0;
        QString faultSince;
        // Registers 1..12 of the current tick's good measurement read, copied
        // out of the register values at once, with the currents below 10 % cut to 0.
        std::array<int, 12> registers{};
    };
    struct ClockState { // the clock timer's
        QString clockText;
        QString currentMonth;
        bool blinkDark = false;
    };

    // Creates the page's controls on page (the window's TabSheet1).
    void build(QWidget* page);
    // The window starts: no fault lamp lit, no read lost, no ampere scale yet.
    void startUp();
    // The port has opened: the count of lost reads begins afresh.
    void linkOpened();
    // The fault reset can be sent only while connected.
    void setResetEnabled(bool enabled);
    // The values, bars and lamps to their "no data" look.
    void clear();

    const PollState& state() const { return poll; }
    const ClockState& clockState() const { return clock; }
    // The caption of fault lamp bit 0..6, in the language shown.
    QString lampCaption(int bit) const;

    void Timer2Timer();       // the poll's tick
    void Timer1Timer();       // the clock's tick
    void SpeedButton4Click(); // percent
    void SpeedButton5Click(); // amperes
    void Button5Click();      // reset

private:
    // One good measurement read on the page.
    void showMeasurement(const core::Measurement& m, int lostBefore);

    TForm1& w_;
    core::Link& link_;
    PollState poll;
    ClockState clock;

    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr, *GroupBox3 = nullptr, *GroupBox4 = nullptr,
              *GroupBox5 = nullptr, *GroupBox7 = nullptr;
    QLabel *Label11 = nullptr, *Label23 = nullptr, *Label26 = nullptr, *Label29 = nullptr; // currents
    QLabel *Label24 = nullptr, *Label10 = nullptr, *Label27 = nullptr, *Label30 = nullptr; // their units
    QLabel *Label41 = nullptr, *Label43 = nullptr, *Label46 = nullptr, *Label49 = nullptr; // voltages
    QLabel *Label53 = nullptr, *Label57 = nullptr, *Label59 = nullptr;                     // Q, cos, P
    QLabel *Label28 = nullptr, *Label48 = nullptr;                                         // "Iśr=", "Uśr="
    QLabel *Label31 = nullptr, *Label32 = nullptr, *Label33 = nullptr, *Label34 = nullptr, *Label35 = nullptr,
           *Label36 = nullptr, *Label37 = nullptr, *Label38 = nullptr; // lamp captions
    QLabel *Label56 = nullptr, *Label60 = nullptr, *Label61 = nullptr; // bar scale
    QProgressBar *ProgressBar1 = nullptr, *ProgressBar2 = nullptr, *ProgressBar3 = nullptr;
    QToolButton *SpeedButton4 = nullptr, *SpeedButton5 = nullptr;
    QLabel *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr, *Image5 = nullptr,
           *Image6 = nullptr, *Image7 = nullptr, *Image8 = nullptr, *Image10 = nullptr, *Image11 = nullptr;
    QPushButton* Button5 = nullptr;
};
