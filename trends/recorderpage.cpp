#include "trends/recorderpage.h"

#include "seams/seams.h"
#include "trends/polllogwindow.h"
#include "trends/recorderchart.h"
#include "wait/idle.h"
#include "widgets/controls.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QProxyStyle>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QStringList kItems = {QStringLiteral("---"), QStringLiteral("Ir"), QStringLiteral("Is"),
                            QStringLiteral("It"),  QStringLiteral("Ur"), QStringLiteral("Us"),
                            QStringLiteral("Ut"),  QStringLiteral("Q"),  QStringLiteral("Cos"),
                            QStringLiteral("P")};

QToolButton* panelButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setFixedSize(69, 20);
    return b;
}

// Round indicators of 12 pixels, one text line high.
class SelectorItemStyle final : public QProxyStyle {
public:
    static constexpr int kIndicator = 12;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_ExclusiveIndicatorWidth || metric == PM_ExclusiveIndicatorHeight) return kIndicator;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// A trace selector: ten items in one column inside a 69-pixel panel that
// leaves each selector about 148 pixels. The caption sits on the frame's top
// line and the indicators are a little smaller than usual, so every item has
// a row of one text line to itself, inside the frame.
class TraceSelector final : public RadioGroup {
public:
    TraceSelector(const QString& name, const QString& caption, QWidget* parent)
        : RadioGroup(name, caption, kItems, parent), itemStyle_(new SelectorItemStyle) {
        // A child made after the items, so destroyed after them.
        itemStyle_->setParent(this);
        for (int i = 0; i < count(); ++i)
            button(i)->setStyle(itemStyle_);
        applyMargins();
    }

protected:
    void changeEvent(QEvent* event) override {
        // The group box sets its style's margins again on a font or style change.
        RadioGroup::changeEvent(event);
        applyMargins();
        layoutItems();
    }
    void resizeEvent(QResizeEvent* event) override {
        QGroupBox::resizeEvent(event);
        applyMargins();
        layoutItems();
    }
    void paintEvent(QPaintEvent*) override {
        // Drawn here rather than by the style, which would put the frame below
        // the caption and take a text line from the items.
        QPainter p(this);
        const QFontMetrics fm(font());
        p.setPen(palette().color(QPalette::Mid));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, fm.height() / 2 + 0.5, -0.5, -0.5), 2, 2);
        const QRect caption(kCaptionIndent, 0, fm.horizontalAdvance(title()) + 4, fm.height());
        p.fillRect(caption, palette().window());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, title());
    }

private:
    static constexpr int kCaptionIndent = 4;
    SelectorItemStyle* itemStyle_;

    void applyMargins() { setContentsMargins(4, fontMetrics().height(), 2, 2); }
    void layoutItems() {
        const QRect area = contentsRect();
        const int n = std::max(1, count());
        const int step = std::max(1, area.height() / n);
        const int top = area.top() + (area.height() - step * n) / 2;
        for (int i = 0; i < count(); ++i)
            button(i)->setGeometry(area.left(), top + i * step, area.width(), step);
    }
};

RadioGroup* selector(const QString& name, const QString& caption, const QColor& colour, int item,
                     QWidget* parent) {
    auto* g = new TraceSelector(name, caption, parent);
    QPalette pal = g->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::ButtonText, colour);
    pal.setColor(QPalette::Text, colour);
    g->setPalette(pal);
    QFont f = g->font();
    f.setPixelSize(11);
    g->setFont(f);
    g->setFixedWidth(69);
    g->setItemIndex(item);
    return g;
}

} // namespace

RecorderControls buildRecorderControls(QWidget* page) {
    RecorderControls c;
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    c.chart = new RecorderChart(page);
    c.chart->setMinimumSize(200, 150);
    row->addWidget(c.chart, 1);

    auto* panel = new QWidget(page);
    panel->setObjectName(QStringLiteral("ChartButtonPanel"));
    panel->setFixedWidth(69);
    row->addWidget(panel);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    c.pause = panelButton(QStringLiteral("SpeedButton8"), QStringLiteral("Pauza"), panel);
    c.pause->setCheckable(true);
    c.pause->setChecked(true);
    c.open = panelButton(QStringLiteral("SpeedButton13"), QStringLiteral("Odczytaj"), panel);
    c.save = panelButton(QStringLiteral("SpeedButton14"), QStringLiteral("Zapisz"), panel);
    c.trace1 = selector(QStringLiteral("RadioGroup1"), QStringLiteral("Wykres1"), Qt::red, 1, panel);
    c.trace2 = selector(QStringLiteral("RadioGroup2"), QStringLiteral("Wykres2"), Qt::blue, 4, panel);
    col->addWidget(c.pause);
    col->addWidget(c.open);
    col->addWidget(c.save);
    col->addWidget(c.trace1, 1);
    col->addWidget(c.trace2, 1);
    return c;
}

