// "Which port is this?" with real clicks: from the communication monitor's
// button to the ports file and the device the driver then opens.
#include "ports/portswindow.h"
#include "serial/tserialdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TstPortsWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writesTheChosenPort_data();
    void writesTheChosenPort();
    void refusedWriteSaysWhy();

private:
    PortsWindow* open();
    void clickRow(PortsWindow* w, int row);
    std::unique_ptr<QTemporaryDir> dir_;
    QString before_;
};

void TstPortsWindow::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    before_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_->path()));
    qunsetenv("VRK_COM1");
    qunsetenv("VRK_COM2");
}

void TstPortsWindow::cleanup() {
    QDir::setCurrent(before_);
    dir_.reset();
}

PortsWindow* TstPortsWindow::open() {
    QWidget* parent = new QWidget();
    parent->setAttribute(Qt::WA_DeleteOnClose);
    auto* button = makePortsButton(parent);
    parent->show();
    QTest::mouseClick(button, Qt::LeftButton);
    auto* w = parent->findChild<PortsWindow*>();
    return w;
}

void TstPortsWindow::clickRow(PortsWindow* w, int row) {
    QTableWidget* t = w->PortTable;
    const QRect cell = t->visualRect(t->model()->index(row, 0));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
}

void TstPortsWindow::writesTheChosenPort_data() {
    QTest::addColumn<QByteArray>("before"); // the ports file before; empty: none
    QTest::addColumn<int>("settingsPort");  // 1 or 2
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("first mapping") << QByteArray() << 1 << 1 << QByteArray("COM1=/dev/serial/by-id/usb-B\n");
    QTest::newRow("COM2 beside a comment")
        << QByteArray("# bench\r\nCOM1=/dev/ttyS0\r\n") << 2 << 0
        << QByteArray("# bench\r\nCOM1=/dev/ttyS0\r\nCOM2=/dev/ttyUSB9\r\n");
    QTest::newRow("replaces") << QByteArray("COM1=/dev/old\n") << 1 << 1
                              << QByteArray("COM1=/dev/serial/by-id/usb-B\n");
}

void TstPortsWindow::writesTheChosenPort() {
    QFETCH(QByteArray, before);
    QFETCH(int, settingsPort);
    QFETCH(int, row);
    QFETCH(QByteArray, after);
    if (!before.isEmpty()) {
        QFile f(QStringLiteral("ports"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
    }
    PortsWindow* w = open();
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->showPorts({{"/dev/ttyUSB9", "/dev/ttyUSB9", ""}, {"/dev/serial/by-id/usb-B", "/dev/ttyUSB1", "B"}});
    QVERIFY(!w->WriteButton->isEnabled());
    w->SettingsPort->setFocus();
    if (settingsPort == 2) QTest::keyClick(w->SettingsPort, Qt::Key_Down);
    QCOMPARE(w->SettingsPort->currentText(), QStringLiteral("COM%1").arg(settingsPort));
    clickRow(w, row);
    QVERIFY(w->WriteButton->isEnabled());
    QTest::mouseClick(w->WriteButton, Qt::LeftButton);
    QFile f(QStringLiteral("ports"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), after);
    if (qEnvironmentVariableIsSet("VRK_KEEP_SCREENS"))
        w->grab().save(qEnvironmentVariable("VRK_KEEP_SCREENS") + QStringLiteral("/ports-window.png"));
    QVERIFY2(w->StatusLabel->text().contains(QStringLiteral("COM%1=").arg(settingsPort)),
             qPrintable(w->StatusLabel->text()));
    QVERIFY2(w->CurrentLabel->text().contains(w->PortTable->item(row, 0)->text()),
             qPrintable(w->CurrentLabel->text()));
    // The driver opens what was written.
    QCOMPARE(TSerialDriver::devicePath(QStringLiteral("\\\\.\\COM%1").arg(settingsPort)),
             w->PortTable->item(row, 0)->text());
    w->parentWidget()->close();
}

// A folder where the ports file should be: the window says it was not written.
void TstPortsWindow::refusedWriteSaysWhy() {
    QVERIFY(QDir().mkdir(QStringLiteral("ports")));
    PortsWindow* w = open();
    QVERIFY(w);
    w->showPorts({{"COM7", "\\\\Device\\\\VCP0", "Adapter"}});
    clickRow(w, 0);
    QTest::mouseClick(w->WriteButton, Qt::LeftButton);
    QVERIFY2(w->StatusLabel->text().startsWith(QStringLiteral("Not written: ")),
             qPrintable(w->StatusLabel->text()));
    QVERIFY(w->StatusLabel->text().size() > 20);
    w->parentWidget()->close();
}

QTEST_MAIN(TstPortsWindow)
#include "tst_portswindow.moc"
