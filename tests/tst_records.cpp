// The records of the real main window against the relay simulator: the poll
// log, the fault-log and chart exports from their context menus and the
// commissioning report.
#include "appfixture.h"
#include "filetestsupport.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "faults/rules.h"
#include "monitor/display.h"
#include "records/csv.h"
#include "records/exportrules.h"
#include "records/pollrules.h"
#include "records/reportfields.h"
#include "records/sampletimes.h"
#include "serial/tserialdriver.h"
#include "setpoints/rules.h"
#include "trends/recorderchart.h"
#include "trends/rules.h"
#include "widgets/controls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include <unistd.h>

namespace {

// Opens the widget's context menu with a right click's event and clicks the
// entry of that name in it.
bool chooseFromContextMenu(QWidget* widget, const char* entry) {
    QWidget* target = widget;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) target = area->viewport();
    const QPoint pos = target->rect().center();
    bool clicked = false;
    QTimer::singleShot(0, widget, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String(entry)) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                clicked = true;
                return;
            }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
    QApplication::sendEvent(target, &event);
    return clicked;
}

// A row of the poll log that tells what happened: a time, what, its details.
bool isEvent(const QStringList& row) {
    return row.size() == 3 && QDateTime::fromString(row[0], Qt::ISODateWithMs).isValid() && !row[1].isEmpty();
}

// Good measurement reads in the simulator's log: the twelve values each sent.
QList<QList<int>> sentMeasurements(const SimRelay& relay) {
    QList<QList<int>> out;
    for (const QString& line : relay.logLines()) {
        const auto f = SimRelay::parseLogLine(line);
        if (f.value(QStringLiteral("fn")) != QLatin1String("3") ||
            f.value(QStringLiteral("reg")) != QLatin1String("1"))
            continue;
        const QString action = f.value(QStringLiteral("action"));
        if (action != QLatin1String("reply") && action != QLatin1String("late") &&
            action != QLatin1String("garbage-after") && action != QLatin1String("other-address"))
            continue;
        QList<int> v;
        for (const QString& s : f.value(QStringLiteral("values")).split(QLatin1Char(',')))
            v << s.toInt();
        if (v.size() == 12) out << v;
    }
    return out;
}

int measurementRequests(const SimRelay& relay) {
    int n = 0;
    for (const QString& line : relay.logLines()) {
        const auto f = SimRelay::parseLogLine(line);
        if (f.value(QStringLiteral("fn")) == QLatin1String("3") &&
            f.value(QStringLiteral("reg")) == QLatin1String("1"))
            ++n;
    }
    return n;
}

// The columns of a row that come straight from registers, as the relay sent
// them: currents in % (cut below 10 %), voltages, heat, fault word, K1, K2.
QStringList fromRegisters(const QList<int>& v) {
    QStringList s;
    for (int i = 0; i < 3; ++i)
        s << QString::number(display::cutLowCurrent(v[i]));
    s << QString::number(v[3]) << QString::number(v[4]) << QString::number(v[5]) << QString::number(v[6]);
    s << records::faultWordHex(v[9]) << QString::number((v[10] & records::kRelayK1) ? 1 : 0)
      << QString::number((v[10] & records::kRelayK2) ? 1 : 0);
    return s;
}
QStringList fromRow(const QStringList& r) {
    return {r[1], r[2], r[3], r[10], r[11], r[12], r[14], r[17], r[19], r[20]};
}

void connectTo(AppFixture& app) {
    QTest::mouseClick(app.f1()->SpeedButton1, Qt::LeftButton);
    QVERIFY(app.f1()->SerialDriver1->IsOpen());
}

QList<QStringList> readCsv(const QString& path) {
    return records::parseCsv(filetest::readBack(path));
}

// Types text as key events, letters beyond ASCII too (as a keyboard layout gives them).
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

// Once the report's dialog opens: what it offered goes to *offered, the
// fields are typed over it and OK is clicked (or Cancel when cancel is set).
void answerReportDialog(const records::VisitFields& fields, records::VisitFields* offered,
                        bool cancel = false) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("ReportDialog")) return;
        timer->stop();
        timer->deleteLater();
        const std::pair<const char*, QString records::VisitFields::*> lines[] = {
            {"Technician", &records::VisitFields::technician},
            {"Customer", &records::VisitFields::customer},
            {"Site", &records::VisitFields::site},
            {"MotorTag", &records::VisitFields::motorTag},
            {"Nameplate", &records::VisitFields::nameplate}};
        for (const auto& [name, member] : lines) {
            auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
            if (!edit) continue;
            offered->*member = edit->text();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            typeText(edit, fields.*member);
        }
        if (auto* remark = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Remark"))) {
            offered->remark = remark->toPlainText();
            remark->selectAll();
            QTest::keyClick(remark, Qt::Key_Delete);
            typeText(remark, fields.remark);
        }
        if (qEnvironmentVariableIsSet("VRK_KEEP_EXPORTS"))
            dialog->grab().save(qEnvironmentVariable("VRK_KEEP_EXPORTS") +
                                QStringLiteral("/report-dialog-%1.png").arg(QLocale().name()));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("Buttons"));
        QTest::mouseClick(buttons->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    timer->start();
}

