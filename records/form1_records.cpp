// The main window's records of the job: the logging button in ToolBar1's
// free area, the export entries of the fault grid's and the chart's context
// menus and the commissioning report on the setpoint grid's. The rules live
// in records/*.h; these methods gather what the pages show and save it
// through the file module.
#include "app/tform1.h"
#include "config/tform2.h"
#include "faults/rules.h"
#include "files/files.h"
#include "records/csv.h"
#include "records/exportrules.h"
#include "records/polllog.h"
#include "records/report.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "setpoints/setpointfile.h"
#include "trends/recorderchart.h"
#include "widgets/controls.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

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

QAction* menuEntry(QWidget* owner, const char* name, const QString& text) {
    auto* a = new QAction(text, owner);
    a->setObjectName(QLatin1String(name));
    owner->addAction(a);
    owner->setContextMenuPolicy(Qt::ActionsContextMenu);
    return a;
}

// The button and the label while logging.
void showLogging(TForm1* f) {
    f->LogSize->setText(
        QCoreApplication::translate("records", "%1: %2")
            .arg(QFileInfo(f->PollLog1->path()).fileName(), records::sizeText(f->PollLog1->size())));
}

void showLoggingOff(TForm1* f, const QString& label) {
    f->LogButton->setChecked(false);
    f->LogButton->setText(QCoreApplication::translate("records", "Log to file"));
    f->LogSize->setText(label);
}

// Shows a message once no exchange sequence runs, so its box never holds up a tick.
void showWhenIdle(TForm1* f, const QString& message) {
    idle::whenIdle(f, "loggingFailed", [f, message] { seams::errorBox(f, message); });
}

// A write of the log failed: logging stops, the poll goes on.
void loggingFailed(TForm1* f, const QString& error) {
    showLoggingOff(f, QCoreApplication::translate("records", "Logging stopped"));
    const QString message = error + QLatin1Char('\n') +
                            QCoreApplication::translate("records", "Logging has stopped; the poll goes on.");
    QTimer::singleShot(0, f, [f, message] { showWhenIdle(f, message); });
}

// The texts of the records' controls in the current language.
void translateRecordTexts(TForm1* f) {
    f->LogButton->setText(f->LogButton->isChecked() ? QCoreApplication::translate("records", "Logging")
                                                    : QCoreApplication::translate("records", "Log to file"));
    f->LogButton->setToolTip(QCoreApplication::translate(
        "records", "Writes every good measurement read to a CSV file until clicked again"));
    if (f->PollLog1->isOn())
        showLogging(f);
    else if (!f->LogSize->text().isEmpty())
        f->LogSize->setText(QCoreApplication::translate("records", "Logging stopped"));
    const std::pair<const char*, const char*> entries[] = {
        {"ExportFaultsCsv", QT_TRANSLATE_NOOP("records", "Export the fault log as CSV...")},
        {"ExportFaultsText", QT_TRANSLATE_NOOP("records", "Export the fault log as text...")},
        {"ExportChartPng", QT_TRANSLATE_NOOP("records", "Save the chart as a picture (PNG)...")},
        {"ExportChartCsv", QT_TRANSLATE_NOOP("records", "Export the shown history as CSV...")},
        {"CommissioningReport", QT_TRANSLATE_NOOP("records", "Commissioning report (PDF)...")},
    };
    for (const auto& [name, text] : entries)
        if (auto* a = f->findChild<QAction*>(QLatin1String(name))) a->setText(tx(text));
}

// Follows the language chosen in the settings.
class RecordTextsFilter : public QObject {
public:
    explicit RecordTextsFilter(TForm1* f) : QObject(f), f_(f) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == f_ && event->type() == QEvent::LanguageChange) translateRecordTexts(f_);
        return false;
    }

private:
    TForm1* f_;
};

} // namespace

