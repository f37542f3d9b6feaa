// The frames every operation of the real main window sends to the relay
// simulator, in order, with the least pause before each: the sequences the
// program has always sent, kept as a table. A change of the window's inner
// structure must leave them as they are.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"

#include "serial/tserialdriver.h"
#include "widgets/controls.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

namespace {

// One received frame as "r<reg>+<n>" (a read) or "w<reg>=<value>" (a write),
// and "@<ms>" when at least that pause came before it.
QString frameOf(const QMap<QString, QString>& e) {
    const QString fn = e.value(QStringLiteral("fn"));
    if (fn == QLatin1String("3"))
        return QStringLiteral("r%1+%2").arg(e.value(QStringLiteral("reg")), e.value(QStringLiteral("n")));
    if (fn == QLatin1String("6"))
        return QStringLiteral("w%1=%2").arg(e.value(QStringLiteral("reg")), e.value(QStringLiteral("value")));
    return QStringLiteral("fn%1").arg(fn);
}

} // namespace

class TstCoreFrames : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void frames_data();
    void frames();

private:
    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
};

void TstCoreFrames::init() {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
}

void TstCoreFrames::cleanup() {
    if (app_ && f_) f_->Rozlacz();
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

void TstCoreFrames::frames_data() {
    QTest::addColumn<QString>("operation");
    // Each frame with the least pause (ms) before it; the first one's pause
    // counts from the start of the operation.
    QTest::addColumn<QStringList>("expected");
    const QStringList tick{QStringLiteral("r1+12@0"), QStringLiteral("r23+1@20")};
    QTest::newRow("connect, two poll ticks") << "poll" << (tick + tick);
    QTest::newRow("setpoint read") << "read" << QStringList{QStringLiteral("r12+14@100")};
    // The write reads the relay's variant first (In is scaled by it).
    QStringList write{QStringLiteral("r23+1@50")};
    const QStringList sent{"25", "35", "10", "40", "10", "30", "5", "40", "80", "115", "5"};
    for (int i = 0; i < 11; ++i)
        write << QStringLiteral("w%1=%2@50").arg(12 + i).arg(sent[i]);
    write << QStringLiteral("r12+14@50");
    QTest::newRow("setpoint write with read-back") << "write" << write;
    QTest::newRow("clock") << "clock"
                           << QStringList{QStringLiteral("w24=4614@50"), QStringLiteral("w25=2309@50")};
    QTest::newRow("fault log") << "faults"
                               << QStringList{QStringLiteral("r26+25@100"), QStringLiteral("r51+25@100"),
                                              QStringLiteral("r76+25@100"), QStringLiteral("r101+25@100")};
    QTest::newRow("reset") << "reset" << QStringList{QStringLiteral("w10=0@100")};
}

void TstCoreFrames::frames() {
    QFETCH(QString, operation);
    QFETCH(QStringList, expected);
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)); };
    f_->SpeedButton1Click();
    QVERIFY(f_->SerialDriver1->IsOpen());
    // The poll is driven by hand: only the operation's own frames reach the relay.
    f_->Timer2->stop();
    StringGrid* grid = f_->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
    QVERIFY(grid);
    fill(grid, validTable());
    int from = int(relay_->logLines().size());
    QElapsedTimer took;
    took.start();
    if (operation == QLatin1String("poll")) {
        from = 0;
        f_->Timer2Timer();
        f_->Timer2Timer();
    } else if (operation == QLatin1String("read")) {
        f_->SpeedButton6Click();
    } else if (operation == QLatin1String("write")) {
        f_->SpeedButton7Click();
    } else if (operation == QLatin1String("clock")) {
        f_->SpeedButton11Click();
    } else if (operation == QLatin1String("faults")) {
        f_->SpeedButton12Click();
    } else if (operation == QLatin1String("reset")) {
        f_->Button5Click();
    }
    const qint64 elapsed = took.elapsed();
    f_->Timer2->stop();
    const QStringList lines = relay_->logLines().mid(from);
    QStringList got;
    double previous = -1;
    qint64 least = 0;
    for (const QString& line : lines) {
        const auto e = SimRelay::parseLogLine(line);
        got << frameOf(e);
        const double t = e.value(QStringLiteral("t")).toDouble() * 1000;
        if (previous >= 0) {
            const int pause = expected.value(got.size() - 1).section(QLatin1Char('@'), 1).toInt();
            QVERIFY2(t - previous >= pause - 1,
                     qPrintable(QStringLiteral("frame %1 came %2 ms after the one before")
                                    .arg(got.size())
                                    .arg(t - previous)));
        }
        previous = t;
    }
    QStringList frames;
    for (const QString& e : expected) {
        frames << e.section(QLatin1Char('@'), 0, 0);
        least += e.section(QLatin1Char('@'), 1).toInt();
    }
    QCOMPARE(got, frames);
    QVERIFY2(elapsed >= least,
             qPrintable(QStringLiteral("%1 ms, at least %2 expected").arg(elapsed).arg(least)));
}

QTEST_MAIN(TstCoreFrames)
#include "tst_core_frames.moc"
