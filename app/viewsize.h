#pragma once
// The view size: how large the program draws its windows (100 to 200 %), a
// setting of this PC's user kept in a small file of its own (not vrk.ini,
// which travels with the relay's settings). It takes effect at start, as a
// scale factor for every window.
#include <QByteArray>
#include <QList>
#include <QString>

namespace viewsize {

constexpr int kSmallest = 100;
constexpr int kLargest = 200;
// The sizes offered.
const QList<int>& choices();

// The view size a file's text gives: a whole number of per cent, cut to
// 100..200; 100 for a text that is no number.
int parse(const QByteArray& text);
QByteArray text(int percent);

// The scale factor for the windows: the one already asked for (the
// QT_SCALE_FACTOR environment variable, empty when none) times the view size.
QByteArray scaleFactor(int percent, const QByteArray& present);

// The file in the user's configuration folder.
QString filePath();
// The stored view size; 100 when there is no file or it cannot be read.
int load();
// Stores the view size; false with the reason when it could not be written.
bool save(int percent, QString* error);

// Sets the scale factor from the stored view size; called before the
// application object exists (Qt reads the factor when it starts).
void applyAtStart();

} // namespace viewsize
