#pragma once
#include <QRect>
// Program start: the splash, then the main window, the settings dialog
// (which loads vrk.ini and applies the language) and the error window.
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class QWidget;

struct Program {
    TForm3* splash = nullptr; // null when started without the splash
    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    TForm4* form4 = nullptr;
    ~Program();
};

// Creates the windows in the program's order; shows the splash first when asked.
// The main window is shown by the caller (or not, in tests).
void startProgram(Program& program, bool withSplash);

// The top-left corner that centres a window of the given frame size on a
// screen area, kept inside the area when the window is larger.
QPoint centredOn(const QRect& area, const QSize& frame);
// Moves the window to the centre of its screen's available area.
void centreOnScreen(QWidget* window);