QString pdfText(const QString& pdf, int page = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
    if (!text.waitForFinished(20000)) return QString();
    return QString::fromUtf8(text.readAllStandardOutput());
}

int pdfPages(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(20000)) return -1;
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)\\n"))
                       .match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

class TstRecords : public QObject {
    Q_OBJECT
private slots:
    void logRowsAreWhatTheRelaySent();
    void logNamesTheFaultsAsTheLampsDo_data();
    void logNamesTheFaultsAsTheLampsDo();
    void logStopsAtSizeLimitPollGoesOn();
    void logButtonFitsItsTexts();
    void textsFollowTheLanguage();
    void faultLogExport();
    void exportToFullDisk_data();
    void exportToFullDisk();
    void faultExportBeforeAnyRead();
    void faultMarks();
    void chartExport();
    void commissioningReport_data();
    void commissioningReport();
};

// Connects, logs to a file by the logging button until it holds more than
// rows lines, stops logging and disconnects; the file's path ("" on a failure).
static QString logWhileConnected(AppFixture& app, int rows) {
    TForm1* f = app.f1();
    connectTo(app);
    const QString path = app.path(QStringLiteral("poll"));
    app.saveAnswers.enqueue(path);
    auto* button = control<QToolButton>(f, "LogButton");
    QTest::mouseClick(button, Qt::LeftButton);
    if (!button->isChecked()) return QString();
    const QString file = path + QStringLiteral(".csv");
    if (!QTest::qWaitFor([&] { return readCsv(file).size() > rows; }, 20000)) return QString();
    QTest::mouseClick(button, Qt::LeftButton);
    if (button->isChecked()) return QString();
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    return file;
}

void TstRecords::logRowsAreWhatTheRelaySent() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--no-reply"), QStringLiteral("0.15")}));
    AppFixture app;
    app.start();
    const QString file = logWhileConnected(app, 25);
    QVERIFY(!file.isEmpty());

    const QList<QStringList> rows = readCsv(file);
    QCOMPARE(rows[0], records::logHeader());
    const QList<QList<int>> sent = sentMeasurements(relay);
    // Every row is a reply the relay sent, in the order sent: no value the relay never sent.
    qsizetype next = 0;
    QDateTime previous;
    int lost = 0;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList& r = rows[i];
        if (isEvent(r)) continue; // a trip, between the measurements
        QCOMPARE(r.size(), rows[0].size());
        while (next < sent.size() && fromRegisters(sent[next]) != fromRow(r))
            ++next;
        QVERIFY2(next < sent.size(),
                 qPrintable(QStringLiteral("row %1 was never sent: ").arg(i) + r.join(';')));
        ++next;
        const QDateTime t = QDateTime::fromString(r[0], Qt::ISODateWithMs);
        QVERIFY2(t.isValid(), qPrintable(r[0]));
        QVERIFY(r[0].contains(QLatin1Char('.')));
        if (previous.isValid()) QVERIFY2(t > previous, qPrintable(r[0]));
        previous = t;
        lost += r[21].toInt();
    }
    // With a sixth of the replies lost, some rows say that reads were lost before them.
    int noReplies = 0;
    for (const QString& line : relay.logLines())
        if (line.contains(QLatin1String("reg=1 n=12 action=noreply"))) ++noReplies;
    QVERIFY(lost <= noReplies);
    if (noReplies > 3) QVERIFY(lost > 0);
}

void TstRecords::logNamesTheFaultsAsTheLampsDo_data() {
    QTest::addColumn<int>("faultWord");
    QTest::addColumn<QStringList>("lamps");
    QTest::newRow("bit 0") << 0x01 << QStringList{"Label32"};
    QTest::newRow("bits 1 and 4") << 0x12 << QStringList{"Label33", "Label36"};
    QTest::newRow("bit 6") << 0x40 << QStringList{"Label38"};
}

// The log's fault column names the faults as the data page's lamp captions
// do, in the language shown.
void TstRecords::logNamesTheFaultsAsTheLampsDo() {
    QFETCH(int, faultWord);
    QFETCH(QStringList, lamps);
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(relay.control(QStringLiteral("fault %1").arg(faultWord)));
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(app.f2()->RadioGroup2->button(2), Qt::LeftButton); // Russian
    QStringList names;
    for (const QString& lamp : lamps)
        names << control<QLabel>(f, qPrintable(lamp))->text();
    const QString file = logWhileConnected(app, 3);
    QVERIFY(!file.isEmpty());
    int measured = 0;
    for (const QStringList& row : readCsv(file).mid(1)) {
        if (row.size() != records::logHeader().size()) continue; // an event's row
        QCOMPARE(row[17], records::faultWordHex(faultWord));
        QCOMPARE(row[18], names.join(QStringLiteral(", ")));
        ++measured;
    }
    QVERIFY(measured > 0);
}

