#include "linemonitor/linemonitor.h"

#include "config/tform2.h"
#include "files/files.h"
#include "seams/seams.h"
#include "wait/idle.h"

#include <algorithm>
#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "ports/portswindow.h"

using namespace linemonitor;

namespace {
QPushButton* button(const char* name, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
QLabel* label(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}
} // namespace

LineMonitor::LineMonitor(const LineMonitorLinks& links, QWidget* parent) : QWidget(parent), links_(links) {
    setObjectName(QStringLiteral("LineMonitor"));
    setWindowFlag(Qt::Window);
    resize(1000, 680);
    record_ = links_.record ? links_.record : new ExchangeRecord(this);
    connect(record_, &ExchangeRecord::refreshed, this, &LineMonitor::showCounters);

    auto* top = new QVBoxLayout(this);
    ExchangeView = new QTableView(this);
    ExchangeView->setObjectName(QStringLiteral("ExchangeView"));
    ExchangeView->setModel(record_->model());
    ExchangeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ExchangeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ExchangeView->verticalHeader()->hide();
    ExchangeView->verticalHeader()->setDefaultSectionSize(
        std::max(ExchangeView->fontMetrics().height(), QFontMetrics(hexFont()).height()) + 4);
    ExchangeView->setWordWrap(false);
    {
        // Time, request, outcome, round trip, then the reply (up to 29 bytes) in what is left.
        const QFontMetrics mono(hexFont());
        ExchangeView->setColumnWidth(ExchangeModel::TimeColumn,
                                     mono.horizontalAdvance(QStringLiteral("00:00:00.000")) + 12);
        ExchangeView->setColumnWidth(ExchangeModel::RequestColumn,
                                     mono.horizontalAdvance(QStringLiteral("00 ")) * 8 + 8);
        ExchangeView->setColumnWidth(ExchangeModel::RoundTripColumn,
                                     mono.horizontalAdvance(QStringLiteral("0000.0")) + 12);
        QHeaderView* h = ExchangeView->horizontalHeader();
        h->moveSection(h->visualIndex(ExchangeModel::ReplyColumn), ExchangeModel::ColumnCount - 1);
        h->setStretchLastSection(true);
    }
    top->addWidget(ExchangeView, 1);
    // Following the newest row unless the user scrolled away from the bottom.
    QScrollBar* bar = ExchangeView->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int v) { followNewest_ = v >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int max) {
        if (followNewest_) bar->setValue(max);
    });

    // Counters since connecting.
    auto* counts = new QGridLayout();
    QLabel** values[kCounts] = {&RequestsCount,     &GoodCount,       &NoReplyCount,    &ShortReplyCount,
                                &BadCrcCount,       &OtherReplyCount, &EarlyReplyCount, &ExceptionCount,
                                &OtherFailureCount, &FailureRate};
    const char* names[kCounts] = {
        "RequestsCount",   "GoodCount",       "NoReplyCount",   "ShortReplyCount",   "BadCrcCount",
        "OtherReplyCount", "EarlyReplyCount", "ExceptionCount", "OtherFailureCount", "FailureRate"};
    for (int i = 0; i < kCounts; ++i) {
        countCaptions_[i] = new QLabel(this);
        countCaptions_[i]->setWordWrap(true);
        *values[i] = label(names[i], this);
        (*values[i])->setAlignment(Qt::AlignCenter);
        countCaptions_[i]->setAlignment(Qt::AlignCenter);
        counts->addWidget(countCaptions_[i], 0, i);
        counts->addWidget(*values[i], 1, i);
        counts->setColumnStretch(i, 1);
    }
    top->addLayout(counts);

    auto* buttons = new QHBoxLayout();
    PauseButton = button("PauseButton", this);
    PauseButton->setCheckable(true);
    ClearButton = button("ClearButton", this);
    SaveButton = button("SaveButton", this);
    buttons->addWidget(PauseButton);
    buttons->addWidget(ClearButton);
    buttons->addWidget(SaveButton);
    buttons->addStretch(1);
    buttons->addWidget(makePortsButton(this));
    top->addLayout(buttons);

    // Finding the relay.
    auto* scan = new QGroupBox(this);
    scan->setObjectName(QStringLiteral("ScanBox"));
    auto* scanLayout = new QVBoxLayout(scan);
    auto* scanRow = new QHBoxLayout();
    FindButton = button("FindButton", scan);
    StopButton = button("StopButton", scan);
    AllSpeedsBox = new QCheckBox(scan);
    AllSpeedsBox->setObjectName(QStringLiteral("AllSpeedsBox"));
    ScanProgress = new QProgressBar(scan);
    ScanProgress->setObjectName(QStringLiteral("ScanProgress"));
    ScanProgress->setRange(0, 1);
    ScanProgress->setValue(0);
    scanRow->addWidget(FindButton);
    scanRow->addWidget(StopButton);
    scanRow->addWidget(AllSpeedsBox);
    scanRow->addWidget(ScanProgress, 1);
    scanLayout->addLayout(scanRow);
    ScanStatus = label("ScanStatus", scan);
    ScanStatus->setWordWrap(true);
    scanLayout->addWidget(ScanStatus);
    auto* foundRow = new QHBoxLayout();
    FoundList = new QListWidget(scan);
    FoundList->setObjectName(QStringLiteral("FoundList"));
    FoundList->setMaximumHeight(72);
    UseButton = button("UseButton", scan);
    foundRow->addWidget(FoundList, 1);
    foundRow->addWidget(UseButton, 0, Qt::AlignTop);
    scanLayout->addLayout(foundRow);
    top->addWidget(scan);

    connect(PauseButton, &QPushButton::clicked, this, &LineMonitor::PauseButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &LineMonitor::ClearButtonClick);
    connect(SaveButton, &QPushButton::clicked, this, &LineMonitor::SaveButtonClick);
    connect(FindButton, &QPushButton::clicked, this, &LineMonitor::FindButtonClick);
    connect(StopButton, &QPushButton::clicked, this, &LineMonitor::StopButtonClick);
    connect(UseButton, &QPushButton::clicked, this, &LineMonitor::UseButtonClick);
    connect(FoundList, &QListWidget::currentRowChanged, this, [this] { updateScanButtons(); });
    if (links_.connectButton) {
        connect(links_.connectButton, &QAbstractButton::clicked, this, [this] { updateScanButtons(); });
        links_.connectButton->installEventFilter(this);
    }
    retranslate();
    showCounters();
    updateScanButtons();
}

