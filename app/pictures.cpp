#include "app/pictures.h"

#include <functional>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace pictures {
namespace {

// A picture drawn once for every pixel ratio a screen may have, so that it
// stays sharp at 125 %, 150 %, 200 % and more; `draw` paints in the
// picture's own (1x) coordinates.
QIcon drawnIcon(int w, int h, const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        QPixmap pm(qCeil(w * ratio), qCeil(h * ratio));
        pm.setDevicePixelRatio(ratio);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

QIcon connectIcon() {
    return drawnIcon(32, 28, [](QPainter& p) {
        p.setPen(QPen(QColor(0, 110, 0), 2));
        p.setBrush(QColor(60, 180, 60));
        p.drawRect(3, 9, 10, 10);   // plug
        p.drawRect(19, 9, 10, 10);  // socket
        p.drawLine(13, 12, 19, 12); // pins pushed home
        p.drawLine(13, 16, 19, 16);
    });
}

QIcon disconnectIcon() {
    return drawnIcon(32, 28, [](QPainter& p) {
        p.setPen(QPen(QColor(140, 0, 0), 2));
        p.setBrush(QColor(210, 60, 60));
        p.drawRect(1, 9, 9, 10);
        p.drawRect(22, 9, 9, 10);
        p.drawLine(10, 12, 14, 12);
        p.drawLine(10, 16, 14, 16);
    });
}

QIcon settingsIcon() {
    return drawnIcon(32, 28, [](QPainter& p) {
        p.translate(16, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 80, 110));
        for (int i = 0; i < 8; ++i) {
            p.drawRect(-2, -12, 4, 6);
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 8, 8);
        p.setBrush(QColor(230, 230, 240));
        p.drawEllipse(QPointF(0, 0), 3, 3);
    });
}

QIcon errorIcon() {
    return drawnIcon(32, 32, [](QPainter& p) {
        p.setBrush(QColor(200, 30, 30));
        p.setPen(Qt::NoPen);
        p.drawEllipse(2, 2, 28, 28);
        p.setPen(QPen(Qt::white, 4));
        p.drawLine(10, 10, 22, 22);
        p.drawLine(22, 10, 10, 22);
    });
}

QPixmap logo(qreal ratio) {
    if (ratio <= 0) ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(qCeil(136 * ratio), qCeil(35 * ratio));
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 40, 120), 2));
    p.drawRect(1, 1, 134, 33);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(200, 0, 0));
    p.drawText(QRect(0, 0, 136, 35), Qt::AlignCenter, QStringLiteral("VRK"));
    return pm;
}

QImage drawSplash() {
    QImage img(213, 187, QImage::Format_RGB888);
    img.fill(QColor(235, 235, 235));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The relay's front: a grey case with a display, two rows of lamps and
    // the terminal strip, seen from the front.
    QLinearGradient g(0, 0, 0, 187);
    g.setColorAt(0, QColor(190, 195, 200));
    g.setColorAt(1, QColor(120, 125, 135));
    p.setBrush(g);
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.drawRoundedRect(18, 12, 177, 163, 8, 8);
    p.setBrush(QColor(20, 60, 30));
    p.drawRect(36, 28, 141, 44);
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(120, 255, 140));
    p.drawText(QRect(36, 28, 141, 44), Qt::AlignCenter, QStringLiteral("100 %"));
    for (int i = 0; i < 8; ++i) {
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(i == 0 ? QColor(40, 200, 60) : QColor(200, 40, 40));
        p.drawEllipse(QPointF(44 + i * 18, 92), 5, 5);
    }
    p.setBrush(QColor(50, 50, 60));
    for (int i = 0; i < 10; ++i)
        p.drawRect(36 + i * 14, 150, 9, 14);
    p.setBrush(QColor(220, 220, 225));
    p.drawRoundedRect(60, 110, 40, 22, 4, 4);
    p.drawRoundedRect(113, 110, 40, 22, 4, 4);
    return img;
}

QImage splash() {
    QFile f(QStringLiteral(":/pictures/splash.jpg"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return decodeJpeg(f.read(1 << 20));
}

} // namespace pictures