void TstRecords::logStopsAtSizeLimitPollGoesOn() {
    SimRelay relay;
    QVERIFY(relay.start());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    connectTo(app);
    const QString file = app.path(QStringLiteral("limited.csv"));
    app.saveAnswers.enqueue(file);
    {
        filetest::FileSizeLimit limit(2000);
        QVERIFY(limit.ok());
        QTest::mouseClick(control<QToolButton>(f, "LogButton"), Qt::LeftButton);
        QVERIFY(control<QToolButton>(f, "LogButton")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(!app.errorBoxes.isEmpty(), 20000);
    }
    QVERIFY(!control<QToolButton>(f, "LogButton")->isChecked());
    QCOMPARE(app.errorBoxes.size(), 1);
    QVERIFY(app.errorBoxes[0].contains(
        QCoreApplication::translate("records", "Logging has stopped; the poll goes on.")));
    QVERIFY(app.errorBoxes[0].contains(file));
    QCOMPARE(control<QLabel>(f, "LogSize")->text(),
             QCoreApplication::translate("records", "Logging stopped"));
    // The file ends with a whole row, every row as long as the header.
    const QByteArray bytes = filetest::readBack(file);
    QVERIFY(bytes.size() <= 2000);
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QStringList> rows = records::parseCsv(bytes);
    QVERIFY(rows.size() > 2);
    for (const QStringList& r : rows)
        if (!isEvent(r)) QCOMPARE(r.size(), records::logHeader().size());
    // The poll goes on: the relay keeps getting measurement reads, and the window stays connected.
    const int before = measurementRequests(relay);
    QTRY_VERIFY_WITH_TIMEOUT(measurementRequests(relay) > before + 3, 10000);
    QVERIFY(f->SerialDriver1->IsOpen());
    QCOMPARE(filetest::readBack(file), bytes);
}

void TstRecords::logButtonFitsItsTexts() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    // In ToolBar1's free area, between the settings button and the logo.
    QVERIFY(control<QToolButton>(f, "LogButton")->mapTo(f, QPoint()).x() >=
            f->SpeedButton3->mapTo(f, QPoint(f->SpeedButton3->width(), 0)).x());
    QVERIFY(control<QLabel>(f, "LogSize")->mapTo(f, QPoint(control<QLabel>(f, "LogSize")->width(), 0)).x() <=
            f->Image9->mapTo(f, QPoint()).x());
    // Every language's text, as the language choice in the settings installs it.
    for (int language = 0; language < 3; ++language) {
        QTest::mouseClick(app.f2()->RadioGroup2->button(language), Qt::LeftButton);
        for (const char* source : {"Log to file", "Logging", "Log paused"}) {
            const QString t = QCoreApplication::translate("records", source);
            QVERIFY2(control<QToolButton>(f, "LogButton")->fontMetrics().horizontalAdvance(t) + 8 <=
                         control<QToolButton>(f, "LogButton")->width(),
                     qPrintable(t));
        }
        const QString longest = QCoreApplication::translate("records", "%1: %2")
                                    .arg(QStringLiteral("poll-2026-12-08.csv"), QStringLiteral("999.9 MB"));
        QVERIFY2(control<QLabel>(f, "LogSize")->fontMetrics().horizontalAdvance(longest) <=
                     control<QLabel>(f, "LogSize")->width(),
                 qPrintable(longest));
        const QString stopped = QCoreApplication::translate("records", "Logging stopped");
        QVERIFY2(control<QLabel>(f, "LogSize")->fontMetrics().horizontalAdvance(stopped) <=
                     control<QLabel>(f, "LogSize")->width(),
                 qPrintable(stopped));
    }
}

namespace {
// A language that marks every text of the records.
class MarkingTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        return QByteArray(context) == "records" ? QStringLiteral("T:") + QString::fromUtf8(source)
                                                : QString();
    }
};
} // namespace

void TstRecords::textsFollowTheLanguage() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    MarkingTranslator marking;
    QVERIFY(QCoreApplication::installTranslator(&marking));
    QTRY_COMPARE(control<QToolButton>(f, "LogButton")->text(), QStringLiteral("T:Log to file"));
    for (QWidget* w : {static_cast<QWidget*>(control<StringGrid>(f, "StringGrid1")),
                       static_cast<QWidget*>(control<StringGrid>(f, "StringGrid2")),
                       static_cast<QWidget*>(control<RecorderChart>(f, "Chart2"))})
        for (QAction* a : w->actions())
            if (a->objectName() != QLatin1String("CompareWithFile"))
                QVERIFY2(a->text().startsWith(QLatin1String("T:")), qPrintable(a->text()));
    // The setpoint grid's own entry stays first.
    QCOMPARE(control<StringGrid>(f, "StringGrid1")->actions().value(0)->objectName(),
             QStringLiteral("CompareWithFile"));
    QCOMPARE(control<StringGrid>(f, "StringGrid1")->actions().value(1)->objectName(),
             QStringLiteral("CommissioningReport"));
    QCoreApplication::removeTranslator(&marking);
    QTRY_COMPARE(control<QToolButton>(f, "LogButton")->text(),
                 QCoreApplication::translate("records", "Log to file"));
}