LineMonitor::~LineMonitor() = default;

void LineMonitor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh(); // what came while the window was closed
    updateScanButtons();
}

void LineMonitor::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QWidget::changeEvent(event);
}

bool LineMonitor::eventFilter(QObject* watched, QEvent* event) {
    // The connect button is enabled exactly while disconnected.
    if (watched == links_.connectButton && event->type() == QEvent::EnabledChange) updateScanButtons();
    return QWidget::eventFilter(watched, event);
}

void LineMonitor::showTitle() {
    const QString target = links_.portTarget ? links_.portTarget() : QString();
    const QString title =
        target.isEmpty() ? tr("Communication monitor") : tr("Communication monitor - %1").arg(target);
    if (windowTitle() != title) setWindowTitle(title);
}

void LineMonitor::retranslate() {
    showTitle();
    const char* captions[kCounts] = {QT_TR_NOOP("Requests"),       QT_TR_NOOP("Good replies"),
                                     QT_TR_NOOP("No reply"),       QT_TR_NOOP("Short reply"),
                                     QT_TR_NOOP("Bad CRC"),        QT_TR_NOOP("Another device"),
                                     QT_TR_NOOP("Early reply"),    QT_TR_NOOP("Exception"),
                                     QT_TR_NOOP("Other failures"), QT_TR_NOOP("Failure rate")};
    for (int i = 0; i < kCounts; ++i)
        countCaptions_[i]->setText(tr(captions[i]));
    PauseButton->setText(tr("Pause"));
    PauseButton->setToolTip(
        tr("Stops the list so it can be read; the counters go on counting and the rows are kept"));
    ClearButton->setText(tr("Clear"));
    SaveButton->setText(tr("Save as text..."));
    if (auto* box = findChild<QGroupBox*>(QStringLiteral("ScanBox")))
        box->setTitle(tr("Finding the relay (only while disconnected)"));
    FindButton->setText(tr("Find the relay"));
    FindButton->setToolTip(tr("Asks bus addresses 1-247 for the relay's variant at the settings' line"));
    StopButton->setText(tr("Stop"));
    AllSpeedsBox->setText(tr("Every speed and parity"));
    UseButton->setText(tr("Put into the settings"));
    for (int i = 0; i < FoundList->count() && i < found_.size(); ++i)
        FoundList->item(i)->setText(foundText(found_[i]));
    record_->model()->retranslate();
    // The outcome column as wide as its longest text in this language.
    int widest = ExchangeView->horizontalHeader()->fontMetrics().horizontalAdvance(tr("Outcome"));
    for (int o = 0; o < kOutcomeCount; ++o)
        widest = std::max(widest, ExchangeView->fontMetrics().horizontalAdvance(outcomeText(Outcome(o))));
    // ... and as the reply from another device and the commonest refusal; a
    // longer one shows whole in its tooltip.
    Row other;
    other.request = QByteArray::fromHex("0303");
    other.reply = QByteArray::fromHex("f703");
    other.outcome = Outcome::OtherAddressOrFunction;
    Row refused;
    refused.reply = QByteArray::fromHex("038302");
    refused.outcome = Outcome::Exception;
    for (const Row& r : {other, refused})
        widest = std::max(widest, ExchangeView->fontMetrics().horizontalAdvance(outcomeText(r)));
    ExchangeView->setColumnWidth(ExchangeModel::OutcomeColumn, widest + 16);
}

