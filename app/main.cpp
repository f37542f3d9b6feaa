#include "app/program.h"
#include "app/tform1.h"
#include "app/viewsize.h"
#include "files/files.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace {

// --version and --help answer on the terminal and end the program before any
// window opens or any file is written; other arguments are Qt's own.
bool answeredOnTerminal(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("vrk %s\n", VRK_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            const QString text = QCoreApplication::translate(
                "main", "Usage: vrk [--help] [--version]\n"
                        "The service tool of the VRK motor protection relay (window program).\n"
                        "\n"
                        "It keeps vrk.ini and its language files (pol.lng, ang.lng, rus.lng) in the\n"
                        "folder it is started in. The settings' COM1 and COM2 open the device that\n"
                        "VRK_COM1 or VRK_COM2 names, else the one a line COM1=DEVICE in the file\n"
                        "\"ports\" of that folder names (COM1=/dev/ttyUSB0, COM1=COM7).\n"
                        "\n"
                        "  --user-folder  run in the user's own folder (created when missing):\n"
                        "                 ~/.local/share/vrk, on Windows %LOCALAPPDATA%\\vrk\n"
                        "  --help         print this text and exit\n"
                        "  --version      print the version and exit\n");
            std::fputs(text.toLocal8Bit().constData(), stdout);
            return true;
        }
    }
    return false;
}

bool asked(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

// The user's own folder for vrk.ini and the language files (a menu entry or
// shortcut starts the program there: the program's own folder may be
// read-only). Empty, with *error, when it cannot be made the working folder.
QString enterUserFolder(QString* error) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        *error = QCoreApplication::translate("main", "The system names no folder for the user's data.");
        return {};
    }
    const QString folder = QDir(base).filePath(QStringLiteral("vrk"));
    if (!QDir().mkpath(folder)) {
        *error = QCoreApplication::translate("main", "Cannot create the folder %1.")
                     .arg(QDir::toNativeSeparators(folder));
        return {};
    }
    if (!QDir::setCurrent(folder)) {
        *error = QCoreApplication::translate("main", "Cannot work in the folder %1.")
                     .arg(QDir::toNativeSeparators(folder));
        return {};
    }
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    if (answeredOnTerminal(argc, argv)) return 0;
    files::reportFileSizeLimitAsError(); // a log or save at the limit says so
    // The view size is a scale factor Qt takes when the application starts.
    QCoreApplication::setApplicationName(QStringLiteral("VRK"));
    viewsize::applyAtStart();
    QApplication app(argc, argv);
    if (asked(argc, argv, "--user-folder")) {
        QString error;
        if (enterUserFolder(&error).isEmpty()) {
            QMessageBox::critical(nullptr, QStringLiteral("VRK"), error);
            return 1;
        }
    }
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
