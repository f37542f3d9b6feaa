#pragma once
// Code pages 1250 and 1251 without ICU: Qt's converters know them only
// through ICU, which the Windows build's Qt lacks. Converts exactly as ICU
// does, so the language files come out byte for byte the same everywhere.
#include <QByteArray>
#include <QString>

namespace codepage {
// True for "windows-1250" and "windows-1251".
bool known(const char* name);
// A character the code page lacks becomes 0x1A.
QByteArray encode(const char* name, const QString& text);
QString decode(const char* name, const QByteArray& bytes);
} // namespace codepage
