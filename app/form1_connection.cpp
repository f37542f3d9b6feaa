// Connecting to and disconnecting from the relay, and the error report.
#include "app/operation.h"
#include "app/tform1.h"
#include "app/tform4.h"
#include "config/linesettings.h"
#include "config/tform2.h"
#include "core/link.h"
#include "linemonitor/exchangerecord.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "widgets/controls.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

// While the program is connected through a network gateway (COM1 may name
// one) the window's title ends with what the port really is; the title as it
// was is kept here.
const char* const kPlainTitle = "plainTitle";
// Why a network connection was lost, kept from the disconnect until the
// error report that follows it.
const char* const kLostReason = "networkLostReason";

void showTarget(TForm1& f, const QString& target) {
    if (!f.property(kPlainTitle).isValid()) f.setProperty(kPlainTitle, f.windowTitle());
    const QString plain = f.property(kPlainTitle).toString();
    f.setWindowTitle(target.isEmpty() ? plain : plain + QStringLiteral(" - ") + target);
}

} // namespace

void TForm1::setPollButtons(bool connected) {
    for (QAbstractButton* b : Operation::transferButtons(*this))
        if (b) b->setEnabled(connected);
    SpeedButton1->setEnabled(!connected);
    SpeedButton2->setEnabled(connected);
    SpeedButton3->setEnabled(!connected);
    dataPage().setResetEnabled(connected);
}

void TForm1::SpeedButton1Click() {
    // The dialog's choices (config/linesettings.h); an index outside its
    // list leaves that property as it was.
    ini::Selections none;
    none.port = none.speed = none.parity = none.dataBits = none.stopBits = -1;
    const ini::Selections chosen = form2_ ? form2_->selections() : none;
    if (auto v = linesettings::portOf(chosen.port)) SerialDriver1->setPort(*v);
    if (auto v = linesettings::speedOf(chosen.speed))
        SerialDriver1->setBaudRate(linesettings::baudRateOf(*v));
    if (auto v = linesettings::parityOf(chosen.parity)) SerialDriver1->setParity(*v);
    if (auto v = linesettings::dataBitsOf(chosen.dataBits)) SerialDriver1->setDataBits(*v);
    if (auto v = linesettings::stopBitsOf(chosen.stopBits)) SerialDriver1->setStopBits(*v);
    // DTR and RTS stay off, and no flow control is used.
    SerialDriver1->setHwFlow(hfNONE);
    SerialDriver1->setSwFlow(sfNONE);
    SerialDriver1->setEnableDTROnOpen(false);
    SerialDriver1->setCheckLineStatus(false);

    SpeedButton1->setEnabled(false);
    SpeedButton3->setEnabled(false);
    setProperty(kLostReason, QString());
    if (Link1->open()) {
        // The communication monitor's counters count from here.
        lineMonitorPage().record().resetCounters();
        if (SerialDriver1->isNetwork()) showTarget(*this, SerialDriver1->targetText());
        setPollButtons(true);
        Timer2->start();
        dataPage().linkOpened();
        recordsPage().logConnect();
    } else {
        SpeedButton3->setEnabled(true);
        SpeedButton1->setEnabled(true);
        // The language file's text, and on a second line why, from the driver.
        reportError(hiddenLabel(HiddenText::PortBusy)->text() + QLatin1Char('\n') +
                    SerialDriver1->errorString());
    }
}

void TForm1::SpeedButton2Click() {
    Rozlacz();
}

void TForm1::SpeedButton3Click() {
    if (!form2_) return;
    if (idle::deferred(this, "SpeedButton3", [this] { SpeedButton3Click(); })) return;
    form2_->show();
    form2_->raise();
    form2_->activateWindow();
}

void TForm1::Rozlacz() {
    recordsPage().logDisconnect();
    if (SerialDriver1->isNetwork()) {
        // A lost connection is named in the report that follows.
        const bool lost = SerialDriver1->IsOpen() && SerialDriver1->error() != TSerialDriver::Error::NoError;
        setProperty(kLostReason, lost ? SerialDriver1->errorString() : QString());
        showTarget(*this, QString());
    }
    Link1->close();
    setPollButtons(false);
    dataPage().clear();
}

void TForm1::reportError(const QString& message) {
    QString text = message;
    if (const QString reason = property(kLostReason).toString(); !reason.isEmpty()) {
        // The lost connection is the reason: it replaces what the failed reads
        // could tell of it (a port that stopped working).
        text = text.section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n') + reason;
        setProperty(kLostReason, QString());
    }
    Label100->setText(text);
    seams::beep();
    if (form4_) form4_->showMessage();
}
