#include "linemonitor/exchangelog.h"

#include <algorithm>
#include <QBrush>
#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QStringList>

namespace linemonitor {

bool isExceptionReply(const QByteArray& request, const QByteArray& reply) {
    return request.size() >= 2 && reply.size() == frames::kExceptionReplyLength && reply[0] == request[0] &&
           quint8(reply[1]) == (quint8(request[1]) | 0x80) &&
           frames::replyPasses(reply, uint32_t(reply.size()));
}

Outcome classify(const QByteArray& request, const QByteArray& reply, BusError error) {
    // However the bus took its length (a short reply, or still waiting for the rest).
    if (error != BusError::NoError && error != BusError::PortClosed && error != BusError::DeviceGone &&
        error != BusError::EarlyReply && isExceptionReply(request, reply))
        return Outcome::Exception;
    switch (error) {
    case BusError::NoError:
        // Address and function are the first two bytes of request and reply.
        if (request.size() < 2 || reply.size() < 2 || reply[0] != request[0] || reply[1] != request[1])
            return Outcome::OtherAddressOrFunction;
        return Outcome::Good;
    case BusError::NoReply:
        return Outcome::NoReply;
    case BusError::ShortReply:
        return Outcome::ShortReply;
    case BusError::BadCrc:
        return Outcome::BadCrc;
    case BusError::PortClosed:
    case BusError::DeviceGone:
        return Outcome::DeviceGone;
    case BusError::BadRequest:
        return Outcome::BadRequest;
    case BusError::EarlyReply:
        return Outcome::EarlyReply;
    case BusError::OtherDevice:
        return Outcome::OtherAddressOrFunction;
    case BusError::Exception:
        return Outcome::Exception;
    default:
        return Outcome::OtherFailure;
    }
}

QString outcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Good:
        return QCoreApplication::translate("LineMonitor", "good");
    case Outcome::NoReply:
        return QCoreApplication::translate("LineMonitor", "no reply");
    case Outcome::ShortReply:
        return QCoreApplication::translate("LineMonitor", "short reply");
    case Outcome::BadCrc:
        return QCoreApplication::translate("LineMonitor", "bad CRC");
    case Outcome::OtherAddressOrFunction:
        return QCoreApplication::translate("LineMonitor", "reply from another device");
    case Outcome::DeviceGone:
        return QCoreApplication::translate("LineMonitor", "port lost");
    case Outcome::BadRequest:
        return QCoreApplication::translate("LineMonitor", "bad request");
    case Outcome::EarlyReply:
        return QCoreApplication::translate("LineMonitor", "early reply (an old one)");
    case Outcome::Exception:
        return QCoreApplication::translate("LineMonitor", "refused by the relay (exception)");
    case Outcome::OtherFailure:
        return QCoreApplication::translate("LineMonitor", "other failure");
    }
    return {};
}

QString outcomeText(const Row& row) {
    const QByteArray& reply = row.reply;
    switch (row.outcome) {
    case Outcome::OtherAddressOrFunction:
        if (reply.size() >= 2 && row.request.size() >= 2 && reply[0] == row.request[0])
            return QCoreApplication::translate("LineMonitor", "reply of another function (%1)")
                .arg(quint8(reply[1]));
        if (!reply.isEmpty())
            return QCoreApplication::translate("LineMonitor", "reply from another device (address %1)")
                .arg(quint8(reply[0]));
        break;
    case Outcome::Exception:
        if (reply.size() >= 3)
            return QCoreApplication::translate("LineMonitor", "refused: %1 (exception %2)")
                .arg(frames::exceptionName(quint8(reply[2])))
                .arg(quint8(reply[2]));
        break;
    case Outcome::OtherFailure:
        return busErrorText(row.error, reply);
    default:
        break;
    }
    return outcomeText(row.outcome);
}

Row rowOf(const BusExchange& e) {
    return {e.sentMs, e.request, e.reply, classify(e.request, e.reply, e.outcome), e.roundTripUs, e.outcome};
}

