// The main window as the program starts it: its first state, its pages, the
// error window, and connecting to a port that cannot be opened.
#include "appfixture.h"

#include "app/controls.h"
#include "app/pictures.h"
#include "app/programicon.h"
#include "app/tform3.h"
#include "serial/testing/pseudoterminal.h"
#include "serial/tserialdriver.h"

#include <QComboBox>
#include <termios.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class TstApp : public QObject {
    Q_OBJECT
private slots:
    void firstDisplay();
    void controlsExist();
    void pages();
    void errorWindowWidth_data();
    void errorWindowWidth();
    void errorWindowShowsLatest();
    void connectToMissingDevice();
    void connectAppliesSettings_data();
    void connectAppliesSettings();
    void splashPicture();
    void splashCloses();
    void windowIcon_data();
    void windowIcon();
};

void TstApp::firstDisplay() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    for (const char* name : {"Label11", "Label23", "Label26", "Label29", "Label41", "Label43", "Label46", "Label49",
                             "Label57", "Label59", "Label53"}) {
        auto* l = f->findChild<QLabel*>(QLatin1String(name));
        QVERIFY2(l, name);
        QCOMPARE(l->text(), QStringLiteral("#"));
    }
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}) {
        auto* lamp = f->findChild<QLabel*>(QStringLiteral("Image%1").arg(i));
        QVERIFY(lamp);
        QVERIFY2(lamp->isHidden(), qPrintable(lamp->objectName()));
    }
    QVERIFY(f->findChild<QToolButton*>("SpeedButton1")->isEnabled());
    QVERIFY(!f->findChild<QToolButton*>("SpeedButton2")->isEnabled());
    QVERIFY(f->findChild<QToolButton*>("SpeedButton3")->isEnabled());
    for (const char* name : {"SpeedButton6", "SpeedButton7", "SpeedButton11", "SpeedButton12"})
        QVERIFY2(!f->findChild<QToolButton*>(QLatin1String(name))->isEnabled(), name);
    QVERIFY(!f->findChild<QPushButton*>("Button5")->isEnabled());
    QVERIFY(f->Timer1->isActive());
    QVERIFY(!f->Timer2->isActive());
    QVERIFY(!f->SerialDriver1->IsOpen());
    QCOMPARE(f->PageControl1->currentWidget(), f->TabSheet1);
    QVERIFY(f->ProgressBar4->isHidden());
    QCOMPARE(f->ProgressBar4->maximum(), 8);
}

void TstApp::controlsExist() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QCOMPARE(f->size(), QSize(663, 447));
    for (int n = 65; n <= 101; ++n)
        QVERIFY(f->TabSheet7->findChild<QLabel*>(QStringLiteral("Label%1").arg(n)));
    auto* g1 = f->findChild<StringGrid*>("StringGrid1");
    QVERIFY(g1);
    QCOMPARE(g1->columnCount(), 4);
    QCOMPARE(g1->rowCount(), 14);
    QCOMPARE(g1->cell(0, 0), QStringLiteral(" 1"));
    QCOMPARE(g1->cell(0, 13), QStringLiteral(" 14"));
    QCOMPARE(g1->cell(2, 11), QStringLiteral("1=20A  2=100A  3=250A"));
    auto* g2 = f->findChild<StringGrid*>("StringGrid2");
    QVERIFY(g2);
    QCOMPARE(g2->columnCount(), 4);
    QCOMPARE(g2->rowCount(), 41);
    QCOMPARE(g2->cell(0, 40), QStringLiteral(" 40"));
    QCOMPARE(g2->cell(0, 0), QStringLiteral("LP"));
    for (const char* name : {"SpeedButton8", "SpeedButton13", "SpeedButton14", "SpeedButton9", "SpeedButton10",
                             "SpeedButton4", "SpeedButton5", "SpeedButton21", "SpeedButton22", "SpeedButton23",
                             "SpeedButton24"})
        QVERIFY2(f->findChild<QToolButton*>(QLatin1String(name)), name);
    QVERIFY(f->findChild<QWidget*>("Chart2"));
    QVERIFY(f->findChild<RadioGroup*>("RadioGroup1"));
    QVERIFY(f->findChild<RadioGroup*>("RadioGroup2"));
    QVERIFY(f->findChild<StatusBar*>("StatusBar2"));
    QVERIFY(f->findChild<QProgressBar*>("ProgressBar1"));
    // The stored line settings of the port.
    QCOMPARE(f->SerialDriver1->PortName(), QStringLiteral("\\\\.\\COM2"));
    QCOMPARE(f->SerialDriver1->BaudRateValue(), 19200u);
    QCOMPARE(f->SerialDriver1->Parity(), ptODD);
    QCOMPARE(f->SerialDriver1->InputTimeout(), 100u);
    QCOMPARE(f->SerialDriver1->OutputTimeout(), quint16(50));
}

