#include "journal/journalpage.h"

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
    records::PollLog* log = f->recordsPage().pollLog();
    if (log && log->isOn()) {
        int confirmed = 0;
        for (const journal::Row& r : rows)
            confirmed += r.state == journal::state::confirmed;
        const QString details =
            QCoreApplication::translate("journal", "confirmed: %1 of %2").arg(confirmed).arg(rows.size());
        QString logError;
        if (!log->addEvent(seams::now(), event, details, &logError) && log->failed) log->failed(logError);
    }
}

} // namespace

JournalPage::JournalPage(TForm1& window, core::Link& link) : QObject(&window), w_(window), link_(link) {
    setObjectName(QStringLiteral("JournalPage"));
}

void JournalPage::journalWrite(const core::WriteResult& result) {
    record(&w_, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Write);
}

void JournalPage::journalClock(const core::ClockResult& result) {
    record(&w_, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Clock);
}

void JournalPage::journalReset(const core::ResetResult& result) {
    record(&w_, journal::rowsFor(result, kSource, seams::now()), records::LogEvent::Reset);
}

void JournalPage::showJournal() {
    idle::whenIdle(&w_, "showJournal", [this] {
        if (!JournalWindow1)
            JournalWindow1 = new JournalWindow(&w_);
        else
            JournalWindow1->reload();
        JournalWindow1->show();
        JournalWindow1->raise();
        JournalWindow1->activateWindow();
    });
}

void JournalPage::build() {
    // Every change the link makes to the relay, whoever asked for it in the window.
    link_.onWrite([this](const core::WriteResult& r) { journalWrite(r); });
    link_.onClock([this](const core::ClockResult& r) { journalClock(r); });
    link_.onReset([this](const core::ResetResult& r) { journalReset(r); });
    // On the setpoint grid's menu, and on the logging button's (the label's, which the button shows).
    QWidget* grid = &w_.setpointPage().grid();
    auto* a = new QAction(grid);
    a->setObjectName(QStringLiteral("ShowJournal"));
    grid->addAction(a);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(a, &QAction::triggered, this, &JournalPage::showJournal);
    connect(w_.recordsPage().addLogMenuEntry("ShowJournal"), &QAction::triggered, this,
            &JournalPage::showJournal);
    translateTexts();
}

void JournalPage::translateTexts() {
    for (QAction* a : w_.findChildren<QAction*>(QStringLiteral("ShowJournal")))
        a->setText(QCoreApplication::translate("records", "Service journal..."));
}
