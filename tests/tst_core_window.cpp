// The relay's rules as the technician meets them in the real window against
// the simulator, driven with real keys and clicks: In is scaled by the
// relay's own variant (a table for another one is refused), the read-back
// compares what the relay holds in units, and a write that stops part way
// leaves the confirmed values marked as the relay's and says what it holds.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"

#include "core/results.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "widgets/controls.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Exchange = QMap<QString, QString>;

class TstCoreWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void tableForAnotherVariantIsRefused_data();
    void tableForAnotherVariantIsRefused();
    void readBackComparesUnits();
    void partWriteKeepsConfirmedValues();

private:
    bool startRelay(int variant);
    void startWindow(bool connect);
    QList<Exchange> since(int from) const;
    QList<Exchange> writes(int from) const;
    int mark() const { return int(relay_->logLines().size()); }
    QString relayRegister(int reg) const;
    // Once the simulator has logged a write to reg, runs the control command.
    void whenWritten(int reg, const QString& command, int from);

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
    StringGrid* g_ = nullptr;
};

bool TstCoreWindow::startRelay(int variant) {
    relay_ = std::make_unique<SimRelay>();
    return relay_->start({QStringLiteral("--variant"), QString::number(variant), QStringLiteral("--freeze")});
}

void TstCoreWindow::startWindow(bool connect) {
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    g_ = f_->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
    QVERIFY(g_);
    f_->show();
    QTest::mouseClick(f_->SpeedButton22, Qt::LeftButton); // the setpoint page
    QVERIFY(QTest::qWaitForWindowExposed(f_));
    if (!connect) return;
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY(f_->SerialDriver1->IsOpen());
}

void TstCoreWindow::cleanup() {
    if (app_ && f_) f_->Rozlacz();
    g_ = nullptr;
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

QList<Exchange> TstCoreWindow::since(int from) const {
    QList<Exchange> out;
    const QStringList lines = relay_->logLines();
    for (int i = from; i < lines.size(); ++i)
        out << SimRelay::parseLogLine(lines[i]);
    return out;
}

QList<Exchange> TstCoreWindow::writes(int from) const {
    QList<Exchange> out;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("6")) out << e;
    return out;
}

QString TstCoreWindow::relayRegister(int reg) const {
    QString answer;
    relay_->control(QStringLiteral("get %1").arg(reg), &answer);
    return answer.mid(3);
}

void TstCoreWindow::whenWritten(int reg, const QString& command, int from) {
    auto* t = new QTimer(f_);
    t->setInterval(2);
    connect(t, &QTimer::timeout, f_, [this, t, reg, command, from] {
        for (const Exchange& e : writes(from))
            if (e.value(QStringLiteral("reg")).toInt() == reg) {
                t->stop();
                t->deleteLater();
                QVERIFY(relay_->control(command));
                return;
            }
    });
    t->start();
}

void TstCoreWindow::tableForAnotherVariantIsRefused_data() {
    QTest::addColumn<int>("relayVariant");
    QTest::addColumn<QString>("nominal"); // In as the table shows it
    QTest::addColumn<QString>("typed");   // the variant typed into the open editor, or empty
    QTest::addColumn<int>("fileVariant"); // a file of this variant loaded before connecting, or 0
    QTest::newRow("variant 2 relay, 1 typed") << 2 << "12,5"
                                              << "1" << 0;
    QTest::newRow("variant 1 relay, 2 typed") << 1 << "20,0"
                                              << "2" << 0;
    QTest::newRow("variant 3 file, written at once") << 2 << "25"
                                                     << "" << 3;
}

