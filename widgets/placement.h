#pragma once
// Where a window of its own opens: centred on the window it belongs to and
// no larger than the screen it is on, whatever the screen and the scale.
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace placement {

// The frame rectangle for a window that wants `wanted` (its frame size) and
// cannot be smaller than `minimum`: cut to the available area, centred on
// `over`, then moved to lie inside the area (its top-left corner inside
// when even the minimum is larger).
QRect placed(const QRect& over, const QSize& wanted, const QSize& minimum, const QRect& available);

// Sizes a window (to `wanted`, its client size, or its present size when
// none is given) so that its frame fits the available area of the screen
// `anchor` is on, and centres it on `anchor` (on the screen when there is
// none). Call it before each show: the screen may have changed.
void fitAndCentre(QWidget* window, const QWidget* anchor, QSize wanted = {});

} // namespace placement
