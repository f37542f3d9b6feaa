#include "app/program.h"
#include "app/tform1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("VRK"));
    // The program ends when the main window is closed, whatever else is open.
    app.setQuitOnLastWindowClosed(false);
    Program program;
    startProgram(program, true);
    QObject::connect(program.form1, &TForm1::closed, &app, &QApplication::quit);
    program.form1->show();
    return app.exec();
}