// The grid shows In for one variant; the relay is another: nothing is
// written and the message names both (the register keeps its value).
void TstCoreWindow::tableForAnotherVariantIsRefused() {
    QFETCH(int, relayVariant);
    QFETCH(QString, nominal);
    QFETCH(QString, typed);
    QFETCH(int, fileVariant);
    QVERIFY(startRelay(relayVariant));
    const QString before = relayRegister(12);
    int tableVariant = 0;
    if (fileVariant) {
        startWindow(false);
        QStringList table = validTable();
        table[0] = nominal;
        table[11] = QString::number(fileVariant);
        QFile file(app_->path(QStringLiteral("other.vrk")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (const QString& l : table)
            file.write(l.toLatin1() + "\r\n");
        file.close();
        app_->openAnswers << file.fileName();
        QTest::mouseClick(f_->SpeedButton9, Qt::LeftButton);
        QCOMPARE(g_->cell(3, 11), QString::number(fileVariant));
        QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
        QVERIFY(f_->SerialDriver1->IsOpen());
        tableVariant = fileVariant;
    } else {
        startWindow(true);
        QStringList table = validTable();
        table[0] = nominal;
        fill(g_, table);
        // The poll puts the relay's variant into the table.
        QTRY_COMPARE_WITH_TIMEOUT(g_->cell(3, 11), QString::number(relayVariant), 10000);
        const QRect r = g_->visualRect(g_->model()->index(11, 3));
        QTest::mouseClick(g_->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(g_->viewport(), Qt::LeftButton, {}, r.center());
        auto* editor = qobject_cast<QLineEdit*>(g_->indexWidget(g_->model()->index(11, 3)));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, typed);
        // The poll does not replace what is being typed.
        QTest::qWait(500);
        QCOMPARE(editor->text(), typed);
        tableVariant = typed.toInt();
    }
    const int from = mark();
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    QVERIFY(writes(from).isEmpty());
    QCOMPARE(relayRegister(12), before);
    QCOMPARE(f_->Label100->text(), core::variantMismatchText(tableVariant, relayVariant));
    QVERIFY(app_->f4()->isVisible());
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(!status || status->text().isEmpty());
}

// The relay changes its variant while the setpoints go in: register 12 holds
// the raw value sent, but not the current the table shows. No confirmation.
void TstCoreWindow::readBackComparesUnits() {
    QVERIFY(startRelay(2));
    startWindow(true);
    fill(g_, validTable());
    const int from = mark();
    whenWritten(13, QStringLiteral("variant 1"), from);
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    QCOMPARE(writes(from).size(), 11);
    QCOMPARE(relayRegister(12), QStringLiteral("25"));
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(status);
    QVERIFY2(status->text().isEmpty(), qPrintable(status->text()));
    const QString message = f_->Label100->text();
    QVERIFY2(message.contains(QStringLiteral("2,5")), qPrintable(message)); // 25 in a 20 A relay
    QVERIFY(app_->f4()->isVisible());
}

// The relay goes silent after three registers: those three are the relay's
// (unmarked) at once, the rest are marked as differing, and the report says
// what each parameter's state is.
void TstCoreWindow::partWriteKeepsConfirmedValues() {
    QVERIFY(startRelay(2));
    startWindow(true);
    QTest::mouseClick(f_->SpeedButton6, Qt::LeftButton);
    QCOMPARE(f_->setpointState().setpointImage.size(), 14);
    QStringList table = validTable();
    table[0] = QStringLiteral("15,0");
    table[1] = QStringLiteral("4,0");
    table[2] = QStringLiteral("165");
    table[3] = QStringLiteral("45");
    table[4] = QStringLiteral("15");
    for (int r = 0; r < 5; ++r)
        QVERIFY(!setpoints::sameValue(table[r], g_->cell(3, r)));
    fill(g_, table);
    const int from = mark();
    whenWritten(14, QStringLiteral("noreply 1"), from);
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const QColor changed(255, 220, 130);
    for (int r = 0; r < 3; ++r)
        QVERIFY2(g_->cellBackground(3, r) != changed, qPrintable(QString::number(r)));
    for (int r = 3; r < 5; ++r)
        QCOMPARE(g_->cellBackground(3, r), changed);
    QCOMPARE(f_->setpointState().setpointImage[0], 30);
    const QStringList lines = f_->Label100->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), f_->hiddenLabel(67)->text());
    QVERIFY2(lines.size() == 13, qPrintable(f_->Label100->text()));
    QVERIFY(lines[2].endsWith(QCoreApplication::translate("core", "written and confirmed")));
    QVERIFY(lines[5].endsWith(
        QCoreApplication::translate("core", "not confirmed (may or may not be in the relay)")));
}

QTEST_MAIN(TstCoreWindow)
#include "tst_core_window.moc"
