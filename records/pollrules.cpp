#include "records/pollrules.h"

#include "monitor/display.h"

#include <cstdlib>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace records {

QString isoTime(const QDateTime& time) {
    if (!time.isValid()) return QString();
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toOffsetFromUtc(offset).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QChar defaultDecimalSeparator(const QLocale& language) {
    return language.language() == QLocale::English ? QLatin1Char('.') : QLatin1Char(',');
}

QString withSeparator(QString number, QChar separator) {
    for (QChar& c : number)
        if (c == QLatin1Char(',') || c == QLatin1Char('.')) c = separator;
    return number;
}

QString faultWordHex(int faultWord) {
    return QStringLiteral("0x%1")
        .arg(unsigned(faultWord) & 0xFFFF, 4, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("0X"), QLatin1String("0x"));
}

QString faultNames(int faultWord, const std::array<QString, kFaultBits>& names) {
    QStringList out;
    for (int bit = 0; bit < kFaultBits; ++bit)
        if ((faultWord >> bit) & 1) out << names[size_t(bit)];
    return out.join(QLatin1String(", "));
}

QStringList logHeader() {
    // Every title in the current language, units included: Cyrillic letters
    // for the units in Russian.
    static const char* const titles[] = {
        QT_TRANSLATE_NOOP("records", "Time"),       QT_TRANSLATE_NOOP("records", "Ir [%]"),
        QT_TRANSLATE_NOOP("records", "Is [%]"),     QT_TRANSLATE_NOOP("records", "It [%]"),
        QT_TRANSLATE_NOOP("records", "Iavg [%]"),   QT_TRANSLATE_NOOP("records", "Ir [A]"),
        QT_TRANSLATE_NOOP("records", "Is [A]"),     QT_TRANSLATE_NOOP("records", "It [A]"),
        QT_TRANSLATE_NOOP("records", "Iavg [A]"),   QT_TRANSLATE_NOOP("records", "In [A]"),
        QT_TRANSLATE_NOOP("records", "Ur [V]"),     QT_TRANSLATE_NOOP("records", "Us [V]"),
        QT_TRANSLATE_NOOP("records", "Ut [V]"),     QT_TRANSLATE_NOOP("records", "Uavg [V]"),
        QT_TRANSLATE_NOOP("records", "Heat Q [%]"), QT_TRANSLATE_NOOP("records", "cos phi"),
        QT_TRANSLATE_NOOP("records", "P [kW]"),     QT_TRANSLATE_NOOP("records", "Fault word"),
        QT_TRANSLATE_NOOP("records", "Faults"),     QT_TRANSLATE_NOOP("records", "K1"),
        QT_TRANSLATE_NOOP("records", "K2"),         QT_TRANSLATE_NOOP("records", "Lost reads")};
    QStringList out;
    for (const char* t : titles)
        out << QCoreApplication::translate("records", t);
    return out;
}

QStringList logFields(const QDateTime& time, const Measurements& r, int lostReads, const LogContext& c) {
    QStringList f;
    f << isoTime(time);
    for (int i = 0; i < 3; ++i)
        f << *display::currentText(r[size_t(i)], false, c.variant, 0);
    f << *display::averageText(r[0] + r[1] + r[2], false, c.variant, 0);
    const auto scale = display::ampereScaleFor(c.variant, r[11]);
    for (int i = 0; i < 3; ++i)
        f << (scale ? display::currentText(r[size_t(i)], true, c.variant, scale->scale).value_or(QString())
                    : QString());
    f << (scale ? display::averageText(r[0] + r[1] + r[2], true, c.variant, scale->scale).value_or(QString())
                : QString());
    QString in = scale ? scale->inLabel : QString();
    if (in.endsWith(QLatin1Char('A'))) in.chop(1);
    f << in;
    f << QString::number(r[3]) << QString::number(r[4]) << QString::number(r[5])
      << QString::number((r[3] + r[4] + r[5]) / 3);
    f << QString::number(r[6]) << display::cosText(r[7]) << display::powerText(r[8], c.decimalSeparator);
    f << faultWordHex(r[9]) << faultNames(r[9], c.faultNames);
    f << QString::number((r[10] & kRelayK1) ? 1 : 0) << QString::number((r[10] & kRelayK2) ? 1 : 0);
    f << QString::number(lostReads);
    // One decimal separator in the whole file: the one chosen with it.
    for (int i = 1; i < f.size(); ++i)
        if (i != 17 && i != 18) f[i] = withSeparator(f[i], c.decimalSeparator);
    return f;
}

QStringList eventFields(const QDateTime& time, LogEvent event, const QString& details) {
    const char* what = "";
    switch (event) {
    case LogEvent::Connected:
        what = QT_TRANSLATE_NOOP("records", "Connected");
        break;
    case LogEvent::Disconnected:
        what = QT_TRANSLATE_NOOP("records", "Disconnected");
        break;
    case LogEvent::Trip:
        what = QT_TRANSLATE_NOOP("records", "Trip");
        break;
    case LogEvent::Reset:
        what = QT_TRANSLATE_NOOP("records", "Fault reset");
        break;
    case LogEvent::Write:
        what = QT_TRANSLATE_NOOP("records", "Setpoints written");
        break;
    case LogEvent::Clock:
        what = QT_TRANSLATE_NOOP("records", "Clock set");
        break;
    case LogEvent::Language:
        what = QT_TRANSLATE_NOOP("records", "Language changed");
        break;
    case LogEvent::Continued:
        what = QT_TRANSLATE_NOOP("records", "Continued");
        break;
    }
    return {isoTime(time), QCoreApplication::translate("records", what), details};
}

QString newFaults(int before, int now, const std::array<QString, kFaultBits>& names) {
    return faultNames(now & ~before, names);
}

bool splitDue(const LogSplit& split, const QDate& fileDate, const QDate& rowDate, qint64 fileBytes) {
    if (split.daily && rowDate != fileDate) return true;
    return split.megabytes > 0 && fileBytes >= qint64(split.megabytes) * 1000 * 1000;
}

QString suggestedLogName(int address, const QDate& date) {
    return QStringLiteral("vrk-log-addr%1-%2.csv").arg(address).arg(date.toString(Qt::ISODate));
}

QString nextLogPath(const QString& firstPath, const QDate& firstDate, const QDate& date,
                    const std::function<bool(const QString&)>& taken) {
    const QFileInfo first(firstPath);
    QString base = first.completeBaseName();
    const QString suffix = first.suffix().isEmpty() ? QString() : QLatin1Char('.') + first.suffix();
    const QString firstDay = firstDate.toString(Qt::ISODate), day = date.toString(Qt::ISODate);
    if (base.contains(firstDay))
        base.replace(base.lastIndexOf(firstDay), firstDay.size(), day);
    else
        base += QLatin1Char('-') + day;
    const QDir folder = first.dir();
    QString path = folder.filePath(base + suffix);
    for (int n = 2; path == firstPath || taken(path); ++n)
        path = folder.filePath(QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix));
    return path;
}

} // namespace records
