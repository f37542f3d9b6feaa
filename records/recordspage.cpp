// The records of the job: the logging button in ToolBar1's free area, the
// export entries of the fault grid's and the chart's context menus and the
// commissioning report on the setpoint grid's. The rules live in records/*.h;
// these methods gather what the pages show and save it through the file
// module.
#include "records/recordspage.h"

#include "app/tform1.h"
#include "config/languages.h"
#include "config/linesettings.h"
#include "config/tform2.h"
#include "core/link.h"
#include "faults/rules.h"
#include "files/files.h"
#include "journal/journal.h"
#include "protocol/registerbus.h"
#include "records/csv.h"
#include "records/exportrules.h"
#include "records/polllog.h"
#include "records/report.h"
#include "records/reportdialog.h"
#include "records/reportfields.h"
#include "records/sampletimes.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "setpoints/setpointfile.h"
#include "trends/recorderchart.h"
#include "widgets/controls.h"

#include <algorithm>
#include <functional>
#include <QAction>
#include <QActionGroup>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// The sizes a log may be split at, in MB.
constexpr int kLogSplitSizes[] = {1, 10, 100};

QString tx(const char* source) {
    return QCoreApplication::translate("records", source);
}

QString csvFilter() {
    return QCoreApplication::translate("records", "CSV files (*.csv)|*.csv|All files (*.*)|*.*");
}
QString textFilter() {
    return QCoreApplication::translate("records", "Text files (*.txt)|*.txt|All files (*.*)|*.*");
}
QString pngFilter() {
    return QCoreApplication::translate("records", "PNG images (*.png)|*.png|All files (*.*)|*.*");
}
QString pdfFilter() {
    return QCoreApplication::translate("records", "PDF documents (*.pdf)|*.pdf|All files (*.*)|*.*");
}

// The name the user chose in a save dialog with the filter's extension, or empty.
QString askSaveName(QWidget* parent, const QString& caption, const QString& filter) {
    const QString chosen = seams::current().saveFileName(parent, caption, QStringLiteral("."), filter);
    return chosen.isEmpty() ? QString() : seams::finalSaveName(chosen, filter);
}

// Writes a whole export; a failure is said in the error box.
void saveWhole(QWidget* parent, const QString& path, const QByteArray& bytes) {
    QString error;
    if (!files::writeWhole(path, bytes, &error)) seams::errorBox(parent, error);
}

QAction* menuEntry(QWidget* owner, const char* name) {
    auto* a = new QAction(owner);
    a->setObjectName(QLatin1String(name));
    owner->addAction(a);
    owner->setContextMenuPolicy(Qt::ActionsContextMenu);
    return a;
}

// The language chosen in the settings, as a locale (Polish when none).
QLocale chosenLanguage(const TForm1* f) {
    const int index = f->Form2() ? f->Form2()->languageIndex() : 0;
    switch (languages::fromIndex(index)) {
    case languages::English:
        return QLocale(QLocale::English);
    case languages::Russian:
        return QLocale(QLocale::Russian);
    case languages::Polish:
        break;
    }
    return QLocale(QLocale::Polish);
}

// The log's choices, kept for the run on the button's context menu: they
// apply to the next file started.
QAction* logChoice(const QToolButton* button, const char* name) {
    return button->findChild<QAction*>(QLatin1String(name));
}

records::LogOptions chosenLogOptions(const TForm1* f, const QToolButton* button) {
    records::LogOptions o;
    const QAction* point = logChoice(button, "LogDecimalPoint");
    const QAction* comma = logChoice(button, "LogDecimalComma");
    // Until the user picks one, the language's.
    o.decimalSeparator = point && point->isChecked()   ? QLatin1Char('.')
                         : comma && comma->isChecked() ? QLatin1Char(',')
                                                       : records::defaultDecimalSeparator(chosenLanguage(f));
    if (const QAction* daily = logChoice(button, "LogDaily")) o.split.daily = daily->isChecked();
    for (int mb : kLogSplitSizes)
        if (const QAction* a = logChoice(button, qPrintable(QStringLiteral("LogSplit%1MB").arg(mb))))
            if (a->isChecked()) o.split.megabytes = mb;
    o.started = seams::now();
    return o;
}

