#include "trends/recorderchart.h"

#include "trends/rules.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolTip>
#include <QWheelEvent>

namespace recorder::chart {

double tickStep(double minimum, double maximum, int maxIntervals) {
    const double span = maximum - minimum;
    if (!(span > 0) || !std::isfinite(span)) return 1;
    maxIntervals = std::max(1, maxIntervals);
    const double raw = span / maxIntervals;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    // The smallest of 1, 2, 5 (times the power of ten) not below raw; the
    // tolerance keeps 1000 / 5 = 200 a step of 200, not of 500.
    for (;;) {
        for (double m : {1.0, 2.0, 5.0})
            if (m * power >= raw * (1 - 1e-9)) return m * power;
        power *= 10;
    }
}

QList<double> tickValues(double minimum, double maximum, int maxIntervals) {
    QList<double> ticks;
    if (!(maximum > minimum)) return ticks;
    const double step = tickStep(minimum, maximum, maxIntervals);
    const double first = std::ceil(minimum / step - 1e-9);
    const double last = std::floor(maximum / step + 1e-9);
    for (double i = first; i <= last; ++i)
        ticks.append(i * step);
    return ticks;
}

QString tickLabel(double value, const QLocale& locale) {
    // "#0.###": rounded to three decimals, then written as briefly as it reads.
    double rounded = std::round(value * 1000) / 1000;
    if (rounded == 0) rounded = 0; // no "-0"
    QLocale l(locale);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(rounded, 'f', QLocale::FloatingPointShortest);
}

double valueY(double value, double minimum, double maximum, const QRectF& plot) {
    const double span = maximum - minimum;
    const double f = span > 0 ? (value - minimum) / span : 0;
    return plot.bottom() - (kAxisFrom + f * (kAxisTo - kAxisFrom)) * plot.height();
}

double sampleX(double index, const QRectF& plot) {
    return plot.left() + index / kSampleAxisMaximum * plot.width();
}

QString elidedTitle(const QString& title, const QFontMetrics& metrics, int width) {
    return metrics.elidedText(title, Qt::ElideMiddle, std::max(0, width));
}

int sampleAt(double x, const QRectF& plot) {
    if (plot.width() <= 0 || x < plot.left() || x > plot.right()) return -1;
    const int i = qRound((x - plot.left()) / plot.width() * kSampleAxisMaximum);
    return std::clamp(i, 0, int(kSampleAxisMaximum) - 1);
}

double secondsBack(int index) {
    return (int(kSampleAxisMaximum) - 1 - index) * 0.2;
}

QString readoutText(int index, const QList<QPair<QString, double>>& values, const QLocale& locale) {
    QStringList parts{(index == int(kSampleAxisMaximum) - 1 ? locale.toString(0.0, 'f', 1)
                                                            : locale.toString(-secondsBack(index), 'f', 1)) +
                      QStringLiteral(" s")};
    for (const auto& [title, value] : values)
        parts << title + QStringLiteral(": ") + tickLabel(value, locale);
    return parts.join(QStringLiteral("   "));
}

double viewX(double index, const View& view, const QRectF& plot) {
    return plot.left() + (index - view.from) / (view.to - view.from) * plot.width();
}

int viewSampleAt(double x, const View& view, const QRectF& plot, int count) {
    if (plot.width() <= 0 || x < plot.left() || x > plot.right()) return -1;
    const int i = qRound(view.from + (x - plot.left()) / plot.width() * (view.to - view.from));
    const int first = std::max(0, int(std::ceil(view.from)));
    const int last = std::min(count - 1, int(std::floor(view.to)));
    return std::clamp(i, first, std::max(first, last));
}

// Moves a view of a valid span inside 0..500; the whole axis is the default view exactly.
static View keptInside(double from, double span, double length) {
    if (span >= length - 1e-9) return View{0, length};
    from = std::clamp(from, 0.0, length - span);
    return View{from, from + span};
}

View zoomedView(const View& view, double anchor, double factor, double length) {
    const double span = view.to - view.from;
    if (!(factor > 0) || !std::isfinite(factor) || !(span > 0)) return view;
    const double newSpan = std::clamp(span * factor, std::min(kMinimumViewSpan, length), length);
    anchor = std::clamp(anchor, view.from, view.to);
    return keptInside(anchor - (anchor - view.from) * newSpan / span, newSpan, length);
}

View pannedView(const View& view, double delta, double length) {
    if (!std::isfinite(delta)) return view;
    return keptInside(view.from + delta, view.to - view.from, length);
}

} // namespace recorder::chart