RecorderPage::RecorderPage(const RecorderControls& controls, recorder::History& live, recorder::History& file,
                           std::function<QString(int)> labelText, QWidget* window)
    : c_(controls), live_(live), file_(file), labelText_(std::move(labelText)), window_(window) {
    // The window by value: the chart's menu outlives a page made for one call.
    c_.chart->openPollLog = [w = window_] {
        idle::whenIdle(w, "openPollLog", [w] { openPollLogWindow(w); });
    };
}

RecorderPage::Trace RecorderPage::trace(int n) const {
    if (n == 1) return {c_.trace1, c_.chart->series4(), c_.chart->leftAxis()};
    return {c_.trace2, c_.chart->series5(), c_.chart->rightAxis()};
}

void RecorderPage::draw(ChartTrace* series, const recorder::Channel* samples) {
    // The trace is replaced whole: it holds no points or all 500.
    if (samples)
        series->replace(recorder::tracePoints(*samples));
    else
        series->clear();
}

void RecorderPage::takeSample(const std::array<int, 12>& regs) {
    recorder::appendSample(live_, recorder::sampleFromRegisters(regs));
    for (int n = 1; n <= 2; ++n) {
        const Trace t = trace(n);
        draw(t.series, recorder::channelForItem(live_, t.group->itemIndex()));
    }
}

void RecorderPage::setupAxis(int n) {
    const Trace t = trace(n);
    const int item = t.group->itemIndex();
    t.axis->setTitleText(recorder::axisTitle(item, labelText_));
    t.axis->setRange(0, recorder::axisSetup(item).maximum);
}

void RecorderPage::redrawTrace(int n) {
    setupAxis(n);
    const Trace t = trace(n);
    const recorder::History& source = c_.chart->title().isEmpty() ? live_ : file_;
    draw(t.series, recorder::channelForItem(source, t.group->itemIndex()));
}

void RecorderPage::clearTrace(int n) {
    trace(n).series->clear();
    recorder::clearHistory(live_);
}

void RecorderPage::setPauseDown(bool down) {
    // setChecked does not send clicked(), so the pause handler does not run.
    c_.pause->setChecked(down);
    c_.pause->setText(labelText_(down ? 68 : 69));
}

void RecorderPage::pauseClicked() {
    if (c_.pause->isChecked()) {
        c_.pause->setText(labelText_(68));
        c_.chart->setTitle(QString());
        redrawTrace(1);
        redrawTrace(2);
    } else {
        c_.pause->setText(labelText_(69));
    }
}

void RecorderPage::saveRecording() {
    const bool wasRecording = c_.pause->isChecked();
    // Up while the dialog is open: the poll takes no sample meanwhile.
    setPauseDown(false);
    const QString chosen =
        seams::current().saveFileName(window_, QString(), QStringLiteral("."), recorder::recordingFilter());
    if (!chosen.isEmpty()) {
        QString error;
        if (!recorder::writeRecording(recorder::recordingSaveName(chosen), live_, &error))
            seams::errorBox(window_, error);
    }
    setPauseDown(wasRecording);
}

void RecorderPage::openRecording() {
    const QString chosen =
        seams::current().openFileName(window_, QString(), QStringLiteral("."), recorder::recordingFilter());
    if (chosen.isEmpty()) return;
    recorder::clearHistory(file_);
    recorder::RecordingFile f;
    if (!f.open(chosen)) {
        // A file shown until now went with the cleared history: its title and
        // traces go too, so no later redraw shows zeros under a file's name.
        if (!c_.chart->title().isEmpty()) {
            c_.chart->setTitle(QString());
            c_.chart->series4()->clear();
            c_.chart->series5()->clear();
        }
        seams::errorBox(window_, f.errorString());
        return;
    }
    setPauseDown(false);
    c_.chart->series4()->clear();
    c_.chart->series5()->clear();
    c_.chart->setTitle(QStringLiteral("Wykres z pliku: ") + QFileInfo(chosen).absoluteFilePath());
    bool invalid = false;
    const bool readOk = f.read(file_, &invalid);
    f.close();
    if (readOk && !invalid) {
        redrawTrace(1);
        redrawTrace(2);
        return;
    }
    // Refused, or failed half-way: the title goes, so nothing can later be
    // drawn from a partial recording under a file's name.
    c_.chart->setTitle(QString());
    c_.chart->series4()->clear();
    c_.chart->series5()->clear();
    if (!readOk) seams::errorBox(window_, f.errorString());
}
