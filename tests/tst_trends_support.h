#pragma once
// Recordings for the recorder tests: histories with a value in every place,
// recording files written the way a user or another tool might have left them.
#include "trends/rules.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace trendstest {

// Every sample distinct: channel c (1..9), index i gives c * 100000 + i,
// negative in channel 7 so the sign travels too.
inline recorder::History distinctHistory(int seed = 0) {
    recorder::History h{};
    for (int c = 0; c < recorder::kChannels; ++c)
        for (int i = 0; i < recorder::kSamples; ++i) {
            const qint32 v = (c + 1) * 100000 + i + seed;
            h[size_t(c)][size_t(i)] = c == 6 ? -v : v;
        }
    return h;
}

// The nine values of line n (1-based) of the recording of distinctHistory().
inline QByteArray distinctLine(int n, const char* sep = " ", bool trailingBlank = true) {
    const recorder::History h = distinctHistory();
    QByteArray line;
    for (int c = 0; c < recorder::kChannels; ++c) {
        if (c) line += sep;
        line += QByteArray::number(h[size_t(c)][size_t(n - 1)]);
    }
    if (trailingBlank) line += ' ';
    return line;
}

// lines of distinctHistory() joined by eol, ended by eol when endWithEol.
inline QByteArray distinctRecording(int lines, const QByteArray& eol = "\r\n", bool endWithEol = true) {
    QByteArray out;
    for (int n = 1; n <= lines; ++n) {
        out += distinctLine((n - 1) % recorder::kSamples + 1);
        if (n < lines || endWithEol) out += eol;
    }
    return out;
}

// A poll log as the program writes it in English: three rows a second apart.
inline QByteArray threeRowPollLog() {
    QByteArray log =
        "\xEF\xBB\xBF" + QByteArrayLiteral("Time;Ir [%];Is [%];It [%];Iavg [%];Ir [A];Is [A];It [A];"
                                           "Iavg [A];In [A];Ur [V];Us [V];Ut [V];Uavg [V];Heat Q [%];"
                                           "cos phi;P [kW];Fault word;Faults;K1;K2;Lost reads\r\n");
    for (int i = 0; i < 3; ++i)
        log += "2026-12-08T09:00:0" + QByteArray::number(i) + ".000;" + QByteArray::number(10 * i) +
               ";1;1;1;;;;;;230;230;230;230;5;0,9;1,5;0x0000;;0;0;0\r\n";
    return log;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace trendstest
