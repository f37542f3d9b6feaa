#pragma once
// The program's pictures, drawn in code; the splash picture is a JPEG
// resource decoded with libjpeg.
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace pictures {
QIcon connectIcon();
QIcon disconnectIcon();
QIcon settingsIcon();
QIcon errorIcon();
// The logo (136 x 35) drawn for a pixel ratio; 0: the application's.
QPixmap logo(qreal ratio = 0);
// The splash picture (213 x 187), or a null image when the resource is bad.
QImage splash();
// Draws the splash picture; the build encodes it as the JPEG resource.
QImage drawSplash();
} // namespace pictures

// Decodes a JPEG image with libjpeg; a null image when the data is not a
// JPEG it can read (never aborts the program).
QImage decodeJpeg(const QByteArray& data);
// Encodes an image as a baseline JPEG with libjpeg.
QByteArray encodeJpeg(const QImage& image, int quality);
