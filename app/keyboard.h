#pragma once
// The main window at the keyboard: one Tab order through the toolbars and
// the page on show, and the shortcuts a technician expects. A shortcut
// presses the button of the page on show, so it does exactly what a click
// does and nothing while that button is disabled.
#include <QKeySequence>
#include <QList>
#include <QString>

class QAbstractButton;
class QWidget;
class TForm1;

namespace keyboard {

// The widgets of `area` that Tab may stop on, in reading order (top to
// bottom, then left to right); the parts inside a scroll area (its
// viewport, bars and headers) are left to the scroll area.
QList<QWidget*> tabStops(QWidget* area);

// Chains the Tab order of the window: its first toolbar, the page buttons,
// then each page's controls. The page control itself takes no focus (its
// tab bar is hidden), so Tab and Shift+Tab run through every control.
void setTabOrder(TForm1& window);

// Installs the shortcuts (F5 read, Ctrl+S save, Ctrl+O open, Ctrl+1..4 the
// pages) and shows each in its buttons' tooltips.
void addShortcuts(TForm1& window);

// The shortcut a button answers to, or an empty sequence.
QKeySequence shortcutOf(const QAbstractButton* button);

// A tooltip with its shortcut: "ROZŁĄCZ (F5)"; the bare tip when there is none.
QString hintWithShortcut(const QString& hint, const QKeySequence& shortcut);

} // namespace keyboard