void TForm1::buildRecords() {
    PollLog1 = new records::PollLog(this);
    PollLog1->failed = [this](const QString& error) { loggingFailed(this, error); };
    // ToolBar1's free area between the settings button and the logo.
    QFrame* bevel = ToolBar1->findChild<QFrame*>(QStringLiteral("Bevel1"));
    QWidget* area = bevel ? static_cast<QWidget*>(bevel) : ToolBar1;
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
    connect(LogButton, &QToolButton::clicked, this, &TForm1::LogButtonClick);

    connect(menuEntry(StringGrid2, "ExportFaultsCsv",
                      QCoreApplication::translate("records", "Export the fault log as CSV...")),
            &QAction::triggered, this, &TForm1::exportFaultLogCsv);
    connect(menuEntry(StringGrid2, "ExportFaultsText",
                      QCoreApplication::translate("records", "Export the fault log as text...")),
            &QAction::triggered, this, &TForm1::exportFaultLogText);
    connect(menuEntry(Chart2, "ExportChartPng",
                      QCoreApplication::translate("records", "Save the chart as a picture (PNG)...")),
            &QAction::triggered, this, &TForm1::exportChartPng);
    connect(menuEntry(Chart2, "ExportChartCsv",
                      QCoreApplication::translate("records", "Export the shown history as CSV...")),
            &QAction::triggered, this, &TForm1::exportChartCsv);
    // After the setpoint grid's own entries.
    connect(menuEntry(StringGrid1, "CommissioningReport",
                      QCoreApplication::translate("records", "Commissioning report (PDF)...")),
            &QAction::triggered, this, &TForm1::commissioningReport);
    installEventFilter(new RecordTextsFilter(this));
}

void TForm1::LogButtonClick() {
    if (idle::deferred(this, "LogButtonClick", [this] { LogButtonClick(); })) return;
    if (!LogButton->isChecked()) {
        QString error;
        if (!PollLog1->stop(&error)) {
            loggingFailed(this, error);
            return;
        }
        showLoggingOff(this, QString());
        return;
    }
    LogButton->setChecked(false); // down only once the file is open
    const QString path =
        askSaveName(this, QCoreApplication::translate("records", "Log the poll to"), csvFilter());
    if (path.isEmpty()) return;
    QString error;
    if (!PollLog1->start(path, &error)) {
        seams::errorBox(this, error);
        return;
    }
    LogButton->setChecked(true);
    LogButton->setText(QCoreApplication::translate("records", "Logging"));
    showLogging(this);
}

void TForm1::logPoll(int lostBefore) {
    if (!PollLog1 || !PollLog1->isOn()) return;
    records::LogContext c;
    c.variant = poll_.relayVariant;
    c.decimalSeparator = QLocale::system().decimalPoint().at(0);
    const QLabel* names[records::kFaultBits] = {Label32, Label33, Label34, Label35,
                                                Label36, Label37, Label38};
    for (int i = 0; i < records::kFaultBits; ++i)
        c.faultNames[size_t(i)] = names[i]->text();
    QString error;
    if (!PollLog1->addRow(seams::now(), pollRegisters(), lostBefore, c, &error)) {
        loggingFailed(this, error);
        return;
    }
    // The size about once a second, at five polls a second.
    if (PollLog1->rows() % 5 == 1) showLogging(this);
}

// ---- fault log

