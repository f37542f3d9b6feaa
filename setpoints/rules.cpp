#include "setpoints/rules.h"
#include "protocol/relaymap.h"

#include "protocol/formatting.h"

#include <cmath>
#include <QLocale>

namespace setpoints {

// ---------------------------------------------------------------- initial texts

QStringList initialSetpointNumbers() {
    QStringList out;
    for (int r = 0; r < kRows; ++r)
        out << QStringLiteral(" %1").arg(r + 1);
    return out;
}

QStringList initialSetpointNames() {
    return {
        QString::fromUtf8("Prąd znamionowy:"),
        QString::fromUtf8("Prąd zwarciowy:"),
        QString::fromUtf8("Ciepło silnika: (nastawa co 15)"),
        QString::fromUtf8("Nastawa suchobiegu:"),
        QString::fromUtf8("Czas zadziałania suchobiegu:"),
        QString::fromUtf8("Asymetria prądu:"),
        QString::fromUtf8("Opóźnienie członu napięciowego:"),
        QString::fromUtf8("Napięcie znamionowe: (nastawa co 10V)"),
        QString::fromUtf8("Napięcie minimalne:"),
        QString::fromUtf8("Napięcie maksymalne:"),
        QString::fromUtf8("Czas zwłoki przed zał. : (nastawa co 0,5s)"),
        QString::fromUtf8("Wykonanie:"),
        QString::fromUtf8("Miesiąc.dzień"),
        QString::fromUtf8("Godzina:minuta"),
    };
}

QStringList initialSetpointHints() {
    return {
        QStringLiteral("In= 0-20,0 [A]"),  QStringLiteral("In x 2-10,0 "),
        QStringLiteral("Q= 30-300"),       QStringLiteral("Is= 20-85 [%]"),
        QStringLiteral("T1= 5-255 [s]"),   QStringLiteral("Ia= 20-55 [%]"),
        QStringLiteral("T2= 0-250 [s]"),   QStringLiteral("Un= 350-550 [V]"),
        QStringLiteral("Umin= 70-90 [%]"), QStringLiteral("Umax= 110-125 [%]"),
        QStringLiteral("Td= 0-30,0 [s]"),  QStringLiteral("1=20A  2=100A  3=250A"),
        QStringLiteral("mm.dd"),           QStringLiteral("gg:mm"),
    };
}

// ---------------------------------------------------------------- parsing

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString cellOf(const QStringList& cells, int row) {
    return row >= 0 && row < cells.size() ? cells[row] : QString();
}

} // namespace

std::optional<int> parseWhole(const QString& text) {
    int i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    if (i == text.size()) return std::nullopt;
    for (int k = i; k < text.size(); ++k)
        if (!isAsciiDigit(text[k])) return std::nullopt;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok) return std::nullopt; // beyond 32 bits
    return v;
}

