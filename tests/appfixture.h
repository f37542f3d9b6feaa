#pragma once
// Starts the program's windows as the program does (without the splash), in
// a working folder of its own, with the beep counted and the message boxes,
// the standard error box and the file dialogs scripted.
#include "app/program.h"
#include "app/tform1.h"
#include "app/tform4.h"
#include "config/tform2.h"
#include "seams/seams.h"

#include <QDir>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>

struct AppFixture {
    QTemporaryDir dir;
    QString previousDir;
    Program program;
    int beeps = 0;
    QStringList messageBoxes; // "title|text"
    QStringList errorBoxes;
    QQueue<QString> openAnswers; // paths the open dialog answers with, "" cancels
    QQueue<QString> saveAnswers;
    QStringList dialogFilters; // the filter of every dialog shown

    // Prepares the folder and the seams; call start() to create the windows
    // (a test may first put files such as vrk.ini into the folder).
    AppFixture() {
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        seams::Seams& s = seams::current();
        s.beep = [this] { ++beeps; };
        s.messageBox = [this](QWidget*, seams::BoxIcon, const QString& title, const QString& text) {
            messageBoxes << title + QLatin1Char('|') + text;
        };
        s.errorBox = [this](QWidget*, const QString& text) { errorBoxes << text; };
        s.openFileName = [this](QWidget*, const QString&, const QString&, const QString& filter) {
            dialogFilters << filter;
            return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
        };
        s.saveFileName = [this](QWidget*, const QString&, const QString&, const QString& filter) {
            dialogFilters << filter;
            return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
        };
    }
    ~AppFixture() {
        delete program.form4;
        program.form4 = nullptr;
        delete program.form2;
        program.form2 = nullptr;
        delete program.form1;
        program.form1 = nullptr;
        seams::reset();
        QDir::setCurrent(previousDir);
    }
    void start() { startProgram(program, false); }
    TForm1* f1() const { return program.form1; }
    TForm2* f2() const { return program.form2; }
    TForm4* f4() const { return program.form4; }
    QString path(const QString& name) const { return dir.filePath(name); }
};