using namespace recorder::chart;

namespace {

constexpr int kMargin = 4;     // around the whole chart
constexpr int kTickLength = 4; // outwards from a value axis
constexpr int kLabelGap = 3;   // between a tick and its label
constexpr int kTitleGap = 4;   // between the labels and the axis title
constexpr int kMaxIntervals = 8;
const QColor kGridColour(0xe0, 0xe0, 0xe0);

QFont arial(int pixelSize, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// The plot as the mapping functions take it: its edges are the pixel rows and
// columns the axis lines are drawn on.
QRectF mappingRect(const QRect& plot) {
    return QRectF(QPointF(plot.topLeft()), QPointF(plot.bottomRight()));
}

// As many intervals as leave two label heights between ticks, at most eight.
int intervalsFor(const QRect& plot, const QFontMetrics& fm) {
    const double span = (kAxisTo - kAxisFrom) * (plot.height() - 1);
    return std::clamp(int(span / (2 * fm.height())), 1, kMaxIntervals);
}

} // namespace

ChartAxis::ChartAxis(const QString& name, const QColor& colour, QWidget* chart)
    : QObject(chart), chart_(chart), colour_(colour) {
    setObjectName(name);
}

void ChartAxis::setRange(double minimum, double maximum) {
    min_ = minimum;
    max_ = maximum;
    chart_->update();
}

void ChartAxis::setTitleText(const QString& text) {
    title_ = text;
    chart_->update();
}

void ChartAxis::setLabelsVisible(bool visible) {
    labelsVisible_ = visible;
    chart_->update();
}

ChartTrace::ChartTrace(const QString& name, const QColor& colour, ChartAxis* axis, QWidget* chart)
    : QObject(chart), chart_(chart), colour_(colour), axis_(axis) {
    setObjectName(name);
}

void ChartTrace::replace(const QList<QPointF>& points) {
    points_ = points;
    chart_->update();
}

void ChartTrace::clear() {
    points_.clear();
    chart_->update();
}

RecorderChart::RecorderChart(QWidget* parent)
    : QWidget(parent), titleFont_(arial(11, false)), axisFont_(arial(11, false)) {
    setObjectName(QStringLiteral("Chart2"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The cursor readout follows the pointer without a button held.
    setMouseTracking(true);
    // A click gives the chart the keys that return to the whole view; Tab passes it by.
    setFocusPolicy(Qt::ClickFocus);
    bottom_ = new ChartAxis(QStringLiteral("Chart2_bottomAxis"), Qt::black, this);
    bottom_->setRange(0, kSampleAxisMaximum);
    bottom_->setLabelsVisible(false);
    left_ = new ChartAxis(QStringLiteral("Chart2_leftAxis"), Qt::red, this);
    left_->setRange(0, 1000);
    left_->setTitleText(QStringLiteral("Prad fazy Ir [%]"));
    right_ = new ChartAxis(QStringLiteral("Chart2_rightAxis"), Qt::blue, this);
    right_->setRange(0, 600);
    right_->setTitleText(QString::fromUtf8("Napięcie fazy Ur [V]"));
    series4_ = new ChartTrace(QStringLiteral("Series4"), Qt::red, left_, this);
    series5_ = new ChartTrace(QStringLiteral("Series5"), Qt::blue, right_, this);
    labelRoom_ = measureLabelRoom();
}

void RecorderChart::setTitle(const QString& text) {
    title_ = text;
    // The whole title on hover, when its middle had to go.
    setToolTip(text);
    update();
}

QSize RecorderChart::sizeHint() const {
    return {kDesignWidth, kDesignHeight};
}

QSize RecorderChart::minimumSizeHint() const {
    return {200, 150};
}

// The widest tick label of any quantity the selectors offer, in the PC's
// number format: the plot keeps its place whichever quantities are shown.
int RecorderChart::measureLabelRoom() const {
    const QFontMetrics fm(axisFont_);
    const QLocale locale = QLocale::system();
    int widest = 0;
    for (int item = 0; item <= recorder::kChannels; ++item) {
        const double maximum = recorder::axisSetup(item).maximum;
        // Every interval count a plot height can lead to.
        for (int intervals = 1; intervals <= kMaxIntervals; ++intervals)
            for (double v : tickValues(0, maximum, intervals))
                widest = std::max(widest, fm.horizontalAdvance(tickLabel(v, locale)));
    }
    return widest;
}

QRect RecorderChart::plotRect() const {
    const QFontMetrics title(titleFont_), axis(axisFont_);
    const int side = kMargin + axis.height() + kTitleGap + labelRoom_ + kLabelGap + kTickLength;
    // Room above for the title line and half the top label; below, for half
    // the bottom label.
    const int top = kMargin + title.height() + axis.height() / 2 + 2;
    int bottom = kMargin + axis.height() / 2 + 2;
    if (timeAxisShown()) bottom = kMargin + kTickLength + kLabelGap + axis.height();
    return QRect(QPoint(side, top), QPoint(width() - 1 - side, height() - 1 - bottom));
}

QString RecorderChart::shownTitle() const {
    return elidedTitle(title_, QFontMetrics(titleFont_), width() - 2 * kMargin);
}

QString RecorderChart::cursorReadout() const {
    if (cursorSample_ < 0) return {};
    QList<QPair<QString, double>> values;
    for (const ChartTrace* t : {series4_, series5_})
        if (t->count() > cursorSample_ && !t->axis()->titleText().isEmpty() &&
            std::isfinite(t->at(cursorSample_).y()))
            values.append({t->axis()->titleText(), t->at(cursorSample_).y()});
    if (showsLog() && cursorSample_ < logTimes_.size()) {
        QStringList parts{logTimes_[cursorSample_].toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))};
        for (const auto& [title, value] : values)
            parts << title + QStringLiteral(": ") + tickLabel(value, QLocale::system());
        return parts.join(QStringLiteral("   "));
    }
    return readoutText(cursorSample_, values, QLocale::system());
}

void RecorderChart::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        const QRect plot = plotRect();
        if (plot.width() > 1) {
            const double delta =
                -(event->position().x() - dragX_) / (plot.width() - 1) * (view_.to - view_.from);
            dragX_ = event->position().x();
            setView(pannedView(view_, delta, axisLength()));
        }
    }
    updateCursor(event->position());
    QWidget::mouseMoveEvent(event);
}

