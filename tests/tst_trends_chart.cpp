// The chart page over real widgets: sampling into the traces, the axes per
// quantity, pausing, and saving and opening recordings through the dialogs,
// with the controls wired the way the main window wires them.
#include "seams/seams.h"
#include "tests/tst_trends_support.h"
#include "trends/polllogwindow.h"
#include "trends/recorderchart.h"
#include "trends/recorderpage.h"
#include "widgets/controls.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QQueue>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "filetestsupport.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace recorder;
using namespace trendstest;

namespace {

QMap<int, QString> polishLabels() {
    return {{68, QStringLiteral("Pauza")},
            {69, QStringLiteral("Start")},
            {70, QString::fromUtf8("Prąd fazy Ir [%]")},
            {71, QString::fromUtf8("Prąd fazy Is [%]")},
            {72, QString::fromUtf8("Prąd fazy It [%]")},
            {73, QString::fromUtf8("Napięcie fazy Ur [V]")},
            {74, QString::fromUtf8("Napięcie fazy Us [V]")},
            {75, QString::fromUtf8("Napięcie fazy Ut [V]")},
            {76, QString::fromUtf8("Ciepło silnika Q")},
            {77, QStringLiteral("Moc [W]")}};
}

// The chart page on a window of its own, wired as the main window wires it,
// with the start-up clearing done.
struct ChartPage {
    QWidget window;
    RecorderControls c;
    History live{};
    History file{};
    QMap<int, QString> labels = polishLabels();
    RecorderPage page;

    ChartPage()
        : c(buildRecorderControls(&window)),
          page(
              c, live, file, [this](int n) { return labels.value(n); }, &window) {
        window.resize(663, 357);
        QObject::connect(c.pause, &QToolButton::clicked, &window, [this] { page.pauseClicked(); });
        QObject::connect(c.open, &QToolButton::clicked, &window, [this] { page.openRecording(); });
        QObject::connect(c.save, &QToolButton::clicked, &window, [this] { page.saveRecording(); });
        QObject::connect(c.trace1, &RadioGroup::clicked, &window, [this] { page.redrawTrace(1); });
        QObject::connect(c.trace2, &RadioGroup::clicked, &window, [this] { page.redrawTrace(2); });
        page.clearTrace(1);
        page.clearTrace(2);
        window.show();
    }
    ChartTrace* s4() const { return c.chart->series4(); }
    ChartTrace* s5() const { return c.chart->series5(); }
    // A click on the item's round indicator.
    void pick(RadioGroup* g, int item) {
        QRadioButton* b = g->button(item);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
        QCOMPARE(g->itemIndex(), item);
    }
    void pressPause() { QTest::mouseClick(c.pause, Qt::LeftButton); }
    void sample(std::array<int, 12> regs) { page.takeSample(regs); }
    void fillLive(const History& h) {
        for (int i = 0; i < kSamples; ++i) {
            std::array<int, 12> r{};
            for (int ch = 0; ch < 8; ++ch)
                r[size_t(ch)] = h[size_t(ch)][size_t(i)];
            r[8] = h[8][size_t(i)] / 10;
            page.takeSample(r);
        }
    }
};

// Each trace holds nothing or exactly 500 points.
bool tracesWhole(const ChartPage& p) {
    const qsizetype a = p.s4()->count(), b = p.s5()->count();
    return (a == 0 || a == 500) && (b == 0 || b == 500);
}

// The trace shows exactly this channel (nullptr: nothing).
bool shows(ChartTrace* s, const Channel* ch) {
    if (!ch) return s->count() == 0;
    return s->points() == tracePoints(*ch);
}

// The plot as the chart's mapping functions take it: through its edge pixels.
QRectF edges(const QRect& plot) {
    return QRectF(QPointF(plot.topLeft()), QPointF(plot.bottomRight()));
}

// The chart as painted on screen.
QImage painted(QWidget* w) {
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(Qt::gray);
    w->render(&img);
    return img;
}

QColor pixel(const QImage& img, int x, int y) {
    return QColor(img.pixel(x, y));
}

// The rows of column x within rows top..bottom that hold exactly this colour.
QList<int> rowsOf(const QImage& img, int x, int top, int bottom, const QColor& colour) {
    QList<int> rows;
    for (int y = top; y <= bottom; ++y)
        if (pixel(img, x, y) == colour) rows << y;
    return rows;
}

// Pixels in the rectangle leaning clearly to red (or, blue) as text in that colour does.
int tintedPixels(const QImage& img, const QRect& r, bool blue) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = pixel(img, x, y);
            const int main = blue ? c.blue() : c.red();
            const int other = blue ? c.red() : c.blue();
            if (main - other > 100 && main - c.green() > 100) ++n;
        }
    return n;
}

Channel constantChannel(qint32 v) {
    Channel c;
    c.fill(v);
    return c;
}

History liveLike(int seed) {
    // Values a poll can give: channel 9 a multiple of 10.
    History h = distinctHistory(seed);
    for (int i = 0; i < kSamples; ++i)
        h[8][size_t(i)] = (h[8][size_t(i)] / 10) * 10;
    return h;
}

} // namespace

class TestTrendsChart : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startState();
    void layout();
    void selectors_itemsInsideTheirFrames();
    void selectors_everyItemClickable_data();
    void selectors_everyItemClickable();

    void tickStep_data();
    void tickStep();
    void tickLabels_data();
    void tickLabels();
    void valueAxisFrom1To99Percent_data();
    void valueAxisFrom1To99Percent();
    void samplePlaceInEveryView_data();
    void samplePlaceInEveryView();
    void title_keepsTheFileName_data();
    void title_keepsTheFileName();
    void title_longPathOnTheChart();
    void paint_zeroTraceAboveTheBottomAxis();
    void paint_axesInTheirColours();
    void paint_linesWithoutMarksOnAWhiteWall();
    void paint_noneSelectedHasNoScale();
    void view_rules_data();
    void view_rules();
    void view_wheelDragAndHome();
    void view_timeAxis();
    void pollLog_fromTheContextMenu();
    void pollLog_refused_data();
    void pollLog_refused();

    void sampling_firstSampleLeavesAfter500();
    void sampling_noneSelectedEmptiesOneTrace();
    void sampling_power();
    void sampling_storesWhatThePollLeft();

    void axes_data();
    void axes();
    void axes_followLanguage();

    void recordingToPaused();
    void pausedToRecording();
    void paused_selectorShowsFrozenHistory();
    void openFromEveryState_data();
    void openFromEveryState();
    void showingFile_selectorShowsFileColumn();
    void showingFileToRecording();
    void refusedFileFromEveryState_data();
    void refusedFileFromEveryState();

    void save_exactBytes();
    void save_noSamplesYet();
    void save_buttonUpDuringDialog_data();
    void save_buttonUpDuringDialog();
    void save_whileShowingFileSavesLiveHistory();
    void save_name_data();
    void save_name();
    void save_cancelled();
    void save_failureKeepsPreviousFile();
    void save_intoMissingFolder();

    void open_roundTripUnderEveryItem();
    void open_shortFileEndsInZeros();
    void open_lastLineWithoutBlank();
    void open_cancelChangesNothing();
    void open_badInput_data();
    void open_badInput();
    void open_notAFile_data();
    void open_notAFile();
    void open_failsWhileRead();

private:
    QTemporaryDir dir_;
    QQueue<QString> openAnswers_, saveAnswers_;
    QStringList errorBoxes_, filters_, dirs_;
    std::function<void()> duringSave_;
};

void TestTrendsChart::init() {
    openAnswers_.clear();
    saveAnswers_.clear();
    errorBoxes_.clear();
    filters_.clear();
    dirs_.clear();
    duringSave_ = nullptr;
    seams::Seams& s = seams::current();
    s.errorBox = [this](QWidget*, const QString& text) { errorBoxes_ << text; };
    s.openFileName = [this](QWidget*, const QString&, const QString& dir, const QString& filter) {
        filters_ << filter;
        dirs_ << dir;
        return openAnswers_.isEmpty() ? QString() : openAnswers_.dequeue();
    };
    s.saveFileName = [this](QWidget*, const QString&, const QString& dir, const QString& filter) {
        filters_ << filter;
        dirs_ << dir;
        if (duringSave_) duringSave_();
        return saveAnswers_.isEmpty() ? QString() : saveAnswers_.dequeue();
    };
}