void TstRecords::faultLogExport() {
    SimRelay relay;
    QVERIFY(relay.start());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    connectTo(app);
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton12"), Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    int listed = 0;
    for (int r = 1; r <= faults::kRecords; ++r)
        if (!control<StringGrid>(f, "StringGrid2")->cell(1, r).trimmed().isEmpty()) ++listed;
    QVERIFY(listed > 0);

    const QString csv = app.path(QStringLiteral("faults.csv"));
    app.saveAnswers.enqueue(csv);
    QVERIFY(chooseFromContextMenu(control<StringGrid>(f, "StringGrid2"), "ExportFaultsCsv"));
    const QList<QStringList> rows = readCsv(csv);
    QCOMPARE(rows.size(), listed + 1);
    QCOMPARE(rows[0].size(), 8);
    faults::FaultTexts texts;
    for (int i = 0; i < 5; ++i)
        texts.causes[size_t(i)] = f->hiddenLabel(78 + i)->text();
    for (int m = 0; m < 12; ++m)
        texts.months[size_t(m)] = f->hiddenLabel(88 + m)->text();
    texts.noCause = QCoreApplication::translate("FaultLog", "(no cause recorded)");
    int gridRow = 0;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList& r = rows[i];
        do
            ++gridRow;
        while (control<StringGrid>(f, "StringGrid2")->cell(1, gridRow).trimmed().isEmpty());
        QCOMPARE(r[0], control<StringGrid>(f, "StringGrid2")->cell(0, gridRow).trimmed());
        // The grid marks a corrupt or future record after its causes; the CSV says so in its note.
        QString shown = control<StringGrid>(f, "StringGrid2")->cell(1, gridRow);
        for (const faults::RecordProblem p : {faults::RecordProblem::Corrupt, faults::RecordProblem::Future})
            if (r[7].contains(faults::problemText(p))) shown.remove(faults::problemMarker(p));
        QCOMPARE(r[1], shown.trimmed());
        // The raw fields give back what the grid shows.
        bool ok = false;
        const int cause = r[6].mid(2).toInt(&ok, 16);
        QVERIFY(ok);
        auto bcd = [](const QString& s) {
            const int v = s.toInt();
            return quint8((v / 10) << 4 | (v % 10));
        };
        const faults::FaultRecord rec{quint8(cause), bcd(r[3]), bcd(r[2]), bcd(r[4]), bcd(r[5])};
        const faults::FaultRow row = faults::faultRow(rec, texts);
        QCOMPARE(row.cause.trimmed(), r[1]);
        QCOMPARE(row.date, control<StringGrid>(f, "StringGrid2")->cell(2, gridRow));
        QCOMPARE(row.time, control<StringGrid>(f, "StringGrid2")->cell(3, gridRow));
    }

    const QString txt = app.path(QStringLiteral("faults.txt"));
    app.saveAnswers.enqueue(txt);
    QVERIFY(chooseFromContextMenu(control<StringGrid>(f, "StringGrid2"), "ExportFaultsText"));
    const QByteArray txtBytes = filetest::readBack(txt);
    // As the CSV: a byte-order mark and CR LF line ends.
    QVERIFY(txtBytes.startsWith(records::kUtf8Bom));
    QCOMPARE(txtBytes.count('\n'), txtBytes.count("\r\n"));
    const QStringList lines = QString::fromUtf8(txtBytes.mid(records::kUtf8Bom.size()))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // Read before the disconnect: every trip is from an earlier read now, and the text says so first.
    const qsizetype notice = faults::coverageNotice(faults::statesNow(f->faultPage().state().faultBlocksFresh,
                                                                      f->faultPage().state().faultBlocksRead))
                                 .size();
    QVERIFY(notice > 0);
    QCOMPARE(lines.size(), listed + 1 + notice);
    // The title's date in the chosen language (Polish), whatever the PC's locale.
    QVERIFY2(
        lines[0].contains(QLocale(QStringLiteral("pl")).toString(QDate::currentDate(), QLocale::ShortFormat)),
        qPrintable(lines[0]));
    for (qsizetype i = 1; i < rows.size(); ++i)
        QVERIFY(lines[i + notice].contains(rows[i][1]));
    if (qEnvironmentVariableIsSet("VRK_KEEP_EXPORTS"))
        QFile::copy(txt, qEnvironmentVariable("VRK_KEEP_EXPORTS") + "/faults.txt");
    QVERIFY(app.errorBoxes.isEmpty());
}