void LineMonitor::showCounters() {
    const Counters& c = record_->counters();
    const qint64 v[] = {c.requests,
                        c.count(Outcome::Good),
                        c.count(Outcome::NoReply),
                        c.count(Outcome::ShortReply),
                        c.count(Outcome::BadCrc),
                        c.count(Outcome::OtherAddressOrFunction),
                        c.count(Outcome::EarlyReply),
                        c.count(Outcome::Exception),
                        c.otherFailures()};
    QLabel* labels[] = {RequestsCount,   GoodCount,       NoReplyCount,   ShortReplyCount,  BadCrcCount,
                        OtherReplyCount, EarlyReplyCount, ExceptionCount, OtherFailureCount};
    for (int i = 0; i < kCounts - 1; ++i)
        labels[i]->setText(QString::number(v[i]));
    FailureRate->setText(rateText(c.failureRate(), QLocale()));
}

void LineMonitor::PauseButtonClick() {
    // Paused, the list stands still to be read; the counters still tell the
    // whole line and the rows that come are kept for when it goes on.
    record_->setPaused(PauseButton->isChecked());
}

void LineMonitor::ClearButtonClick() {
    followNewest_ = true;
    record_->clear();
}

void LineMonitor::SaveButtonClick() {
    if (idle::deferred(this, "SaveButton", [this] { SaveButtonClick(); })) return;
    refresh();
    const QString filter = tr("Text files (*.txt)|*.txt|All files (*.*)|*.*");
    const QString chosen =
        seams::current().saveFileName(this, tr("Save the exchanges as text"), QStringLiteral("."), filter);
    if (chosen.isEmpty()) return;
    const QString path = seams::finalSaveName(chosen, filter);
    QString error;
    // Every row kept, those a pause holds back too.
    if (!files::writeWhole(path, textFile(record_->rows(), record_->counters()), &error))
        seams::errorBox(this, error);
}

QString LineMonitor::foundText(const linescan::Found& f) const {
    const linesettings::Line line =
        links_.settings ? linesettings::lineOf(links_.settings->selections()) : linesettings::Line();
    return tr("Address %1, %2: variant %3 (%4)")
        .arg(f.address)
        .arg(linescan::lineText(f.speed.baud, f.speed.parity, line.dataBits, line.stopBits))
        .arg(f.variant)
        .arg(linescan::variantName(f.variant));
}

