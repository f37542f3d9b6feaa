// Writes the program's icon as one PNG file per size (vrk-16.png ... vrk-256.png)
// into a folder; the build stores them as resources and installs them. The
// same pictures go into vrk.ico there, the Windows programs' icon.
#include "app/programicon.h"

#include <cstdio>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>

namespace {

// An icon file whose pictures are PNG images (as Windows takes them since Vista).
QByteArray icoFile(const QList<QByteArray>& pngs, const QList<int>& sizes) {
    QByteArray out;
    auto put16 = [&out](quint16 v) { out.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xffff));
        put16(quint16(v >> 16));
    };
    put16(0);
    put16(1); // an icon
    put16(quint16(pngs.size()));
    quint32 offset = 6 + 16 * quint32(pngs.size());
    for (int i = 0; i < pngs.size(); ++i) {
        const int size = sizes[i];
        out.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size));
        out.append(char(0)).append(char(0)); // no palette, reserved
        put16(1);                            // planes
        put16(32);                           // bits per pixel
        put32(quint32(pngs[i].size()));
        put32(offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        out.append(png);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkicon OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QList<QByteArray> pngs;
    QList<int> sizes;
    for (int size : programicon::kSizes) {
        const QString file = out.filePath(QStringLiteral("vrk-%1.png").arg(size));
        if (!programicon::draw(size).save(file, "PNG")) {
            std::fprintf(stderr, "mkicon: cannot write %s\n", qPrintable(file));
            return 1;
        }
        if (size == 22) continue; // not a size Windows looks for
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!programicon::draw(size).save(&buffer, "PNG")) return 1;
        pngs.append(png);
        sizes.append(size);
    }
    const QString ico = out.filePath(QStringLiteral("vrk.ico"));
    QFile f(ico);
    const QByteArray data = icoFile(pngs, sizes);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.flush()) {
        std::fprintf(stderr, "mkicon: cannot write %s\n", qPrintable(ico));
        return 1;
    }
    return 0;
}
