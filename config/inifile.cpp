#include "config/inifile.h"

#include "files/files.h"

#include <algorithm>
#include <array>

namespace ini {
namespace {

const std::array<const char*, 4> kSpeeds = {"19200", "9600", "4800", "2400"};
const std::array<const char*, 3> kParities = {"ODD", "EVEN", "NONE"};

// The index of the first text the line equals exactly, -1 when none.
template <size_t N>
int match(const QString& line, const char* key, const std::array<const char*, N>& values) {
    for (size_t i = 0; i < N; ++i)
        if (line == QLatin1String(key) + QLatin1String(values[i])) return int(i);
    return -1;
}

} // namespace

Selections applyLines(const QStringList& lines, const Selections& current) {
    Selections s = current;
    auto line = [&lines](int number) { return number <= lines.size() ? lines[number - 1] : QString(); };
    int i = match(line(1), "Port: COM", std::array<const char*, 4>{"1", "2", "3", "4"});
    if (i >= 0) s.port = std::min(i, kPortCount - 1);
    if ((i = match(line(2), "Predkosc: ", kSpeeds)) >= 0) s.speed = i;
    if ((i = match(line(3), "Parzystosc: ", kParities)) >= 0) s.parity = i;
    for (int n = 1; n <= 255; ++n)
        if (line(4) == QStringLiteral("Adres: ") + QString::number(n))
            s.address = n <= kAddressCount ? n - 1 : -1;
    if ((i = match(line(5), "Bity stopu: ", std::array<const char*, 2>{"1", "2"})) >= 0) s.stopBits = i;
    if ((i = match(line(6), "Bity danych: ", std::array<const char*, 2>{"8", "7"})) >= 0) s.dataBits = i;
    s.language = 0;
    if (line(7) == QLatin1String("Jezyk: ang")) s.language = 1;
    if (line(7) == QLatin1String("Jezyk: rus")) s.language = 2;
    return s;
}

QStringList lineTexts(const Selections& s) {
    auto pick = [](const auto& values, int index) {
        return index >= 0 && size_t(index) < values.size() ? QLatin1String(values[size_t(index)])
                                                           : QLatin1String();
    };
    const char* language = s.language == 1 ? "ang" : s.language == 2 ? "rus" : "pol";
    return {
        QStringLiteral("Port: COM") + QString::number(s.port + 1),
        QStringLiteral("Predkosc: ") + pick(kSpeeds, s.speed),
        QStringLiteral("Parzystosc: ") + pick(kParities, s.parity),
        QStringLiteral("Adres: ") + QString::number(s.address + 1),
        QStringLiteral("Bity stopu: ") + QString::number(s.stopBits + 1),
        QStringLiteral("Bity danych: ") + QString::number(8 - s.dataBits),
        QStringLiteral("Jezyk: ") + QLatin1String(language),
    };
}

QByteArray fileText(const Selections& s) {
    QByteArray out;
    for (const QString& l : lineTexts(s))
        out += l.toLatin1() + "\r\n";
    return out;
}

ReadResult readFile(const QString& path) {
    ReadResult r;
    files::LineReader reader(files::LineEnds::Lf);
    if (!reader.open(path)) {
        r.error = reader.errorString();
        return r;
    }
    QByteArray bytes;
    while (r.lines.size() < kLineCount && reader.readLine(&bytes))
        r.lines << QString::fromLatin1(bytes);
    if (reader.hasError()) {
        r.error = reader.errorString();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace ini
