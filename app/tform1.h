#pragma once
// The main window. Its event handlers and operations keep the names the
// relay's service documents use; each subsystem defines its own methods in
// its folder (monitor/, setpoints/, faults/, trends/), and the rules they
// apply live in plain functions beside them.
#include "monitor/display.h"
#include "protocol/relaymap.h"
#include "wait/idle.h"

#include <array>
#include <memory>
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QGroupBox;
class RadioGroup;
class StringGrid;
class StatusBar;
class TSerialDriver;
class RegisterBus;
class RecorderChart;
class TForm2;
class TForm4;
class LineMonitor;
namespace core {
class Link;
struct PollResult;
struct Measurement;
struct WriteResult;
} // namespace core
namespace linemonitor {
class ExchangeRecord;
}
namespace records {
class PollLog;
}

// Nine channels of 500 samples each, channel c (1..9) at index c - 1.
using History = std::array<std::array<qint32, 500>, 9>;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The settings dialog and the error window are created after this window
    // and handed to it (program start).
    void setForms(TForm2* form2, TForm4* form4);
    TForm2* Form2() const { return form2_; }
    TForm4* Form4() const { return form4_; }

    // ---- app/ : start-up, pages, connection, error report
    void FormCreate();
    void SpeedButton21Click();
    void SpeedButton22Click();
    void SpeedButton23Click();
    void SpeedButton24Click();
    void SpeedButton1Click(); // connect
    void SpeedButton2Click(); // disconnect
    void SpeedButton3Click(); // settings
    void Rozlacz();
    // Puts the message into Label100, beeps and shows the error window.
    void reportError(const QString& message);

    // ---- protocol/ : register exchanges (forwarded to the link's register bus)
    bool Czytaj(int start, int n);
    bool Zapis(int reg, int value);
    void czekaj(quint32 ms);
    const QVector<qint32>& RegisterValues() const;

    // ---- monitor/ : poll and data page
    void Timer2Timer();
    void Timer1Timer();
    void SpeedButton4Click(); // percent
    void SpeedButton5Click(); // amperes
    void Button5Click();      // reset

    // ---- trends/ : recorder
    void Wykres1();
    void Wykres11();
    void Wykres12();
    void Ods_wykres1();
    void Ods_wykres2();
    void Zer_wykres1();
    void Zer_wykres2();
    void SpeedButton8Click();
    void SpeedButton13Click(); // open recording
    void SpeedButton14Click(); // save recording
    void RadioGroup1Click();
    void RadioGroup2Click();

    // ---- setpoints/
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

    // ---- faults/
    void SpeedButton12Click(); // read fault log
    QString przyczyna(int cause) const;
    QString miesiac(const QString& month) const;

    // ---- records/: the poll log, the exports and the commissioning report
    void buildRecords();          // the logging button and the context menu entries
    void logPoll(int lostBefore); // a good measurement read into the poll log, when on
    void LogButtonClick();
    void exportFaultLogCsv();
    void exportFaultLogText();
    void exportChartPng();
    void exportChartCsv();
    void commissioningReport();

    // An exchange sequence (a poll tick, a transfer, a reset) is running;
    // a poll tick that finds one running is skipped.
    bool exchangeBusy() const;

    // ---- the link to the relay (core/): owns the driver, the register bus and the poll timer
    core::Link* Link1 = nullptr;

    // ---- controls (objectName = the field's name)
    TSerialDriver* SerialDriver1 = nullptr; // the link's driver
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr; // the link's poll timer

    QToolBar* ToolBar1 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr;
    QLabel* Image9 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolButton *SpeedButton21 = nullptr, *SpeedButton22 = nullptr, *SpeedButton23 = nullptr,
                *SpeedButton24 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet4 = nullptr, *TabSheet5 = nullptr, *TabSheet6 = nullptr,
            *TabSheet7 = nullptr;
    StatusBar* StatusBar2 = nullptr;
    QProgressBar* ProgressBar4 = nullptr;

    // data page (TabSheet1)
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

    // chart page (TabSheet5)
    RecorderChart* Chart2 = nullptr;
    QToolButton *SpeedButton8 = nullptr, *SpeedButton13 = nullptr, *SpeedButton14 = nullptr;
    RadioGroup *RadioGroup1 = nullptr, *RadioGroup2 = nullptr;

    // setpoint page (TabSheet4)
    StringGrid* StringGrid1 = nullptr;
    QToolButton *SpeedButton6 = nullptr, *SpeedButton7 = nullptr, *SpeedButton9 = nullptr,
                *SpeedButton10 = nullptr, *SpeedButton11 = nullptr;

    // fault page (TabSheet6)
    StringGrid* StringGrid2 = nullptr;
    QToolButton* SpeedButton12 = nullptr;

    // hidden text store (TabSheet7): Label65 .. Label101, index = number - 65
    std::array<QLabel*, 37> hiddenLabels{};
    QLabel* hiddenLabel(int number) const {
        return hiddenLabels.at(size_t(number - int(HiddenText::PortBusy)));
    }
    // The label of a text, or of the offset-th text of a series.
    QLabel* hiddenLabel(HiddenText text, int offset = 0) const {
        return hiddenLabel(hiddenTextNumber(text, offset));
    }
    QLabel* Label100 = nullptr;
    QLabel* Label101 = nullptr;

    // Registers 1..12 of the current tick's good measurement read, copied
    // out of RegisterValues at once, with the currents below 10 % cut to 0.
    const std::array<int, 12>& pollRegisters() const { return poll_.registers; }
    // ---- fault log (faults/): the notice a read that missed blocks leaves on the page
    QLabel* FaultLogNotice = nullptr;
    // ---- records (records/): the logging button in ToolBar1's free area, the file's size beside it
    QToolButton* LogButton = nullptr;
    QLabel* LogSize = nullptr;
    records::PollLog* PollLog1 = nullptr;
    // ---- communication monitor (linemonitor/): its button at the right end of ToolBar1's free area
    QToolButton* LineMonitorButton = nullptr;
    LineMonitor* LineMonitor1 = nullptr;                // made on first use
    linemonitor::ExchangeRecord* LineRecord1 = nullptr; // what it shows, kept from the start
    void buildLineMonitor();
    void LineMonitorButtonClick();

    // ---- each subsystem's state: owned by the window, read-only from outside
    struct PollState { // monitor/
        int lostReads = 0;
        QList<display::FailedRead> failedReads; // the last ones in a row, for the drop's reason
        int faultWord = 0;
        int nominalCurrentRaw = 0;
        int relayVariant = 0;
        int ampereScale = 0;
        QString faultSince;
        std::array<int, 12> registers{}; // see pollRegisters()
    };
    struct ClockState { // monitor/: the clock timer's
        QString clockText;
        QString currentMonth;
        bool blinkDark = false;
    };
    struct RecorderState { // trends/
        History recorderHistory{};
        History fileHistory{};
    };
    struct SetpointState { // setpoints/: registers 12..25 of the last good read; empty until then
        QVector<qint32> setpointImage;
    };
    struct FaultLogState { // faults/: the relay's 200 bytes, kept between reads
        std::array<quint8, 200> faultBuffer{};
        // The blocks (bit b = block b) some read has got.
        unsigned faultBlocksRead = 0;
        // The blocks the last read got.
        unsigned faultBlocksFresh = 0;
    };
    const PollState& pollState() const { return poll_; }
    const ClockState& clockState() const { return clock_; }
    const RecorderState& recorderState() const { return recorder_; }
    const SetpointState& setpointState() const { return setpoint_; }
    const FaultLogState& faultLogState() const { return faultLog_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class SequenceGuard;
    void buildWindow();       // app/: toolbars, pages, status bar, hidden labels
    void buildDataPage();     // monitor/
    void buildChartPage();    // trends/
    void buildSetpointPage(); // setpoints/
    void buildFaultPage();    // faults/
    void setPollButtons(bool connected);
    // monitor/: one good measurement read on the data page
    void showMeasurement(const core::Measurement& m, int lostBefore);
    // setpoints/: the error window's text after a write that did not end confirmed
    QString writeReport(const core::WriteResult& result, const QStringList& names) const;

    RegisterBus* bus_ = nullptr; // the link's
    PollState poll_;
    ClockState clock_;
    RecorderState recorder_;
    SetpointState setpoint_;
    FaultLogState faultLog_;
    // State a test sets up that the window cannot reach in a test's time (tests/form1setup.h).
    friend struct Form1TestSetup;
    TForm2* form2_ = nullptr;
    TForm4* form4_ = nullptr;
    int sequenceDepth_ = 0;
};

// Marks an exchange sequence as running for its lifetime (nests).
// A window closed and gone in one of the sequence's waits is left alone.
class SequenceGuard {
public:
    explicit SequenceGuard(TForm1* f) : f_(f) { ++f_->sequenceDepth_; }
    // The program-wide mark that defers dialogs (wait/idle.h) goes with it.
    ~SequenceGuard() {
        if (f_) --f_->sequenceDepth_;
    }
    SequenceGuard(const SequenceGuard&) = delete;
    SequenceGuard& operator=(const SequenceGuard&) = delete;

private:
    QPointer<TForm1> f_;
    idle::Busy busy_;
};