// Shows a message once no exchange sequence runs, so its box never holds up a tick.
void showWhenIdle(TForm1* f, const QString& message) {
    idle::whenIdle(f, "loggingFailed", [f, message] { seams::errorBox(f, message); });
}

} // namespace

RecordsPage::RecordsPage(TForm1& window, core::Link& link) : QObject(&window), w_(window), link_(link) {
    setObjectName(QStringLiteral("RecordsPage"));
}

QAction* RecordsPage::logAction(const char* name) const {
    return logChoice(LogButton, name);
}

// The label: the file's name cut in the middle where it must be, so that its
// size always shows; what became of the logging is in its tooltip (the
// button says it too).
void RecordsPage::showLogLabel(const QString& path, qint64 size, const QString& stateText) {
    const QString sizeText = records::sizeText(size);
    const QString tail = QCoreApplication::translate("records", "%1: %2").arg(QString(), sizeText);
    const QFontMetrics fm(LogSize->font());
    const int room = std::max(0, LogSize->width() - fm.horizontalAdvance(tail) - 2);
    const QString name = fm.elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle, room);
    LogSize->setText(QCoreApplication::translate("records", "%1: %2").arg(name, sizeText));
    LogSize->setToolTip(QDir::toNativeSeparators(path) +
                        (stateText.isEmpty() ? QString() : QStringLiteral("\n") + stateText));
}

// The button says what is written: rows while the relay is polled, nothing
// while there is no connection.
void RecordsPage::showLogging() {
    const bool polled = link_.driver().IsOpen();
    LogButton->setText(polled ? QCoreApplication::translate("records", "Logging")
                              : QCoreApplication::translate("records", "Log paused"));
    showLogLabel(PollLog1->path(), PollLog1->size(),
                 polled ? QString() : QCoreApplication::translate("records", "no connection"));
}

void RecordsPage::showLoggingOff(const QString& label) {
    LogButton->setChecked(false);
    LogButton->setText(QCoreApplication::translate("records", "Log to file"));
    LogSize->setText(label);
    for (const char* name : {"LogDecimalComma", "LogDecimalPoint"})
        if (QAction* a = logAction(name)) a->setEnabled(true);
}

// A write of the log failed: logging stops, the poll goes on.
void RecordsPage::loggingFailed(const QString& error) {
    showLoggingOff(QCoreApplication::translate("records", "Logging stopped"));
    LogSize->setToolTip(error);
    const QString message = error + QLatin1Char('\n') +
                            QCoreApplication::translate("records", "Logging has stopped; the poll goes on.");
    TForm1* f = &w_;
    QTimer::singleShot(0, f, [f, message] { showWhenIdle(f, message); });
}

// Adds an event row to the log when it is on; a failed write ends the logging.
void RecordsPage::logEvent(const std::function<bool(QString*)>& write) {
    if (!PollLog1 || !PollLog1->isOn()) return;
    QString error;
    if (!write(&error)) {
        loggingFailed(error);
        return;
    }
    showLogging();
}