void TstRecords::chartExport() {
    SimRelay relay;
    QVERIFY(relay.start());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QTest::mouseClick(f->SpeedButton23, Qt::LeftButton);
    connectTo(app);
    QTRY_VERIFY_WITH_TIMEOUT(f->chartPage().state().recorderHistory[0][recorder::kSamples - 20] != 0, 15000);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);

    const QString csv = app.path(QStringLiteral("live.csv"));
    app.saveAnswers.enqueue(csv);
    QVERIFY(chooseFromContextMenu(control<RecorderChart>(f, "Chart2"), "ExportChartCsv"));
    // Only the samples taken, each with its time, oldest first.
    const records::SampleTimes& times = f->chartPage().sampleTimes();
    QVERIFY(times.count() >= 20 && times.count() < recorder::kSamples);
    auto compare = [](const QList<QStringList>& rows, const History& h, int count) {
        QCOMPARE(rows.size(), count + 1);
        for (int k = 0; k < count; ++k) {
            const int i = recorder::kSamples - count + k;
            QCOMPARE(rows[k + 1][0].toInt(), i);
            for (int c = 0; c < recorder::kChannels; ++c)
                QCOMPARE(rows[k + 1][c + 2].toInt(), h[size_t(c)][size_t(i)]);
        }
    };
    QList<QStringList> rows = readCsv(csv);
    QCOMPARE(rows.value(0), records::chartCsvHeader());
    compare(rows, f->chartPage().state().recorderHistory, times.count());
    QDateTime previous;
    for (int k = 1; k < rows.size(); ++k) {
        const QDateTime t = QDateTime::fromString(rows[k][1], QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QVERIFY2(t.isValid() && (!previous.isValid() || t > previous), qPrintable(rows[k][1]));
        QVERIFY(qAbs(t.secsTo(QDateTime::currentDateTime())) < 120);
        previous = t;
    }

    // The picture of the live chart: a band above naming the relay and the
    // date, one below with the samples' clock times; both hold text.
    const QString livePng = app.path(QStringLiteral("live.png"));
    app.saveAnswers.enqueue(livePng);
    QVERIFY(chooseFromContextMenu(control<RecorderChart>(f, "Chart2"), "ExportChartPng"));
    const QImage live(livePng);
    QCOMPARE(live.width(), control<RecorderChart>(f, "Chart2")->width() * 2);
    QVERIFY(live.height() > control<RecorderChart>(f, "Chart2")->height() * 2);
    auto darkIn = [&live](int top, int height) {
        int dark = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = 0; x < live.width(); ++x)
                if (qGray(live.pixel(x, y)) < 100) ++dark;
        return dark;
    };
    QVERIFY(darkIn(4, 20) > 100);                  // the heading
    QVERIFY(darkIn(live.height() - 22, 20) > 100); // the times under the plot
    if (qEnvironmentVariableIsSet("VRK_KEEP_EXPORTS"))
        QFile::copy(livePng, qEnvironmentVariable("VRK_KEEP_EXPORTS") + "/chart-live.png");

    // A recording opened from a file is the shown history then.
    History file{};
    for (int c = 0; c < recorder::kChannels; ++c)
        for (int i = 0; i < recorder::kSamples; ++i)
            file[size_t(c)][size_t(i)] = (c + 1) * 7 + i % 50;
    QString error;
    QVERIFY(recorder::writeRecording(app.path(QStringLiteral("r.rej")), file, &error));
    app.openAnswers.enqueue(app.path(QStringLiteral("r.rej")));
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton13"), Qt::LeftButton);
    QVERIFY(!control<RecorderChart>(f, "Chart2")->title().isEmpty());
    app.saveAnswers.enqueue(app.path(QStringLiteral("file.csv")));
    QVERIFY(chooseFromContextMenu(control<RecorderChart>(f, "Chart2"), "ExportChartCsv"));
    // A recording keeps no times: all its 500 samples, the time column empty.
    rows = readCsv(app.path(QStringLiteral("file.csv")));
    compare(rows, file, recorder::kSamples);
    QVERIFY(rows[1][1].isEmpty());

    const QString png = app.path(QStringLiteral("chart.png"));
    app.saveAnswers.enqueue(png);
    QVERIFY(chooseFromContextMenu(control<RecorderChart>(f, "Chart2"), "ExportChartPng"));
    QImage image(png);
    QVERIFY(!image.isNull());
    QCOMPARE(image.width(), control<RecorderChart>(f, "Chart2")->width() * 2);
    // Both traces are in it: red and blue pixels.
    int red = 0, blue = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80) ++red;
            if (c.blue() > 180 && c.red() < 80 && c.green() < 120) ++blue;
        }
    QVERIFY(red > 50);
    QVERIFY(blue > 50);
    if (qEnvironmentVariableIsSet("VRK_KEEP_EXPORTS"))
        QFile::copy(png, qEnvironmentVariable("VRK_KEEP_EXPORTS") + "/chart.png");
    QVERIFY(app.errorBoxes.isEmpty());
}

