#include "app/deferredmenus.h"

#include "wait/idle.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPointer>
#include <QWidget>

namespace deferredmenus {
namespace {

class Deferral : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu || !idle::busy()) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        const auto* asked = static_cast<QContextMenuEvent*>(event);
        const QContextMenuEvent::Reason reason = asked->reason();
        const QPoint pos = asked->pos(), globalPos = asked->globalPos();
        const Qt::KeyboardModifiers modifiers = asked->modifiers();
        QPointer<QWidget> target = widget;
        idle::whenIdle(widget, "contextMenu", [target, reason, pos, globalPos, modifiers] {
            if (!target) return;
            QContextMenuEvent again(reason, pos, globalPos, modifiers);
            QCoreApplication::sendEvent(target, &again);
        });
        return true;
    }
};

} // namespace

void install(QObject* owner) {
    qApp->installEventFilter(new Deferral(owner));
}

} // namespace deferredmenus