// The texts of the records' controls in the current language.
void RecordsPage::translateTexts() {
    if (PollLog1->isOn())
        showLogging();
    else
        LogButton->setText(QCoreApplication::translate("records", "Log to file"));
    LogButton->setToolTip(QCoreApplication::translate(
        "records", "Writes every good measurement read to a CSV file until clicked again; "
                   "right-click for the file's choices"));
    if (!PollLog1->isOn() && !LogSize->text().isEmpty() && LogSize->property("vrkLogStopped").toBool())
        showLogLabel(LogSize->property("vrkLogPath").toString(), LogSize->property("vrkLogSize").toLongLong(),
                     QCoreApplication::translate("records", "stopped"));
    else if (!PollLog1->isOn() && !LogSize->text().isEmpty())
        LogSize->setText(QCoreApplication::translate("records", "Logging stopped"));
    const std::pair<const char*, const char*> entries[] = {
        {"ExportFaultsCsv", QT_TRANSLATE_NOOP("records", "Export the fault log as CSV...")},
        {"ExportFaultsText", QT_TRANSLATE_NOOP("records", "Export the fault log as text...")},
        {"ExportChartPng", QT_TRANSLATE_NOOP("records", "Save the chart as a picture (PNG)...")},
        {"ExportChartCsv", QT_TRANSLATE_NOOP("records", "Export the shown history as CSV...")},
        {"CommissioningReport", QT_TRANSLATE_NOOP("records", "Commissioning report (PDF)...")},
        {"LogDecimalComma", QT_TRANSLATE_NOOP("records", "Decimal comma in the next file")},
        {"LogDecimalPoint", QT_TRANSLATE_NOOP("records", "Decimal point in the next file")},
        {"LogDaily", QT_TRANSLATE_NOOP("records", "A new file each day")},
        {"LogSplitNever", QT_TRANSLATE_NOOP("records", "No new file by size")},
    };
    for (const auto& [name, text] : entries)
        if (auto* a = w_.findChild<QAction*>(QLatin1String(name))) a->setText(tx(text));
    for (int mb : kLogSplitSizes)
        if (auto* a = w_.findChild<QAction*>(QStringLiteral("LogSplit%1MB").arg(mb)))
            a->setText(QCoreApplication::translate("records", "A new file every %1 MB").arg(mb));
    // The separator follows the language until the user picks one.
    if (!LogButton->property("vrkLogSeparatorChosen").toBool()) {
        const bool point = records::defaultDecimalSeparator(chosenLanguage(&w_)) == QLatin1Char('.');
        if (QAction* a = logAction(point ? "LogDecimalPoint" : "LogDecimalComma")) a->setChecked(true);
    }
}

// Follows the language chosen in the settings.
bool RecordsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &w_ && event->type() == QEvent::LanguageChange) {
        translateTexts();
        w_.journalPage().translateTexts();
        // The language the log's rows are in, since its start or its last change.
        const QString language = chosenLanguage(&w_).nativeLanguageName();
        if (PollLog1->isOn() && language != LogButton->property("vrkLogLanguage").toString()) {
            LogButton->setProperty("vrkLogLanguage", language);
            logEvent([this, language](QString* error) {
                return PollLog1->addLanguageChange(seams::now(), language, error);
            });
        }
    }
    return false;
}

// The log's choices on the context menu of the button and the label.
void RecordsPage::buildLogChoices() {
    const auto add = [this](QActionGroup* group, const char* name) {
        auto* a = new QAction(LogButton);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        if (group) group->addAction(a);
        LogSize->addAction(a);
        return a;
    };
    const auto separator = [this] {
        auto* s = new QAction(LogButton);
        s->setSeparator(true);
        LogSize->addAction(s);
    };
    auto* separators = new QActionGroup(LogButton);
    for (const char* name : {"LogDecimalComma", "LogDecimalPoint"})
        connect(add(separators, name), &QAction::triggered, &w_,
                [this] { LogButton->setProperty("vrkLogSeparatorChosen", true); });
    separator();
    add(nullptr, "LogDaily");
    auto* sizes = new QActionGroup(LogButton);
    add(sizes, "LogSplitNever")->setChecked(true);
    for (int mb : kLogSplitSizes)
        add(sizes, qPrintable(QStringLiteral("LogSplit%1MB").arg(mb)));
    // The button shows the label's menu: actions of its own would make a
    // press held on it open them instead of starting the log.
    LogSize->setContextMenuPolicy(Qt::ActionsContextMenu);
    LogButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LogButton, &QWidget::customContextMenuRequested, &w_, [this](const QPoint& pos) {
        QMenu::exec(LogSize->actions(), LogButton->mapToGlobal(pos), nullptr, LogButton);
    });
}

