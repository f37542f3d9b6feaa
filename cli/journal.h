#pragma once
// vrk-cli's changes of a relay recorded in the service journal: the link's
// observers attached to journal::append, and the rows of each result.
#include "core/link.h"
#include "journal/journal.h"

#include <QString>

namespace cli {

struct Context;

// Records every setpoint write, clock setting and reset the link makes into
// the context's journal (none: nothing). A failed append is said on standard
// error and sets *failed.
void attachJournal(const Context& c, core::Link& link, bool* failed);
// Appends rows to the context's journal; false (said) when they could not be.
bool journalRows(const Context& c, const QList<journal::Row>& rows);

// The rows of each result, one per register.
// TODO(lead): journal::rowsFor() replaces these once the journal has them.
QList<journal::Row> rowsOf(const core::WriteResult& result);
QList<journal::Row> rowsOf(const core::ClockResult& result);
QList<journal::Row> rowsOf(const core::ResetResult& result);
// A row for a change with no result of the core (a service register write).
journal::Row rowOf(const core::Identity& identity, const QString& action);

} // namespace cli
