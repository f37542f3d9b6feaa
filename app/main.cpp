#include "app/program.h"
#include "app/tform1.h"
#include "app/viewsize.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The view size is a scale factor Qt takes when the application starts.
    QCoreApplication::setApplicationName(QStringLiteral("VRK"));
    viewsize::applyAtStart();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("VRK"));
    app.setApplicationVersion(QStringLiteral(VRK_VERSION));
    // Ties the windows to the desktop entry vrk.desktop (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("vrk"));
    // The program ends when the main window is closed, whatever else is open.
    app.setQuitOnLastWindowClosed(false);
    Program program;
    startProgram(program, true);
    QObject::connect(program.form1, &TForm1::closed, &app, &QApplication::quit);
    program.form1->show();
    return app.exec();
}
