#include "ports/portswindow.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "config/portmap.h"

PortsWindow::PortsWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PortsWindow"));
    setWindowTitle(tr("Which port is this?"));
    resize(720, 360);
    auto* top = new QVBoxLayout(this);
    auto* intro =
        new QLabel(tr("The serial ports of this computer. Choose the adapter the relay is on and write it "
                      "as a port of the settings: the program and vrk-cli started in this folder open "
                      "it from then on."),
                   this);
    intro->setWordWrap(true);
    top->addWidget(intro);

    PortTable = new QTableWidget(0, 3, this);
    PortTable->setObjectName(QStringLiteral("PortTable"));
    PortTable->setHorizontalHeaderLabels({tr("Port"), tr("Device"), tr("Adapter")});
    PortTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PortTable->setSelectionMode(QAbstractItemView::SingleSelection);
    PortTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PortTable->horizontalHeader()->setStretchLastSection(true);
    PortTable->verticalHeader()->hide();
    top->addWidget(PortTable, 1);

    auto* row = new QHBoxLayout();
    row->addWidget(new QLabel(tr("Settings port:"), this));
    SettingsPort = new QComboBox(this);
    SettingsPort->setObjectName(QStringLiteral("SettingsPort"));
    SettingsPort->addItems({QStringLiteral("COM1"), QStringLiteral("COM2")});
    row->addWidget(SettingsPort);
    CurrentLabel = new QLabel(this);
    CurrentLabel->setObjectName(QStringLiteral("CurrentLabel"));
    row->addWidget(CurrentLabel, 1);
    top->addLayout(row);

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);
    top->addWidget(StatusLabel);

    auto* buttons = new QHBoxLayout();
    RefreshButton = new QPushButton(tr("Refresh"), this);
    RefreshButton->setObjectName(QStringLiteral("RefreshButton"));
    WriteButton = new QPushButton(tr("Write"), this);
    WriteButton->setObjectName(QStringLiteral("WriteButton"));
    CloseButton = new QPushButton(tr("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    buttons->addWidget(RefreshButton);
    buttons->addStretch(1);
    buttons->addWidget(WriteButton);
    buttons->addWidget(CloseButton);
    top->addLayout(buttons);

    connect(RefreshButton, &QPushButton::clicked, this, &PortsWindow::refresh);
    connect(WriteButton, &QPushButton::clicked, this, &PortsWindow::writeChosen);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(SettingsPort, &QComboBox::currentIndexChanged, this, &PortsWindow::showCurrent);
    connect(PortTable, &QTableWidget::itemSelectionChanged, this,
            [this] { WriteButton->setEnabled(PortTable->currentRow() >= 0); });
    refresh();
}

void PortsWindow::refresh() {
    showPorts(portlist::present());
}

void PortsWindow::showPorts(const QList<portlist::Port>& ports) {
    ports_ = ports;
    PortTable->clearContents();
    PortTable->setRowCount(int(ports.size()));
    for (int r = 0; r < ports.size(); ++r) {
        PortTable->setItem(r, 0, new QTableWidgetItem(ports[r].target));
        PortTable->setItem(r, 1, new QTableWidgetItem(QDir::toNativeSeparators(ports[r].device)));
        PortTable->setItem(r, 2, new QTableWidgetItem(ports[r].description));
    }
    PortTable->resizeColumnsToContents();
    WriteButton->setEnabled(false);
    StatusLabel->setText(ports.isEmpty() ? tr("No serial port found.") : QString());
    showCurrent();
}

void PortsWindow::showCurrent() {
    const int n = SettingsPort->currentIndex() + 1;
    const QString env = qEnvironmentVariable(qPrintable(QStringLiteral("VRK_COM%1").arg(n))).trimmed();
    QString error;
    const QString file = portmap::readFile(portmap::filePath(), &error).value(n);
    QString text;
    if (!error.isEmpty())
        text = tr("The ports file cannot be read: %1").arg(error);
    else if (!env.isEmpty())
        text = tr("Now: %1 (VRK_COM%2, which wins over the ports file)").arg(env).arg(n);
    else if (!file.isEmpty())
        text = tr("Now: %1 (ports file)").arg(file);
    else
        text = tr("Now: the system's own COM%1").arg(n);
    CurrentLabel->setText(text);
}

void PortsWindow::writeChosen() {
    const int row = PortTable->currentRow();
    if (row < 0 || row >= ports_.size()) return;
    const int n = SettingsPort->currentIndex() + 1;
    const QString path = portmap::filePath();
    QString error;
    if (portmap::writeTarget(path, n, ports_[row].target, &error))
        StatusLabel->setText(tr("Written to %1: COM%2=%3. It counts from the next connect.")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(n)
                                 .arg(ports_[row].target));
    else
        StatusLabel->setText(tr("Not written: %1").arg(error));
    showCurrent();
}

QPushButton* makePortsButton(QWidget* parent) {
    auto* b = new QPushButton(PortsWindow::tr("Which port is this?"), parent);
    b->setObjectName(QStringLiteral("PortsButton"));
    QObject::connect(b, &QPushButton::clicked, parent, [parent] {
        auto* w = new PortsWindow(parent);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    });
    return b;
}
