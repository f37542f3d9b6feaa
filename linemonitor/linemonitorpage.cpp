#include "linemonitor/linemonitorpage.h"

#include "app/tform1.h"
#include "config/tform2.h"
#include "core/link.h"
#include "linemonitor/exchangerecord.h"
#include "linemonitor/linemonitor.h"
#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"
#include "widgets/placement.h"

#include <iterator>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

namespace {

// A small screen with a pulse train on it: the line as it goes.
QIcon monitorIcon() {
    QPixmap p(20, 18);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing, false);
    g.setPen(QColor(0x30, 0x30, 0x30));
    g.setBrush(QColor(0x10, 0x28, 0x10));
    g.drawRect(0, 0, 19, 17);
    g.setPen(QPen(QColor(0x40, 0xE0, 0x40), 1));
    const QPoint trace[] = {{2, 12}, {4, 12}, {4, 5},   {7, 5},   {7, 12}, {9, 12},
                            {9, 5},  {13, 5}, {13, 12}, {15, 12}, {15, 5}, {17, 5}};
    g.drawPolyline(trace, int(std::size(trace)));
    return QIcon(p);
}

QString hint() {
    return QCoreApplication::translate(
        "LineMonitor", "Communication monitor: the exchanges on the line, and finding the relay");
}

// Follows the language chosen in the settings.
class HintFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LanguageChange)
            if (auto* b = qobject_cast<QToolButton*>(watched)) b->setToolTip(hint());
        return false;
    }
};

} // namespace

LineMonitorPage::LineMonitorPage(TForm1& window, core::Link& link)
    : QObject(&window), w_(window), link_(link) {
    setObjectName(QStringLiteral("LineMonitorPage"));
}

void LineMonitorPage::build() {
    // The exchanges are counted and kept from the start, the monitor's window open or not.
    LineRecord1 = new linemonitor::ExchangeRecord(&w_);
    LineRecord1->setObjectName(QStringLiteral("LineRecord1"));
    link_.bus().setObserver([record = LineRecord1](const BusExchange& e) { record->record(e); });

    QFrame* bevel = w_.ToolBar1->findChild<QFrame*>(QStringLiteral("Bevel1"));
    QWidget* area = bevel ? static_cast<QWidget*>(bevel) : w_.ToolBar1;
    LineMonitorButton = new QToolButton(area);
    LineMonitorButton->setObjectName(QStringLiteral("LineMonitorButton"));
    LineMonitorButton->setIcon(monitorIcon());
    LineMonitorButton->setIconSize(QSize(20, 18));
    LineMonitorButton->setAutoRaise(true);
    LineMonitorButton->setToolTip(hint());
    // The right end of the 350-pixel area (the poll log's button and size label to its left).
    LineMonitorButton->setGeometry(322, 4, 24, 27);
    LineMonitorButton->installEventFilter(new HintFilter(LineMonitorButton));
    connect(LineMonitorButton, &QToolButton::clicked, this, &LineMonitorPage::LineMonitorButtonClick);
}

void LineMonitorPage::LineMonitorButtonClick() {
    if (!LineMonitor1) {
        LineMonitorLinks links;
        links.record = LineRecord1;
        links.programConnected = [this] { return link_.driver().IsOpen(); };
        links.connectButton = w_.SpeedButton1;
        links.settings = w_.Form2();
        links.portTarget = [this] {
            const TSerialDriver& driver = link_.driver();
            return driver.isNetwork() ? driver.targetText() : QString();
        };
        LineMonitor1 = new LineMonitor(links, &w_);
        // The program ends with the main window: the monitor closes with it (and a scan stops).
        connect(&w_, &TForm1::closed, LineMonitor1, &QWidget::close);
        // Over the main window, no larger than the screen.
        placement::fitAndCentre(LineMonitor1, &w_, QSize(1000, 680));
    }
    LineMonitor1->show();
    LineMonitor1->raise();
    LineMonitor1->activateWindow();
}