void TstRecords::commissioningReport_data() {
    QTest::addColumn<int>("language"); // the settings' choice
    QTest::addColumn<QString>("locale");
    QTest::newRow("Polish") << 0 << QStringLiteral("pl");
    QTest::newRow("English") << 1 << QStringLiteral("en");
    QTest::newRow("Russian") << 2 << QStringLiteral("ru");
}

void TstRecords::commissioningReport() {
    QFETCH(int, language);
    QFETCH(QString, locale);
    SimRelay relay;
    QVERIFY(relay.start());
    // A trip with every cause in October.
    QString answer;
    QVERIFY(relay.control(QStringLiteral("get 28"), &answer));
    const int nextCause = answer.section(QLatin1Char(' '), 1).toInt() & 0xFF;
    QVERIFY(relay.control(QStringLiteral("set 26 %1").arg(0x7F10)));
    QVERIFY(relay.control(QStringLiteral("set 27 %1").arg(0x2012)));
    QVERIFY(relay.control(QStringLiteral("set 28 %1").arg(0x3000 | nextCause)));
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(app.f2()->RadioGroup2->button(language), Qt::LeftButton);
    connectTo(app);
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton6"), Qt::LeftButton); // read the setpoints
    QVERIFY(!f->setpointPage().state().setpointImage.isEmpty());
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton12"), Qt::LeftButton); // read the fault log
    // A setpoint file that differs from the relay in parameter 4.
    const QString vrk = app.path(QStringLiteral("site.vrk"));
    app.saveAnswers.enqueue(vrk);
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton10"), Qt::LeftButton);
    QVERIFY(QFile::exists(vrk));
    QStringList fileLines = QString::fromLatin1(filetest::readBack(vrk)).split(QStringLiteral("\r\n"));
    fileLines[3] = QStringLiteral("45");
    filetest::writeFile(vrk, fileLines.join(QStringLiteral("\r\n")).toLatin1());
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton11"),
                      Qt::LeftButton); // the PC's time to the relay: journalled
    // Is 99 against its range 20-85, read again.
    QVERIFY(relay.control(QStringLiteral("set 15 99")));
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton6"), Qt::LeftButton);
    QCOMPARE(f->setpointPage().state().setpointImage.value(3), 99);

    const QString pdf = app.path(QStringLiteral("report.pdf"));
    const records::VisitFields visit{
        QString::fromUtf8("Łukasz Żółć"), QStringLiteral("Mill North"),
        QStringLiteral("Hall 2"),         QStringLiteral("M-12 fan"),
        QStringLiteral("42 A"),           QStringLiteral("Bearing noise checked")};
    records::VisitFields offered;
    answerReportDialog(visit, &offered);
    app.openAnswers.enqueue(vrk);
    app.saveAnswers.enqueue(pdf);
    chooseFromContextMenu(control<StringGrid>(f, "StringGrid1"), "CommissioningReport");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pdf), 10000);
    QVERIFY2(app.errorBoxes.isEmpty(), qPrintable(app.errorBoxes.join('\n')));
    if (qEnvironmentVariableIsSet("VRK_KEEP_EXPORTS"))
        QFile::copy(pdf,
                    qEnvironmentVariable("VRK_KEEP_EXPORTS") + QStringLiteral("/report-%1.pdf").arg(locale));
    QCOMPARE(offered, records::VisitFields()); // nothing entered before
    // The clock and the measured values read for the report went to the relay.
    bool clockRead = false, measured = false;
    for (const QString& line : relay.logLines()) {
        if (line.contains(QLatin1String("fn=3 reg=24 n=2"))) clockRead = true;
        if (line.contains(QLatin1String("fn=3 reg=1 n=12"))) measured = true;
    }
    QVERIFY(clockRead && measured);

    const int pages = pdfPages(pdf);
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
    // Every page: the relay, its address and the date above, "page x of y" below.
    const QString date = QLocale(locale).toString(QDate::currentDate(), QLocale::LongFormat);
    for (int page = 1; page <= pages; ++page) {
        const QString t = pdfText(pdf, page).simplified();
        const QString footer = QCoreApplication::translate("records", "Page %1 of %2").arg(page).arg(pages);
        QVERIFY2(t.contains(footer), qPrintable(footer + QStringLiteral("\n") + t));
        const QString header = QCoreApplication::translate("records", "Relay at address %1").arg(3);
        QVERIFY2(t.contains(header) && t.contains(date), qPrintable(header + " / " + date + "\n" + t));
    }
    const QString t = pdfText(pdf);
    const QString flat = t.simplified();
    QVERIFY(!t.contains(QStringLiteral("...")) && !t.contains(QChar(0x2026))); // nothing cut
    for (const QString& typed :
         {visit.technician, visit.customer, visit.site, visit.motorTag, visit.nameplate, visit.remark,
          QCoreApplication::applicationVersion(), QStringLiteral("4800 8N1")})
        QVERIFY2(flat.contains(typed), qPrintable(typed));
    QVERIFY(flat.contains(QCoreApplication::translate("records", "Output relays")));
    QVERIFY(flat.contains(QStringLiteral("K1 ")) && flat.contains(QStringLiteral("K2 ")));
    QVERIFY(flat.contains(
        QCoreApplication::translate("records", "Read from the relay at %1.").section(' ', 0, 2)));
    QVERIFY(flat.contains(QCoreApplication::translate("records", "Signatures")));
    // The clock set during this session, from the service journal.
    QVERIFY2(
        flat.contains(QCoreApplication::translate("records", "clock set").section(QLatin1Char(' '), 0, 0)),
        qPrintable(t));
    const auto values = setpoints::textsFromImage(f->setpointPage().state().setpointImage);
    const QStringList lines = t.split(QLatin1Char('\n'));
    for (int r = 0; r <= setpoints::kVariantRow; ++r) {
        // The row with the setpoint's number, value and range; Is flagged.
        bool found = false, flagged = false;
        for (const QString& l : lines)
            if (l.simplified().startsWith(QString::number(r + 1) + QLatin1Char(' ')) &&
                l.contains(QLatin1Char(' ') + *values[r] + QLatin1Char(' '))) {
                found = true;
                // The flag's first word on the row's first line (the rest may wrap).
                if (l.contains(QCoreApplication::translate("records", "OUT OF RANGE").section(' ', 0, 0)))
                    flagged = true;
            }
        QVERIFY2(found,
                 qPrintable(QStringLiteral("setpoint %1 = %2 missing:\n").arg(r + 1).arg(*values[r]) + t));
        QCOMPARE(flagged, r == 3);
    }
    QVERIFY(t.contains(QStringLiteral("site.vrk")));
    // Every cause of the trip and its whole date, wrapped where it is long.
    int listedRow = 0;
    for (int r = 1; r <= faults::kRecords && !listedRow; ++r)
        if (control<StringGrid>(f, "StringGrid2")->cell(2, r).contains(QStringLiteral("20 "))) listedRow = r;
    QVERIFY(listedRow > 0);
    for (const QString& word : control<StringGrid>(f, "StringGrid2")
                                   ->cell(1, listedRow)
                                   .split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts))
        QVERIFY2(flat.contains(word), qPrintable(word));
    QVERIFY2(flat.contains(control<StringGrid>(f, "StringGrid2")->cell(2, listedRow).simplified()),
             qPrintable(control<StringGrid>(f, "StringGrid2")->cell(2, listedRow)));
    // The fault log flows on after the sections before it: no page of its own.
    const QString faultHeading = QCoreApplication::translate("records", "Fault log");
    const QString before =
        QCoreApplication::translate("records", "Changes made on the relay during this session");
    bool together = false;
    for (int page = 1; page <= pages; ++page) {
        const QString pt = pdfText(pdf, page);
        if (pt.contains(faultHeading + QLatin1Char('\n'))) together = pt.contains(before);
    }
    QVERIFY(together);
    // The signature lines stay with their heading.
    const QString signatures = QCoreApplication::translate("records", "Signatures");
    for (int page = 1; page <= pages; ++page) {
        const QString pt = pdfText(pdf, page);
        if (pt.contains(signatures))
            QVERIFY2(pt.count(QCoreApplication::translate("records", "Signature")) >= 2, qPrintable(pt));
    }

    // The next report offers what was entered; cancelling it makes no file.
    QFile::remove(pdf);
    answerReportDialog({}, &offered, true);
    chooseFromContextMenu(control<StringGrid>(f, "StringGrid1"), "CommissioningReport");
    QTRY_COMPARE_WITH_TIMEOUT(offered, visit, 5000);
    QTest::qWait(100);
    QVERIFY(!QFile::exists(pdf));
}