void TestTrendsChart::cleanup() {
    seams::reset();
}

void TestTrendsChart::startState() {
    ChartPage p;
    RecorderChart* chart = p.c.chart;
    QCOMPARE(chart->objectName(), QStringLiteral("Chart2"));
    QCOMPARE(p.s4()->objectName(), QStringLiteral("Series4"));
    QCOMPARE(p.s5()->objectName(), QStringLiteral("Series5"));
    QCOMPARE(p.c.pause->objectName(), QStringLiteral("SpeedButton8"));
    QCOMPARE(p.c.open->objectName(), QStringLiteral("SpeedButton13"));
    QCOMPARE(p.c.save->objectName(), QStringLiteral("SpeedButton14"));
    QCOMPARE(p.c.trace1->objectName(), QStringLiteral("RadioGroup1"));
    QCOMPARE(p.c.trace2->objectName(), QStringLiteral("RadioGroup2"));

    QCOMPARE(chart->title(), QString());
    QCOMPARE(chart->titleFont().pixelSize(), 11);
    QCOMPARE(chart->titleFont().family(), QStringLiteral("Arial"));
    QCOMPARE(chart->bottomAxis()->min(), 0.0);
    QCOMPARE(chart->bottomAxis()->max(), 500.0);
    QVERIFY(!chart->bottomAxis()->labelsVisible());
    QCOMPARE(chart->leftAxis()->titleText(), QStringLiteral("Prad fazy Ir [%]"));
    QCOMPARE(chart->leftAxis()->max(), 1000.0);
    QCOMPARE(chart->leftAxis()->labelsColor(), QColor(Qt::red));
    QCOMPARE(chart->rightAxis()->titleText(), QString::fromUtf8("Napięcie fazy Ur [V]"));
    QCOMPARE(chart->rightAxis()->max(), 600.0);
    QCOMPARE(chart->rightAxis()->labelsColor(), QColor(Qt::blue));
    QCOMPARE(chart->leftAxis()->min(), 0.0);
    QCOMPARE(chart->rightAxis()->min(), 0.0);
    QCOMPARE(p.s4()->color(), QColor(Qt::red));
    QCOMPARE(p.s5()->color(), QColor(Qt::blue));
    QCOMPARE(p.s4()->axis(), chart->leftAxis());
    QCOMPARE(p.s5()->axis(), chart->rightAxis());

    QVERIFY(p.c.pause->isCheckable());
    QVERIFY(p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Pauza"));
    QCOMPARE(p.c.open->text(), QStringLiteral("Odczytaj"));
    QCOMPARE(p.c.save->text(), QStringLiteral("Zapisz"));
    QCOMPARE(p.c.trace1->title(), QStringLiteral("Wykres1"));
    QCOMPARE(p.c.trace2->title(), QStringLiteral("Wykres2"));
    QCOMPARE(p.c.trace1->count(), 10);
    const QStringList items{"---", "Ir", "Is", "It", "Ur", "Us", "Ut", "Q", "Cos", "P"};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(p.c.trace1->button(i)->text(), items[i]);
        QCOMPARE(p.c.trace2->button(i)->text(), items[i]);
    }
    QCOMPARE(p.c.trace1->itemIndex(), 1);
    QCOMPARE(p.c.trace2->itemIndex(), 4);
    QCOMPARE(p.c.trace1->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(p.c.trace2->palette().color(QPalette::WindowText), QColor(Qt::blue));
    // Nothing drawn until the first sample.
    QCOMPARE(p.s4()->count(), 0);
    QCOMPARE(p.s5()->count(), 0);
}

void TestTrendsChart::layout() {
    ChartPage p;
    p.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    const QRect chart = p.c.chart->geometry();
    QCOMPARE(chart.topLeft(), QPoint(0, 0));
    QCOMPARE(chart.width(), 663 - 69);
    QCOMPARE(chart.height(), 357);
    for (QWidget* w :
         {static_cast<QWidget*>(p.c.pause), static_cast<QWidget*>(p.c.open), static_cast<QWidget*>(p.c.save),
          static_cast<QWidget*>(p.c.trace1), static_cast<QWidget*>(p.c.trace2)}) {
        const QRect g(w->mapTo(&p.window, QPoint(0, 0)), w->size());
        QVERIFY2(g.left() >= chart.right(), qPrintable(w->objectName()));
        QVERIFY2(g.bottom() < 357, qPrintable(w->objectName()));
    }
    // Top to bottom: pause, open, save, trace 1, trace 2.
    QVERIFY(p.c.pause->y() < p.c.open->y());
    QVERIFY(p.c.open->y() < p.c.save->y());
    QVERIFY(p.c.save->y() < p.c.trace1->y());
    QVERIFY(p.c.trace1->y() < p.c.trace2->y());
}

void TestTrendsChart::selectors_itemsInsideTheirFrames() {
    ChartPage p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    const QRect page = p.window.rect();
    for (RadioGroup* g : {p.c.trace1, p.c.trace2}) {
        const QRect inside = g->contentsRect();
        for (int i = 0; i < g->count(); ++i) {
            QRadioButton* b = g->button(i);
            const QString what = g->objectName() + QLatin1Char(' ') + b->text();
            QVERIFY2(inside.contains(b->geometry()), qPrintable(what));
            QVERIFY2(page.contains(QRect(b->mapTo(&p.window, QPoint(0, 0)), b->size())), qPrintable(what));
            if (i > 0) QVERIFY2(g->button(i - 1)->geometry().bottom() < b->y(), qPrintable(what));
            // The round indicator and the whole text line lie within the item.
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = b->text();
            const QRect indicator = b->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opt, b);
            QVERIFY2(b->rect().contains(indicator), qPrintable(what));
            const QRect text = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b);
            QVERIFY2(text.right() < b->width(), qPrintable(what));
            QVERIFY2(text.width() >= b->fontMetrics().horizontalAdvance(b->text()), qPrintable(what));
            QVERIFY2(b->height() >= b->fontMetrics().height(),
                     qPrintable(what + QStringLiteral(": %1 < %2, group %3, contents %4")
                                           .arg(b->height())
                                           .arg(b->fontMetrics().height())
                                           .arg(g->height())
                                           .arg(inside.height())));
        }
        // The caption in every language (lines 54 and 55) fits the frame.
        const QString n = g == p.c.trace1 ? QStringLiteral("1") : QStringLiteral("2");
        for (const QString& caption :
             {QStringLiteral("Wykres") + n, QStringLiteral("Chart") + n, QString::fromUtf8("Диагр.") + n})
            QVERIFY2(g->fontMetrics().horizontalAdvance(caption) + 8 <= g->width(), qPrintable(caption));
    }
}

void TestTrendsChart::selectors_everyItemClickable_data() {
    QTest::addColumn<int>("trace");
    QTest::addColumn<int>("item");
    const QStringList items{"---", "Ir", "Is", "It", "Ur", "Us", "Ut", "Q", "Cos", "P"};
    for (int trace = 1; trace <= 2; ++trace)
        for (int item = 0; item < 10; ++item)
            QTest::addRow("trace %d, %s", trace, qPrintable(items[item])) << trace << item;
}

void TestTrendsChart::selectors_everyItemClickable() {
    QFETCH(int, trace);
    QFETCH(int, item);
    ChartPage p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    RadioGroup* g = trace == 1 ? p.c.trace1 : p.c.trace2;
    QRadioButton* b = g->button(item);
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const QRect indicator = b->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opt, b);
    const QRect text = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b);
    const QPoint textMiddle(text.left() + b->fontMetrics().horizontalAdvance(b->text()) / 2,
                            text.center().y());
    for (const QPoint& at : {indicator.center(), textMiddle}) {
        // Nothing else lies over the spot the user clicks.
        QCOMPARE(p.window.childAt(b->mapTo(&p.window, at)), static_cast<QWidget*>(b));
        g->setItemIndex(item == 5 ? 6 : 5);
        QSignalSpy picked(g, &RadioGroup::clicked);
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
        QCOMPARE(g->itemIndex(), item);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).toInt(), item);
    }
}