void LineMonitor::updateScanButtons() {
    showTitle(); // the connect button changed: the port may be another now
    const bool connected = links_.programConnected && links_.programConnected();
    FindButton->setEnabled(!scanning_ && !connected && links_.settings);
    StopButton->setEnabled(scanning_);
    AllSpeedsBox->setEnabled(!scanning_);
    UseButton->setEnabled(!scanning_ && FoundList->currentRow() >= 0 && links_.settings);
}

void LineMonitor::FindButtonClick() {
    if (scanning_ || !links_.settings || (links_.programConnected && links_.programConnected())) return;
    ScanRequest request;
    request.line = linesettings::lineOf(links_.settings->selections());
    request.allSpeeds = AllSpeedsBox->isChecked();
    scanning_ = true;
    stopRequested_ = false;
    found_.clear();
    scanCounters_ = Counters();
    FoundList->clear();
    ScanStatus->clear();
    // The scan holds the port: connecting waits until it ends.
    if (links_.connectButton) links_.connectButton->setEnabled(false);
    updateScanButtons();

    QPointer<LineMonitor> self(this);
    ScanCallbacks callbacks;
    callbacks.keepGoing = [self] {
        return self && self->isVisible() && !self->stopRequested_ &&
               !(self->links_.programConnected && self->links_.programConnected());
    };
    callbacks.progress = [this, line = request.line](int index, int total, const linescan::Step& step) {
        ScanProgress->setRange(0, total);
        ScanProgress->setValue(index);
        ScanStatus->setText(
            tr("Asking address %1 at %2...")
                .arg(step.address)
                .arg(linescan::lineText(step.speed.baud, step.speed.parity, line.dataBits, line.stopBits)));
    };
    callbacks.found = [this](const linescan::Found& f) {
        found_ << f;
        FoundList->addItem(foundText(f));
        if (FoundList->currentRow() < 0) FoundList->setCurrentRow(0);
    };
    // Its exchanges are listed and counted as the program's own, and tallied for the end's status.
    callbacks.exchanged = [record = QPointer<ExchangeRecord>(record_), self](const BusExchange& e) {
        if (record) record->record(e);
        if (self) self->scanCounters_.add(classify(e.request, e.reply, e.outcome));
    };
    QString error;
    const ScanEnd end = runScan(request, callbacks, &error);
    if (!self) return; // the window went away during a wait
    scanning_ = false;
    if (links_.connectButton)
        links_.connectButton->setEnabled(!(links_.programConnected && links_.programConnected()));
    // What the unanswered questions met, when anything but silence came back.
    const QString failures = failuresText(scanCounters_);
    const QString met = scanCounters_.failures() > scanCounters_.count(Outcome::NoReply)
                            ? QLatin1Char(' ') + tr("Failed questions: %1.").arg(failures)
                            : QString();
    switch (end) {
    case ScanEnd::Finished:
        ScanProgress->setValue(ScanProgress->maximum());
        ScanStatus->setText((found_.isEmpty() ? tr("Finished: no relay answered.")
                                              : tr("Finished: %1 found.").arg(found_.size())) +
                            met);
        break;
    case ScanEnd::Stopped:
        ScanStatus->setText(tr("Stopped: %1 found.").arg(found_.size()) + met);
        break;
    case ScanEnd::PortFailed:
        ScanStatus->setText(tr("The port could not be used: %1").arg(error));
        break;
    }
    updateScanButtons();
}

void LineMonitor::StopButtonClick() {
    stopRequested_ = true;
}

void LineMonitor::UseButtonClick() {
    const int i = FoundList->currentRow();
    if (!links_.settings || i < 0 || i >= found_.size()) return;
    const linescan::Found& f = found_[i];
    // Into the dialog's controls; the user saves with OK as usual.
    ini::Selections s = links_.settings->selections();
    s.address = f.address - 1;
    s.speed = linesettings::speedIndexOf(f.speed.baud);
    s.parity = linesettings::parityIndexOf(f.speed.parity);
    links_.settings->setSelections(s);
    links_.settings->show();
    links_.settings->raise();
    links_.settings->activateWindow();
}