void TstApp::pages() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    struct {
        QToolButton* button;
        QWidget* page;
    } const map[] = {{f->SpeedButton22, f->TabSheet4},
                     {f->SpeedButton23, f->TabSheet5},
                     {f->SpeedButton24, f->TabSheet6},
                     {f->SpeedButton21, f->TabSheet1}};
    for (const auto& m : map) {
        QTest::mouseClick(m.button, Qt::LeftButton);
        QCOMPARE(f->PageControl1->currentWidget(), m.page);
        int down = 0;
        for (QToolButton* b : {f->SpeedButton21, f->SpeedButton22, f->SpeedButton23, f->SpeedButton24})
            down += b->isChecked();
        QCOMPARE(down, 1);
        QVERIFY(m.button->isChecked());
    }
    QVERIFY(f->PageControl1->tabBar()->isHidden());
}

void TstApp::errorWindowWidth_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("buttonLeft");
    QTest::newRow("short") << 5 << 288 << 109;
    QTest::newRow("25") << 25 << 288 << 109;
    QTest::newRow("26") << 26 << 276 << 103;
    QTest::newRow("40") << 40 << 360 << 145;
}

void TstApp::errorWindowWidth() {
    QFETCH(int, length);
    QFETCH(int, width);
    QFETCH(int, buttonLeft);
    AppFixture app;
    app.start();
    app.f1()->reportError(QString(length, QLatin1Char('x')));
    QCOMPARE(app.beeps, 1);
    QVERIFY(app.f4()->isVisible());
    QCOMPARE(app.f4()->width(), width);
    QCOMPARE(app.f4()->Button1->x(), buttonLeft);
}

void TstApp::errorWindowShowsLatest() {
    AppFixture app;
    app.start();
    app.f1()->reportError(QStringLiteral("first"));
    QCOMPARE(app.f4()->Label1->text(), QStringLiteral("first"));
    QCOMPARE(app.f4()->Label2->text(), app.f1()->Label101->text());
    QTest::mouseClick(app.f4()->Button1, Qt::LeftButton);
    QVERIFY(!app.f4()->isVisible());
    app.f1()->reportError(QStringLiteral("second"));
    QVERIFY(app.f4()->isVisible());
    QCOMPARE(app.f4()->Label1->text(), QStringLiteral("second"));
}

void TstApp::connectToMissingDevice() {
    qputenv("VRK_COM1", QDir::temp().filePath(QStringLiteral("vrk-no-such-device")).toLocal8Bit());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(!f->SerialDriver1->IsOpen());
    QCOMPARE(app.beeps, 1);
    QCOMPARE(f->Label100->text(), QString::fromUtf8("Zajęty port Com."));
    QCOMPARE(app.f4()->Label2->text(), QString::fromUtf8("Błąd !"));
    QVERIFY(f->SpeedButton1->isEnabled());
    QVERIFY(f->SpeedButton3->isEnabled());
    QVERIFY(!f->SpeedButton2->isEnabled());
    QVERIFY(!f->Timer2->isActive());
    qunsetenv("VRK_COM1");
}

void TstApp::connectAppliesSettings_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<QString>("device");
    QTest::addColumn<uint>("baud");
    QTest::addColumn<int>("wantParity");
    QTest::addColumn<int>("wantData");
    QTest::addColumn<int>("wantStop");
    // The stored driver settings stand where nothing is chosen: COM2, 19200, odd, 8, 1.
    QTest::newRow("COM1 at 9600") << 0 << 1 << 2 << 0 << 0 << "\\\\.\\COM1" << 9600u << int(ptNONE)
                                  << int(db8BITS) << int(sb1BITS);
    QTest::newRow("COM2 at 2400, even, 7, 2") << 1 << 3 << 1 << 1 << 1 << "\\\\.\\COM2" << 2400u << int(ptEVEN)
                                              << int(db7BITS) << int(sb2BITS);
    QTest::newRow("nothing chosen keeps the stored values") << -1 << -1 << -1 << -1 << -1 << "\\\\.\\COM2"
                                                           << 19200u << int(ptODD) << int(db8BITS) << int(sb1BITS);
}