void TestTrendsChart::tickStep_data() {
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<double>("step");
    QTest::newRow("currents 1000") << 1000.0 << 8 << 200.0;
    QTest::newRow("voltages 600") << 600.0 << 8 << 100.0;
    QTest::newRow("heat 200") << 200.0 << 8 << 50.0;
    QTest::newRow("cos 100") << 100.0 << 8 << 20.0;
    QTest::newRow("power 32000") << 32000.0 << 8 << 5000.0;
    QTest::newRow("none 1") << 1.0 << 8 << 0.2;
    QTest::newRow("1000 in at most 4") << 1000.0 << 4 << 500.0;
    QTest::newRow("1000 in at most 10") << 1000.0 << 10 << 100.0;
    QTest::newRow("600 in at most 3") << 600.0 << 3 << 200.0;
    QTest::newRow("0.03 in at most 8") << 0.03 << 8 << 0.005;
    QTest::newRow("empty range") << 0.0 << 8 << 1.0;
}

void TestTrendsChart::tickStep() {
    QFETCH(double, maximum);
    QFETCH(int, intervals);
    QFETCH(double, step);
    QCOMPARE(chart::tickStep(0, maximum, intervals), step);
}

void TestTrendsChart::tickLabels_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QStringList>("labels");
    const auto ticks = [](double maximum) { return chart::tickValues(0, maximum, 8); };
    QTest::newRow("Ir, Polish") << "pl_PL" << ticks(1000)
                                << QStringList{"0", "200", "400", "600", "800", "1000"};
    QTest::newRow("Ur, Polish") << "pl_PL" << ticks(600)
                                << QStringList{"0", "100", "200", "300", "400", "500", "600"};
    QTest::newRow("Q, Polish") << "pl_PL" << ticks(200) << QStringList{"0", "50", "100", "150", "200"};
    QTest::newRow("Cos, Polish") << "pl_PL" << ticks(100) << QStringList{"0", "20", "40", "60", "80", "100"};
    QTest::newRow("P, Polish: no group separator")
        << "pl_PL" << ticks(32000) << QStringList{"0", "5000", "10000", "15000", "20000", "25000", "30000"};
    QTest::newRow("P, English: no group separator")
        << "en_US" << ticks(32000) << QStringList{"0", "5000", "10000", "15000", "20000", "25000", "30000"};
    QTest::newRow("---, Polish: decimal comma")
        << "pl_PL" << ticks(1) << QStringList{"0", "0,2", "0,4", "0,6", "0,8", "1"};
    QTest::newRow("---, English: decimal point")
        << "en_US" << ticks(1) << QStringList{"0", "0.2", "0.4", "0.6", "0.8", "1"};
    QTest::newRow("---, C: decimal point")
        << "C" << ticks(1) << QStringList{"0", "0.2", "0.4", "0.6", "0.8", "1"};
    QTest::newRow("three decimals, Polish")
        << "pl_PL" << ticks(0.03) << QStringList{"0", "0,005", "0,01", "0,015", "0,02", "0,025", "0,03"};
    QTest::newRow("rounded to three decimals")
        << "pl_PL" << QList<double>{0.12345, 2.5004, 0.0004, -0.0004, -3, 1234567}
        << QStringList{"0,123", "2,5", "0", "0", "-3", "1234567"};
}

void TestTrendsChart::tickLabels() {
    QFETCH(QString, locale);
    QFETCH(QList<double>, values);
    QFETCH(QStringList, labels);
    QStringList got;
    for (double v : values)
        got << chart::tickLabel(v, QLocale(locale));
    QCOMPARE(got, labels);
}

void TestTrendsChart::valueAxisFrom1To99Percent_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("y");
    // A plot from row 20 to row 320: 300 pixels high.
    QTest::newRow("0 at 1 %") << 0.0 << 1000.0 << 317.0;
    QTest::newRow("maximum at 99 %") << 1000.0 << 1000.0 << 23.0;
    QTest::newRow("half way") << 500.0 << 1000.0 << 170.0;
    QTest::newRow("cos 0.85") << 85.0 << 100.0 << 320 - (0.01 + 0.85 * 0.98) * 300;
    QTest::newRow("power 32000") << 32000.0 << 32000.0 << 23.0;
    QTest::newRow("beyond the maximum") << 2000.0 << 1000.0 << 320 - 1.97 * 300;
}

void TestTrendsChart::valueAxisFrom1To99Percent() {
    QFETCH(double, value);
    QFETCH(double, maximum);
    QFETCH(double, y);
    const QRectF plot(QPointF(10, 20), QPointF(510, 320));
    QCOMPARE(chart::valueY(value, 0, maximum, plot), y);
    QCOMPARE(chart::sampleX(0, plot), 10.0);
    QCOMPARE(chart::sampleX(250, plot), 260.0);
    QCOMPARE(chart::sampleX(500, plot), 510.0);
}

void TestTrendsChart::samplePlaceInEveryView_data() {
    QTest::addColumn<int>("item1");
    QTest::addColumn<int>("item2");
    QTest::addColumn<bool>("fileTitle");
    for (int item = 1; item <= 9; ++item) {
        QTest::addRow("%d against P", item) << item << 9 << false;
        QTest::addRow("%d against none", item) << item << 0 << false;
    }
    QTest::newRow("Cos against Q, with a file's title") << 8 << 7 << true;
    QTest::newRow("P against P, with a file's title") << 9 << 9 << true;
}

void TestTrendsChart::samplePlaceInEveryView() {
    QFETCH(int, item1);
    QFETCH(int, item2);
    QFETCH(bool, fileTitle);
    ChartPage p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    const QRect startPlot = p.c.chart->plotRect(); // "Ir" and "Ur", no title
    // One sample at the top of the axis, at index 250, in every channel.
    for (int item = 1; item <= kChannels; ++item)
        p.live[size_t(item - 1)][250] = axisSetup(item).maximum;
    p.pick(p.c.trace1, item1);
    p.pick(p.c.trace2, item2);
    if (fileTitle)
        p.c.chart->setTitle(QStringLiteral("Wykres z pliku: ") + QString(200, QLatin1Char('x')) +
                            QStringLiteral(".rej"));
    QCOMPARE(p.c.chart->plotRect(), startPlot);
    // The traces' peak stands in the column of sample 250 (the axis lines are
    // the plot's left and right edges).
    const QImage img = painted(p.c.chart);
    int peakRow = INT_MAX, peakColumn = -1;
    for (int x = startPlot.left() + 1; x < startPlot.right(); ++x)
        for (int y = startPlot.top(); y <= std::min(startPlot.bottom(), peakRow - 1); ++y)
            if (pixel(img, x, y) == QColor(Qt::red) || pixel(img, x, y) == QColor(Qt::blue)) {
                peakRow = y;
                peakColumn = x;
            }
    QCOMPARE(peakColumn, qRound(chart::sampleX(250, edges(startPlot))));
}

void TestTrendsChart::title_keepsTheFileName_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("fileName");
    const QString deep =
        QString::fromUtf8("Wykres z pliku: /home/serwis/pomiary/2026/grudzień/stacja pomp nr 3/"
                          "silnik M2 strona napędu/po wymianie łożysk/rozruch po remoncie.rej");
    QTest::newRow("deep path, design width") << deep << 578 << QStringLiteral("rozruch po remoncie.rej");
    QTest::newRow("deep path, narrow chart") << deep << 300 << QStringLiteral("rozruch po remoncie.rej");
    QTest::newRow("short path unchanged")
        << QStringLiteral("Wykres z pliku: /tmp/a.rej") << 578 << QStringLiteral("a.rej");
    QTest::newRow("live history: no title") << QString() << 578 << QString();
}

void TestTrendsChart::title_keepsTheFileName() {
    QFETCH(QString, title);
    QFETCH(int, width);
    QFETCH(QString, fileName);
    RecorderChart c;
    const QFontMetrics fm(c.titleFont());
    const QString shown = chart::elidedTitle(title, fm, width);
    QVERIFY(fm.horizontalAdvance(shown) <= width);
    QVERIFY2(shown.endsWith(fileName), qPrintable(shown));
    if (fm.horizontalAdvance(title) <= width) {
        QCOMPARE(shown, title);
    } else {
        QVERIFY2(shown.startsWith(QStringLiteral("Wykres z pliku: ")), qPrintable(shown));
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
    }
}

