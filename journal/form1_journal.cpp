// The main window's service journal: every setpoint write, clock setting and
// fault reset made from the window, appended to the working folder's journal
// and marked in the poll log; the journal's window, opened from the setpoint
// grid's and the logging button's context menus.
#include "app/tform1.h"
#include "core/link.h"
#include "core/results.h"
#include "journal/journal.h"
#include "journal/journalwindow.h"
#include "records/polllog.h"
#include "seams/seams.h"
#include "widgets/controls.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
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
    if (f->recordsPage().PollLog1 && f->recordsPage().PollLog1->isOn()) {
        int confirmed = 0;
        for (const journal::Row& r : rows)
            confirmed += r.state == journal::state::confirmed;
        const QString details =
            QCoreApplication::translate("journal", "confirmed: %1 of %2").arg(confirmed).arg(rows.size());
        QString logError;
        if (!f->recordsPage().PollLog1->addEvent(seams::now(), event, details, &logError) &&
            f->recordsPage().PollLog1->failed)
            f->recordsPage().PollLog1->failed(logError);
    }
}

} // namespace

void TForm1::journalWrite(const core::WriteResult& result) {
    record(this, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Write);
}

void TForm1::journalClock(const core::ClockResult& result) {
    record(this, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Clock);
}

void TForm1::journalReset(const core::ResetResult& result) {
    record(this, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Reset);
}

void TForm1::showJournal() {
    idle::whenIdle(this, "showJournal", [this] {
        if (!journalPage().JournalWindow1)
            journalPage().JournalWindow1 = new JournalWindow(this);
        else
            journalPage().JournalWindow1->reload();
        journalPage().JournalWindow1->show();
        journalPage().JournalWindow1->raise();
        journalPage().JournalWindow1->activateWindow();
    });
}

void TForm1::buildJournal() {
    // Every change the link makes to the relay, whoever asked for it in the window.
    Link1->onWrite([this](const core::WriteResult& r) { journalWrite(r); });
    Link1->onClock([this](const core::ClockResult& r) { journalClock(r); });
    Link1->onReset([this](const core::ResetResult& r) { journalReset(r); });
    // The logging button shows the label's menu.
    for (QWidget* owner :
         {static_cast<QWidget*>(&setpointPage().grid()), static_cast<QWidget*>(recordsPage().LogSize)}) {
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
