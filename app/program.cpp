#include "app/program.h"

#include "app/programicon.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "app/tform4.h"
#include "config/tform2.h"

#include <QApplication>

Program::~Program() {
    delete form4;
    delete form2;
    delete form1;
    delete splash;
}

void startProgram(Program& program, bool withSplash) {
    // Every window (the splash, the dialogs, the message boxes) shows the program's icon.
    QApplication::setWindowIcon(programicon::icon());
    if (withSplash) {
        program.splash = new TForm3();
        program.splash->show();
    }
    program.form1 = new TForm1();
    program.form2 = new TForm2(program.form1);
    program.form1->setForms(program.form2, nullptr);
    program.form2->FormCreate();
    program.form4 = new TForm4(program.form1);
    program.form1->setForms(program.form2, program.form4);
}
