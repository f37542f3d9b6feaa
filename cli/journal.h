#pragma once
// vrk-cli's changes of a relay recorded in the service journal: the link's
// observers attached to journal::append.
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

} // namespace cli
