#pragma once
// The small conversions of relay values: zero padding, the decimal comma,
// and packed BCD. Pure functions.
#include <QString>

// The decimal digits of number, left-padded with "0" to width characters
// (never cut).
QString zera(int number, int width);

// digits with a "," before the last `decimals` characters; a text too short
// for one digit before the comma is first padded with "0". Purely textual:
// nothing is rounded or parsed. decimals of 0 or less adds no comma.
QString przecinek(int decimals, const QString& digits);

// Packed BCD as read from the relay -> the number its digits spell
// (0x1234 -> 1234). Nibbles are not checked: 0x0A gives 10.
int INT_BCD(int value);

// A number 0..9999 -> its packed-BCD encoding (1206 -> 0x1206).
int BCD_INT(int value);
