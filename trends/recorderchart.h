#pragma once
// The recorder chart: two line traces over the sample index 0..499, trace 1
// red on the left axis, trace 2 blue on the right axis, drawn by the widget
// itself. The one-line title tells where the traces come from: empty while
// they show the live history, the file's name while they show a recording
// opened from a file.
//
// The plot area depends only on the widget's size and font, never on the
// quantities shown: the axes reserve room for the widest tick label any
// quantity can have, so a sample lands on the same x in every view.
#include <functional>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

class QFontMetrics;
class QLocale;

namespace recorder::chart {

constexpr double kSampleAxisMaximum = 500; // bottom axis 0..500, the sample index
// The value axes span this part of the plot's height, so a trace at 0 or at
// the maximum stays clear of the plot's bottom and top edges.
constexpr double kAxisFrom = 0.01;
constexpr double kAxisTo = 0.99;
// The design size of the chart on its page.
constexpr int kDesignWidth = 586;
constexpr int kDesignHeight = 347;

// A round tick step for an axis from minimum to maximum: 1, 2 or 5 times a
// power of ten, the smallest that gives at most maxIntervals intervals.
double tickStep(double minimum, double maximum, int maxIntervals);
// The ticks from minimum up to maximum, every tickStep(); a value within
// rounding of a whole step counts as that step.
QList<double> tickValues(double minimum, double maximum, int maxIntervals);
// A tick label in the pattern "#0.###": at least one whole digit, at most three
// decimals without trailing zeros, no group separators, the locale's decimal
// separator and minus sign.
QString tickLabel(double value, const QLocale& locale);

// The y of a value on a value axis: minimum at 1 % and maximum at 99 % of the
// plot's height, counted up from its bottom edge.
double valueY(double value, double minimum, double maximum, const QRectF& plot);
// The x of a sample index on the bottom axis: 0 at the plot's left edge, 500
// at its right edge.
double sampleX(double index, const QRectF& plot);

// The title on one line no wider than width: a long one loses its middle, so
// both the beginning and the file name at the end stay readable.
QString elidedTitle(const QString& title, const QFontMetrics& metrics, int width);

// The sample nearest to x on the bottom axis (0..499), -1 left or right of the plot.
int sampleAt(double x, const QRectF& plot);
// How long before the newest sample (index 499) a sample was taken, in
// seconds, at the poll's five samples a second.
double secondsBack(int index);
// The cursor's readout: the time back and each trace's value after its axis
// title (which carries the unit), e.g. "-12,4 s   Ir [%]: 45   Ur [V]: 230".
QString readoutText(int index, const QList<QPair<QString, double>>& values, const QLocale& locale);

// A part of the bottom axis on show, in sample index units: the whole axis is
// 0..500. Zooming keeps the sample under the pointer in place.
struct View {
    double from = 0;
    double to = kSampleAxisMaximum;
    bool operator==(const View&) const = default;
};
constexpr double kMinimumViewSpan = 10; // samples
// The x of a sample index inside the view, and the sample nearest to x.
double viewX(double index, const View& view, const QRectF& plot);
int viewSampleAt(double x, const View& view, const QRectF& plot, int count = int(kSampleAxisMaximum));
// The view zoomed by factor (below 1: in) around the index at anchor, kept
// inside the whole axis and no narrower than kMinimumViewSpan.
// length: the whole axis, 500 samples on the recorder's chart.
View zoomedView(const View& view, double anchor, double factor, double length = kSampleAxisMaximum);
// The view moved by delta samples, kept inside the whole axis.
View pannedView(const View& view, double delta, double length = kSampleAxisMaximum);
} // namespace recorder::chart

// One axis of the chart: a fixed range, a title and the colour of its line,
// labels and title.
class ChartAxis : public QObject {
public:
    ChartAxis(const QString& name, const QColor& colour, QWidget* chart);

    double min() const { return min_; }
    double max() const { return max_; }
    void setRange(double minimum, double maximum);
    QString titleText() const { return title_; }
    void setTitleText(const QString& text);
    QColor labelsColor() const { return colour_; }
    bool labelsVisible() const { return labelsVisible_; }
    void setLabelsVisible(bool visible);

private:
    QWidget* chart_;
    QColor colour_;
    QString title_;
    double min_ = 0;
    double max_ = 1;
    bool labelsVisible_ = true;
};

