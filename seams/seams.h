#pragma once
// Everything a test must observe or script passes through here: the beep,
// message boxes, file dialogs and the PC's clock. The program installs the
// real ones; a test replaces any of them and counts or scripts what it needs.
#include <functional>
#include <QDateTime>
#include <QList>
#include <QString>

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
    // A question answered yes or no; true for yes.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> question;
};

// The seams in force; starts with the real implementations.
Seams& current();
// Puts the real implementations back.
void reset();

// ---- the rules the real file dialogs follow
// One filter of a file dialog: the label shown (the program's own
// description, as written) and the filter Qt is given.
struct NameFilter {
    QString label;
    QString qtFilter;
    bool operator==(const NameFilter&) const = default;
};
// "Description|*.ext|Description|*.*" as name filters. "*.*" means every
// file; where file names need no dot (anything but Windows) it becomes "*".
QList<NameFilter> nameFilters(const QString& pairs, bool dotlessNames);
// The file a save dialog's answer names: the extension of the filter's first
// pattern appended unless the name already ends with it (the program's
// saving rule), e.g. "abc" -> "abc.vrk".
QString finalSaveName(const QString& chosen, const QString& pairs);
// Shows a save dialog (`dialog` returns the typed name, empty when cancelled)
// until the user cancels or names a file whose final name does not exist yet
// or that he agrees to replace, asked through question(). Returns the final
// name, or an empty text.
QString confirmedSaveName(QWidget* parent, const QString& pairs, const std::function<QString()>& dialog);

// Convenience wrappers.
inline void beep() {
    current().beep();
}
inline QDateTime now() {
    return current().now();
}
void errorBox(QWidget* parent, const QString& text);

} // namespace seams
