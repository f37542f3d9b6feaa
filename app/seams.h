#pragma once
// Everything a test must observe or script passes through here: the beep,
// message boxes, file dialogs and the PC's clock. The program installs the
// real ones; a test replaces any of them and counts or scripts what it needs.
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

namespace seams {

enum class BoxIcon { Information, Warning, Error };

struct Seams {
    // The system beep (MessageBeep).
    std::function<void()> beep;
    // A message box with one OK button.
    std::function<void(QWidget* parent, BoxIcon icon, const QString& title, const QString& text)> messageBox;
    // The application's standard error message box for a failed file or toolkit operation.
    std::function<void(QWidget* parent, const QString& text)> errorBox;
    // Open / save file dialogs: the chosen path, or an empty string when cancelled.
    // The filter is given as "Description|*.ext|Description|*.*".
    std::function<QString(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)>
        openFileName;
    std::function<QString(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)>
        saveFileName;
    // The PC's local date and time.
    std::function<QDateTime()> now;
};

// The seams in force; starts with the real implementations.
Seams& current();
// Puts the real implementations back.
void reset();

// Convenience wrappers.
inline void beep() { current().beep(); }
inline QDateTime now() { return current().now(); }
void errorBox(QWidget* parent, const QString& text);

} // namespace seams