QAction* RecordsPage::addLogMenuEntry(const char* name) {
    auto* a = new QAction(LogSize);
    a->setObjectName(QLatin1String(name));
    LogSize->addAction(a);
    LogSize->setContextMenuPolicy(Qt::ActionsContextMenu);
    return a;
}

void RecordsPage::build() {
    PollLog1 = new records::PollLog(&w_);
    RecordsSince = seams::now();
    PollLog1->failed = [this](const QString& error) { loggingFailed(error); };
    // ToolBar1's free area between the settings button and the logo.
    QFrame* bevel = w_.ToolBar1->findChild<QFrame*>(QStringLiteral("Bevel1"));
    QWidget* area = bevel ? static_cast<QWidget*>(bevel) : w_.ToolBar1;
    LogButton = new QToolButton(area);
    LogButton->setObjectName(QStringLiteral("LogButton"));
    LogButton->setCheckable(true);
    QFont f = LogButton->font();
    f.setPixelSize(12);
    LogButton->setFont(f);
    LogButton->setText(QCoreApplication::translate("records", "Log to file"));
    LogButton->setToolTip(QCoreApplication::translate(
        "records", "Writes every good measurement read to a CSV file until clicked again"));
    LogButton->setGeometry(4, 4, 120, 27);
    LogSize = new QLabel(area);
    LogSize->setObjectName(QStringLiteral("LogSize"));
    LogSize->setFont(f);
    LogSize->setGeometry(130, 4, 188, 27); // the communication monitor's button from x 322
    LogSize->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(LogButton, &QToolButton::clicked, this, &RecordsPage::LogButtonClick);
    PollLog1->continued = [this](const QString&) { showLogging(); };
    buildLogChoices();

    QWidget* faultGrid = &w_.faultPage().grid();
    QWidget* chart = &w_.chartPage().chart();
    // The setpoint grid's entry comes after the grid's own; translateTexts() gives every entry its text.
    const struct {
        QWidget* owner;
        const char* name;
        void (RecordsPage::*slot)();
    } entries[] = {
        {faultGrid, "ExportFaultsCsv", &RecordsPage::exportFaultLogCsv},
        {faultGrid, "ExportFaultsText", &RecordsPage::exportFaultLogText},
        {chart, "ExportChartPng", &RecordsPage::exportChartPng},
        {chart, "ExportChartCsv", &RecordsPage::exportChartCsv},
        {&w_.setpointPage().grid(), "CommissioningReport", &RecordsPage::commissioningReport},
    };
    for (const auto& e : entries)
        connect(menuEntry(e.owner, e.name), &QAction::triggered, this, e.slot);
    translateTexts();
    w_.installEventFilter(this);
}

void RecordsPage::LogButtonClick() {
    if (idle::deferred(&w_, "LogButtonClick", [this] { LogButtonClick(); })) return;
    if (!LogButton->isChecked()) {
        const QString path = PollLog1->path();
        const qint64 size = PollLog1->size();
        QString error;
        if (!PollLog1->stop(&error)) {
            loggingFailed(error);
            return;
        }
        showLoggingOff(QString());
        // The file stays named, with its size, once it is closed.
        LogSize->setProperty("vrkLogStopped", true);
        LogSize->setProperty("vrkLogPath", path);
        LogSize->setProperty("vrkLogSize", size);
        showLogLabel(path, size, QCoreApplication::translate("records", "stopped"));
        return;
    }
    LogButton->setChecked(false); // down only once the file is open
    idle::whenIdle(&w_, "LogButtonClick", [this] { startLogging(); });
}

