#pragma once
// The communication monitor's rules, without a window: what an exchange's
// outcome was in words, the counters since connecting, the rows as text and
// the list of the last exchanges (a ring of kMaxRows rows as a table model).
#include "protocol/registerbus.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QFont>
#include <QList>
#include <QLocale>
#include <QString>
#include <vector>

namespace linemonitor {

// The outcome of an exchange as the monitor tells it.
enum class Outcome {
    Good,
    NoReply,
    ShortReply,
    BadCrc,
    // A whole reply with a right CRC whose address or function byte is not
    // the request's: another device answered (or an old reply to another question).
    OtherAddressOrFunction,
    DeviceGone, // the device went away, or the port was closed during the exchange
    BadRequest,
    EarlyReply,   // began sooner than the request could have crossed the line
    Exception,    // the relay refused the request (function + 0x80 and a code)
    OtherFailure, // any other reason the bus gives (told in its own words)
};
constexpr int kOutcomeCount = int(Outcome::OtherFailure) + 1;

// Told from the bus's outcome and the bytes. A sound exception reply to the
// request (its address, its function + 0x80, a code, a right CRC) is an
// exception whatever the bus made of its length.
Outcome classify(const QByteArray& request, const QByteArray& reply, BusError error);
// In the current language ("good", "no reply", ...).
QString outcomeText(Outcome outcome);
// True for a 5-byte exception reply to request with a right CRC.
bool isExceptionReply(const QByteArray& request, const QByteArray& reply);

struct Row {
    qint64 sentMs = 0;
    QByteArray request;
    QByteArray reply;
    Outcome outcome = Outcome::Good;
    qint64 roundTripUs = 0;
    BusError error = BusError::NoError; // the bus's own outcome
};
// The row's outcome in words, with what the bytes tell: the other device's
// address, the exception's name and code; the bus's own words for another failure.
QString outcomeText(const Row& row);
Row rowOf(const BusExchange& exchange);

// hh:mm:ss.zzz in local time.
QString timeText(qint64 msSinceEpoch);
// "03 03 00 16 00 01 65 EE"; empty for no bytes.
QString hexText(const QByteArray& bytes);
// The font of the times and bytes in the list: fixed width, so the bytes line up.
QFont hexFont();
// The round trip in ms with one decimal ("12.3").
QString roundTripText(qint64 us);
// The same on screen, in the language's form ("84,0" in Polish).
QString roundTripText(qint64 us, const QLocale& locale);

// Counted since connecting (or the last Clear).
struct Counters {
    qint64 requests = 0;
    qint64 byOutcome[kOutcomeCount] = {};
    void add(Outcome outcome);
    qint64 count(Outcome outcome) const { return byOutcome[int(outcome)]; }
    qint64 failures() const { return requests - count(Outcome::Good); }
    // The port lost, a bad request or another reason of the bus (a request not sent).
    qint64 otherFailures() const {
        return count(Outcome::DeviceGone) + count(Outcome::BadRequest) + count(Outcome::OtherFailure);
    }
    // Failures in % of the requests, 0 without requests.
    double failureRate() const;
};

// The failure rate as the window shows it ("12.5 %").
QString rateText(double percent);
// The failures counted, by outcome, the most frequent first ("no reply: 240,
// bad CRC: 5"); empty without failures.
QString failuresText(const Counters& counters);
// The same on screen, in the language's form ("0,0 %" in Polish).
QString rateText(double percent, const QLocale& locale);

// The saved text: a heading with the counters (and, when the rows are fewer
// than the requests counted, a line saying which part is listed), then one
// line per row, the fields separated by tabs, lines ended by LF, UTF-8.
QByteArray textFile(const QList<Row>& rows, const Counters& counters);
// One row as a line of the saved text (without the line end).
QString rowLine(const Row& row);

// The last `capacity` rows, oldest first; a full ring drops its oldest row.
class RowRing {
public:
    explicit RowRing(int capacity) : capacity_(capacity) {}
    int size() const { return count_; }
    int capacity() const { return capacity_; }
    bool full() const { return count_ == capacity_; }
    // Row i, 0 the oldest.
    const Row& at(int i) const { return rows_[size_t((first_ + i) % capacity_)]; }
    // Adds the newest row, dropping the oldest when full.
    void push(Row row);
    void dropOldest();
    void clear();
    QList<Row> all() const;

private:
    int capacity_;
    std::vector<Row> rows_; // grows to capacity_, then is reused
    int first_ = 0;         // slot of the oldest row
    int count_ = 0;
};

// The monitor's list: the last kMaxRows exchanges, newest at the bottom.
class ExchangeModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 10000;
    enum Column { TimeColumn, RequestColumn, ReplyColumn, OutcomeColumn, RoundTripColumn, ColumnCount };

    explicit ExchangeModel(QObject* parent = nullptr, int capacity = kMaxRows);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void append(Row row);
    // Several at once (the oldest first), as one removal and one insertion.
    void append(QList<Row> rows);
    void clear();
    const Row& row(int i) const { return ring_.at(i); }
    int rowCountCapacity() const { return ring_.capacity(); }
    QList<Row> rows() const { return ring_.all(); }
    // Headers follow the language.
    void retranslate();

private:
    RowRing ring_;
};

} // namespace linemonitor
