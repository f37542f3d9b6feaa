#include "app/programicon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace programicon {
namespace {

// Everything is laid out on a unit square; the painter scales it.
constexpr double kTileMargin = 0.04;
constexpr double kTileRadius = 0.17;
constexpr double kWireX[] = {0.35, 0.5, 0.65};
constexpr double kWireTop = 0.1;
const QRectF kRelay(0.2, 0.2, 0.6, 0.2);
const QPointF kMotorCentre(0.5, 0.69);
constexpr double kMotorRadius = 0.22;

// Where a wire at x meets the top of the motor's circle.
double motorTopAt(double x) {
    const double dx = x - kMotorCentre.x();
    return kMotorCentre.y() - std::sqrt(kMotorRadius * kMotorRadius - dx * dx);
}

} // namespace

QImage draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size, size);
    // Lines stay at least about one pixel wide at the small sizes.
    const double line = std::max(0.05, 1.1 / size);
    const QColor dark(20, 38, 60);

    QLinearGradient tile(0, 0, 0, 1);
    tile.setColorAt(0, QColor(66, 112, 160));
    tile.setColorAt(1, QColor(28, 52, 82));
    p.setPen(QPen(dark, std::max(0.012, 0.8 / size)));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(kTileMargin, kTileMargin, 1 - 2 * kTileMargin, 1 - 2 * kTileMargin), kTileRadius,
                      kTileRadius);

    // The three phases: from the supply through the relay to the motor.
    p.setPen(QPen(QColor(186, 204, 226), line, Qt::SolidLine, Qt::FlatCap));
    for (double x : kWireX) {
        p.drawLine(QPointF(x, kWireTop), QPointF(x, kRelay.top()));
        p.drawLine(QPointF(x, kRelay.bottom()), QPointF(x, motorTopAt(x) + line / 2));
    }

    // The relay: an amber box with its red trip lamp.
    p.setPen(QPen(QColor(110, 70, 0), line * 0.6));
    p.setBrush(QColor(242, 182, 50));
    p.drawRoundedRect(kRelay, 0.03, 0.03);
    if (size >= 22) {
        const QPointF lamp(kRelay.right() - 0.09, kRelay.center().y());
        p.setPen(QPen(QColor(120, 0, 0), line * 0.4));
        p.setBrush(QColor(229, 40, 40));
        p.drawEllipse(lamp, 0.05, 0.05);
        p.setPen(QPen(dark, line * 0.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(kRelay.left() + 0.08, kRelay.center().y()),
                   QPointF(kRelay.right() - 0.2, kRelay.center().y()));
    }

    // The motor: a white circle with an M.
    p.setPen(QPen(dark, line * 0.5));
    p.setBrush(QColor(246, 248, 250));
    p.drawEllipse(kMotorCentre, kMotorRadius, kMotorRadius);
    const QPolygonF m{{0.4, 0.78}, {0.4, 0.6}, {0.5, 0.71}, {0.6, 0.6}, {0.6, 0.78}};
    p.setPen(QPen(dark, line * 1.1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(m);
    return image;
}

QString resourcePath(int size) {
    return QStringLiteral(":/icons/vrk-%1.png").arg(size);
}

QIcon icon() {
    QIcon result;
    for (int size : kSizes)
        result.addFile(resourcePath(size), QSize(size, size));
    return result;
}

} // namespace programicon