void RecordsPage::startLogging() {
    const int address = w_.Form2() ? w_.Form2()->busAddress() : 0;
    const QString suggested =
        QDir::current().filePath(records::suggestedLogName(address, seams::now().date()));
    const QString chosen = seams::current().saveFileName(
        &w_, QCoreApplication::translate("records", "Log the poll to"), suggested, csvFilter());
    if (chosen.isEmpty() || PollLog1->isOn()) return;
    const QString path = seams::finalSaveName(chosen, csvFilter());
    QString error;
    if (!PollLog1->start(path, chosenLogOptions(&w_, LogButton), &error)) {
        seams::errorBox(&w_, error);
        return;
    }
    LogSize->setProperty("vrkLogStopped", false);
    LogButton->setProperty("vrkLogLanguage", chosenLanguage(&w_).nativeLanguageName());
    LogButton->setChecked(true);
    // One separator in the whole file: chosen with it, fixed while it is written.
    for (const char* name : {"LogDecimalComma", "LogDecimalPoint"})
        if (QAction* a = logAction(name)) a->setEnabled(false);
    showLogging();
}

void RecordsPage::logPoll(int lostBefore) {
    if (!PollLog1 || !PollLog1->isOn()) return;
    records::LogContext c;
    c.variant = w_.dataPage().state().relayVariant;
    for (int i = 0; i < records::kFaultBits; ++i)
        c.faultNames[size_t(i)] = w_.dataPage().lampCaption(i);
    QString error;
    if (!PollLog1->addRow(seams::now(), w_.dataPage().state().registers, lostBefore, c, &error)) {
        loggingFailed(error);
        return;
    }
    // The size about once a second, at five polls a second.
    if (PollLog1->rows() % 5 == 1) showLogging();
}

void RecordsPage::logConnect() {
    const QString where = QCoreApplication::translate("records", "%1, address %2")
                              .arg(link_.driver().PortName())
                              .arg(w_.Form2() ? w_.Form2()->busAddress() : 0);
    logEvent([this, where](QString* error) {
        return PollLog1->addEvent(seams::now(), records::LogEvent::Connected, where, error);
    });
}

void RecordsPage::logDisconnect() {
    const TSerialDriver& driver = link_.driver();
    if (!PollLog1 || !PollLog1->isOn() || !driver.IsOpen()) return;
    const int lost = w_.dataPage().state().lostReads;
    // Why: the reads the poll lost in a row, a lost network connection, or the user.
    QString reason;
    if (lost >= relay::kLostReadsLimit)
        reason = display::dropReason(w_.dataPage().state().failedReads);
    else if (driver.error() != TSerialDriver::Error::NoError)
        reason = driver.errorString();
    else
        reason = QCoreApplication::translate("records", "disconnected by the user");
    logEvent([this, reason, lost](QString* error) {
        return PollLog1->addDisconnect(seams::now(), reason, lost, error);
    });
    // The port closes right after this: the button says so then.
    QTimer::singleShot(0, &w_, [this] {
        if (PollLog1->isOn()) showLogging();
    });
}

// ---- fault log

namespace {
faults::BlockStates faultStates(const TForm1& f) {
    return faults::statesNow(f.faultPage().state().faultBlocksFresh, f.faultPage().state().faultBlocksRead);
}

// The trips as the grid lists them, each with what the grid marks: a row from
// an earlier read, a corrupt or future record.
QList<records::ListedTrip> listedTrips(const TForm1& f) {
    faults::FaultBytes sorted = f.faultPage().state().faultBuffer;
    std::array<int, faults::kRecords> origins{};
    const faults::FaultRecords listed = faults::sortBuffer(
        sorted, faults::currentMonthNumber(f.dataPage().clockState().currentMonth), &origins);
    QList<records::ListedTrip> trips =
        records::listedTrips(listed, [&f](int c, int r) { return f.faultPage().grid().cell(c, r); });
    const faults::BlockStates states = faultStates(f);
    for (records::ListedTrip& t : trips) {
        const int n = t.number.toInt() - 1;
        if (n < 0 || n >= faults::kRecords) continue;
        t.stale = states[size_t(faults::blockOfSlot(origins[size_t(n)]))] != faults::BlockState::Fresh;
        // The grid's own marker, taken from the causes.
        for (const faults::RecordProblem p :
             {faults::RecordProblem::Corrupt, faults::RecordProblem::Future}) {
            const QString marker = faults::problemMarker(p);
            if (t.row.cause.endsWith(marker)) {
                t.problem = p;
                t.row.cause.chop(marker.size());
            }
        }
    }
    return trips;
}
} // namespace

