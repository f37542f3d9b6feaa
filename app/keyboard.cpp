#include "app/keyboard.h"

#include "app/tform1.h"
#include "setpoints/rules.h"
#include "widgets/controls.h"

#include <algorithm>
#include <QAbstractScrollArea>
#include <QButtonGroup>
#include <QHelpEvent>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace keyboard {
namespace {

const char* const kShortcutProperty = "vrkShortcut";

// Shows a button's own tooltip with its shortcut after it; the stored tooltip
// (which the language files set) stays as it is.
class ShortcutHint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button) return QObject::eventFilter(watched, event);
        const QString tip = hintWithShortcut(
            button->toolTip().isEmpty() ? button->text().trimmed() : button->toolTip(), shortcutOf(button));
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, button);
        return true;
    }
};

bool insideScrollArea(const QWidget* w, const QWidget* area) {
    for (const QWidget* p = w->parentWidget(); p && p != area; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p)) return true;
    return false;
}

// Presses the first of the buttons that is on show and enabled.
void pressFirstAvailable(TForm1& window, const QList<QAbstractButton*>& buttons) {
    for (QAbstractButton* b : buttons) {
        if (!b || !b->isVisible() || !b->isEnabled()) continue;
        // What is typed into an open cell editor counts, as when the button is clicked.
        for (StringGrid* grid : {&window.setpointPage().grid(), &window.faultPage().grid()})
            if (grid->isVisible()) grid->commitOpenEditor();
        b->click();
        return;
    }
}

} // namespace

QList<QWidget*> tabStops(QWidget* area) {
    QList<QWidget*> stops;
    if (!area) return stops;
    QList<QWidget*> all = area->findChildren<QWidget*>();
    all.prepend(area);
    for (QWidget* w : all) {
        if (w->isWindow() || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy()) continue;
        if (insideScrollArea(w, area)) continue;
        if (qobject_cast<QTabBar*>(w)) continue;
        stops << w;
    }
    const QWidget* top = area->window();
    std::stable_sort(stops.begin(), stops.end(), [top](QWidget* a, QWidget* b) {
        const QPoint pa = a->mapTo(top, QPoint(0, 0)), pb = b->mapTo(top, QPoint(0, 0));
        // Controls whose tops lie within a few pixels share a line.
        if (std::abs(pa.y() - pb.y()) > 4) return pa.y() < pb.y();
        return pa.x() < pb.x();
    });
    return stops;
}

void setTabOrder(TForm1& f) {
    // The hidden tab bar is the page control's focus proxy: Tab would stop
    // there and go nowhere. Only the controls on the pages take focus.
    f.PageControl1->tabBar()->setFocusPolicy(Qt::NoFocus);
    f.PageControl1->setFocusProxy(nullptr);
    f.PageControl1->setFocusPolicy(Qt::NoFocus);
    // The fault log is read, not typed into: one Tab stop, arrows move in it.
    f.faultPage().grid().setTabKeyNavigation(false);
    // Both grids refuse rows 12 and 13; the keys pass over them, so that the
    // fault log's rows beyond them can be reached.
    for (StringGrid* grid : {&f.setpointPage().grid(), &f.faultPage().grid()})
        grid->passOver = [](int column, int row) { return !setpoints::cellSelectable(column, row); };
    QList<QWidget*> chain = tabStops(f.ToolBar1) + tabStops(f.ToolBar2);
    for (QWidget* page : {f.TabSheet1, f.TabSheet4, f.TabSheet5, f.TabSheet6})
        chain += tabStops(page);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    // A group of buttons of which one is down (the pages, the units, a
    // selector) is one Tab stop, as a tab bar is: the button down; the arrow
    // keys move to the next one of the group.
    for (QButtonGroup* group : f.findChildren<QButtonGroup*>()) {
        if (!group->exclusive()) continue;
        auto tabStopOnChecked = [group] {
            const bool anyDown = group->checkedButton() != nullptr;
            for (QAbstractButton* b : group->buttons())
                b->setFocusPolicy(!anyDown || b->isChecked()
                                      ? Qt::FocusPolicy(b->focusPolicy() | Qt::TabFocus)
                                      : Qt::FocusPolicy(b->focusPolicy() & ~Qt::TabFocus));
        };
        QObject::connect(group, &QButtonGroup::buttonToggled, group, tabStopOnChecked);
        tabStopOnChecked();
    }
}

QKeySequence shortcutOf(const QAbstractButton* button) {
    return button ? button->property(kShortcutProperty).value<QKeySequence>() : QKeySequence();
}

QString hintWithShortcut(const QString& hint, const QKeySequence& shortcut) {
    if (shortcut.isEmpty()) return hint;
    const QString keys = shortcut.toString(QKeySequence::NativeText);
    return hint.isEmpty() ? keys : hint + QStringLiteral(" (") + keys + QLatin1Char(')');
}

void addShortcuts(TForm1& f) {
    const struct {
        QKeySequence keys;
        QList<QAbstractButton*> buttons;
    } table[] = {
        {QKeySequence(Qt::Key_F5), {f.setpointPage().readButton(), f.faultPage().readButton()}},
        {QKeySequence(Qt::CTRL | Qt::Key_S), {f.setpointPage().saveButton(), f.chartPage().saveButton()}},
        {QKeySequence(Qt::CTRL | Qt::Key_O), {f.setpointPage().loadButton(), f.chartPage().openButton()}},
        {QKeySequence(Qt::CTRL | Qt::Key_1), {f.SpeedButton21}},
        {QKeySequence(Qt::CTRL | Qt::Key_2), {f.SpeedButton22}},
        {QKeySequence(Qt::CTRL | Qt::Key_3), {f.SpeedButton23}},
        {QKeySequence(Qt::CTRL | Qt::Key_4), {f.SpeedButton24}},
    };
    auto* hint = new ShortcutHint(&f);
    for (const auto& entry : table) {
        auto* shortcut = new QShortcut(entry.keys, &f);
        shortcut->setObjectName(QStringLiteral("Shortcut ") +
                                entry.keys.toString(QKeySequence::PortableText));
        const QList<QAbstractButton*> buttons = entry.buttons;
        QObject::connect(shortcut, &QShortcut::activated, &f,
                         [&f, buttons] { pressFirstAvailable(f, buttons); });
        for (QAbstractButton* b : buttons) {
            if (!b) continue;
            b->setProperty(kShortcutProperty, QVariant::fromValue(entry.keys));
            b->installEventFilter(hint);
        }
    }
}

} // namespace keyboard
