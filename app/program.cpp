#include "app/program.h"

#include "app/deferredmenus.h"
#include "app/programicon.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "app/tform4.h"
#include "config/tform2.h"

#include <QApplication>
#include <QScreen>

Program::~Program() {
    delete form4;
    delete form2;
    delete form1;
    delete splash;
}

QPoint centredOn(const QRect& area, const QSize& frame) {
    const int x = area.x() + std::max(0, (area.width() - frame.width()) / 2);
    const int y = area.y() + std::max(0, (area.height() - frame.height()) / 2);
    return {x, y};
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // move() places the frame; before the first show the frame is the client area.
    window->move(centredOn(screen->availableGeometry(), window->frameGeometry().size()));
}

void startProgram(Program& program, bool withSplash) {
    // Every window (the splash, the dialogs, the message boxes) shows the program's icon.
    QApplication::setWindowIcon(programicon::icon());
    if (withSplash) {
        program.splash = new TForm3();
        program.splash->show();
    }
    program.form1 = new TForm1();
    deferredmenus::install(program.form1);
    centreOnScreen(program.form1);
    program.form2 = new TForm2(program.form1);
    program.form1->setForms(program.form2, nullptr);
    program.form2->FormCreate();
    program.form4 = new TForm4(program.form1);
    program.form1->setForms(program.form2, program.form4);
}
