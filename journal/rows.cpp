// The journal's rows of the relay core's results.
#include "core/results.h"
#include "journal/journal.h"
#include "protocol/relaymap.h"
#include "setpoints/rules.h"

#include <QCoreApplication>

namespace journal {

namespace {

QString stateText(core::RegisterWrite::State s) {
    switch (s) {
    case core::RegisterWrite::State::Confirmed:
        return state::confirmed;
    case core::RegisterWrite::State::NotConfirmed:
        return state::notConfirmed;
    case core::RegisterWrite::State::NotSent:
        break;
    }
    return state::notSent;
}

// A setpoint register's value as the table shows it, or the number itself
// where the table has no text for it (In of an unknown variant).
QString valueText(int reg, int raw, const std::optional<int>& variant) {
    const int row = reg - setpoints::kFirstRegister;
    if (row >= 0 && row < setpoints::kRows)
        if (auto t = setpoints::textFromRaw(row, raw, variant.value_or(0))) return *t;
    return QString::number(raw);
}

QString hex(int word) {
    return QStringLiteral("0x%1").arg(unsigned(word) & 0xFFFF, 4, 16, QLatin1Char('0'));
}

// Why a register is not confirmed: the operation's failure when it has one,
// else what its state says.
QString failureNote(const std::optional<core::Failure>& failure, core::RegisterWrite::State s) {
    if (!failure)
        return s == core::RegisterWrite::State::NotSent
                   ? QCoreApplication::translate("journal", "the write stopped before it")
                   : QCoreApplication::translate("journal", "the relay did not confirm it");
    if (failure->linkLost) return QCoreApplication::translate("journal", "the link was lost");
    return failure->text();
}

} // namespace

Row rowOf(const core::Identity& id, const QString& source, const QString& action, const QDateTime& time) {
    Row r;
    r.time = time;
    r.source = source;
    r.action = action;
    r.port = id.port;
    r.address = id.address;
    r.variant = id.variant;
    return r;
}

QList<Row> rowsFor(const core::WriteResult& result, const QString& source, const QDateTime& time) {
    QList<Row> rows;
    const auto& id = result.identity;
    if (result.refusal && result.registers.isEmpty()) {
        Row r = rowOf(id, source, QStringLiteral("write"), time);
        r.state = state::refused;
        r.note = *result.refusal;
        return {r};
    }
    for (const core::RegisterWrite& w : result.registers) {
        Row r = rowOf(id, source, QStringLiteral("write"), time);
        r.parameter = w.parameter;
        r.reg = w.reg;
        if (w.before) r.before = valueText(w.reg, *w.before, id.variant);
        r.sent = valueText(w.reg, w.sent, id.variant);
        if (result.refusal) {
            r.state = state::refused;
            r.note = *result.refusal;
            rows << r;
            continue;
        }
        r.state = stateText(w.state);
        if (w.readBack) r.readBack = valueText(w.reg, *w.readBack, id.variant);
        if (w.state != core::RegisterWrite::State::Confirmed)
            r.note = failureNote(result.failure, w.state);
        else if (result.readBackDone && !w.heldAsSent)
            r.note = w.readBack ? QCoreApplication::translate("journal", "the relay holds another value")
                                : QCoreApplication::translate("journal", "not in the read-back");
        rows << r;
    }
    return rows;
}

QList<Row> rowsFor(const core::ClockResult& result, const QString& source, const QDateTime& time) {
    const QDate d = result.sent.date();
    const QTime t = result.sent.time();
    const setpoints::ClockSetting s = setpoints::clockSetting(d.month(), d.day(), t.hour(), t.minute());
    const std::pair<int, QString> registers[2] = {{relay::kDateRegister, s.dateText},
                                                  {relay::kTimeRegister, s.timeText}};
    QList<Row> rows;
    for (int i = 0; i < 2; ++i) {
        Row r = rowOf(result.identity, source, QStringLiteral("clock"), time);
        r.parameter = i == 0 ? QCoreApplication::translate("journal", "clock, month.day")
                             : QCoreApplication::translate("journal", "clock, hour:minute");
        r.reg = registers[i].first;
        r.sent = registers[i].second;
        r.state = stateText(result.states[size_t(i)]);
        if (result.states[size_t(i)] != core::RegisterWrite::State::Confirmed)
            r.note = failureNote(result.failure, result.states[size_t(i)]);
        rows << r;
    }
    return rows;
}

QList<Row> rowsFor(const core::ResetResult& result, const QString& source, const QDateTime& time) {
    if (!result.sent && !result.refused && !result.failure) return {};
    Row r = rowOf(result.identity, source, QStringLiteral("reset"), time);
    r.parameter = QCoreApplication::translate("journal", "fault reset");
    r.reg = relay::kFaultWordRegister;
    r.before = hex(result.faultWordBefore);
    r.sent = hex(relay::kFaultWordClear);
    if (result.refused) {
        r.state = state::refused;
        r.note = QCoreApplication::translate("journal", "an overload is not cleared by a reset");
    } else if (!result.sent) {
        r.state = state::notSent;
        r.note = failureNote(result.failure, core::RegisterWrite::State::NotSent);
    } else {
        r.state = result.confirmed ? state::confirmed : state::notConfirmed;
        if (!result.confirmed) r.note = failureNote(result.failure, core::RegisterWrite::State::NotConfirmed);
    }
    return {r};
}

} // namespace journal