void RecordsPage::exportFaultLogCsv() {
    if (idle::deferred(&w_, "exportFaultLogCsv", [this] { exportFaultLogCsv(); })) return;
    const QString path =
        askSaveName(&w_, QCoreApplication::translate("records", "Export the fault log"), csvFilter());
    if (path.isEmpty()) return;
    saveWhole(&w_, path, records::csvFile(records::faultCsvLines(listedTrips(w_), faultStates(w_))));
}

void RecordsPage::exportFaultLogText() {
    if (idle::deferred(&w_, "exportFaultLogText", [this] { exportFaultLogText(); })) return;
    const QString path =
        askSaveName(&w_, QCoreApplication::translate("records", "Export the fault log"), textFilter());
    if (path.isEmpty()) return;
    const QString title = QCoreApplication::translate("records", "Fault log, %1")
                              .arg(QLocale().toString(seams::now(), QLocale::ShortFormat));
    saveWhole(&w_, path, records::textFileBytes(records::faultText(listedTrips(w_), title, faultStates(w_))));
}

// ---- chart

namespace {

// The port as the user knows it, and where it leads when that differs.
QString portText(const TSerialDriver& d) {
    if (d.isNetwork()) return d.targetText();
    QString name = d.PortName();
    if (name.startsWith(QLatin1String("\\\\.\\"))) name = name.mid(4);
    const QString device = d.devicePathInUse();
    return device.isEmpty() || device == name ? name : QStringLiteral("%1 (%2)").arg(name, device);
}

QString lineText(const TSerialDriver& d) {
    const uint32_t baud = d.BaudRateValue() ? d.BaudRateValue() : TSerialDriver::BaudValueOf(d.BaudRate());
    return linescan::lineText(baud, d.Parity(), d.DataBits(), d.StopBits());
}

// A band above the chart naming what it shows, and one below with the
// clock time of the samples under the plot.
QImage stampedChart(const QImage& chart, const RecorderChart& c, const records::SampleTimes* times,
                    const QString& heading) {
    const qreal scale = chart.devicePixelRatio();
    const QSize size = chart.deviceIndependentSize().toSize();
    QFont font = c.font();
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    const int band = fm.height() + 8;
    // The heading wraps rather than lose a part of the relay's name.
    const QRect headingBox =
        fm.boundingRect(QRect(6, 0, size.width() - 12, 10000), Qt::TextWordWrap, heading);
    const int top = headingBox.height() + 8;
    QImage out(QSize(size.width(), top + size.height() + band) * scale, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(scale);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(6, 4, size.width() - 12, top - 4), Qt::TextWordWrap, heading);
    p.drawImage(QPoint(0, top), chart);
    const int axisY = top + size.height();
    if (times) {
        const QRect plot = c.plotRect();
        const recorder::chart::View view = c.view();
        const QRectF area(QPointF(plot.topLeft()), QPointF(plot.bottomRight()));
        const int from = std::max(0, recorder::chart::viewSampleAt(plot.left(), view, area));
        const int to =
            std::min(recorder::kSamples - 1, recorder::chart::viewSampleAt(plot.right(), view, area));
        const int labelWidth = fm.horizontalAdvance(QStringLiteral("00:00:00"));
        const int ticks = std::clamp(plot.width() / (labelWidth * 2), 2, 8);
        p.drawLine(plot.left(), axisY + 1, plot.right(), axisY + 1);
        int lastRight = -1000;
        for (const records::TimeTick& t : records::timeTicks(*times, from, to, ticks)) {
            const int x = qRound(recorder::chart::viewX(t.index, view, area));
            QRect box(x - labelWidth / 2 - 2, axisY + 5, labelWidth + 4, band - 5);
            box.moveLeft(std::clamp(box.left(), 0, size.width() - box.width()));
            if (box.left() <= lastRight + 4) continue; // samples close together: one label
            p.drawLine(x, axisY + 1, x, axisY + 5);
            p.drawText(box, Qt::AlignCenter, t.label);
            lastRight = box.right();
        }
    }
    p.end();
    return out;
}

} // namespace

