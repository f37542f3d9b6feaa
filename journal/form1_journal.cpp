// The main window's service journal: every setpoint write, clock setting and
// fault reset made from the window, appended to the working folder's journal
// and marked in the poll log; the journal's window, opened from the setpoint
// grid's and the logging button's context menus.
#include "app/tform1.h"
#include "config/tform2.h"
#include "core/results.h"
#include "journal/journal.h"
#include "journal/journalwindow.h"
#include "protocol/registerbus.h"
#include "records/polllog.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "widgets/controls.h"

#include <algorithm>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace {
const QString kSource = QStringLiteral("vrk");

// Says a failed append once no operation runs: a change the journal misses is never silent.
void journalFailed(TForm1* f, const QString& error) {
    const QString message = error + QLatin1Char('\n') +
                            QCoreApplication::translate(
                                "journal", "The change was made but is missing from the service journal.");
    idle::whenIdle(f, "journalFailed", [f, message] { seams::errorBox(f, message); });
}

// The rows of a change: to the journal, and in short to the poll log when it is on.
void record(TForm1* f, const QList<journal::Row>& rows, records::LogEvent event) {
    if (rows.isEmpty()) return;
    QString error;
    if (!journal::append(journal::defaultPath(), rows, &error)) journalFailed(f, error);
    if (f->PollLog1 && f->PollLog1->isOn()) {
        int confirmed = 0;
        for (const journal::Row& r : rows)
            confirmed += r.state == journal::state::confirmed;
        const QString details =
            QCoreApplication::translate("journal", "confirmed: %1 of %2").arg(confirmed).arg(rows.size());
        QString logError;
        if (!f->PollLog1->addEvent(seams::now(), event, details, &logError) && f->PollLog1->failed)
            f->PollLog1->failed(logError);
    }
}

core::RegisterWrite::State stateOf(int index, int sent, const QList<int>& unconfirmed) {
    if (index >= sent) return core::RegisterWrite::State::NotSent;
    return unconfirmed.contains(index) ? core::RegisterWrite::State::NotConfirmed
                                       : core::RegisterWrite::State::Confirmed;
}
} // namespace

core::Identity TForm1::relayIdentity() const {
    core::Identity id;
    id.port = SerialDriver1->PortName();
    id.address = Form2() ? Form2()->busAddress() : 0;
    if (setpoint_.setpointImage.size() > setpoints::kVariantRow)
        id.variant = setpoint_.setpointImage.at(setpoints::kVariantRow);
    else if (poll_.relayVariant != 0)
        id.variant = poll_.relayVariant;
    return id;
}

std::optional<core::Failure> TForm1::lastFailure() const {
    core::Failure f;
    f.error = bus_->error();
    f.reply = bus_->lastReply();
    f.linkLost = !SerialDriver1->IsOpen();
    return f;
}

void TForm1::journalWrite(const core::WriteResult& result) {
    record(this, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Write);
}

void TForm1::journalClock(const core::ClockResult& result) {
    record(this, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Clock);
}

void TForm1::journalReset(const core::ResetResult& result) {
    record(this, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Reset);
}

void TForm1::journalSetpointWrite(const QStringList& names, const QVector<qint32>& before,
                                  const std::array<int, setpoints::kWrittenRows>& values, int sent,
                                  const QList<int>& unconfirmed, const QVector<qint32>& readBack) {
    core::WriteResult w;
    w.identity = relayIdentity();
    if (before.size() > setpoints::kVariantRow) w.identity.variant = before.at(setpoints::kVariantRow);
    w.readBackDone = !readBack.isEmpty();
    const QList<setpoints::Difference> differences =
        w.readBackDone ? setpoints::compareWritten(values, readBack) : QList<setpoints::Difference>{};
    for (int i = 0; i < setpoints::kWrittenRows; ++i) {
        core::RegisterWrite r;
        r.reg = setpoints::kFirstRegister + i;
        r.parameter = setpoints::parameterName(names.value(i));
        if (i < before.size()) r.before = before.at(i);
        r.sent = values[size_t(i)];
        r.state = stateOf(i, sent, unconfirmed);
        if (i < readBack.size()) r.readBack = readBack.at(i);
        r.heldAsSent =
            w.readBackDone && std::none_of(differences.begin(), differences.end(),
                                           [i](const setpoints::Difference& d) { return d.row == i; });
        w.registers << r;
    }
    if (sent < setpoints::kWrittenRows || !unconfirmed.isEmpty()) w.failure = lastFailure();
    journalWrite(w);
}

void TForm1::journalClockSetting(const QDateTime& at, int sent, const QList<int>& unconfirmedRows) {
    core::ClockResult c;
    c.identity = relayIdentity();
    c.sent = at;
    for (int i = 0; i < 2; ++i)
        c.states[size_t(i)] = stateOf(setpoints::kDateRow + i, setpoints::kDateRow + sent, unconfirmedRows);
    c.confirmed = sent == 2 && unconfirmedRows.isEmpty();
    if (!c.confirmed) c.failure = lastFailure();
    journalClock(c);
}

void TForm1::journalFaultReset(int faultWordBefore, bool sent, bool confirmed, bool refused) {
    core::ResetResult r;
    r.identity = relayIdentity();
    r.faultWordBefore = faultWordBefore;
    r.sent = sent;
    r.confirmed = confirmed;
    r.refused = refused;
    if (!refused && !confirmed) r.failure = lastFailure();
    journalReset(r);
}

void TForm1::showJournal() {
    idle::whenIdle(this, "showJournal", [this] {
        if (!JournalWindow1)
            JournalWindow1 = new JournalWindow(this);
        else
            JournalWindow1->reload();
        JournalWindow1->show();
        JournalWindow1->raise();
        JournalWindow1->activateWindow();
    });
}

void TForm1::buildJournal() {
    for (QWidget* owner : {static_cast<QWidget*>(StringGrid1), static_cast<QWidget*>(LogButton),
                           static_cast<QWidget*>(LogSize)}) {
        auto* a = new QAction(owner);
        a->setObjectName(QStringLiteral("ShowJournal"));
        owner->addAction(a);
        owner->setContextMenuPolicy(Qt::ActionsContextMenu);
        connect(a, &QAction::triggered, this, &TForm1::showJournal);
    }
    translateJournalTexts();
}

void TForm1::translateJournalTexts() {
    for (QAction* a : findChildren<QAction*>(QStringLiteral("ShowJournal")))
        a->setText(QCoreApplication::translate("records", "Service journal..."));
}
