#pragma once
// The records: the poll log with its button and size in the toolbar, the
// exports and the commissioning report.
#include <QDateTime>
#include <QObject>

class QLabel;
class QToolButton;
class TForm1;
namespace records {
class PollLog;
}

class RecordsPage : public QObject {
    Q_OBJECT
public:
    explicit RecordsPage(TForm1& window);

    QToolButton* LogButton = nullptr;
    QLabel* LogSize = nullptr;
    records::PollLog* PollLog1 = nullptr;
    QDateTime RecordsSince; // the window's start: the report lists the changes made since

private:
    TForm1& w_;
};
