#include "setpoints/readback.h"

namespace setpoints {

QList<Difference> compareWritten(const std::array<int, kWrittenRows>& sent, const QVector<qint32>& read) {
    QList<Difference> out;
    const QList<std::optional<QString>> texts = textsFromImage(read);
    for (int r = 0; r < kWrittenRows; ++r) {
        if (r >= read.size()) {
            out << Difference{r, sent[size_t(r)], -1, QString()};
            continue;
        }
        if (read[r] != sent[size_t(r)])
            out << Difference{r, sent[size_t(r)], read[r], texts[r].value_or(QString::number(read[r]))};
    }
    return out;
}

bool sameValue(const QString& tableText, const QString& relayText) {
    if (tableText == relayText) return true;
    const std::optional<double> a = parseDecimal(tableText);
    const std::optional<double> b = parseDecimal(relayText);
    return a && b && *a == *b;
}

QList<CellMark> cellMarks(const QStringList& cells, const QVector<qint32>& image) {
    QList<CellMark> out;
    const QList<std::optional<QString>> texts = textsFromImage(image);
    for (int r = 0; r < kRows; ++r) {
        if (r == kDateRow || r == kTimeRow) {
            out << CellMark{};
            continue;
        }
        if (image.size() < kRows || !texts[r]) {
            out << CellMark{CellState::Unknown, QString()};
            continue;
        }
        const bool same = sameValue(cells.value(r), *texts[r]);
        out << CellMark{same ? CellState::Same : CellState::Changed, *texts[r]};
    }
    return out;
}

QString parameterName(const QString& rowText) {
    for (int i = 0; i < rowText.size(); ++i) {
        if (rowText[i] != QLatin1Char(':')) continue;
        if (i + 1 == rowText.size() || rowText[i + 1].isSpace()) return rowText.left(i).trimmed();
    }
    return rowText.trimmed();
}

QList<FileComparison> compareWithFile(const QStringList& fileLines, const QVector<qint32>& image) {
    QList<FileComparison> out;
    const QList<std::optional<QString>> texts = textsFromImage(image);
    for (int r = 0; r <= kVariantRow; ++r) {
        FileComparison c;
        c.row = r;
        c.fileText = fileLines.value(r);
        c.relayKnown = image.size() >= kRows && texts[r].has_value();
        if (c.relayKnown) {
            c.relayText = *texts[r];
            c.differs = !sameValue(c.fileText, c.relayText);
        }
        out << c;
    }
    return out;
}

} // namespace setpoints

#include <QCoreApplication>

namespace setpoints {

namespace {

QString rowLine(int row, const QStringList& names) {
    return QStringLiteral("%1. %2").arg(row + 1).arg(parameterName(names.value(row)));
}

} // namespace

QString unconfirmedReport(const QList<int>& rows, int sent, const QStringList& names) {
    if (rows.isEmpty()) return QString();
    QStringList lines{QCoreApplication::translate("setpoints", "The relay did not confirm these setpoints:")};
    for (int r : rows)
        lines << rowLine(r, names);
    if (rows.size() < sent)
        lines << QCoreApplication::translate("setpoints", "The other setpoints were written.");
    return lines.join(QLatin1Char('\n'));
}

QString readBackReport(bool readBack, const QList<Difference>& differences, bool anyUnconfirmed,
                       const QStringList& names) {
    if (!readBack)
        return QCoreApplication::translate(
            "setpoints", "Reading the setpoints back failed: the values in the relay are not confirmed.");
    if (!differences.isEmpty()) {
        QStringList lines{
            QCoreApplication::translate("setpoints", "The relay holds other values than those sent:")};
        for (const Difference& d : differences)
            lines << rowLine(d.row, names) + QStringLiteral(": ") +
                         (d.heldText.isEmpty() ? QCoreApplication::translate("setpoints", "not read")
                                               : d.heldText);
        return lines.join(QLatin1Char('\n'));
    }
    if (anyUnconfirmed)
        return QCoreApplication::translate("setpoints",
                                           "Reading back shows that the relay holds every value sent.");
    return QString();
}

bool relayWentSilent(const QList<int>& rows, int sent, bool readBack) {
    if (sent > 0 && rows.size() >= sent) return true;
    return !readBack && !rows.isEmpty() && rows.last() == sent - 1;
}

QString confirmedStatus(const QString& time) {
    return QCoreApplication::translate("setpoints", "Setpoints confirmed %1").arg(time);
}

QString confirmedStatusDetail(const QString& time) {
    return QCoreApplication::translate("setpoints", "The setpoints were written and read back equal at %1.")
        .arg(time);
}

} // namespace setpoints

namespace setpoints {

bool writeWithRetry(const std::function<void(std::uint32_t)>& wait,
                    const std::function<bool(int, int)>& write, int reg, int value) {
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        wait(kWriteWaitMs);
        if (write(reg, value)) return true;
    }
    return false;
}

} // namespace setpoints