void TstApp::connectAppliesSettings() {
    QFETCH(int, port);
    QFETCH(int, speed);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(QString, device);
    QFETCH(uint, baud);
    QFETCH(int, wantParity);
    QFETCH(int, wantData);
    QFETCH(int, wantStop);
    PseudoTerminal line;
    QVERIFY(line.ok());
    qputenv("VRK_COM1", QByteArray::fromStdString(line.slavePath()));
    qputenv("VRK_COM2", QByteArray::fromStdString(line.slavePath()));
    AppFixture app;
    app.start();
    TForm2* d = app.f2();
    d->RadioGroup1->setItemIndex(port);
    d->ComboBox1->setCurrentIndex(speed);
    d->ComboBox2->setCurrentIndex(parity);
    d->ComboBox5->setCurrentIndex(dataBits);
    d->ComboBox4->setCurrentIndex(stopBits);
    TSerialDriver* drv = app.f1()->SerialDriver1;
    app.f1()->SpeedButton1Click();
    QVERIFY(drv->IsOpen());
    QCOMPARE(drv->PortName(), device);
    QCOMPARE(drv->BaudRateValue(), baud);
    QCOMPARE(int(drv->Parity()), wantParity);
    QCOMPARE(int(drv->DataBits()), wantData);
    QCOMPARE(int(drv->StopBits()), wantStop);
    // DTR and RTS stay off, no flow control.
    QCOMPARE(drv->HwFlow(), hfNONE);
    QCOMPARE(drv->SwFlow(), sfNONE);
    QVERIFY(!drv->EnableDTROnOpen());
    QVERIFY(!drv->CheckLineStatus());
    termios t{};
    QCOMPARE(tcgetattr(line.slave(), &t), 0);
    QCOMPARE(cfgetospeed(&t), speed_t(baud == 9600 ? B9600 : baud == 2400 ? B2400 : B19200));
    QVERIFY(!(t.c_cflag & CRTSCTS));
    QVERIFY(!(t.c_iflag & (IXON | IXOFF)));
    app.f1()->SpeedButton2Click();
    QVERIFY(!drv->IsOpen());
    qunsetenv("VRK_COM1");
    qunsetenv("VRK_COM2");
}

void TstApp::splashPicture() {
    const QImage img = pictures::splash();
    QCOMPARE(img.size(), QSize(213, 187));
    // A damaged picture is no picture, not a crash.
    QVERIFY(decodeJpeg(QByteArray("\xff\xd8\xff\xe0garbage", 11)).isNull());
    QVERIFY(decodeJpeg(QByteArray(1000, 'x')).isNull());
}

void TstApp::splashCloses() {
    TForm3 splash;
    QCOMPARE(splash.size(), QSize(408, 295));
    QCOMPARE(splash.Label1->text(), QStringLiteral("VRK-M"));
    QVERIFY(splash.Label2->text().contains(QStringLiteral("wersja 1.20")));
    QVERIFY(splash.Label2->text().contains(QStringLiteral("2003")));
    QElapsedTimer shown;
    shown.start();
    splash.show();
    QVERIFY(!splash.ready());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 10000);
    QVERIFY(splash.ready());
    // It stays up for the whole wait after its activation.
    QVERIFY(shown.elapsed() >= 2500);
}

void TstApp::windowIcon_data() {
    QTest::addColumn<int>("size");
    // The hicolor theme's sizes, from the menu's 16 px to the 256 px launcher tile.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void TstApp::windowIcon() {
    QFETCH(int, size);
    AppFixture app;
    app.start();
    const QSize wanted(size, size);
    // The drawn picture is in the resources: a tile with transparent corners.
    const QImage drawn(programicon::resourcePath(size));
    QCOMPARE(drawn.size(), wanted);
    QCOMPARE(qAlpha(drawn.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(drawn.pixel(size / 2, size / 2)), 255);
    // The main window and, through the application, the other windows show it at this size.
    const QIcon icons[] = {app.f1()->windowIcon(), app.f2()->windowIcon(), app.f4()->windowIcon(),
                           QApplication::windowIcon()};
    for (const QIcon& icon : icons) {
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(wanted));
        const QPixmap shown = icon.pixmap(wanted);
        QCOMPARE(shown.size(), wanted);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

QTEST_MAIN(TstApp)
#include "tst_app.moc"
