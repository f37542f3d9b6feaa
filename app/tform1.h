#pragma once
// The main window: the frame (toolbars, page control, status bar, the hidden
// text store) and the link to the relay. Each page is an object of its own
// that owns its controls and state (monitor/datapage.h, trends/chartpage.h,
// setpoints/setpointpage.h, faults/faultpage.h, records/recordspage.h,
// journal/journalpage.h, linemonitor/linemonitorpage.h); the handlers keep
// the names the relay's service documents use and forward to the pages.
#include "faults/faultpage.h"
#include "journal/journalpage.h"
#include "linemonitor/linemonitorpage.h"
#include "monitor/datapage.h"
#include "protocol/relaymap.h"
#include "records/recordspage.h"
#include "relaydata/provenance.h"
#include "setpoints/setpointpage.h"
#include "trends/chartpage.h"
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
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class StatusBar;
class TSerialDriver;
class RegisterBus;
class TForm2;
class TForm4;
namespace core {
class Link;
}

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

    // ---- monitor/ : poll and data page (forwarded to the data page)
    void Timer2Timer();
    void Timer1Timer();
    void SpeedButton4Click(); // percent
    void SpeedButton5Click(); // amperes
    void Button5Click();      // reset

    // ---- trends/ : recorder (forwarded to the chart page)
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

    // ---- faults/
    void SpeedButton12Click(); // read fault log
    QString przyczyna(int cause) const;
    QString miesiac(const QString& month) const;

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

    // The relay the window speaks to, as the records stamp it: "address 3 on COM1".
    QString relayText() const;

    // ---- the pages: each owns its controls and its state
    DataPage& dataPage() const { return *data_; }
    ChartPage& chartPage() const { return *chart_; }
    SetpointPage& setpointPage() const { return *setpoints_; }
    FaultPage& faultPage() const { return *faults_; }
    RecordsPage& recordsPage() const { return *records_; }
    JournalPage& journalPage() const { return *journal_; }
    LineMonitorPage& lineMonitorPage() const { return *lineMonitor_; }

    // ---- relaydata/: which relay the pages' data came from
    // The relay connected now: port, line, bus address, the variant the poll
    // has read in this connection (none before, or while disconnected).
    core::Identity relayNow() const;
    // The relay connected is another or none (connect, disconnect, another
    // address, another variant): what came from the earlier one is marked so.
    void relayChanged();
    // A source for data read from the relay now.
    relaydata::Source freshSource(std::optional<int> variantRead = std::nullopt) const;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class SequenceGuard;
    void buildWindow(); // app/: toolbars, pages, status bar, hidden labels
    void setPollButtons(bool connected);

    RegisterBus* bus_ = nullptr; // the link's
    DataPage* data_ = nullptr;
    ChartPage* chart_ = nullptr;
    SetpointPage* setpoints_ = nullptr;
    FaultPage* faults_ = nullptr;
    RecordsPage* records_ = nullptr;
    JournalPage* journal_ = nullptr;
    LineMonitorPage* lineMonitor_ = nullptr;
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
