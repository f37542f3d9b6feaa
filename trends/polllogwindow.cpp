#include "trends/polllogwindow.h"

#include "seams/seams.h"
#include "trends/recorderchart.h"

#include <cmath>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace recorder;

namespace {
constexpr int kFaultNamesColumn = 18;  // text, never a trace
constexpr int kFirstTraceColumn = 1;   // Ir [%]
constexpr int kSecondTraceColumn = 10; // Ur [V]
} // namespace

PollLogWindow::PollLogWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("PollLogWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    chart_ = new RecorderChart(this);
    chart_->setObjectName(QStringLiteral("PollLogChart"));
    chart_->setTimeAxisOn(true);
    red_ = new QComboBox(this);
    red_->setObjectName(QStringLiteral("PollLogRed"));
    blue_ = new QComboBox(this);
    blue_->setObjectName(QStringLiteral("PollLogBlue"));
    status_ = new QLabel(this);
    auto* selectors = new QHBoxLayout;
    auto* redLabel = new QLabel(tr("Red:"), this);
    auto* blueLabel = new QLabel(tr("Blue:"), this);
    redLabel->setBuddy(red_);
    blueLabel->setBuddy(blue_);
    selectors->addWidget(redLabel);
    selectors->addWidget(red_, 1);
    selectors->addWidget(blueLabel);
    selectors->addWidget(blue_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(selectors);
    layout->addWidget(chart_, 1);
    layout->addWidget(status_);
    connect(red_, &QComboBox::currentIndexChanged, this, [this] { showColumn(1); });
    connect(blue_, &QComboBox::currentIndexChanged, this, [this] { showColumn(2); });
    resize(900, 520);
}

bool PollLogWindow::openFile(const QString& path, QString* error) {
    QFile f(path);
    if (!QFileInfo(path).isFile()) {
        *error = tr("%1 is not a file.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        *error = tr("%1 could not be opened: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    polllog::Log log;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The window keeps painting while a long log is read.
    const bool ok = polllog::readLog(f, &log, error, [](qint64) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    QApplication::restoreOverrideCursor();
    if (!ok) return false;
    if (log.times.isEmpty()) {
        *error = tr("%1 holds no measurements of a poll log.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    log_ = std::move(log);
    path_ = path;
    setWindowTitle(QFileInfo(path).fileName());
    chart_->setTitle(QDir::toNativeSeparators(path));
    chart_->setLogTimes(log_.times);
    fillSelectors();
    showColumn(1);
    showColumn(2);
    status_->setText(statusText());
    return true;
}

QString PollLogWindow::statusText() const {
    // Counts after a label: the same form for one and for many, in every language.
    QString text = tr("Measurements: %1").arg(log_.times.size());
    if (log_.events) text += QStringLiteral(", ") + tr("events: %1").arg(log_.events);
    if (log_.badRows)
        text += QStringLiteral(", ") +
                tr("unreadable rows: %1 (the first in line %2)").arg(log_.badRows).arg(log_.firstBadLine);
    return text;
}

void PollLogWindow::fillSelectors() {
    for (QComboBox* box : {red_, blue_}) {
        const QSignalBlocker block(box);
        box->clear();
        box->addItem(QStringLiteral("---"), 0);
        for (int c = 1; c < polllog::kColumns; ++c) {
            if (c == kFaultNamesColumn) continue;
            const QString title = c < log_.titles.size() ? log_.titles[c] : tr("Column %1").arg(c + 1);
            box->addItem(title, c);
        }
    }
    red_->setCurrentIndex(red_->findData(kFirstTraceColumn));
    blue_->setCurrentIndex(blue_->findData(kSecondTraceColumn));
}

void PollLogWindow::showColumn(int trace) {
    QComboBox* box = trace == 1 ? red_ : blue_;
    ChartTrace* series = trace == 1 ? chart_->series4() : chart_->series5();
    ChartAxis* axis = series->axis();
    const int column = box->currentData().toInt();
    if (column <= 0 || log_.columns.size() < column) {
        axis->setTitleText(QString());
        axis->setRange(0, 1);
        series->clear();
        return;
    }
    const QList<double>& values = log_.columns[column - 1];
    QList<QPointF> points;
    points.reserve(values.size());
    double top = 0;
    for (qsizetype i = 0; i < values.size(); ++i) {
        points.append(QPointF(double(i), values[i]));
        if (std::isfinite(values[i])) top = std::max(top, values[i]);
    }
    // The axis from 0 up to a round step above the largest value.
    const double step = top > 0 ? chart::tickStep(0, top, 8) : 1;
    axis->setTitleText(box->currentText());
    axis->setRange(0, std::max(step, std::ceil(top / step) * step));
    series->replace(points);
}

void openPollLogWindow(QWidget* parent) {
    const QString filter = QCoreApplication::translate("RecorderChart", "Poll logs (*.csv);;All files (*)");
    const QString path = seams::current().openFileName(
        parent, QCoreApplication::translate("RecorderChart", "Open a poll log"), QStringLiteral("."), filter);
    if (path.isEmpty()) return;
    auto* window = new PollLogWindow(parent);
    QString error;
    if (!window->openFile(path, &error)) {
        delete window;
        seams::errorBox(parent, error);
        return;
    }
    window->show();
    window->raise();
}
