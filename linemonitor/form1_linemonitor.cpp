// The main window's part of the communication monitor: its button at the
// right end of ToolBar1's free area, and the window, made on first use.
#include "app/tform1.h"
#include "config/tform2.h"
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

void TForm1::buildLineMonitor() {
    // The exchanges are counted and kept from the start, the monitor's window open or not.
    lineMonitorPage().LineRecord1 = new linemonitor::ExchangeRecord(this);
    lineMonitorPage().LineRecord1->setObjectName(QStringLiteral("LineRecord1"));
    bus_->setObserver([record = lineMonitorPage().LineRecord1](const BusExchange& e) { record->record(e); });

    QFrame* bevel = ToolBar1->findChild<QFrame*>(QStringLiteral("Bevel1"));
    QWidget* area = bevel ? static_cast<QWidget*>(bevel) : ToolBar1;
    lineMonitorPage().LineMonitorButton = new QToolButton(area);
    lineMonitorPage().LineMonitorButton->setObjectName(QStringLiteral("LineMonitorButton"));
    lineMonitorPage().LineMonitorButton->setIcon(monitorIcon());
    lineMonitorPage().LineMonitorButton->setIconSize(QSize(20, 18));
    lineMonitorPage().LineMonitorButton->setAutoRaise(true);
    lineMonitorPage().LineMonitorButton->setToolTip(hint());
    // The right end of the 350-pixel area (the poll log's button and size label to its left).
    lineMonitorPage().LineMonitorButton->setGeometry(322, 4, 24, 27);
    lineMonitorPage().LineMonitorButton->installEventFilter(
        new HintFilter(lineMonitorPage().LineMonitorButton));
    connect(lineMonitorPage().LineMonitorButton, &QToolButton::clicked, this,
            &TForm1::LineMonitorButtonClick);
}

void TForm1::LineMonitorButtonClick() {
    if (!lineMonitorPage().LineMonitor1) {
        LineMonitorLinks links;
        links.record = lineMonitorPage().LineRecord1;
        links.programConnected = [this] { return SerialDriver1->IsOpen(); };
        links.connectButton = SpeedButton1;
        links.settings = form2_;
        links.portTarget = [this] {
            return SerialDriver1->isNetwork() ? SerialDriver1->targetText() : QString();
        };
        lineMonitorPage().LineMonitor1 = new LineMonitor(links, this);
        // The program ends with the main window: the monitor closes with it (and a scan stops).
        connect(this, &TForm1::closed, lineMonitorPage().LineMonitor1, &QWidget::close);
        // Over the main window, no larger than the screen.
        placement::fitAndCentre(lineMonitorPage().LineMonitor1, this, QSize(1000, 680));
    }
    lineMonitorPage().LineMonitor1->show();
    lineMonitorPage().LineMonitor1->raise();
    lineMonitorPage().LineMonitor1->activateWindow();
}
