// Writes the program's icon as one PNG file per size (vrk-16.png ... vrk-256.png)
// into a folder; the build stores them as resources and installs them.
#include "app/programicon.h"

#include <cstdio>
#include <QDir>
#include <QGuiApplication>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkicon OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int size : programicon::kSizes) {
        const QString file = out.filePath(QStringLiteral("vrk-%1.png").arg(size));
        if (!programicon::draw(size).save(file, "PNG")) {
            std::fprintf(stderr, "mkicon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