// One trace: its points, replaced whole at every redraw, a line in one colour
// against one value axis, without marks or point labels.
class ChartTrace : public QObject {
public:
    ChartTrace(const QString& name, const QColor& colour, ChartAxis* axis, QWidget* chart);

    void replace(const QList<QPointF>& points);
    void clear();
    qsizetype count() const { return points_.size(); }
    QPointF at(qsizetype i) const { return points_.at(i); }
    const QList<QPointF>& points() const { return points_; }
    QColor color() const { return colour_; }
    ChartAxis* axis() const { return axis_; }

private:
    QWidget* chart_;
    QColor colour_;
    ChartAxis* axis_;
    QList<QPointF> points_;
};

class RecorderChart : public QWidget {
    Q_OBJECT
public:
    explicit RecorderChart(QWidget* parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString& text);
    QFont titleFont() const { return titleFont_; }

    ChartTrace* series4() const { return series4_; }
    ChartTrace* series5() const { return series5_; }
    ChartAxis* leftAxis() const { return left_; }
    ChartAxis* rightAxis() const { return right_; }
    ChartAxis* bottomAxis() const { return bottom_; }

    // Where the traces are drawn; the value axes run along its left and right
    // edges from 1 % to 99 % of its height, the bottom axis along its bottom.
    QRect plotRect() const;
    // The title as it fits on its line.
    QString shownTitle() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The readout of the sample under the mouse pointer; empty while the
    // pointer is not over the plot.
    QString cursorReadout() const;

    // The part of the bottom axis on show; the whole axis unless zoomed.
    recorder::chart::View view() const { return view_; }
    void setView(const recorder::chart::View& view);
    bool isZoomed() const { return !(view_ == wholeView()); }
    void resetView();
    // The seconds back under the plot. Shown while zoomed or when switched on.
    bool timeAxisShown() const { return timeAxisOn_ || isZoomed(); }
    void setTimeAxisOn(bool on);
    // The hint on zoom, pan and the whole view, part of the tooltip.
    static QString navigationHint();

    // A poll log instead of the recorder's 500 samples: one sample per time,
    // the axis as long as the log, the times on the time axis and in the
    // readout. An empty list returns to the recorder's axis.
    void setLogTimes(const QList<QDateTime>& times);
    bool showsLog() const { return !logTimes_.isEmpty(); }
    // Called by "Open a poll log..." in the context menu; the entry is there
    // only while this is set.
    std::function<void()> openPollLog;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    int measureLabelRoom() const;
    void drawValueAxis(QPainter& p, const ChartAxis* axis, const QRect& plot, bool leftSide) const;
    void drawTrace(QPainter& p, const ChartTrace* trace, const QRect& plot) const;
    void drawTimeAxis(QPainter& p, const QRect& plot) const;
    bool hasScale(const ChartAxis* axis) const;
    void updateCursor(const QPointF& at);
    double axisLength() const;
    recorder::chart::View wholeView() const { return {0, axisLength()}; }
    double secondsOf(double index) const;
    double sampleOf(double seconds) const;
    QList<double> timeTicks(const QRect& plot) const;
    QString timeLabel(double seconds) const;

    QFont titleFont_;
    QFont axisFont_;
    QString title_;
    ChartAxis* bottom_;
    ChartAxis* left_;
    ChartAxis* right_;
    ChartTrace* series4_;
    ChartTrace* series5_;
    int labelRoom_;         // the widest tick label of any quantity
    int cursorSample_ = -1; // the sample under the mouse pointer, -1: none
    recorder::chart::View view_;
    bool timeAxisOn_ = false;
    QList<QDateTime> logTimes_;
    QList<double> logSeconds_; // each log time in seconds from logBase_
    QDateTime logBase_;        // midnight before the first log time: ticks fall on round clock times
    bool dragging_ = false;
    double dragX_ = 0; // the pointer's x when the drag last moved the view
};