void RecorderChart::updateCursor(const QPointF& at) {
    const QRect plot = plotRect();
    const int count = showsLog() ? int(logTimes_.size()) : int(kSampleAxisMaximum);
    const int sample =
        plot.contains(at.toPoint()) ? viewSampleAt(at.x(), view_, mappingRect(plot), count) : -1;
    if (sample != cursorSample_) {
        cursorSample_ = sample;
        update();
    }
}

void RecorderChart::setView(const View& view) {
    if (view == view_) return;
    view_ = view;
    update();
}

void RecorderChart::resetView() {
    setView(wholeView());
}

void RecorderChart::setTimeAxisOn(bool on) {
    timeAxisOn_ = on;
    update();
}

QString RecorderChart::navigationHint() {
    return tr("Wheel: zoom, drag: move, Home or Esc: the whole view");
}

void RecorderChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && plotRect().contains(event->position().toPoint())) {
        dragging_ = true;
        dragX_ = event->position().x();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void RecorderChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void RecorderChart::wheelEvent(QWheelEvent* event) {
    const QRect plot = plotRect();
    const int steps = event->angleDelta().y();
    if (steps == 0 || !plot.contains(event->position().toPoint())) {
        QWidget::wheelEvent(event);
        return;
    }
    const QRectF m = mappingRect(plot);
    const double anchor =
        view_.from + (event->position().x() - m.left()) / m.width() * (view_.to - view_.from);
    // One notch (120) zooms by a fifth.
    setView(zoomedView(view_, anchor, std::pow(0.8, steps / 120.0), axisLength()));
    updateCursor(event->position());
    event->accept();
}

void RecorderChart::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_Escape) && isZoomed()) {
        resetView();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RecorderChart::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* whole =
        menu.addAction(tr("Whole view") + QStringLiteral("\tHome"), this, &RecorderChart::resetView);
    whole->setObjectName(QStringLiteral("chartWholeView"));
    whole->setEnabled(isZoomed());
    QAction* time = menu.addAction(tr("Time axis"), this, &RecorderChart::setTimeAxisOn);
    time->setObjectName(QStringLiteral("chartTimeAxis"));
    time->setCheckable(true);
    time->setChecked(timeAxisOn_);
    if (openPollLog) {
        menu.addSeparator();
        QAction* open = menu.addAction(tr("Open a poll log..."), this, [this] { openPollLog(); });
        open->setObjectName(QStringLiteral("chartOpenPollLog"));
    }
    // Entries the window gives the chart (its exports) follow the chart's own.
    if (!actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(actions());
    }
    menu.exec(event->globalPos());
}

