#pragma once
// The program's icon: a three-phase motor fed through its protection relay.
// It is drawn in code at every size a desktop asks for; the build draws it
// once into PNG files (mkicon) that go into the resources and the package,
// and the program loads them from the resources.
#include <QIcon>
#include <QImage>
#include <QString>

#include <array>

namespace programicon {
// The sizes drawn, in pixels (square); the hicolor icon theme's usual set.
inline constexpr std::array<int, 8> kSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Draws the icon at size x size pixels on a transparent background.
QImage draw(int size);
// The resource path of the drawn icon of one size, e.g. ":/icons/vrk-32.png".
QString resourcePath(int size);
// The window icon: every size from the resources.
QIcon icon();
} // namespace programicon
