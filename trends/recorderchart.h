#pragma once
// The recorder chart: two line traces over the sample index 0..499, trace 1
// red on the left axis, trace 2 blue on the right axis. The one-line title
// tells where the traces come from: empty while they show the live history,
// the file's name while they show a recording opened from a file.
#include <QChartView>
#include <QString>

class QChart;
class QLineSeries;
class QValueAxis;

class RecorderChart : public QChartView {
    Q_OBJECT
public:
    explicit RecorderChart(QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& text);

    QLineSeries* series4() const { return series4_; }
    QLineSeries* series5() const { return series5_; }
    QValueAxis* leftAxis() const { return left_; }
    QValueAxis* rightAxis() const { return right_; }
    QValueAxis* bottomAxis() const { return bottom_; }

private:
    QChart* chart_;
    QLineSeries* series4_;
    QLineSeries* series5_;
    QValueAxis* bottom_;
    QValueAxis* left_;
    QValueAxis* right_;
};