namespace {
faults::BlockStates faultStates(const TForm1& f) {
    return faults::statesNow(f.faultLogState().faultBlocksFresh, f.faultLogState().faultBlocksRead);
}

// The trips as the grid lists them, each with what the grid marks: a row from
// an earlier read, a corrupt or future record.
QList<records::ListedTrip> listedTrips(const TForm1& f) {
    faults::FaultBytes sorted = f.faultLogState().faultBuffer;
    std::array<int, faults::kRecords> origins{};
    const faults::FaultRecords listed =
        faults::sortBuffer(sorted, faults::currentMonthNumber(f.clockState().currentMonth), &origins);
    QList<records::ListedTrip> trips =
        records::listedTrips(listed, [&f](int c, int r) { return f.StringGrid2->cell(c, r); });
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

void TForm1::exportFaultLogCsv() {
    if (idle::deferred(this, "exportFaultLogCsv", [this] { exportFaultLogCsv(); })) return;
    const QString path =
        askSaveName(this, QCoreApplication::translate("records", "Export the fault log"), csvFilter());
    if (path.isEmpty()) return;
    saveWhole(this, path, records::csvFile(records::faultCsvLines(listedTrips(*this), faultStates(*this))));
}

void TForm1::exportFaultLogText() {
    if (idle::deferred(this, "exportFaultLogText", [this] { exportFaultLogText(); })) return;
    const QString path =
        askSaveName(this, QCoreApplication::translate("records", "Export the fault log"), textFilter());
    if (path.isEmpty()) return;
    const QString title = QCoreApplication::translate("records", "Fault log, %1")
                              .arg(QLocale().toString(seams::now(), QLocale::ShortFormat));
    saveWhole(this, path, records::faultText(listedTrips(*this), title, faultStates(*this)).toUtf8());
}

// ---- chart

void TForm1::exportChartPng() {
    if (idle::deferred(this, "exportChartPng", [this] { exportChartPng(); })) return;
    const QString path =
        askSaveName(this, QCoreApplication::translate("records", "Save the chart"), pngFilter());
    if (path.isEmpty()) return;
    // What is on screen, drawn again at twice the pixels for print.
    constexpr qreal kPrintScale = 2;
    QImage image(Chart2->size() * kPrintScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPrintScale);
    image.fill(Qt::white);
    static_cast<QWidget*>(Chart2)->render(&image); // the widget as shown, whatever draws it
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        seams::errorBox(
            this, QCoreApplication::translate("records", "The chart could not be made into a picture."));
        return;
    }
    saveWhole(this, path, buffer.data());
}

void TForm1::exportChartCsv() {
    if (idle::deferred(this, "exportChartCsv", [this] { exportChartCsv(); })) return;
    const QString path =
        askSaveName(this, QCoreApplication::translate("records", "Export the shown history"), csvFilter());
    if (path.isEmpty()) return;
    // The chart's title names a recording opened from a file; empty, it shows the live history.
    const History& shown = Chart2->title().isEmpty() ? recorder_.recorderHistory : recorder_.fileHistory;
    saveWhole(this, path, records::csvFile(records::chartCsvLines(shown)));
}

// ---- commissioning report

void TForm1::commissioningReport() {
    // Run from a call of its own, never inside a poll tick's wait: the report
    // reads the relay's clock.
    if (idle::deferred(this, "commissioningReport", [this] { commissioningReport(); })) return;
    records::ReportData d;
    const QString compare = seams::current().openFileName(
        this, QCoreApplication::translate("records", "Setpoint file to compare with (Cancel: none)"),
        QStringLiteral("."), setpoints::kOpenFilter);
    if (!compare.isEmpty()) {
        const setpoints::SetpointFileRead file = setpoints::readSetpointFile(compare);
        if (!file.ok) {
            seams::errorBox(this, file.error);
            return;
        }
        d.compareFile = QFileInfo(compare).fileName();
        d.comparison = setpoints::compareWithFile(file.lines, setpoint_.setpointImage);
    }
    const QString path = askSaveName(
        this, QCoreApplication::translate("records", "Save the commissioning report"), pdfFilter());
    if (path.isEmpty()) return;

    if (SerialDriver1->IsOpen() && !exchangeBusy()) {
        SequenceGuard guard(this);
        constexpr int kClockRegister = setpoints::kFirstRegister + setpoints::kDateRow; // 24, then 25
        if (Czytaj(kClockRegister, 2) && RegisterValues().size() >= 2) {
            const qint32 date = RegisterValues().at(0), time = RegisterValues().at(1);
            d.clockReadAt = seams::now();
            d.clock = records::relayClock(date, time);
        }
    }
    d.created = seams::now();
    const QVector<qint32>& image = setpoint_.setpointImage;
    d.variant = image.size() > setpoints::kVariantRow ? image.at(setpoints::kVariantRow) : poll_.relayVariant;
    d.busAddress = Form2() ? Form2()->busAddress() : 0;
    for (int r = 0; r < setpoints::kRows; ++r) {
        d.names << StringGrid1->cell(1, r);
        d.hints << StringGrid1->cell(2, r);
    }
    d.setpointImage = setpoint_.setpointImage;
    d.faultsRead = faultLog_.faultBlocksRead != 0;
    d.faultStates = faultStates(*this);
    d.trips = listedTrips(*this);
    saveWhole(this, path, records::reportPdf(d));
}