QString timeText(qint64 msSinceEpoch) {
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString hexText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QFont hexFont() {
    QFont f(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QString roundTripText(qint64 us) {
    return QString::number(double(us) / 1000.0, 'f', 1);
}

QString roundTripText(qint64 us, const QLocale& locale) {
    return locale.toString(double(us) / 1000.0, 'f', 1);
}

void Counters::add(Outcome outcome) {
    ++requests;
    ++byOutcome[int(outcome)];
}

double Counters::failureRate() const {
    return requests == 0 ? 0.0 : 100.0 * double(failures()) / double(requests);
}

QString rateText(double percent) {
    return QStringLiteral("%1 %").arg(percent, 0, 'f', 1);
}

QString failuresText(const Counters& c) {
    QList<Outcome> failed;
    for (int o = 0; o < kOutcomeCount; ++o)
        if (Outcome(o) != Outcome::Good && c.byOutcome[o] > 0) failed << Outcome(o);
    std::stable_sort(failed.begin(), failed.end(),
                     [&c](Outcome a, Outcome b) { return c.count(a) > c.count(b); });
    QStringList parts;
    for (Outcome o : failed)
        parts << QCoreApplication::translate("LineMonitor", "%1: %2").arg(outcomeText(o)).arg(c.count(o));
    return parts.join(QStringLiteral(", "));
}

QString rateText(double percent, const QLocale& locale) {
    return locale.toString(percent, 'f', 1) + QStringLiteral(" %");
}

QString rowLine(const Row& r) {
    return timeText(r.sentMs) + QLatin1Char('\t') + hexText(r.request) + QLatin1Char('\t') +
           hexText(r.reply) + QLatin1Char('\t') + outcomeText(r) + QLatin1Char('\t') +
           roundTripText(r.roundTripUs);
}

QByteArray textFile(const QList<Row>& rows, const Counters& c) {
    QString t;
    t += QCoreApplication::translate(
             "LineMonitor", "Requests: %1, good: %2, no reply: %3, short reply: %4, bad CRC: %5, "
                            "another device: %6, early reply: %7, exception: %8, other failures: %9, "
                            "failure rate: %10")
             .arg(c.requests)
             .arg(c.count(Outcome::Good))
             .arg(c.count(Outcome::NoReply))
             .arg(c.count(Outcome::ShortReply))
             .arg(c.count(Outcome::BadCrc))
             .arg(c.count(Outcome::OtherAddressOrFunction))
             .arg(c.count(Outcome::EarlyReply))
             .arg(c.count(Outcome::Exception))
             .arg(c.otherFailures())
             .arg(rateText(c.failureRate()));
    t += QLatin1Char('\n');
    // No silent gap: a list that does not hold every exchange counted says so.
    if (rows.size() < c.requests) {
        t += QCoreApplication::translate("LineMonitor", "Listed: the last %1 of the %2 exchanges counted.")
                 .arg(rows.size())
                 .arg(c.requests);
        t += QLatin1Char('\n');
    }
    t += QStringList{QCoreApplication::translate("LineMonitor", "Time"),
                     QCoreApplication::translate("LineMonitor", "Request"),
                     QCoreApplication::translate("LineMonitor", "Reply"),
                     QCoreApplication::translate("LineMonitor", "Outcome"),
                     QCoreApplication::translate("LineMonitor", "Round trip (ms)")}
             .join(QLatin1Char('\t'));
    t += QLatin1Char('\n');
    for (const Row& r : rows)
        t += rowLine(r) + QLatin1Char('\n');
    return t.toUtf8();
}

void RowRing::push(Row row) {
    if (capacity_ <= 0) return;
    if (full()) dropOldest();
    const size_t slot = size_t((first_ + count_) % capacity_);
    if (slot == rows_.size())
        rows_.push_back(std::move(row));
    else
        rows_[slot] = std::move(row);
    ++count_;
}

void RowRing::dropOldest() {
    if (count_ == 0) return;
    rows_[size_t(first_)] = Row();
    first_ = (first_ + 1) % capacity_;
    --count_;
}

void RowRing::clear() {
    rows_.clear();
    first_ = 0;
    count_ = 0;
}

QList<Row> RowRing::all() const {
    QList<Row> out;
    out.reserve(size());
    for (int i = 0; i < size(); ++i)
        out << at(i);
    return out;
}

ExchangeModel::ExchangeModel(QObject* parent, int capacity) : QAbstractTableModel(parent), ring_(capacity) {}

int ExchangeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ring_.size();
}
int ExchangeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ExchangeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= ring_.size()) return {};
    const Row& r = ring_.at(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case TimeColumn:
            return timeText(r.sentMs);
        case RequestColumn:
            return hexText(r.request);
        case ReplyColumn:
            return hexText(r.reply);
        case OutcomeColumn:
            return outcomeText(r);
        case RoundTripColumn:
            return roundTripText(r.roundTripUs, QLocale());
        }
    } else if (role == Qt::ToolTipRole &&
               (index.column() == RequestColumn || index.column() == ReplyColumn)) {
        return hexText(index.column() == RequestColumn ? r.request : r.reply);
    } else if (role == Qt::ToolTipRole && index.column() == OutcomeColumn) {
        // The whole text, however narrow the column is in this language.
        return outcomeText(r);
    } else if (role == Qt::FontRole && index.column() != OutcomeColumn) {
        return hexFont();
    } else if (role == Qt::ForegroundRole && index.column() == OutcomeColumn && r.outcome != Outcome::Good) {
        return QBrush(QColor(0xB0, 0x00, 0x00));
    } else if (role == Qt::TextAlignmentRole && index.column() == RoundTripColumn) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant ExchangeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return QCoreApplication::translate("LineMonitor", "Time");
    case RequestColumn:
        return QCoreApplication::translate("LineMonitor", "Request");
    case ReplyColumn:
        return QCoreApplication::translate("LineMonitor", "Reply");
    case OutcomeColumn:
        return QCoreApplication::translate("LineMonitor", "Outcome");
    case RoundTripColumn:
        return QCoreApplication::translate("LineMonitor", "ms");
    }
    return {};
}

void ExchangeModel::append(Row row) {
    append(QList<Row>{std::move(row)});
}

void ExchangeModel::append(QList<Row> rows) {
    const int capacity = ring_.capacity();
    if (capacity <= 0 || rows.isEmpty()) return;
    if (rows.size() > capacity) rows.remove(0, rows.size() - capacity);
    const int overflow = ring_.size() + int(rows.size()) - capacity;
    if (overflow > 0) {
        beginRemoveRows({}, 0, overflow - 1);
        for (int i = 0; i < overflow; ++i)
            ring_.dropOldest();
        endRemoveRows();
    }
    beginInsertRows({}, ring_.size(), ring_.size() + int(rows.size()) - 1);
    for (Row& r : rows)
        ring_.push(std::move(r));
    endInsertRows();
}

void ExchangeModel::clear() {
    beginResetModel();
    ring_.clear();
    endResetModel();
}

void ExchangeModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (ring_.size() > 0) emit dataChanged(index(0, OutcomeColumn), index(ring_.size() - 1, OutcomeColumn));
}

} // namespace linemonitor