void TestTrendsChart::title_longPathOnTheChart() {
    ChartPage p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    QDir d(dir_.path());
    const QString folder = QStringLiteral("a folder with a rather long name/") +
                           QString(60, QLatin1Char('b')) +
                           QStringLiteral("/yet another folder on the way down");
    QVERIFY(d.mkpath(folder));
    const QString path = d.filePath(folder + QStringLiteral("/pump 3 start-up.rej"));
    QVERIFY(writeFile(path, recordingBytes(distinctHistory(2))));
    openAnswers_ << path;
    p.c.open->click();
    const QString title = QStringLiteral("Wykres z pliku: ") + QFileInfo(path).absoluteFilePath();
    QCOMPARE(p.c.chart->title(), title);
    QCOMPARE(p.c.chart->toolTip(), title);
    const QString shown = p.c.chart->shownTitle();
    QVERIFY2(shown.endsWith(QStringLiteral("pump 3 start-up.rej")), qPrintable(shown));
    QVERIFY2(shown.startsWith(QStringLiteral("Wykres z pliku: ")), qPrintable(shown));
    QVERIFY(QFontMetrics(p.c.chart->titleFont()).horizontalAdvance(shown) <= p.c.chart->width());
}

void TestTrendsChart::paint_zeroTraceAboveTheBottomAxis() {
    RecorderChart c;
    c.resize(chart::kDesignWidth, chart::kDesignHeight);
    c.series4()->replace(tracePoints(constantChannel(0)));
    const QImage img = painted(&c);
    const QRect plot = c.plotRect();
    for (int sample : {10, 250, 480}) {
        const int x = qRound(chart::sampleX(sample, edges(plot)));
        const QList<int> red = rowsOf(img, x, 0, c.height() - 1, Qt::red);
        QCOMPARE(red.size(), 1);
        // Clear of the bottom axis line, which stays black below it.
        QVERIFY2(red[0] <= plot.bottom() - 2, qPrintable(QString::number(red[0])));
        QCOMPARE(pixel(img, x, plot.bottom()), QColor(Qt::black));
    }
}

void TestTrendsChart::paint_axesInTheirColours() {
    RecorderChart c;
    c.resize(chart::kDesignWidth, chart::kDesignHeight);
    const QImage img = painted(&c);
    const QRect plot = c.plotRect();
    const QRectF m = edges(plot);
    const int from = qRound(chart::valueY(0, 0, 1, m)), to = qRound(chart::valueY(1, 0, 1, m));
    for (bool left : {true, false}) {
        const int x = left ? plot.left() : plot.right();
        const QColor colour = left ? QColor(Qt::red) : QColor(Qt::blue);
        // The axis line runs from 1 % to 99 % of the plot's height, no further.
        QCOMPARE(rowsOf(img, x, plot.top(), plot.bottom() - 1, colour).size(), from - to + 1);
        QCOMPARE(pixel(img, x, from), colour);
        QCOMPARE(pixel(img, x, to), colour);
        QCOMPARE(pixel(img, x, from + 1), QColor(Qt::white));
        QCOMPARE(pixel(img, x, to - 1), QColor(Qt::white));
        // Ticks, labels and the title outside the plot in the axis's colour.
        QCOMPARE(pixel(img, left ? x - 2 : x + 2, from), colour);
        const QRect outside =
            left ? QRect(0, plot.top(), plot.left() - 1, plot.height())
                 : QRect(plot.right() + 2, plot.top(), c.width() - plot.right() - 2, plot.height());
        QVERIFY(tintedPixels(img, outside, !left) > 100);
        QCOMPARE(tintedPixels(img, outside, left), 0);
    }
    // The bottom axis along the plot's bottom edge.
    QCOMPARE(pixel(img, plot.center().x(), plot.bottom()), QColor(Qt::black));
}

void TestTrendsChart::paint_linesWithoutMarksOnAWhiteWall() {
    RecorderChart c;
    c.resize(chart::kDesignWidth, chart::kDesignHeight);
    c.series4()->replace(tracePoints(constantChannel(500))); // half of 1000
    c.series5()->replace(tracePoints(constantChannel(150))); // a quarter of 600
    const QImage img = painted(&c);
    const QRect plot = c.plotRect();
    const QRectF m = edges(plot);
    for (int sample : {1, 37, 250, 499}) { // sample 0 lies on the red axis line
        const int x = qRound(chart::sampleX(sample, m));
        // One pixel row per trace at every sample: no marks, no point labels.
        QCOMPARE(rowsOf(img, x, plot.top(), plot.bottom(), Qt::red),
                 QList<int>{qRound(chart::valueY(500, 0, 1000, m))});
        QCOMPARE(rowsOf(img, x, plot.top(), plot.bottom(), Qt::blue),
                 QList<int>{qRound(chart::valueY(150, 0, 600, m))});
    }
    // A white back wall between the grid lines, and no legend or title above the plot.
    QCOMPARE(pixel(img, qRound(chart::sampleX(50, m)), qRound(chart::valueY(300, 0, 1000, m))),
             QColor(Qt::white));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < c.width(); ++x)
            QVERIFY2(pixel(img, x, y) == QColor(Qt::white),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TestTrendsChart::sampling_firstSampleLeavesAfter500() {
    ChartPage p;
    // The first sample taken, then 499 more: it has reached index 0; one more drops it.
    p.sample({123, 0, 0, 321});
    for (int n = 1; n <= 499; ++n)
        p.sample({50, 0, 0, 230});
    QCOMPARE(p.live[0][0], 123);
    QCOMPARE(p.live[3][0], 321);
    QCOMPARE(p.s4()->at(0), QPointF(0, 123));
    QCOMPARE(p.s5()->at(0), QPointF(0, 321));
    p.sample({50, 0, 0, 230});
    for (int i = 0; i < kSamples; ++i) {
        QCOMPARE(p.live[0][size_t(i)], 50);
        QCOMPARE(p.live[3][size_t(i)], 230);
    }
    QVERIFY(shows(p.s4(), &p.live[0]));
    QVERIFY(shows(p.s5(), &p.live[3]));
}

void TestTrendsChart::sampling_noneSelectedEmptiesOneTrace() {
    ChartPage p;
    p.sample({100, 0, 0, 230});
    QCOMPARE(p.s4()->count(), 500);
    p.pick(p.c.trace1, 0);
    QCOMPARE(p.s4()->count(), 0);
    QCOMPARE(p.c.chart->leftAxis()->titleText(), QString());
    QCOMPARE(p.c.chart->leftAxis()->max(), 1.0);
    for (int n = 0; n < 5; ++n) {
        p.sample({100, 0, 0, 231 + n});
        QCOMPARE(p.s4()->count(), 0);
        QCOMPARE(p.s5()->count(), 500);
        QCOMPARE(p.s5()->at(499), QPointF(499, 231 + n));
    }
    // "Ir" again: 500 points from channel 1 of the live history.
    p.pick(p.c.trace1, 1);
    QVERIFY(shows(p.s4(), &p.live[0]));
    QCOMPARE(p.s4()->at(499), QPointF(499, 100));
}

void TestTrendsChart::sampling_power() {
    ChartPage p;
    p.pick(p.c.trace2, 9);
    p.sample({0, 0, 0, 0, 0, 0, 0, 0, 1234});
    QCOMPARE(p.live[8][499], 12340);
    QCOMPARE(p.s5()->at(499), QPointF(499, 12340));
}

void TestTrendsChart::sampling_storesWhatThePollLeft() {
    // A 9 % current reaches the recorder as the poll's 0 and stays 0.
    ChartPage p;
    p.sample({0, 0, 0, 230, 230, 230});
    QCOMPARE(p.live[0][499], 0);
    QCOMPARE(p.s4()->at(499), QPointF(499, 0));
    QCOMPARE(p.live[3][499], 230);
}

void TestTrendsChart::axes_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("title");
    QTest::addColumn<double>("maximum");
    const QMap<int, QString> l = polishLabels();
    QTest::newRow("---") << 0 << QString() << 1.0;
    QTest::newRow("Ir") << 1 << l[70] << 1000.0;
    QTest::newRow("Is") << 2 << l[71] << 1000.0;
    QTest::newRow("It") << 3 << l[72] << 1000.0;
    QTest::newRow("Ur") << 4 << l[73] << 600.0;
    QTest::newRow("Us") << 5 << l[74] << 600.0;
    QTest::newRow("Ut") << 6 << l[75] << 600.0;
    QTest::newRow("Q") << 7 << l[76] << 200.0;
    QTest::newRow("Cos") << 8 << QStringLiteral("Cos(Fi) x0.01") << 100.0;
    QTest::newRow("P") << 9 << l[77] << 32000.0;
}

