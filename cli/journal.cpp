#include "cli/journal.h"

#include "cli/commands.h"
#include "protocol/relaymap.h"
#include "setpoints/rules.h"

#include <QCoreApplication>

namespace cli {

namespace {

QString stateWord(core::RegisterWrite::State s) {
    switch (s) {
    case core::RegisterWrite::State::Confirmed:
        return journal::state::confirmed;
    case core::RegisterWrite::State::NotConfirmed:
        return journal::state::notConfirmed;
    default:
        return journal::state::notSent;
    }
}

QString bcd(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0'));
}

} // namespace

journal::Row rowOf(const core::Identity& identity, const QString& action) {
    journal::Row row;
    row.time = QDateTime::currentDateTime();
    row.source = QStringLiteral("vrk-cli");
    row.action = action;
    row.port = identity.port;
    row.address = identity.address;
    row.variant = identity.variant;
    return row;
}

QList<journal::Row> rowsOf(const core::WriteResult& r) {
    QList<journal::Row> rows;
    for (const core::RegisterWrite& w : r.registers) {
        journal::Row row = rowOf(r.identity, QStringLiteral("write"));
        row.parameter = w.parameter;
        row.reg = w.reg;
        row.before = w.before ? QString::number(*w.before) : QString();
        row.sent = QString::number(w.sent);
        row.state = r.refusal ? journal::state::refused : stateWord(w.state);
        row.readBack = w.readBack ? QString::number(*w.readBack) : QString();
        if (r.refusal)
            row.note = *r.refusal;
        else if (w.state != core::RegisterWrite::State::Confirmed && r.failure)
            row.note = r.failure->text();
        rows << row;
    }
    return rows;
}

QList<journal::Row> rowsOf(const core::ClockResult& r) {
    QList<journal::Row> rows;
    const setpoints::ClockSetting s = setpoints::clockSetting(r.sent.date().month(), r.sent.date().day(),
                                                              r.sent.time().hour(), r.sent.time().minute());
    const int regs[2] = {relay::kDateRegister, relay::kDateRegister + 1};
    const int values[2] = {s.dateRegister, s.timeRegister};
    for (int k = 0; k < 2; ++k) {
        journal::Row row = rowOf(r.identity, QStringLiteral("clock"));
        row.parameter = QStringLiteral("clock");
        row.reg = regs[k];
        row.sent = bcd(values[k], 4);
        row.state = stateWord(r.states[size_t(k)]);
        if (r.states[size_t(k)] != core::RegisterWrite::State::Confirmed && r.failure)
            row.note = r.failure->text();
        rows << row;
    }
    return rows;
}

QList<journal::Row> rowsOf(const core::ResetResult& r) {
    if (!r.sent && !r.refused) return {};
    journal::Row row = rowOf(r.identity, QStringLiteral("reset"));
    row.parameter = QStringLiteral("fault reset");
    row.reg = relay::kFaultWordRegister;
    row.before = QString::number(r.faultWordBefore);
    row.sent = QString::number(relay::kFaultWordClear);
    row.state = r.refused     ? journal::state::refused
                : r.confirmed ? journal::state::confirmed
                              : journal::state::notConfirmed;
    if (r.failure) row.note = r.failure->text();
    return {row};
}

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
        if (!journalRows(c, rowsOf(r))) *failed = true;
    });
    link.onClock([&c, failed](const core::ClockResult& r) {
        if (!journalRows(c, rowsOf(r))) *failed = true;
    });
    link.onReset([&c, failed](const core::ResetResult& r) {
        if (!journalRows(c, rowsOf(r))) *failed = true;
    });
}

} // namespace cli
