#include "protocol/formatting.h"

#include <cstdint>

QString zera(int number, int width) {
    QString text = QString::number(number);
    if (text.size() < width) text.prepend(QString(width - text.size(), QLatin1Char('0')));
    return text;
}

QString przecinek(int decimals, const QString& digits) {
    QString text = digits;
    if (decimals - text.size() >= 0) text.prepend(QString(decimals - text.size() + 1, QLatin1Char('0')));
    if (decimals <= 0) return text;
    return text.left(text.size() - decimals) + QLatin1Char(',') + text.right(decimals);
}

int INT_BCD(int value) {
    const int d0 = value & 0xF;
    const int d1 = (value >> 4) & 0xF;
    const int d2 = (value >> 8) & 0xF;
    const int d3 = value / 4096;
    return d0 + 10 * d1 + 100 * d2 + 1000 * d3;
}

int BCD_INT(int value) {
    // The decimal digits of value read as hexadecimal digits.
    const bool negative = value < 0;
    uint64_t rest = negative ? uint64_t(-int64_t(value)) : uint64_t(value);
    uint64_t result = 0;
    for (unsigned shift = 0; rest != 0 && shift < 64; shift += 4, rest /= 10)
        result |= (rest % 10) << shift;
    // Callers pass 0..9999; beyond that the result wraps rather than overflows.
    return int(negative ? 0u - uint32_t(result) : uint32_t(result));
}
