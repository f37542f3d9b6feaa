#pragma once
// vrk.ini: the communication settings and the language, seven lines of ASCII
// with CR LF ends. A line is recognised only when it equals one of the texts
// the program writes, character for character; anything else leaves that
// setting as it was.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ini {

inline QString fileName() {
    return QStringLiteral("vrk.ini");
}

constexpr int kLineCount = 7;
constexpr int kPortCount = 2;      // COM1, COM2
constexpr int kAddressCount = 247; // bus addresses 1..247

// The selected entry of each of the settings dialog's controls (-1: none).
struct Selections {
    int port = 0;     // RadioGroup1: COM(index + 1)
    int speed = 2;    // ComboBox1: 19200, 9600, 4800, 2400
    int parity = 2;   // ComboBox2: ODD, EVEN, NONE
    int address = 2;  // ComboBox3: bus address index + 1
    int stopBits = 0; // ComboBox4: index + 1 stop bits
    int dataBits = 0; // ComboBox5: 8 - index data bits
    int language = 0; // RadioGroup2: Polish, English, Russian
    bool operator==(const Selections&) const = default;
};

// Applies the file's lines (line 1 first; fewer than seven, the missing ones
// read as empty) to the current selections:
// - "Port: COM1".."Port: COM4" ask for entries 0..3 of a two-entry group, so
//   COM3 and COM4 select COM2;
// - "Adres: n" for n = 1..255 without leading zeros selects entry n - 1; an
//   address beyond 247 leaves the list with no entry selected;
// - the language is Polish unless line 7 is "Jezyk: ang" or "Jezyk: rus".
Selections applyLines(const QStringList& lines, const Selections& current);

// The seven lines the OK button writes. A list with nothing selected writes a
// line that the reader does not recognise: the address as 0, the speed and
// parity with an empty value ("Predkosc: "), the port as COM0, stop bits 0,
// data bits 9; no language selected writes Polish.
QStringList lineTexts(const Selections& s);
// The whole file: the seven lines, each ended by CR LF.
QByteArray fileText(const Selections& s);

struct ReadResult {
    QStringList lines; // at most seven; those read before a failure
    bool ok = false;
    QString error; // why the file could not be read
};

// Reads the first seven lines of the file (each cut to a bounded length). A
// line ends at LF, with or without a CR before it; any other CR stays in the
// line, so a file with CR-only line ends is one long line that matches
// nothing. Anything but a regular file is refused as unreadable.
ReadResult readFile(const QString& path);

} // namespace ini
