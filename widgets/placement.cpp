#include "widgets/placement.h"

#include <algorithm>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace placement {

QRect placed(const QRect& over, const QSize& wanted, const QSize& minimum, const QRect& available) {
    const QSize size(std::max(minimum.width(), std::min(wanted.width(), available.width())),
                     std::max(minimum.height(), std::min(wanted.height(), available.height())));
    QRect r(QPoint(0, 0), size);
    r.moveCenter(over.isValid() ? over.center() : available.center());
    // Inside the area; a window larger than it keeps its top-left corner (its
    // title bar) in sight.
    r.moveLeft(std::max(available.left(), std::min(r.left(), available.right() + 1 - r.width())));
    r.moveTop(std::max(available.top(), std::min(r.top(), available.bottom() + 1 - r.height())));
    return r;
}

namespace {

// The window frame's margins: the window's own once it has been shown,
// otherwise those of the window it belongs to (the same window manager
// draws both).
QMargins frameMargins(const QWidget* window, const QWidget* anchor) {
    for (const QWidget* w : {window, anchor}) {
        if (!w || !w->isVisible()) continue;
        const QRect frame = w->frameGeometry(), client = w->geometry();
        const QMargins m(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
        if (m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0) return m;
    }
    return {};
}

} // namespace

void fitAndCentre(QWidget* window, const QWidget* anchor, QSize wanted) {
    if (!window) return;
    const QWidget* top = anchor ? anchor->window() : nullptr;
    QScreen* screen = top && top->screen() ? top->screen() : window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    if (!wanted.isValid()) wanted = window->size();
    const QMargins m = frameMargins(window, top);
    const QSize grow(m.left() + m.right(), m.top() + m.bottom());
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint()).boundedTo(wanted);
    const QRect frame = placed(top ? top->frameGeometry() : QRect(), wanted + grow, minimum + grow,
                               screen->availableGeometry());
    window->resize(frame.size() - grow);
    // move() places the frame.
    window->move(frame.topLeft());
}

} // namespace placement