bool RecorderChart::event(QEvent* event) {
    // Entries added to the chart would otherwise replace its own menu (the
    // actions policy shows them alone).
    if (event->type() == QEvent::ContextMenu && contextMenuPolicy() == Qt::ActionsContextMenu) {
        contextMenuEvent(static_cast<QContextMenuEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(
            help->globalPos(),
            title_.isEmpty() ? navigationHint() : title_ + QLatin1Char('\n') + navigationHint(), this);
        return true;
    }
    return QWidget::event(event);
}

void RecorderChart::leaveEvent(QEvent* event) {
    if (cursorSample_ >= 0) {
        cursorSample_ = -1;
        update();
    }
    QWidget::leaveEvent(event);
}

void RecorderChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(rect(), Qt::white);
    const QRect plot = plotRect();
    if (plot.width() < 2 || plot.height() < 2) return;
    const QRectF m = mappingRect(plot);

    // Grid: the left axis's ticks across, every hundred samples down.
    p.setPen(QPen(kGridColour, 0));
    const QFontMetrics fm(axisFont_);
    // The grid follows an axis that has a scale, the left one first.
    const ChartAxis* gridAxis = hasScale(left_) ? left_ : hasScale(right_) ? right_ : nullptr;
    if (gridAxis)
        for (double v : tickValues(gridAxis->min(), gridAxis->max(), intervalsFor(plot, fm))) {
            const int y = qRound(valueY(v, gridAxis->min(), gridAxis->max(), m));
            p.drawLine(plot.left() + 1, y, plot.right() - 1, y);
        }
    if (!isZoomed() && !showsLog()) {
        for (int i = 100; i < int(kSampleAxisMaximum); i += 100) {
            const int x = qRound(sampleX(i, m));
            p.drawLine(x, plot.top(), x, plot.bottom() - 1);
        }
    } else {
        for (double t : timeTicks(plot)) {
            const int x = qRound(viewX(sampleOf(t), view_, m));
            if (x > plot.left() && x < plot.right()) p.drawLine(x, plot.top(), x, plot.bottom() - 1);
        }
    }

    drawTrace(p, series4_, plot);
    drawTrace(p, series5_, plot);

    // The bottom axis along the plot's bottom edge, without labels.
    p.setPen(QPen(bottom_->labelsColor(), 0));
    p.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
    if (timeAxisShown()) drawTimeAxis(p, plot);
    drawValueAxis(p, left_, plot, true);
    drawValueAxis(p, right_, plot, false);

    // The cursor: a line at the sample under the pointer and its readout at the plot's top.
    if (cursorSample_ >= 0) {
        const int x = qRound(viewX(cursorSample_, view_, m));
        p.setPen(QPen(Qt::darkGray, 0, Qt::DashLine));
        p.drawLine(x, plot.top(), x, plot.bottom() - 1);
        p.setFont(axisFont_);
        const QString text = cursorReadout();
        QRect box = fm.boundingRect(text).adjusted(-3, -1, 3, 1);
        box.moveTopLeft(QPoint(plot.left() + 2, plot.top() + 2));
        p.fillRect(box, QColor(255, 255, 225));
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
    }

    if (!title_.isEmpty()) {
        p.setFont(titleFont_);
        p.setPen(Qt::black);
        p.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, QFontMetrics(titleFont_).height()),
                   Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, shownTitle());
    }
}

