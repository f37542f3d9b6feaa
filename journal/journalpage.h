#pragma once
// The service journal: every setpoint write, clock setting and fault reset
// made from the window, appended to the working folder's journal and marked
// in the poll log; the journal's window, opened from the setpoint grid's and
// the logging button's context menus.
#include <QObject>

class JournalWindow;
class TForm1;
namespace core {
class Link;
struct ClockResult;
struct ResetResult;
struct WriteResult;
} // namespace core

class JournalPage : public QObject {
    Q_OBJECT
public:
    JournalPage(TForm1& window, core::Link& link);

    // Journals every change the link makes; the context menus' entries.
    void build();
    void translateTexts();
    void showJournal(); // the journal's window (when no operation runs)
    void journalWrite(const core::WriteResult& result);
    void journalClock(const core::ClockResult& result);
    void journalReset(const core::ResetResult& result);

    JournalWindow* window() const { return JournalWindow1; }

private:
    TForm1& w_;
    core::Link& link_;
    JournalWindow* JournalWindow1 = nullptr;
};
