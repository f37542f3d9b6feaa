#pragma once
// The records: the poll log with its button and size in the toolbar, the
// exports and the commissioning report.
#include <functional>
#include <optional>
#include <QDateTime>
#include <QList>
#include <QObject>

class QAction;
class QLabel;
class QToolButton;
class TForm1;
namespace core {
class Link;
}
namespace records {
class PollLog;
struct VisitAction;
} // namespace records

class RecordsPage : public QObject {
    Q_OBJECT
public:
    RecordsPage(TForm1& window, core::Link& link);

    // The logging button and its label in ToolBar1's free area, and the
    // export and report entries of the other pages' context menus.
    void build();

    records::PollLog* pollLog() const { return PollLog1; }
    // The window's start: the report lists the changes made since.
    QDateTime since() const { return RecordsSince; }
    // An entry at the end of the logging button's menu (the label's, which the button shows).
    QAction* addLogMenuEntry(const char* name);

    void logPoll(int lostBefore); // a good measurement read into the poll log, when on
    void logConnect();            // the port opened: a row in the poll log, when on
    void logDisconnect();         // the port about to close: a row with why, when on

    void LogButtonClick();
    void startLogging();
    void exportFaultLogCsv();
    void exportFaultLogText();
    void exportChartPng();
    void exportChartCsv();
    void commissioningReport();
    // The changes made on this relay since the window started, as the service
    // journal holds them; nothing when the journal cannot be read (*error says why).
    std::optional<QList<records::VisitAction>> visitActions(QString* error) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* logAction(const char* name) const;
    void buildLogChoices();
    void translateTexts();
    void showLogLabel(const QString& path, qint64 size, const QString& stateText);
    void showLogging();
    void showLoggingOff(const QString& label);
    void loggingFailed(const QString& error);
    void logEvent(const std::function<bool(QString*)>& write);

    TForm1& w_;
    core::Link& link_;
    QToolButton* LogButton = nullptr;
    QLabel* LogSize = nullptr;
    records::PollLog* PollLog1 = nullptr;
    QDateTime RecordsSince;
};