std::optional<double> parseDecimal(const QString& text) {
    int i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    int digits = 0, commas = 0;
    for (int k = i; k < text.size(); ++k) {
        if (isAsciiDigit(text[k]))
            ++digits;
        else if (text[k] == QLatin1Char(',') && ++commas == 1)
            continue;
        else
            return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    QString c = text;
    c.replace(QLatin1Char(','), QLatin1Char('.'));
    if (c.endsWith(QLatin1Char('.'))) c.chop(1);
    bool ok = false;
    const double v = QLocale::c().toDouble(c, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<qint64> wholeAt15Digits(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const QString s = QString::number(value, 'g', 15);
    for (QChar c : s)
        if (!isAsciiDigit(c) && c != QLatin1Char('-')) return std::nullopt;
    bool ok = false;
    const qint64 v = s.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

int variantOf(const QStringList& cells) {
    return parseWhole(cellOf(cells, kVariantRow)).value_or(0);
}

// ---------------------------------------------------------------- display

std::optional<QString> textFromRaw(int row, qint32 raw, int variant) {
    const auto num = [](qint64 v) { return QString::number(v); };
    const auto twoBcdBytes = [](qint32 word, QChar separator) {
        return zera(INT_BCD((word >> 8) & 0xFF), 2) + separator + zera(INT_BCD(word & 0xFF), 2);
    };
    switch (row) {
    case 0:
        if (variant == 1) return przecinek(1, num(raw));
        if (variant == 2) return przecinek(1, num(qint64(raw) * 5));
        if (variant == 3) return num(raw);
        return std::nullopt;
    case 1:
        return przecinek(1, num(raw));
    case 2:
        return num(qint64(raw) * 15);
    case 7:
        return num(qint64(raw) * 10);
    case 10:
        return przecinek(1, num(qint64(raw) * 5));
    case 3:
    case 4:
    case 5:
    case 6:
    case 8:
    case 9:
    case 11:
        return num(raw);
    case kDateRow:
        return twoBcdBytes(raw, QLatin1Char('.'));
    case kTimeRow:
        return twoBcdBytes(raw, QLatin1Char(':'));
    default:
        return std::nullopt;
    }
}

QList<std::optional<QString>> textsFromImage(const QVector<qint32>& image) {
    QList<std::optional<QString>> out;
    const int variant = image.size() > kVariantRow ? image[kVariantRow] : 0;
    for (int r = 0; r < kRows; ++r)
        out << (r < image.size() ? textFromRaw(r, image[r], variant) : std::nullopt);
    return out;
}

// ---------------------------------------------------------------- writing

namespace {

// The factor of row 0 by the variant: its unit is 0,1 A, 0,5 A or 1 A.
int row0Factor(int variant) {
    return variant == 1 ? 10 : variant == 2 ? 2 : 1;
}

} // namespace

int rawFromText(int row, const QString& text, int variant) {
    const double value = parseDecimal(text).value_or(0.0);
    int factor = 1;
    if (row == 0) factor = row0Factor(variant);
    if (row == 1) factor = 10;
    if (row == 10) factor = 2;
    const double product = value * factor;
    // After validation the product is always whole; anything else is cut to its whole part.
    if (!(std::fabs(product) < 1e15)) return -1; // no register holds it; Zapis refuses -1
    const qint64 whole = wholeAt15Digits(product).value_or(qint64(std::trunc(product)));
    if (row == 2) return int(whole / 15);
    if (row == 7) return int(whole / 10);
    return int(whole);
}

std::array<int, kWrittenRows> writeValues(const QStringList& cells) {
    const int variant = variantOf(cells);
    std::array<int, kWrittenRows> out{};
    for (int r = 0; r < kWrittenRows; ++r)
        out[size_t(r)] = rawFromText(r, cellOf(cells, r), variant);
    return out;
}

// ---------------------------------------------------------------- validation

namespace {

enum class Parse { Whole, Times, Divided };

struct Check {
    Parse parse;
    int factor; // multiplier or divisor of a scaled row
    qint64 low, high;
    double unreadable; // the value that stands in for unreadable text
    qint64 notWhole;   // the result that stands in for a fractional one
};

// Parameters 2..12 (row n-1); parameter 1 depends on the variant.
const Check kChecks[kParameters] = {
    {Parse::Times, 10, 20, 200, 0, 0}, // 1: replaced per variant below
    {Parse::Times, 10, 20, 100, 0, 0},   {Parse::Divided, 15, 1, 20, 0, 0},
    {Parse::Whole, 1, 20, 85, 300, 300}, {Parse::Whole, 1, 5, 255, 300, 300},
    {Parse::Whole, 1, 20, 55, 300, 300}, {Parse::Whole, 1, 0, 250, 300, 300},
    {Parse::Divided, 10, 35, 55, 0, 0},  {Parse::Whole, 1, 70, 90, 0, 0},
    {Parse::Whole, 1, 110, 125, 0, 0},   {Parse::Times, 2, 0, 60, 99, 99},
    {Parse::Whole, 1, 1, 3, 0, 0},
};

qint64 checkedValue(const Check& c, const QString& text) {
    if (c.parse == Parse::Whole) {
        const std::optional<int> v = parseWhole(text);
        return v ? qint64(*v) : qint64(c.unreadable);
    }
    const double value = parseDecimal(text).value_or(c.unreadable);
    const double result = c.parse == Parse::Times ? value * c.factor : value / c.factor;
    return wholeAt15Digits(result).value_or(c.notWhole);
}

} // namespace

bool parameterInvalid(int n, const QStringList& cells) {
    if (n < 1 || n > kParameters) return false;
    Check c = kChecks[n - 1];
    if (n == 1) {
        const int variant = variantOf(cells);
        if (variant < 1 || variant > 3) return false; // no known scale: not checked
        c.factor = row0Factor(variant);
        c.low = variant == 3 ? 25 : 20;
        c.high = variant == 3 ? 250 : 200;
    }
    const qint64 v = checkedValue(c, cellOf(cells, n - 1));
    return v < c.low || v > c.high;
}

QList<int> invalidParameters(const QStringList& cells) {
    QList<int> out;
    for (int n = 1; n <= kParameters; ++n)
        if (parameterInvalid(n, cells)) out << n;
    return out;
}

QString writeRefusalMessage(const QString& prefix, const QList<int>& failing) {
    QString out;
    for (int n : failing)
        out += prefix + QString::number(n) + QStringLiteral("\r\n");
    return out;
}

QString saveRefusalMessage(const QString& prefix, const QList<int>& failing) {
    QString out = prefix;
    for (int n : failing)
        out += QString::number(n) + QLatin1Char(',');
    return out;
}

// ---------------------------------------------------------------- key filter

bool keyAccepted(QChar key, int row, const QString& text) {
    const char16_t k = key.unicode();
    const bool digit = k >= u'0' && k <= u'9';
    if (!digit && k != u':' && k != u',' && k != kEnter && k != kBackspace) return false;
    if (k == u',' && text.contains(QLatin1Char(','))) return false;
    if (k == u',' && ((row >= 2 && row <= 9) || (row >= 11 && row <= 13))) return false;
    if (row == kVariantRow && ((digit && (k < u'1' || k > u'3')) || k == u':')) return false;
    if (row == kDateRow || row == kTimeRow) return false;
    return true;
}

bool cellSelectable(int /*column*/, int row) {
    return row != kDateRow && row != kTimeRow;
}

// ---------------------------------------------------------------- row 0 by variant

std::optional<Row0Texts> row0Texts(int variant) {
    switch (variant) {
    case 0:
        return Row0Texts{QStringLiteral("In         [A]"),
                         hiddenTextNumber(HiddenText::NominalCurrentFirst, 0)};
    case 1:
        return Row0Texts{QStringLiteral("In= 2-20,0 [A]"),
                         hiddenTextNumber(HiddenText::NominalCurrentFirst, 1)};
    case 2:
        return Row0Texts{QStringLiteral("In= 10-100 [A]"),
                         hiddenTextNumber(HiddenText::NominalCurrentFirst, 2)};
    case 3:
        return Row0Texts{QStringLiteral("In= 25-250 [A]"),
                         hiddenTextNumber(HiddenText::NominalCurrentFirst, 3)};
    default:
        return std::nullopt;
    }
}

// ---------------------------------------------------------------- clock

ClockSetting clockSetting(int month, int day, int hour, int minute) {
    ClockSetting s;
    s.dateText = zera(month, 2) + QLatin1Char('.') + zera(day, 2);
    s.timeText = zera(hour, 2) + QLatin1Char(':') + zera(minute, 2);
    s.dateRegister = BCD_INT(month * 100 + day);
    s.timeRegister = BCD_INT(hour * 100 + minute);
    return s;
}

} // namespace setpoints
