#include "cli/journal.h"

#include "cli/commands.h"

#include <QCoreApplication>

namespace cli {

namespace {

const QString kSource = QStringLiteral("vrk-cli");

} // namespace

bool journalRows(const Context& c, const QList<journal::Row>& rows) {
    if (!c.journal || rows.isEmpty()) return true;
    QString error;
    if (journal::append(*c.journal, rows, &error)) return true;
    c.err
        << QCoreApplication::translate("vrk-cli", "The change was not recorded in the journal: %1").arg(error)
        << Qt::endl;
    return false;
}

void attachJournal(const Context& c, core::Link& link, bool* failed) {
    link.onWrite([&c, failed](const core::WriteResult& r) {
        if (!journalRows(c, journal::rowsFor(r, kSource))) *failed = true;
    });
    link.onClock([&c, failed](const core::ClockResult& r) {
        if (!journalRows(c, journal::rowsFor(r, kSource))) *failed = true;
    });
    link.onReset([&c, failed](const core::ResetResult& r) {
        if (!journalRows(c, journal::rowsFor(r, kSource))) *failed = true;
    });
}

} // namespace cli
