#include "trends/recorderchart.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

namespace {

// A value axis with a fixed range from 0, its labels and title in one colour.
// The labels print the value with no trailing zeros (1000, 0.2, 32000), the
// way "#0.###" does for every tick these ranges produce.
QValueAxis* valueAxis(const QString& name, const QColor& colour, double maximum, const QString& title) {
    auto* a = new QValueAxis;
    a->setObjectName(name);
    a->setRange(0, maximum);
    a->setTickCount(6);
    a->setLabelFormat(QStringLiteral("%g"));
    a->setLabelsColor(colour);
    a->setTitleBrush(colour);
    a->setTitleText(title);
    return a;
}

QLineSeries* trace(const QString& name, const QColor& colour) {
    auto* s = new QLineSeries;
    s->setObjectName(name);
    s->setName(name);
    QPen pen(colour);
    pen.setWidth(1);
    s->setPen(pen);
    s->setPointsVisible(false);
    s->setPointLabelsVisible(false);
    s->setUseOpenGL(false);
    return s;
}

} // namespace

// The chart is handed to the view at construction: a view made without one
// makes its own, which a later setChart() abandons without freeing.
RecorderChart::RecorderChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("Chart2"));
    chart_ = chart();
    chart_->setObjectName(QStringLiteral("Chart2_chart"));
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundBrush(Qt::white);
    chart_->setBackgroundRoundness(0);
    // The back wall is the chart's own white background.
    chart_->legend()->hide();
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(11);
    chart_->setTitleFont(titleFont);
    chart_->setTitleBrush(Qt::black);

    bottom_ = new QValueAxis;
    bottom_->setObjectName(QStringLiteral("Chart2_bottomAxis"));
    bottom_->setRange(0, 500);
    bottom_->setLabelsVisible(false);
    left_ = valueAxis(QStringLiteral("Chart2_leftAxis"), Qt::red, 1000, QStringLiteral("Prad fazy Ir [%]"));
    right_ = valueAxis(QStringLiteral("Chart2_rightAxis"), Qt::blue, 600,
                       QString::fromUtf8("Napięcie fazy Ur [V]"));
    chart_->addAxis(bottom_, Qt::AlignBottom);
    chart_->addAxis(left_, Qt::AlignLeft);
    chart_->addAxis(right_, Qt::AlignRight);

    series4_ = trace(QStringLiteral("Series4"), Qt::red);
    series5_ = trace(QStringLiteral("Series5"), Qt::blue);
    chart_->addSeries(series4_);
    chart_->addSeries(series5_);
    series4_->attachAxis(bottom_);
    series4_->attachAxis(left_);
    series5_->attachAxis(bottom_);
    series5_->attachAxis(right_);

    setRenderHint(QPainter::Antialiasing, false);
}

QString RecorderChart::title() const {
    return chart_->title();
}

void RecorderChart::setTitle(const QString& text) {
    chart_->setTitle(text);
}