void TestTrendsChart::axes() {
    QFETCH(int, item);
    QFETCH(QString, title);
    QFETCH(double, maximum);
    ChartPage p;
    p.fillLive(liveLike(0));
    for (int trace = 1; trace <= 2; ++trace) {
        RadioGroup* g = trace == 1 ? p.c.trace1 : p.c.trace2;
        ChartAxis* axis = trace == 1 ? p.c.chart->leftAxis() : p.c.chart->rightAxis();
        ChartTrace* s = trace == 1 ? p.s4() : p.s5();
        // Start from another item so the click is a change.
        p.pick(g, item == 5 ? 6 : 5);
        p.pick(g, item);
        QCOMPARE(axis->titleText(), title);
        QCOMPARE(axis->min(), 0.0);
        QCOMPARE(axis->max(), maximum);
        QVERIFY(shows(s, channelForItem(p.live, item)));
        QVERIFY(tracesWhole(p));
    }
}

void TestTrendsChart::axes_followLanguage() {
    ChartPage p;
    p.pick(p.c.trace1, 9);
    p.pick(p.c.trace2, 8);
    p.labels[77] = QStringLiteral("Power [W]");
    // The language switch sets the texts, then the axes.
    p.page.setupAxis(1);
    p.page.setupAxis(2);
    QCOMPARE(p.c.chart->leftAxis()->titleText(), QStringLiteral("Power [W]"));
    QCOMPARE(p.c.chart->rightAxis()->titleText(), QStringLiteral("Cos(Fi) x0.01"));
}

void TestTrendsChart::recordingToPaused() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QList<QPointF> before4 = p.s4()->points(), before5 = p.s5()->points();
    p.pressPause();
    QVERIFY(!p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Start"));
    QCOMPARE(p.c.chart->title(), QString());
    QCOMPARE(p.s4()->points(), before4);
    QCOMPARE(p.s5()->points(), before5);
}

void TestTrendsChart::pausedToRecording() {
    ChartPage p;
    p.fillLive(liveLike(0));
    p.pressPause();
    p.live = liveLike(3); // what a resumed recording finds
    p.pressPause();
    QVERIFY(p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Pauza"));
    QCOMPARE(p.c.chart->title(), QString());
    QVERIFY(shows(p.s4(), &p.live[0]));
    QVERIFY(shows(p.s5(), &p.live[3]));
}

void TestTrendsChart::paused_selectorShowsFrozenHistory() {
    ChartPage p;
    p.fillLive(liveLike(0));
    p.pressPause();
    p.pick(p.c.trace1, 7);
    p.pick(p.c.trace2, 9);
    QVERIFY(shows(p.s4(), &p.live[6]));
    QVERIFY(shows(p.s5(), &p.live[8]));
    QCOMPARE(p.c.chart->leftAxis()->max(), 200.0);
    QVERIFY(!p.c.pause->isChecked());
}

void TestTrendsChart::openFromEveryState_data() {
    QTest::addColumn<QString>("state");
    QTest::newRow("recording") << "recording";
    QTest::newRow("paused") << "paused";
    QTest::newRow("showing a file") << "file";
}

void TestTrendsChart::openFromEveryState() {
    QFETCH(QString, state);
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString first = dir_.filePath(QStringLiteral("first.rej"));
    const QString second = dir_.filePath(QStringLiteral("second.rej"));
    QVERIFY(writeFile(first, recordingBytes(distinctHistory(1))));
    QVERIFY(writeFile(second, recordingBytes(distinctHistory(2))));
    if (state == "paused") p.pressPause();
    if (state == "file") {
        openAnswers_ << first;
        p.c.open->click();
    }
    openAnswers_ << second;
    p.c.open->click();
    QVERIFY(errorBoxes_.isEmpty());
    QVERIFY(!p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Start"));
    QCOMPARE(p.c.chart->title(), QStringLiteral("Wykres z pliku: ") + QFileInfo(second).absoluteFilePath());
    QVERIFY(p.file == distinctHistory(2));
    QVERIFY(shows(p.s4(), &p.file[0]));
    QVERIFY(shows(p.s5(), &p.file[3]));
    QCOMPARE(filters_.last(),
             QStringLiteral("Pliki z wykresami   (*.rej )|*.rej|Wszystkie pliki  (*.*)|*.*"));
    QCOMPARE(dirs_.last(), QStringLiteral("."));
}

void TestTrendsChart::showingFile_selectorShowsFileColumn() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString path = dir_.filePath(QStringLiteral("column.rej"));
    QVERIFY(writeFile(path, recordingBytes(distinctHistory(5))));
    openAnswers_ << path;
    p.c.open->click();
    p.pick(p.c.trace1, 8);
    QVERIFY(shows(p.s4(), &p.file[7]));
    QCOMPARE(p.c.chart->leftAxis()->titleText(), QStringLiteral("Cos(Fi) x0.01"));
    p.pick(p.c.trace2, 0);
    QCOMPARE(p.s5()->count(), 0);
    QVERIFY(!p.c.chart->title().isEmpty());
}

void TestTrendsChart::showingFileToRecording() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString path = dir_.filePath(QStringLiteral("back.rej"));
    QVERIFY(writeFile(path, recordingBytes(distinctHistory(5))));
    openAnswers_ << path;
    p.c.open->click();
    p.pressPause();
    QVERIFY(p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Pauza"));
    QCOMPARE(p.c.chart->title(), QString());
    QVERIFY(shows(p.s4(), &p.live[0]));
    QVERIFY(shows(p.s5(), &p.live[3]));
    // Recording again: the next sample feeds the live traces.
    p.sample({77, 0, 0, 88});
    QCOMPARE(p.s4()->at(499), QPointF(499, 77));
}

void TestTrendsChart::refusedFileFromEveryState_data() {
    openFromEveryState_data();
}

void TestTrendsChart::refusedFileFromEveryState() {
    QFETCH(QString, state);
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString good = dir_.filePath(QStringLiteral("good.rej"));
    const QString bad = dir_.filePath(QStringLiteral("bad.rej"));
    QVERIFY(writeFile(good, recordingBytes(distinctHistory(1))));
    QVERIFY(writeFile(bad, distinctRecording(20) + "1 2 3 4 5 6 7 8 \r\n"));
    if (state == "paused") p.pressPause();
    if (state == "file") {
        openAnswers_ << good;
        p.c.open->click();
    }
    openAnswers_ << bad;
    p.c.open->click();
    QVERIFY(errorBoxes_.isEmpty()); // refused silently
    QVERIFY(!p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Start"));
    QCOMPARE(p.c.chart->title(), QString());
    QCOMPARE(p.s4()->count(), 0);
    QCOMPARE(p.s5()->count(), 0);
    // Paused on the live history: the next redraw takes it.
    p.pick(p.c.trace1, 2);
    QVERIFY(shows(p.s4(), &p.live[1]));
    QVERIFY(tracesWhole(p));
}

void TestTrendsChart::save_exactBytes() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString path = dir_.filePath(QStringLiteral("exact"));
    saveAnswers_ << path;
    p.c.save->click();
    QVERIFY(errorBoxes_.isEmpty());
    const QByteArray bytes = readFile(path + QStringLiteral(".rej"));
    QCOMPARE(bytes, recordingBytes(liveLike(0)));
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 501); // 500 lines, each ended by CR LF
    QVERIFY(lines.last().isEmpty());
    for (int n = 0; n < 500; ++n) {
        QVERIFY(lines[n].endsWith(" \r"));
        QCOMPARE(lines[n].count(' '), 9);
    }
    QCOMPARE(lines[0], QByteArray("100000 200000 300000 400000 500000 600000 -700000 800000 900000 \r"));
    QCOMPARE(filters_.last(),
             QStringLiteral("Pliki z wykresami   (*.rej )|*.rej|Wszystkie pliki  (*.*)|*.*"));
    QCOMPARE(dirs_.last(), QStringLiteral("."));
}