namespace {

// A small file system that is full: a tmpfs mounted over a folder for as
// long as this lives, filled to its last byte. Needs the right to mount.
class FullDisk {
public:
    FullDisk() {
        ok_ = dir_.isValid() &&
              QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                 QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir_.path()}) == 0;
        if (!ok_) return;
        mounted_ = true;
        QFile fill(dir_.filePath(QStringLiteral("fill")));
        ok_ = fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(512, 'x');
        while (ok_ && fill.write(block) == block.size()) {
        }
    }
    ~FullDisk() {
        if (mounted_) QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool ok() const { return ok_; }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    bool ok_ = false, mounted_ = false;
};

} // namespace

void TstRecords::exportToFullDisk_data() {
    QTest::addColumn<QString>("entry"); // the context menu's entry
    QTest::addColumn<QString>("name");
    QTest::newRow("chart as PNG") << QStringLiteral("ExportChartPng") << QStringLiteral("chart.png");
    QTest::newRow("commissioning report PDF")
        << QStringLiteral("CommissioningReport") << QStringLiteral("report.pdf");
    QTest::newRow("fault log CSV") << QStringLiteral("ExportFaultsCsv") << QStringLiteral("faults.csv");
}

// A full disk is said in the user's words, not as an unknown error, and no
// cut file is left in place.
void TstRecords::exportToFullDisk() {
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QVERIFY2(::geteuid() == 0, "this test mounts a small file system: run it as root");
    FullDisk disk;
    QVERIFY2(disk.ok(), "a small tmpfs could not be mounted and filled");
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    const QString path = disk.path(name);
    app.saveAnswers.enqueue(path);
    records::VisitFields offered;
    if (entry == QLatin1String("CommissioningReport")) answerReportDialog({}, &offered);
    QWidget* owner = entry == QLatin1String("ExportChartPng")
                         ? static_cast<QWidget*>(control<RecorderChart>(f, "Chart2"))
                     : entry == QLatin1String("CommissioningReport")
                         ? static_cast<QWidget*>(control<StringGrid>(f, "StringGrid1"))
                         : static_cast<QWidget*>(control<StringGrid>(f, "StringGrid2"));
    QVERIFY(chooseFromContextMenu(owner, qPrintable(entry)));
    QTRY_COMPARE_WITH_TIMEOUT(app.errorBoxes.size(), 1, 10000);
    const QString said = app.errorBoxes[0];
    QVERIFY2(said.contains(path), qPrintable(said));
    QVERIFY2(said.contains(QCoreApplication::translate("files", "no space left on the disk")),
             qPrintable(said));
    QVERIFY2(!said.contains(QStringLiteral("Unknown error")) &&
                 !said.contains(QCoreApplication::translate("QIODevice", "Unknown error")),
             qPrintable(said));
    QVERIFY(!QFileInfo::exists(path));
}

