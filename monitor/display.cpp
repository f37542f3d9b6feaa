#include "monitor/display.h"

#include "protocol/formatting.h"

#include <algorithm>
#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <utility>

namespace display {

int cutLowCurrent(int percent) {
    return percent < 10 ? 0 : percent;
}

namespace {
std::optional<QString> amperes(qint64 value, int variant) {
    if (variant == 1 || variant == 2) return przecinek(1, QString::number(value));
    if (variant == 3) return QString::number(value);
    return std::nullopt;
}
} // namespace

std::optional<QString> currentText(int percent, bool ampereMode, int variant, int ampereScale) {
    if (!ampereMode) return QString::number(percent);
    return amperes(qint64(percent) * ampereScale / 100, variant);
}

std::optional<QString> averageText(int sum, bool ampereMode, int variant, int ampereScale) {
    if (!ampereMode) return QString::number(sum / 3);
    return amperes(qint64(sum) * ampereScale / 300, variant);
}

int barPosition(int percent) {
    return std::min(percent * 5, 1000);
}

QString cosText(int hundredths) {
    return przecinek(2, zera(hundredths, 3));
}

QString powerText(int hundredthsKw, QChar decimalSeparator) {
    QString t = QString::number(hundredthsKw / 100.0, 'g', 15);
    t.replace(QLatin1Char('.'), decimalSeparator);
    return t;
}

std::optional<AmpereScale> ampereScaleFor(int variant, int raw) {
    if (raw == 0) return std::nullopt;
    const QString a = QStringLiteral("A");
    switch (variant) {
    case 1:
        return AmpereScale{raw, przecinek(1, QString::number(raw)) + a,
                           przecinek(1, QString::number(2 * raw)) + a};
    case 2:
        return AmpereScale{5 * raw, przecinek(1, QString::number(5 * raw)) + a,
                           przecinek(1, QString::number(10 * raw)) + a};
    case 3:
        return AmpereScale{raw, QString::number(raw) + a, QString::number(2 * raw) + a};
    default:
        return std::nullopt;
    }
}

Lamps lampsFor(int faultWord, const QString& faultSince, bool blinkDark) {
    Lamps l{};
    if (blinkDark) {
        l.faults.fill(false);
        l.faultText = faultWord != 0 ? faultSince + QLatin1Char(' ') : QStringLiteral(" ");
        return l;
    }
    l.ready = faultWord == 0;
    for (int bit = 0; bit < 7; ++bit)
        l.faults[size_t(bit)] = (faultWord >> bit) & 1;
    if (faultWord != 0) l.faultText = QStringLiteral("AWARIA     ") + faultSince + QLatin1Char(' ');
    return l;
}

// The relay does not clear an overload.
bool resetAllowed(int faultWord) {
    return (faultWord & relay::Overload) == 0;
}

QString shortDateFormat(const QLocale& locale) {
    if (locale.language() == QLocale::C) return QStringLiteral("yyyy-MM-dd");
    return locale.dateFormat(QLocale::ShortFormat);
}

QString longTime(const QTime& time, const QLocale& locale) {
    if (locale.language() == QLocale::C) return time.toString(QStringLiteral("HH:mm:ss"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return locale.toString(time, format.trimmed());
}

bool needsCentury(const QString& shortFormat) {
    return shortFormat.startsWith(QLatin1String("yy")) && !shortFormat.startsWith(QLatin1String("yyy"));
}

QString statusDate(const QDate& date, const QLocale& locale, const QString& shortFormat) {
    const QString text = locale.toString(date, shortFormat);
    return needsCentury(shortFormat) ? QStringLiteral("20") + text : text;
}

QString statusDate(const QDate& date, const QLocale& locale) {
    return statusDate(date, locale, shortDateFormat(locale));
}

void addFailedRead(QList<FailedRead>& reads, const FailedRead& read) {
    reads << read;
    if (reads.size() > relay::kLostReadsLimit) reads.remove(0, reads.size() - relay::kLostReadsLimit);
}

QString dropReason(const QList<FailedRead>& reads) {
    if (reads.isEmpty()) return {};
    // Each reason once, with how often it came, the most frequent (then the latest) first.
    QList<std::pair<QString, int>> reasons;
    for (auto r = reads.crbegin(); r != reads.crend(); ++r) {
        const QString text = busErrorText(r->error, r->reply);
        auto same =
            std::find_if(reasons.begin(), reasons.end(), [&](const auto& p) { return p.first == text; });
        if (same == reasons.end())
            reasons.append({text, 1});
        else
            ++same->second;
    }
    std::stable_sort(reasons.begin(), reasons.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    QString why;
    if (reasons.size() == 1)
        why = reasons[0].first;
    else {
        QStringList parts;
        for (const auto& [text, count] : reasons)
            parts << QCoreApplication::translate("display", "%1 x %2").arg(count).arg(text);
        why = parts.join(QLatin1Char(' '));
    }
    return QCoreApplication::translate("display", "%1 reads in a row failed: %2").arg(reads.size()).arg(why);
}

} // namespace display