void RecorderChart::drawTrace(QPainter& p, const ChartTrace* trace, const QRect& plot) const {
    if (trace->count() == 0) return;
    const QRectF m = mappingRect(plot);
    const ChartAxis* axis = trace->axis();
    // Whole pixels: a sample lands on the column sampleX() rounds to. Only the
    // samples in view (and one beyond each side) are drawn; an empty value
    // (a log's unknown field) breaks the line; many samples to a pixel column
    // are drawn as that column's lowest and highest.
    const bool dense = (view_.to - view_.from) > 3.0 * plot.width();
    p.save();
    // A value beyond the axis's range runs along the plot's edge, not over the labels.
    p.setClipRect(plot);
    p.setPen(QPen(trace->color(), 0));
    QPolygon line;
    auto flush = [&] {
        if (line.size() == 1) p.drawPoint(line[0]);
        if (line.size() > 1) p.drawPolyline(line);
        line.clear();
    };
    int column = INT_MIN, low = 0, high = 0;
    for (const QPointF& pt : trace->points()) {
        if (pt.x() < view_.from - 1 || pt.x() > view_.to + 1) continue;
        if (!std::isfinite(pt.y())) {
            if (dense && column != INT_MIN) line << QPoint(column, low) << QPoint(column, high);
            column = INT_MIN;
            flush();
            continue;
        }
        const QPoint at(qRound(viewX(pt.x(), view_, m)), qRound(valueY(pt.y(), axis->min(), axis->max(), m)));
        if (!dense) {
            line.append(at);
            continue;
        }
        if (at.x() != column) {
            if (column != INT_MIN) line << QPoint(column, low) << QPoint(column, high);
            column = at.x();
            low = high = at.y();
        } else {
            low = std::max(low, at.y());
            high = std::min(high, at.y());
        }
    }
    if (dense && column != INT_MIN) line << QPoint(column, low) << QPoint(column, high);
    flush();
    p.restore();
}

double RecorderChart::axisLength() const {
    return showsLog() ? std::max<double>(1, logTimes_.size()) : kSampleAxisMaximum;
}

// The seconds of a sample index, and back: on the recorder's axis back from
// the newest sample (negative), in a log from the midnight before it.
double RecorderChart::secondsOf(double index) const {
    if (!showsLog()) return (index - (kSampleAxisMaximum - 1)) * 0.2;
    const int i = std::clamp(int(std::floor(index)), 0, int(logSeconds_.size()) - 1);
    const int j = std::min(i + 1, int(logSeconds_.size()) - 1);
    return logSeconds_[i] + (logSeconds_[j] - logSeconds_[i]) * std::clamp(index - i, 0.0, 1.0);
}

double RecorderChart::sampleOf(double seconds) const {
    if (!showsLog()) return seconds / 0.2 + (kSampleAxisMaximum - 1);
    const auto it = std::lower_bound(logSeconds_.cbegin(), logSeconds_.cend(), seconds);
    if (it == logSeconds_.cbegin()) return 0;
    if (it == logSeconds_.cend()) return double(logSeconds_.size() - 1);
    const double i = double(it - logSeconds_.cbegin());
    const double span = *it - *(it - 1);
    return span > 0 ? i - (*it - seconds) / span : i;
}

// The time axis's ticks in the view: at least one and a half label widths apart.
QList<double> RecorderChart::timeTicks(const QRect& plot) const {
    const QFontMetrics fm(axisFont_);
    const QString widest = showsLog() ? QStringLiteral("00:00:00") : QStringLiteral("-000,0 s");
    const int labelWidth = fm.horizontalAdvance(widest) * 3 / 2;
    const int intervals = std::clamp(plot.width() / std::max(1, labelWidth), 1, 10);
    return tickValues(secondsOf(view_.from), secondsOf(view_.to), intervals);
}