// Before any read the fault memory is unknown, not empty: the exports say so.
void TstRecords::faultExportBeforeAnyRead() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    const QString csv = app.path(QStringLiteral("faults.csv"));
    app.saveAnswers.enqueue(csv);
    QVERIFY(chooseFromContextMenu(control<StringGrid>(f, "StringGrid2"), "ExportFaultsCsv"));
    const QList<QStringList> rows = readCsv(csv);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].value(0), QStringLiteral("1-40"));
    QCOMPARE(rows[1].value(7), QCoreApplication::translate("records", "not read from the relay"));
    const QString txt = app.path(QStringLiteral("faults.txt"));
    app.saveAnswers.enqueue(txt);
    QVERIFY(chooseFromContextMenu(control<StringGrid>(f, "StringGrid2"), "ExportFaultsText"));
    const QString text = QString::fromUtf8(filetest::readBack(txt));
    QVERIFY2(text.contains(
                 QCoreApplication::translate("FaultLog", "The fault log has not been read from the relay.")),
             qPrintable(text));
    QVERIFY(!text.contains(QCoreApplication::translate("records", "No trips are listed.")));
}

// A corrupt record and one dated after now are marked in the grid and in the
// exports, their stored bytes never passed off as a date.
void TstRecords::faultMarks() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--empty-memory")}));
    // Slot 0: overload, month 05, day 1A, hour 25, minute 61; slot 1: overload
    // on 20 May 23:59, after now (20 May 12:00); slot 2: 3 May 8:15.
    const int regs[] = {0x0105, 0x1A25, 0x6101, 0x0520, 0x2359, 0x0105, 0x0308, 0x15FF};
    for (int i = 0; i < 8; ++i)
        QVERIFY(relay.control(QStringLiteral("set %1 %2").arg(26 + i).arg(regs[i])));
    AppFixture app;
    seams::current().now = [] { return QDateTime(QDate(2026, 5, 20), QTime(12, 0)); };
    app.start();
    TForm1* f = app.f1();
    connectTo(app);
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton12"), Qt::LeftButton);
    const QString corrupt = faults::problemText(faults::RecordProblem::Corrupt);
    const QString future = faults::problemText(faults::RecordProblem::Future);
    QStringList causes;
    for (int r = 1; r <= 3; ++r)
        causes << control<StringGrid>(f, "StringGrid2")->cell(1, r);
    QCOMPARE(causes.filter(corrupt).size(), 1);
    QCOMPARE(causes.filter(future).size(), 1);
    const QString csv = app.path(QStringLiteral("marks.csv"));
    app.saveAnswers.enqueue(csv);
    QVERIFY(chooseFromContextMenu(control<StringGrid>(f, "StringGrid2"), "ExportFaultsCsv"));
    const QList<QStringList> rows = readCsv(csv);
    QCOMPARE(rows.size(), 4);
    QStringList notes;
    for (int i = 1; i < rows.size(); ++i) {
        notes << rows[i].value(7);
        if (rows[i].value(7) == corrupt) {
            QCOMPARE(rows[i].value(2), QStringLiteral("0x1A")); // the stored byte, not 20
            QVERIFY(!rows[i].value(1).contains(corrupt));       // the causes alone
        }
    }
    notes.sort();
    QStringList expectedNotes{QString(), corrupt, future};
    expectedNotes.sort();
    QCOMPARE(notes, expectedNotes);
}

QTEST_MAIN(TstRecords)
#include "tst_records.moc"