void TestTrendsChart::save_noSamplesYet() {
    ChartPage p;
    const QString path = dir_.filePath(QStringLiteral("zeros.rej"));
    saveAnswers_ << path;
    p.c.save->click();
    QByteArray expected;
    for (int n = 0; n < 500; ++n)
        expected += "0 0 0 0 0 0 0 0 0 \r\n";
    QCOMPARE(readFile(path), expected);
}

void TestTrendsChart::save_buttonUpDuringDialog_data() {
    QTest::addColumn<bool>("recording");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("recording, saved") << true << true;
    QTest::newRow("recording, cancelled") << true << false;
    QTest::newRow("paused, saved") << false << true;
    QTest::newRow("paused, cancelled") << false << false;
}

void TestTrendsChart::save_buttonUpDuringDialog() {
    QFETCH(bool, recording);
    QFETCH(bool, confirm);
    ChartPage p;
    p.fillLive(liveLike(0));
    if (!recording) p.pressPause();
    QSignalSpy handlerRuns(p.c.pause, &QToolButton::clicked);
    bool downInDialog = true;
    QString captionInDialog;
    duringSave_ = [&] {
        downInDialog = p.c.pause->isChecked();
        captionInDialog = p.c.pause->text();
    };
    if (confirm) saveAnswers_ << dir_.filePath(QStringLiteral("during"));
    const QList<QPointF> before4 = p.s4()->points();
    p.page.saveRecording();
    QVERIFY(!downInDialog);
    QCOMPARE(captionInDialog, QStringLiteral("Start"));
    QCOMPARE(handlerRuns.count(), 0);
    QCOMPARE(p.c.pause->isChecked(), recording);
    QCOMPARE(p.c.pause->text(), recording ? QStringLiteral("Pauza") : QStringLiteral("Start"));
    QCOMPARE(p.s4()->points(), before4);
    QCOMPARE(QFile::exists(dir_.filePath(QStringLiteral("during.rej"))), confirm);
    QFile::remove(dir_.filePath(QStringLiteral("during.rej")));
}

void TestTrendsChart::save_whileShowingFileSavesLiveHistory() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString shown = dir_.filePath(QStringLiteral("shown.rej"));
    QVERIFY(writeFile(shown, recordingBytes(distinctHistory(9))));
    openAnswers_ << shown;
    p.c.open->click();
    const QString title = p.c.chart->title();
    const QList<QPointF> before4 = p.s4()->points();
    const QString saved = dir_.filePath(QStringLiteral("live-while-file.rej"));
    saveAnswers_ << saved;
    p.c.save->click();
    QCOMPARE(readFile(saved), recordingBytes(p.live));
    QCOMPARE(p.c.chart->title(), title);
    QCOMPARE(p.s4()->points(), before4);
    QVERIFY(!p.c.pause->isChecked());
}

void TestTrendsChart::save_name_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("abc gives abc.rej") << "abc"
                                       << "abc.rej";
    QTest::newRow("abc.rej stays abc.rej") << "abc.rej"
                                           << "abc.rej";
    QTest::newRow("ABC.REJ stays ABC.REJ") << "ABC.REJ"
                                           << "ABC.REJ";
}

void TestTrendsChart::save_name() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QTemporaryDir d;
    QVERIFY(writeFile(d.filePath(QStringLiteral("abc.rej")), "old")); // an overwrite confirmed in the dialog
    ChartPage p;
    saveAnswers_ << d.filePath(chosen);
    p.c.save->click();
    QCOMPARE(readFile(d.filePath(written)), recordingBytes(History{}));
    QStringList expected{written};
    if (written != QLatin1String("abc.rej")) expected << QStringLiteral("abc.rej");
    expected.sort();
    QCOMPARE(QDir(d.path()).entryList(QDir::Files, QDir::Name), expected);
}

void TestTrendsChart::save_cancelled() {
    ChartPage p;
    p.c.save->click();
    QVERIFY(errorBoxes_.isEmpty());
    QVERIFY(p.c.pause->isChecked());
}

void TestTrendsChart::save_failureKeepsPreviousFile() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString path = dir_.filePath(QStringLiteral("keep.rej"));
    QVERIFY(writeFile(path, "earlier recording\r\n"));
    saveAnswers_ << path;
    {
        filetest::FileSizeLimit limit(4096);
        QVERIFY(limit.ok());
        p.c.save->click();
    }
    QCOMPARE(errorBoxes_.size(), 1);
    QVERIFY(errorBoxes_[0].contains(path));
    QCOMPARE(readFile(path), QByteArray("earlier recording\r\n"));
    // The recording goes on as before the dialog.
    QVERIFY(p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Pauza"));
}

void TestTrendsChart::save_intoMissingFolder() {
    ChartPage p;
    saveAnswers_ << dir_.filePath(QStringLiteral("no/such/folder/x"));
    p.c.save->click();
    QCOMPARE(errorBoxes_.size(), 1);
    QVERIFY(p.c.pause->isChecked());
}

void TestTrendsChart::open_roundTripUnderEveryItem() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const History saved = p.live;
    const QString path = dir_.filePath(QStringLiteral("trip"));
    saveAnswers_ << path;
    p.c.save->click();
    p.fillLive(liveLike(4)); // the live history moves on
    openAnswers_ << path + QStringLiteral(".rej");
    p.c.open->click();
    QVERIFY(p.file == saved);
    for (int item = 0; item <= 9; ++item) {
        p.pick(p.c.trace1, item);
        p.pick(p.c.trace2, 9 - item);
        QVERIFY2(shows(p.s4(), channelForItem(saved, item)), qPrintable(QString::number(item)));
        QVERIFY2(shows(p.s5(), channelForItem(saved, 9 - item)), qPrintable(QString::number(item)));
        QVERIFY(tracesWhole(p));
    }
}

void TestTrendsChart::open_shortFileEndsInZeros() {
    ChartPage p;
    const QString path = dir_.filePath(QStringLiteral("short.rej"));
    QVERIFY(writeFile(path, distinctRecording(3)));
    openAnswers_ << path;
    p.c.open->click();
    QCOMPARE(p.s4()->count(), 500);
    QCOMPARE(p.s4()->at(2), QPointF(2, 100002));
    for (int i = 3; i < 500; ++i)
        QCOMPARE(p.s4()->at(i).y(), 0.0);
}

void TestTrendsChart::open_lastLineWithoutBlank() {
    ChartPage p;
    p.pick(p.c.trace2, 9);
    const QString path = dir_.filePath(QStringLiteral("noblank.rej"));
    QVERIFY(writeFile(path, distinctRecording(499) + distinctLine(500, " ", false)));
    openAnswers_ << path;
    p.c.open->click();
    QVERIFY(!p.c.chart->title().isEmpty());
    QCOMPARE(p.file[8][499], 900499);
    QCOMPARE(p.s5()->at(499), QPointF(499, 900499));
}

void TestTrendsChart::open_cancelChangesNothing() {
    ChartPage p;
    p.fillLive(liveLike(0));
    const QString path = dir_.filePath(QStringLiteral("kept.rej"));
    QVERIFY(writeFile(path, recordingBytes(distinctHistory(6))));
    openAnswers_ << path;
    p.c.open->click();
    p.pick(p.c.trace1, 3);
    const QString title = p.c.chart->title();
    const QList<QPointF> s4 = p.s4()->points(), s5 = p.s5()->points();
    openAnswers_ << QString(); // cancelled
    p.c.open->click();
    QVERIFY(p.file == distinctHistory(6));
    QCOMPARE(p.c.chart->title(), title);
    QCOMPARE(p.s4()->points(), s4);
    QCOMPARE(p.s5()->points(), s5);
    QVERIFY(!p.c.pause->isChecked());
    // And from the recording state as well.
    p.pressPause();
    openAnswers_ << QString();
    p.c.open->click();
    QVERIFY(p.c.pause->isChecked());
    QCOMPARE(p.c.pause->text(), QStringLiteral("Pauza"));
    QVERIFY(p.file == distinctHistory(6));
    QVERIFY(errorBoxes_.isEmpty());
}

