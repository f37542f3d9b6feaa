#pragma once
// The data page: the relay's measured values, the fault lamps, the load bars,
// the clock and the fault reset.
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
class TForm1;

class DataPage : public QObject {
    Q_OBJECT
public:
    explicit DataPage(TForm1& window);

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

    // The caption of fault lamp `bit` (0..6: Label32..Label38).
    QString lampCaption(int bit) const {
        const QLabel* captions[] = {Label32, Label33, Label34, Label35, Label36, Label37, Label38};
        return captions[bit]->text();
    }

private:
    TForm1& w_;
};