QString TForm1::relayText() const {
    const int address = Form2() ? Form2()->busAddress() : 0;
    return QCoreApplication::translate("records", "address %1 on %2")
        .arg(address)
        .arg(portText(*SerialDriver1));
}

void RecordsPage::exportChartPng() {
    if (idle::deferred(&w_, "exportChartPng", [this] { exportChartPng(); })) return;
    const QString path =
        askSaveName(&w_, QCoreApplication::translate("records", "Save the chart"), pngFilter());
    if (path.isEmpty()) return;
    RecorderChart& chart = w_.chartPage().chart();
    const records::SampleTimes& times = w_.chartPage().sampleTimes();
    // What is on screen, drawn again at twice the pixels for print.
    constexpr qreal kPrintScale = 2;
    QImage image(chart.size() * kPrintScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPrintScale);
    image.fill(Qt::white);
    static_cast<QWidget*>(&chart)->render(&image); // the widget as shown, whatever draws it
    // Live samples carry their times and relay; a recording from a file has neither.
    const bool live = chart.title().isEmpty();
    QString heading;
    if (live && times.count() > 0) {
        const QDateTime first = times.at(times.firstTaken());
        const QDateTime last = times.at(recorder::kSamples - 1);
        heading =
            QCoreApplication::translate("records", "Relay %1, %2, %3 to %4")
                .arg(times.relays().join(QStringLiteral(" / ")),
                     QLocale().toString(first.date(), QLocale::LongFormat),
                     first.toString(QStringLiteral("HH:mm:ss")), last.toString(QStringLiteral("HH:mm:ss")));
    } else if (live) {
        heading = QCoreApplication::translate("records", "No samples have been taken yet.");
    } else {
        heading = chart.title() + QStringLiteral("   ") +
                  QCoreApplication::translate("records", "(a recording keeps no times)");
    }
    image = stampedChart(image, chart, live ? &times : nullptr, heading);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        seams::errorBox(
            &w_, QCoreApplication::translate("records", "The chart could not be made into a picture."));
        return;
    }
    saveWhole(&w_, path, buffer.data());
}

void RecordsPage::exportChartCsv() {
    if (idle::deferred(&w_, "exportChartCsv", [this] { exportChartCsv(); })) return;
    const QString path =
        askSaveName(&w_, QCoreApplication::translate("records", "Export the shown history"), csvFilter());
    if (path.isEmpty()) return;
    // The chart's title names a recording opened from a file; empty, it shows the live history.
    const bool live = w_.chartPage().chart().title().isEmpty();
    const History& shown = live ? w_.chartPage().state().recorderHistory : w_.chartPage().state().fileHistory;
    saveWhole(
        &w_, path,
        records::csvFile(records::chartCsvLines(shown, live ? &w_.chartPage().sampleTimes() : nullptr)));
}

// ---- commissioning report