QString RecorderChart::timeLabel(double seconds) const {
    return logBase_.addMSecs(qRound64(seconds * 1000)).toString(QStringLiteral("HH:mm:ss"));
}

void RecorderChart::setLogTimes(const QList<QDateTime>& times) {
    logTimes_ = times;
    logSeconds_.clear();
    logSeconds_.reserve(times.size());
    logBase_ = times.isEmpty() ? QDateTime()
                               : QDateTime(times.first().date(), QTime(0, 0), times.first().timeSpec());
    for (const QDateTime& t : times)
        logSeconds_.append(double(logBase_.msecsTo(t)) / 1000);
    view_ = wholeView();
    cursorSample_ = -1;
    update();
}

bool RecorderChart::hasScale(const ChartAxis* axis) const {
    return !axis->titleText().isEmpty();
}

void RecorderChart::drawTimeAxis(QPainter& p, const QRect& plot) const {
    const QRectF m = mappingRect(plot);
    const QFontMetrics fm(axisFont_);
    const QLocale locale = QLocale::system();
    p.setFont(axisFont_);
    p.setPen(QPen(bottom_->labelsColor(), 0));
    const int top = plot.bottom() + kTickLength + kLabelGap;
    int lastRight = plot.left() - 1000;
    for (double t : timeTicks(plot)) {
        const int x = qRound(viewX(sampleOf(t), view_, m));
        if (x < plot.left() || x > plot.right()) continue;
        p.drawLine(x, plot.bottom(), x, plot.bottom() + kTickLength);
        const QString label = showsLog() ? timeLabel(t) : tickLabel(t, locale) + QStringLiteral(" s");
        const int w = fm.horizontalAdvance(label);
        QRect box(x - w / 2, top, w, fm.height());
        box.moveLeft(std::clamp(box.left(), 0, width() - w));
        if (box.left() <= lastRight + 4) continue;
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, label);
        lastRight = box.right();
    }
}

void RecorderChart::drawValueAxis(QPainter& p, const ChartAxis* axis, const QRect& plot,
                                  bool leftSide) const {
    const QRectF m = mappingRect(plot);
    const QFontMetrics fm(axisFont_);
    const int x = leftSide ? plot.left() : plot.right();
    const int out = leftSide ? -1 : 1;
    const int y0 = qRound(valueY(axis->min(), axis->min(), axis->max(), m));
    const int y1 = qRound(valueY(axis->max(), axis->min(), axis->max(), m));
    p.setPen(QPen(axis->labelsColor(), 0));
    p.drawLine(x, y0, x, y1);

    // A trace set to "---" has no quantity: its axis has no scale to read.
    if (!hasScale(axis)) return;
    p.setFont(axisFont_);
    const QLocale locale = QLocale::system();
    const int room = labelRoom_;
    for (double v : tickValues(axis->min(), axis->max(), intervalsFor(plot, fm))) {
        const int y = qRound(valueY(v, axis->min(), axis->max(), m));
        p.drawLine(x, y, x + out * kTickLength, y);
        if (!axis->labelsVisible()) continue;
        const int edge = x + out * (kTickLength + kLabelGap);
        const QRect box = leftSide ? QRect(edge - room, y - fm.height() / 2, room, fm.height())
                                   : QRect(edge + 1, y - fm.height() / 2, room, fm.height());
        p.drawText(box, (leftSide ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, tickLabel(v, locale));
    }

    if (axis->titleText().isEmpty()) return;
    // The title reads upwards beside the labels, centred on the axis.
    QFont titleFont = axisFont_;
    titleFont.setBold(true);
    const QFontMetrics tm(titleFont);
    const int length = y0 - y1;
    const int column = leftSide ? kMargin : width() - kMargin - tm.height();
    p.save();
    p.setFont(titleFont);
    p.translate(column, y0);
    p.rotate(-90);
    p.drawText(QRect(0, 0, length, tm.height()), Qt::AlignCenter | Qt::TextSingleLine,
               tm.elidedText(axis->titleText(), Qt::ElideRight, length));
    p.restore();
}
