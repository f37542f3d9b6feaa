// Writes the splash picture as a JPEG file; the build stores it as a resource.
#include "app/pictures.h"

#include <cstdio>
#include <QFile>
#include <QGuiApplication>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkpictures OUTPUT.jpg\n");
        return 2;
    }
    const QByteArray jpeg = encodeJpeg(pictures::drawSplash(), 90);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (jpeg.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(jpeg) != jpeg.size()) return 1;
    return 0;
}