void RecordsPage::commissioningReport() {
    // Run from a call of its own, never inside a poll tick's wait: the report
    // reads the relay's clock.
    if (idle::deferred(&w_, "commissioningReport", [this] { commissioningReport(); })) return;
    records::ReportData d;
    // Who, where and which motor: what was entered last comes back.
    const QString fieldsPath = records::visitFieldsPath();
    QString error;
    records::VisitFields kept;
    if (!records::loadVisitFields(fieldsPath, &kept, &error)) seams::errorBox(&w_, error);
    const std::optional<records::VisitFields> visit = records::ReportDialog::ask(&w_, kept);
    if (!visit) return;
    d.visit = *visit;
    if (d.visit != kept && !records::saveVisitFields(fieldsPath, d.visit, &error))
        seams::errorBox(&w_, error);

    const QString compare = seams::current().openFileName(
        &w_, QCoreApplication::translate("records", "Setpoint file to compare with (Cancel: none)"),
        QStringLiteral("."), setpoints::kOpenFilter);
    QStringList compareLines;
    if (!compare.isEmpty()) {
        const setpoints::SetpointFileRead file = setpoints::readSetpointFile(compare);
        if (!file.ok) {
            seams::errorBox(&w_, file.error);
            return;
        }
        d.compareFile = QFileInfo(compare).fileName();
        compareLines = file.lines;
    }
    const QString path = askSaveName(
        &w_, QCoreApplication::translate("records", "Save the commissioning report"), pdfFilter());
    if (path.isEmpty()) return;

    // The measured values and the relay's clock, read for the report.
    d.connected = link_.driver().IsOpen();
    if (d.connected && !w_.exchangeBusy()) {
        SequenceGuard guard(&w_);
        RegisterBus& bus = link_.bus();
        if (bus.Czytaj(1, 12) && bus.RegisterValues.size() >= 12) {
            d.measurement = bus.RegisterValues.mid(0, 12);
            d.measuredAt = seams::now();
        }
        constexpr int kClockRegister = setpoints::kFirstRegister + setpoints::kDateRow; // 24, then 25
        if (bus.Czytaj(kClockRegister, 2) && bus.RegisterValues.size() >= 2) {
            const qint32 date = bus.RegisterValues.at(0), time = bus.RegisterValues.at(1);
            d.clockReadAt = seams::now();
            d.clock = records::relayClock(date, time);
        }
    }
    d.created = seams::now();
    d.programVersion = QCoreApplication::applicationVersion();
    d.port = portText(link_.driver());
    d.line = lineText(link_.driver());
    const QVector<qint32>& image = w_.setpointPage().state().setpointImage;
    d.variant = image.size() > setpoints::kVariantRow ? image.at(setpoints::kVariantRow)
                                                      : w_.dataPage().state().relayVariant;
    d.busAddress = w_.Form2() ? w_.Form2()->busAddress() : 0;
    for (int r = 0; r < setpoints::kRows; ++r) {
        d.names << w_.setpointPage().grid().cell(1, r);
        d.hints << w_.setpointPage().grid().cell(2, r);
    }
    d.setpointImage = w_.setpointPage().state().setpointImage;
    d.setpointsReadAt = w_.setpointPage().state().source.relay.readAt;
    if (!compare.isEmpty())
        d.comparison = setpoints::compareWithFile(compareLines, w_.setpointPage().state().setpointImage);
    d.actions = visitActions(&d.actionsError);
    d.faultsRead = w_.faultPage().state().faultBlocksRead != 0;
    d.faultsReadAt = w_.faultPage().state().source.relay.readAt;
    d.faultStates = faultStates(w_);
    d.trips = listedTrips(w_);
    saveWhole(&w_, path, records::reportPdf(d));
}

// The changes made on this relay since the window started, as the service
// journal holds them; nothing when the journal cannot be read (*error says why).
std::optional<QList<records::VisitAction>> RecordsPage::visitActions(QString* error) const {
    journal::Contents contents;
    if (!journal::read(journal::defaultPath(), &contents, error)) return std::nullopt;
    const int address = w_.Form2() ? w_.Form2()->busAddress() : 0;
    QList<records::VisitAction> out;
    for (const journal::Row& r : contents.rows)
        if (r.source == QLatin1String("vrk") && r.time >= RecordsSince && r.address == address &&
            r.port == link_.driver().PortName())
            out << records::VisitAction{r.time, r.action, r.parameter, r.before, r.sent, r.state};
    return out;
}