void TestTrendsChart::open_badInput_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseSize"); // > 0: the file grows to this size with NUL bytes
    QTest::addColumn<bool>("shown");
    QTest::newRow("LF only") << distinctRecording(500, "\n") << qint64(0) << true;
    QTest::newRow("CR only") << distinctRecording(500, "\r") << qint64(0) << true;
    QTest::newRow("more than 500 lines") << distinctRecording(700) + "junk\r\n" << qint64(0) << true;
    QByteArray binary(100000, '\0');
    quint32 x = 99;
    for (char& ch : binary)
        ch = char((x = x * 1103515245u + 12345u) >> 24);
    QTest::newRow("binary") << binary << qint64(0) << false;
    QTest::newRow("a line of 1 MB") << distinctLine(1) + QByteArray(1 << 20, '1') + "\r\n"
                                    << qint64(0) << false;
    QTest::newRow("eight fields") << distinctRecording(4) + "1 2 3 4 5 6 7 8\r\n" << qint64(0) << false;
    QTest::newRow("two blanks in a row") << distinctLine(1, "  ") + "\r\n" << qint64(0) << false;
    QTest::newRow("empty last line") << distinctRecording(499) + "\r\n" << qint64(0) << false;
    QTest::newRow("numbers beyond 32 bits")
        << QByteArray("1 2 3 4 5 6 7 8 4294967297 \r\n") << qint64(0) << false;
    QTest::newRow("100 MB, NUL bytes after line 1") << distinctLine(1) + "\r\n"
                                                    << qint64(100) * 1024 * 1024 << false;
    QTest::newRow("100 MB of valid lines") << QByteArray() << qint64(-1) << true;
}

void TestTrendsChart::open_badInput() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparseSize);
    QFETCH(bool, shown);
    const QString path = dir_.filePath(QStringLiteral("bad-input.rej"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        if (sparseSize > 0) QVERIFY(f.resize(sparseSize));
        if (sparseSize < 0) {
            const QByteArray block = distinctRecording(500);
            while (f.size() < 100LL * 1024 * 1024)
                f.write(block);
        }
    }
    ChartPage p;
    p.fillLive(liveLike(0));
    openAnswers_ << path;
    p.c.open->click();
    QVERIFY(errorBoxes_.isEmpty());
    QVERIFY(!p.c.pause->isChecked());
    QVERIFY(tracesWhole(p));
    if (shown) {
        QVERIFY(!p.c.chart->title().isEmpty());
        QVERIFY(p.file == distinctHistory());
        QVERIFY(shows(p.s4(), &p.file[0]));
    } else {
        QCOMPARE(p.c.chart->title(), QString());
        QCOMPARE(p.s4()->count(), 0);
        QCOMPARE(p.s5()->count(), 0);
    }
    QFile::remove(path);
}

void TestTrendsChart::open_notAFile_data() {
    QTest::addColumn<QString>("path");
    const QString fifo = dir_.filePath(QStringLiteral("pipe.rej"));
    if (!QFileInfo::exists(fifo)) QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QDir(dir_.path()).mkpath(QStringLiteral("dir.rej"));
    const QString link = dir_.filePath(QStringLiteral("gone.rej"));
    if (!QFileInfo(link).isSymLink())
        QVERIFY(QFile::link(dir_.filePath(QStringLiteral("vanished.rej")), link));
    QTest::newRow("directory") << dir_.filePath(QStringLiteral("dir.rej"));
    QTest::newRow("FIFO") << fifo;
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
    QTest::newRow("dangling symlink") << link;
    QTest::newRow("vanished after the dialog") << dir_.filePath(QStringLiteral("vanished.rej"));
}

void TestTrendsChart::open_notAFile() {
    QFETCH(QString, path);
    ChartPage p;
    p.fillLive(liveLike(0));
    p.file = distinctHistory(8);
    const QList<QPointF> s4 = p.s4()->points();
    openAnswers_ << path;
    p.c.open->click();
    QCOMPARE(errorBoxes_.size(), 1);
    QVERIFY(errorBoxes_[0].contains(path));
    // The open stops where it failed: the file history is already cleared,
    // the chart is as it was.
    QVERIFY(p.file == History{});
    QVERIFY(p.c.pause->isChecked());
    QCOMPARE(p.c.chart->title(), QString());
    QCOMPARE(p.s4()->points(), s4);
}

void TestTrendsChart::open_failsWhileRead() {
    ChartPage p;
    p.fillLive(liveLike(0));
    openAnswers_ << QStringLiteral("/proc/self/mem");
    p.c.open->click();
    QCOMPARE(errorBoxes_.size(), 1);
    QVERIFY(!p.c.pause->isChecked());
    QCOMPARE(p.c.chart->title(), QString());
    QCOMPARE(p.s4()->count(), 0);
    QCOMPARE(p.s5()->count(), 0);
}

QTEST_MAIN(TestTrendsChart)
#include "tst_trends_chart.moc"

void TestTrendsChart::paint_noneSelectedHasNoScale() {
    RecorderChart c;
    c.resize(chart::kDesignWidth, chart::kDesignHeight);
    c.leftAxis()->setTitleText(QString()); // "---": no quantity
    c.leftAxis()->setRange(0, 1);
    const QImage img = painted(&c);
    const QRect plot = c.plotRect();
    // No ticks, labels or title left of the red axis; the blue one keeps its scale.
    QCOMPARE(tintedPixels(img, QRect(0, plot.top(), plot.left() - 1, plot.height()), false), 0);
    QVERIFY(tintedPixels(img,
                         QRect(plot.right() + 2, plot.top(), c.width() - plot.right() - 2, plot.height()),
                         true) > 100);
}

void TestTrendsChart::view_rules_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("anchor"); // NaN: a pan by delta
    QTest::addColumn<double>("amount"); // zoom factor or pan delta
    QTest::addColumn<double>("wantFrom");
    QTest::addColumn<double>("wantTo");
    const double pan = qQNaN();
    QTest::newRow("zoom in at the middle") << 0.0 << 500.0 << 250.0 << 0.5 << 125.0 << 375.0;
    QTest::newRow("zoom in at the left edge") << 0.0 << 500.0 << 0.0 << 0.5 << 0.0 << 250.0;
    QTest::newRow("anchor stays in place") << 100.0 << 200.0 << 180.0 << 0.5 << 140.0 << 190.0;
    QTest::newRow("no narrower than ten") << 100.0 << 120.0 << 110.0 << 0.01 << 105.0 << 115.0;
    QTest::newRow("zoom out to the whole") << 100.0 << 200.0 << 150.0 << 100.0 << 0.0 << 500.0;
    QTest::newRow("zoom out kept inside") << 400.0 << 500.0 << 500.0 << 2.0 << 300.0 << 500.0;
    QTest::newRow("bad factor") << 100.0 << 200.0 << 150.0 << 0.0 << 100.0 << 200.0;
    QTest::newRow("pan right") << 100.0 << 200.0 << pan << 50.0 << 150.0 << 250.0;
    QTest::newRow("pan stops at the end") << 100.0 << 200.0 << pan << 900.0 << 400.0 << 500.0;
    QTest::newRow("pan stops at the start") << 100.0 << 200.0 << pan << -900.0 << 0.0 << 100.0;
    QTest::newRow("whole view does not pan") << 0.0 << 500.0 << pan << 30.0 << 0.0 << 500.0;
}

void TestTrendsChart::view_rules() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, anchor);
    QFETCH(double, amount);
    QFETCH(double, wantFrom);
    QFETCH(double, wantTo);
    const chart::View v{from, to};
    const chart::View got =
        qIsNaN(anchor) ? chart::pannedView(v, amount) : chart::zoomedView(v, anchor, amount);
    QCOMPARE(got.from, wantFrom);
    QCOMPARE(got.to, wantTo);
}

namespace {
void wheel(QWidget* w, QPoint at, int delta) {
    QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}
} // namespace

