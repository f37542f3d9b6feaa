#pragma once
// Which device a port of the settings (COM1, COM2, ...) opens. The file
// "ports" in the working folder names it, one "COMn=TARGET" line each:
//   COM1=/dev/ttyUSB0        a device (Linux)
//   COM1=COM7                another port (COM7 on Windows, /dev/ttyS6 on Linux)
//   COM2=tcp://10.0.0.5:502  any other target, carried through as it stands
// Lines starting with '#' and lines without "COMn=" are ignored. A variable
// VRK_COMn in the environment wins over the file. The window program, vrk-cli
// and the desktop launcher all go by these rules.
#include <QByteArray>
#include <QMap>
#include <QString>

namespace portmap {

// The file's name in the working folder.
inline constexpr char kFileName[] = "ports";

// The port number of a port name: "\\.\COM3", "COM3" (any case) give 3; 0
// for anything else.
int comNumber(const QString& name);

// The COMn=TARGET lines of a ports file (CR LF or LF), the last line of a
// port winning. Targets are trimmed; empty ones are left out.
QMap<int, QString> parse(const QByteArray& text);

// The file's text with port n set to target (an empty target removes the
// port's lines); every other line stays as it was.
QByteArray withTarget(const QByteArray& text, int n, const QString& target);

// The target of a port name: the environment's value when not empty, else
// the file's; empty when neither names one. A target that is itself a port
// ("COM7") comes back as the port name "\\.\COM7".
QString targetOf(const QString& portName, const QString& environmentValue, const QMap<int, QString>& file);

// The ports file of the working folder and its mappings (none when there is
// no such file or it cannot be read).
QString filePath();
QMap<int, QString> readFile(const QString& path, QString* error = nullptr);

// The port name with its mapping applied, from VRK_COMn and the working
// folder's ports file: what the serial driver opens.
QString mappedPortName(const QString& portName);

// Sets port n to target in the ports file at path, written whole; false with
// *error (in the user's language) when it could not be read or written.
bool writeTarget(const QString& path, int n, const QString& target, QString* error);

} // namespace portmap