void TestTrendsChart::view_wheelDragAndHome() {
    RecorderChart c;
    c.resize(chart::kDesignWidth, chart::kDesignHeight);
    QList<QPointF> ramp;
    for (int i = 0; i < 500; ++i)
        ramp.append(QPointF(i, i));
    c.series4()->replace(ramp);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    const QImage whole = painted(&c);
    const QRect plot = c.plotRect();
    const QRectF m = edges(plot);
    const QPoint at(qRound(chart::sampleX(300, m)), plot.center().y());

    // Two notches in: the sample under the pointer stays under it.
    wheel(&c, at, 240);
    QVERIFY(c.isZoomed());
    QVERIFY(c.view().to - c.view().from < 330);
    QTest::mouseMove(&c, at);
    QCOMPARE(chart::viewSampleAt(at.x(), c.view(), edges(c.plotRect())), 300);
    QVERIFY2(c.cursorReadout().startsWith(QLocale::system().toString(-chart::secondsBack(300), 'f', 1)),
             qPrintable(c.cursorReadout()));
    QVERIFY(c.cursorReadout().endsWith(QStringLiteral(": 300")));

    // Dragging to the right brings earlier samples in.
    const chart::View before = c.view();
    const QPoint grab(plot.center().x(), plot.center().y());
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, grab);
    QTest::mouseMove(&c, grab + QPoint(100, 0));
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, grab + QPoint(100, 0));
    QVERIFY(c.view().from < before.from);
    QCOMPARE(c.view().to - c.view().from, before.to - before.from);
    // The pointer's sample follows the moved view.
    const QPoint again = at + QPoint(0, 5);
    QTest::mouseMove(&c, again);
    QCOMPARE(c.cursorReadout().section(QStringLiteral(": "), -1).toInt(),
             chart::viewSampleAt(again.x(), c.view(), edges(c.plotRect())));

    // Home returns to the whole view, which looks as before the zoom.
    QTest::keyClick(&c, Qt::Key_Home);
    QVERIFY(!c.isZoomed());
    QTest::mouseMove(&c, QPoint(1, 1));
    QCOMPARE(painted(&c), whole);
    // Escape too; out-zooming past the whole axis is the whole view.
    wheel(&c, at, 120);
    QVERIFY(c.isZoomed());
    QTest::keyClick(&c, Qt::Key_Escape);
    QVERIFY(!c.isZoomed());
    wheel(&c, at, -480);
    QVERIFY(!c.isZoomed());
}

void TestTrendsChart::view_timeAxis() {
    RecorderChart c;
    c.resize(chart::kDesignWidth, chart::kDesignHeight);
    const QRect specified = c.plotRect();
    c.setTimeAxisOn(true);
    const QRect withTime = c.plotRect();
    QCOMPARE(withTime.left(), specified.left());
    QCOMPARE(withTime.right(), specified.right());
    QVERIFY(withTime.bottom() < specified.bottom());
    // Labels in black under the plot.
    const QImage img = painted(&c);
    int dark = 0;
    for (int y = withTime.bottom() + 3; y < c.height(); ++y)
        for (int x = withTime.left(); x <= withTime.right(); ++x)
            dark += qGray(img.pixel(x, y)) < 100;
    QVERIFY(dark > 30);
    c.setTimeAxisOn(false);
    QCOMPARE(c.plotRect(), specified);
}

namespace {
// A poll log as the program writes it: a header, rows every 200 ms with Ir
// rising by one and Ur at 230, an event and a broken row among them.
QByteArray pollLogBytes(int rows) {
    QByteArray b =
        "\xEF\xBB\xBF" + QByteArrayLiteral("Time;Ir [%];Is [%];It [%];Iavg [%];Ir [A];Is [A];It [A];"
                                           "Iavg [A];In [A];Ur [V];Us [V];Ut [V];Uavg [V];Heat Q [%];"
                                           "cos phi;P [kW];Fault word;Faults;K1;K2;Lost reads\r\n");
    const QDateTime start =
        QDateTime::fromString(QStringLiteral("2026-12-08T09:00:00.000"), Qt::ISODateWithMs);
    for (int i = 0; i < rows; ++i) {
        const QByteArray time =
            start.addMSecs(200LL * i).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toUtf8();
        b += time + ";" + QByteArray::number(i % 1000) +
             ";1;1;1;;;;;;230;230;230;230;5;0,9;1,5;0x0000;;0;0;0\r\n";
        if (i == 3) b += time + ";Connection lost\r\n";
        if (i == 4) b += "2026-12-08T09:00:0;x\r\n";
    }
    return b;
}

PollLogWindow* openLogWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* log = qobject_cast<PollLogWindow*>(w); log && log->isVisible()) return log;
    return nullptr;
}
} // namespace

void TestTrendsChart::pollLog_fromTheContextMenu() {
    ChartPage p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    const QString path = dir_.filePath(QStringLiteral("poll.csv"));
    QVERIFY(writeFile(path, pollLogBytes(2000)));
    openAnswers_.enqueue(path);
    // The entry of the chart's context menu.
    bool found = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QAction* open = menu ? menu->findChild<QAction*>(QStringLiteral("chartOpenPollLog")) : nullptr;
        found = open;
        if (menu) menu->close();
        if (open) open->trigger();
    });
    const QPoint at = p.c.chart->plotRect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, p.c.chart->mapToGlobal(at));
    QApplication::sendEvent(p.c.chart, &menuEvent);
    QVERIFY(found);
    QVERIFY2(errorBoxes_.isEmpty(), qPrintable(errorBoxes_.join(QLatin1Char('\n'))));
    PollLogWindow* w = openLogWindow();
    QVERIFY(w);
    QScopedPointer<PollLogWindow> closer(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    // Beside the page, so the pointer finds this window and not the page under it.
    w->move(p.window.frameGeometry().right() + 20, p.window.y());
    QCOMPARE(w->log().times.size(), 2000);
    QCOMPARE(w->log().events, 1);
    QCOMPARE(w->log().badRows, 1);
    QVERIFY2(w->statusText().contains(QStringLiteral("line 8")), qPrintable(w->statusText()));
    RecorderChart* c = w->chart();
    QVERIFY(c->showsLog());
    QCOMPARE(c->series4()->count(), 2000);
    QCOMPARE(c->leftAxis()->titleText(), QStringLiteral("Ir [%]"));
    QCOMPARE(c->rightAxis()->titleText(), QStringLiteral("Ur [V]"));

    // The readout gives the row's time and values.
    const QRect plot = c->plotRect();
    const QRectF m = edges(plot);
    const QPoint over(qRound(chart::viewX(1500, c->view(), m)), plot.center().y());
    const QDateTime start =
        QDateTime::fromString(QStringLiteral("2026-12-08T09:00:00.000"), Qt::ISODateWithMs);
    auto rowText = [&](int row) {
        return start.addMSecs(200LL * row).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) +
               QStringLiteral("   Ir [%]: ") + QString::number(row % 1000) + QStringLiteral("   Ur [V]: 230");
    };
    QTest::mouseMove(c, over);
    const int row = chart::viewSampleAt(over.x(), c->view(), m, 2000);
    QVERIFY(qAbs(row - 1500) <= 2);
    QCOMPARE(c->cursorReadout(), rowText(row));
    // Zoomed in, the rows are further apart and still read right; Home shows the whole log again.
    wheel(c, over, 600);
    QVERIFY(c->isZoomed());
    QVERIFY(c->view().to <= 2000 && c->view().to - c->view().from < 1000);
    const QPoint again = over + QPoint(0, 3);
    QTest::mouseMove(c, again);
    const int zoomedRow = chart::viewSampleAt(again.x(), c->view(), edges(c->plotRect()), 2000);
    QVERIFY(qAbs(zoomedRow - row) <= 2);
    QCOMPARE(c->cursorReadout(), rowText(zoomedRow));
    QTest::keyClick(c, Qt::Key_Home);
    QVERIFY(!c->isZoomed());
    QCOMPARE(c->view().to, 2000.0);
    // Another column on the red trace.
    w->columnSelector(1)->setCurrentIndex(w->columnSelector(1)->findData(17));
    QCOMPARE(c->leftAxis()->titleText(), QStringLiteral("Fault word"));
    // The poll log window never takes part in the page's own state.
    QVERIFY(p.c.chart->title().isEmpty());
    QVERIFY(!p.c.chart->showsLog());
}

void TestTrendsChart::pollLog_refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only a header") << pollLogBytes(0);
    QTest::newRow("a recording, not a log") << QByteArray("1 2 3 4 5 6 7 8 9 \r\n").repeated(500);
}

void TestTrendsChart::pollLog_refused() {
    QFETCH(QByteArray, bytes);
    const QString path = dir_.filePath(QStringLiteral("refused.csv"));
    QVERIFY(writeFile(path, bytes));
    openAnswers_.enqueue(path);
    QWidget parent;
    openPollLogWindow(&parent);
    QCOMPARE(errorBoxes_.size(), 1);
    QVERIFY2(errorBoxes_[0].contains(QStringLiteral("refused.csv")), qPrintable(errorBoxes_[0]));
    QVERIFY(!openLogWindow());
}
