// The setpoint page of the main window: the table, reading and writing the
// relay's setpoints, setting its clock, and the setpoint files. The rules
// live in setpoints/rules.h and setpoints/setpointfile.h.
#include "app/operation.h"
#include "app/tform1.h"
#include "core/link.h"
#include "monitor/display.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "setpoints/comparewindow.h"
#include "setpoints/readback.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"
#include "widgets/controls.h"
#include "widgets/languagefollower.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

using namespace setpoints;

namespace {

QToolButton* transferButton(const QString& name, const QString& caption, QWidget* parent, int x, int y) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setGeometry(x, y, 100, 25);
    return b;
}

// The fourteen value texts (column 3) as the table holds them now.
QStringList valueTexts(const StringGrid* grid) {
    QStringList out;
    for (int r = 0; r < kRows; ++r)
        out << grid->cell(3, r);
    return out;
}

// The text of the current cell as the user sees it: the in-place editor's
// while one is open, otherwise the cell's own.
QString currentCellText(StringGrid* grid) {
    const QModelIndex at = grid->currentIndex();
    if (!at.isValid()) return QString();
    if (auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(at))) return editor->text();
    return grid->cell(at.column(), at.row());
}

// The name column's fourteen row texts (numbers and names in the current language).
QStringList nameTexts(const StringGrid* grid) {
    QStringList out;
    for (int r = 0; r < kRows; ++r)
        out << grid->cell(1, r);
    return out;
}

// The colour of a value cell that differs from the relay's last read.
const QColor kChangedCell(255, 220, 130);

// The status bar's note on the setpoints: a label in the bar's free space
// right of its three panels, made on first use.
QLabel* setpointStatus(StatusBar* bar) {
    const QString name = QStringLiteral("SetpointStatus");
    if (auto* l = bar->findChild<QLabel*>(name)) return l;
    auto* l = new QLabel(bar);
    l->setObjectName(name);
    const int left = 200 + 200 + 50 + 3 * 2 + 2;
    l->setGeometry(left, 1, std::max(0, bar->width() - left), bar->height() - 2);
    l->show();
    return l;
}

} // namespace

void TForm1::buildSetpointPage() {
    setpointPage().StringGrid1 = new StringGrid(QStringLiteral("StringGrid1"), 4, kRows, TabSheet4);
    const int widths[4] = {38, 289, 152, 77};
    for (int c = 0; c < 4; ++c)
        setpointPage().StringGrid1->setColumnWidth(c, widths[c]);
    for (int r = 0; r < kRows; ++r)
        setpointPage().StringGrid1->setRowHeight(r, r == 3 ? 21 : 22);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    setpointPage().StringGrid1->setFont(font);
    setpointPage().StringGrid1->setShowGrid(true);
    setpointPage().StringGrid1->setFixed(3, 0);
    setpointPage().StringGrid1->setEditable(true);
    const int frame = 2 * setpointPage().StringGrid1->frameWidth();
    const int gridHeight = 13 * 22 + 21 + frame;
    setpointPage().StringGrid1->setGeometry(
        8, 8,
        38 + 289 + 152 + 77 + setpointPage().StringGrid1->verticalScrollBar()->sizeHint().width() + frame,
        gridHeight);
    setpointPage().StringGrid1->setCurrentCell(0, 3);
    setpointPage().StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded); // all 14 rows fit
    setpointPage().StringGrid1->keyFilter = [this](QChar key) { return StringGrid1KeyPress(key); };
    setpointPage().StringGrid1->selectFilter = [this](int column, int row) {
        return StringGrid1SelectCell(column, row);
    };
    // Every change of a value text (an editor's commit, a read, a load) renews the marks.
    connect(setpointPage().StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 3) markChangedCells();
    });
    auto* compare = new QAction(QCoreApplication::translate("setpoints", "Compare with a file..."),
                                setpointPage().StringGrid1);
    compare->setObjectName(QStringLiteral("CompareWithFile"));
    // Made before the language is applied: follows every change of it.
    new LanguageFollower(setpointPage().StringGrid1, [compare] {
        compare->setText(QCoreApplication::translate("setpoints", "Compare with a file..."));
    });
    connect(compare, &QAction::triggered, this, &TForm1::compareSetpointFile);
    setpointPage().StringGrid1->addAction(compare);
    setpointPage().StringGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    markChangedCells();

    const int y = 8 + gridHeight + 8;
    setpointPage().SpeedButton6 =
        transferButton(QStringLiteral("SpeedButton6"), QStringLiteral("VRK--> PC"), TabSheet4, 8, y);
    setpointPage().SpeedButton7 =
        transferButton(QStringLiteral("SpeedButton7"), QStringLiteral("PC --> VRK"), TabSheet4, 116, y);
    setpointPage().SpeedButton9 =
        transferButton(QStringLiteral("SpeedButton9"), QStringLiteral("Odczytaj  "), TabSheet4, 244, y);
    setpointPage().SpeedButton10 =
        transferButton(QStringLiteral("SpeedButton10"), QStringLiteral("Zapisz"), TabSheet4, 352, y);
    setpointPage().SpeedButton11 =
        transferButton(QStringLiteral("SpeedButton11"), QStringLiteral("Czas PC"), TabSheet4, 480, y);
    connect(setpointPage().SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(setpointPage().SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(setpointPage().SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(setpointPage().SpeedButton10, &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
    connect(setpointPage().SpeedButton11, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
}

namespace {

// The variant the relay reports, when it is one this program cannot scale In
// for (register 23 outside 1..3): nothing for a known one.
std::optional<int> unknownVariant(const QVector<qint32>& image) {
    if (image.size() <= kVariantRow) return std::nullopt;
    const int variant = image[kVariantRow];
    if (variant >= 1 && variant <= 3) return std::nullopt;
    return variant;
}

QString unknownVariantText(int variant) {
    return QCoreApplication::translate(
               "setpoints",
               "The relay reports variant %1, which this program does not know (1: 20 A, 2: 100 A, 3: 250 "
               "A). "
               "Its In cannot be shown, and no setpoint can be written to it. Check the relay's type plate; "
               "a relay that keeps reporting this variant needs servicing.")
        .arg(variant);
}

} // namespace

void TForm1::Odswiez() {
    const QList<std::optional<QString>> texts = textsFromImage(setpointPage().state.setpointImage);
    for (int r = 0; r < kRows; ++r)
        if (texts[r]) setpointPage().StringGrid1->setCell(3, r, *texts[r]);
}

bool TForm1::Sprawdz(int n) {
    return parameterInvalid(n, valueTexts(setpointPage().StringGrid1));
}

void TForm1::SpeedButton6Click() {
    setpointPage().StringGrid1->commitOpenEditor();
    Operation op(this);
    ProgressBar4->setValue(0);
    ProgressBar4->show();
    const QPointer<TForm1> self(this);
    const core::SetpointsRead read = Link1->readSetpoints([this, self](int step) {
        if (self && step == 1) ProgressBar4->setValue(4);
    });
    if (!self) return;
    if (!read.failure && read.registers12to25.size() >= kRows) {
        setpointPage().state.setpointImage = read.registers12to25;
        setpointPage().state.source = freshSource(setpointPage().state.setpointImage[kVariantRow]);
        ProgressBar4->setValue(8);
        QCoreApplication::processEvents();
        Odswiez();
        const std::optional<int> unknown = unknownVariant(setpointPage().state.setpointImage);
        // In of a variant this program cannot scale is not known: the cell
        // must not keep another relay's value.
        if (unknown) setpointPage().StringGrid1->setCell(3, 0, QString());
        markChangedCells();
        if (unknown) {
            ProgressBar4->hide();
            reportError(unknownVariantText(*unknown));
            return;
        }
    }
    ProgressBar4->hide();
}

void TForm1::SpeedButton7Click() {
    // A text still open in the cell editor is what the user sees: it is
    // committed first, so it is checked and written like any other.
    setpointPage().StringGrid1->commitOpenEditor();
    QList<int> failing;
    for (int n = 1; n <= kParameters; ++n)
        if (Sprawdz(n)) failing << n;
    if (!failing.isEmpty()) {
        seams::beep();
        // Parameter 12 is the relay's own variant: a number the user cannot
        // fix when the relay itself reports an unknown one.
        const std::optional<int> unknown = unknownVariant(setpointPage().state.setpointImage);
        if (unknown && failing.contains(kVariantRow + 1) &&
            setpointPage().StringGrid1->cell(3, kVariantRow) == QString::number(*unknown)) {
            reportError(unknownVariantText(*unknown));
            return;
        }
        reportError(writeRefusalMessage(hiddenLabel(HiddenText::ParameterPrompt)->text(), failing));
        return;
    }

    // What was checked is what is written: the table may change during the
    // waits below (the user may type), and an unchecked text must not reach the relay.
    core::Link::WriteOptions write;
    write.cells = valueTexts(setpointPage().StringGrid1);
    write.names = nameTexts(setpointPage().StringGrid1);
    Operation op(this, Operation::Poll::Held);
    setpointStatus(StatusBar2)->clear();
    setpointStatus(StatusBar2)->setToolTip(QString());
    ProgressBar4->setValue(0);
    ProgressBar4->show();
    const QPointer<TForm1> self(this);
    write.progress = [this, self](int step) {
        if (self && step >= 2) ProgressBar4->setValue(std::min(step - 1, 8)); // beyond 8 the bar stays full
    };
    // What the relay confirmed it holds at once: the marks follow each register.
    write.onRegister = [this, self](const core::RegisterWrite& w) {
        if (!self || w.state != core::RegisterWrite::State::Confirmed) return;
        if (setpointPage().state.setpointImage.size() < kRows) return;
        setpointPage().state.setpointImage[w.reg - kFirstRegister] = w.sent;
        markChangedCells();
    };
    const core::WriteResult result = Link1->writeSetpoints(write);
    if (!self) return;

    ProgressBar4->setValue(8);
    ProgressBar4->hide();
    // Back to the connected state, unless the link was dropped meanwhile
    // (then the disconnect has already set the buttons and the poll).
    op.finish();
    if (result.readBackDone) {
        // The relay's values are known again: the marks follow them (the table stays).
        setpointPage().state.setpointImage = Link1->setpointImage();
        setpointPage().state.source = freshSource(setpointPage().state.setpointImage.value(kVariantRow));
        markChangedCells();
    }
    if (result.complete()) {
        const QTime at = seams::now().time();
        QLabel* status = setpointStatus(StatusBar2);
        // In the form of the clock beside it in the status bar (the PC's).
        const QLocale pc = QLocale::system();
        status->setText(confirmedStatus(pc.toString(at, QLocale::ShortFormat)));
        status->setToolTip(confirmedStatusDetail(display::longTime(at, pc)));
        return;
    }
    reportError(writeReport(result, write.names));
}

QString TForm1::writeReport(const core::WriteResult& result, const QStringList& names) const {
    if (result.refusal) return *result.refusal;
    const QString noConnection = hiddenLabel(HiddenText::NoConnection)->text();
    QList<int> unconfirmed;
    QList<Difference> differences;
    bool anySent = false;
    const QVector<qint32>& held = Link1->setpointImage();
    const int heldVariant = held.size() > kVariantRow ? held[kVariantRow] : 0;
    for (const core::RegisterWrite& w : result.registers) {
        const int row = w.reg - kFirstRegister;
        if (w.state != core::RegisterWrite::State::NotSent) anySent = true;
        if (w.state == core::RegisterWrite::State::NotConfirmed) unconfirmed << row;
        if (w.readBack && !w.heldAsSent)
            differences << Difference{
                row, w.sent, *w.readBack,
                textFromRaw(row, *w.readBack, heldVariant).value_or(QString::number(*w.readBack))};
    }
    // Nothing reached the relay: no connection, and why when the relay (not
    // the user's disconnect) is the reason.
    if (!anySent)
        return result.failure && !result.failure->linkLost
                   ? noConnection + QLatin1Char('\n') + result.failure->text()
                   : noConnection;
    // The link went down or the relay went silent part way: the relay now
    // holds a mix, said parameter by parameter.
    const bool linkLost = result.failure && result.failure->linkLost;
    if (linkLost || relayWentSilent(unconfirmed, kWrittenRows, result.readBackDone))
        return noConnection + QLatin1Char('\n') + core::writeSummary(result);
    QStringList report;
    for (const QString& part :
         {unconfirmedReport(unconfirmed, kWrittenRows, names),
          readBackReport(result.readBackDone, differences, !unconfirmed.isEmpty(), names)})
        if (!part.isEmpty()) report << part;
    return report.join(QLatin1Char('\n'));
}

void TForm1::SpeedButton11Click() {
    Operation op(this);
    const QDateTime now = seams::now();
    const ClockSetting s =
        clockSetting(now.date().month(), now.date().day(), now.time().hour(), now.time().minute());
    setpointPage().StringGrid1->setCell(3, kDateRow, s.dateText);
    setpointPage().StringGrid1->setCell(3, kTimeRow, s.timeText);
    const QStringList names = nameTexts(setpointPage().StringGrid1);
    const QPointer<TForm1> self(this);
    const core::ClockResult clock = Link1->setClock(now);
    if (!self) return;
    QList<int> unconfirmed;
    int sent = 0;
    const int rows[2] = {kDateRow, kTimeRow};
    for (int k = 0; k < 2; ++k) {
        if (clock.states[size_t(k)] == core::RegisterWrite::State::NotSent) continue;
        ++sent;
        if (clock.states[size_t(k)] == core::RegisterWrite::State::NotConfirmed) unconfirmed << rows[k];
    }
    // The link went down, or the relay answered neither: no connection.
    if (!op.portOpen() || unconfirmed.size() == 2)
        reportError(hiddenLabel(HiddenText::NoConnection)->text());
    else if (!unconfirmed.isEmpty())
        reportError(unconfirmedReport(unconfirmed, sent, names));
}

void TForm1::SpeedButton9Click() {
    if (idle::deferred(this, "SpeedButton9", [this] { SpeedButton9Click(); })) return;
    // The check after the load judges what the user sees, an open editor's text included.
    setpointPage().StringGrid1->commitOpenEditor();
    QStringList lines = valueTexts(setpointPage().StringGrid1);
    const QString chosen = seams::current().openFileName(this, QString(), QStringLiteral("."), kOpenFilter);
    if (!chosen.isEmpty()) {
        const SetpointFileRead file = readSetpointFile(chosen);
        if (!file.ok) {
            seams::errorBox(this, file.error);
            return;
        }
        lines = file.lines;
    }
    // Loaded or not, a table that fails any check is emptied.
    const QStringList cells = tableAfterLoad(lines);
    for (int r = 0; r < kRows; ++r)
        setpointPage().StringGrid1->setCell(3, r, cells[r]);
}

void TForm1::SpeedButton10Click() {
    if (idle::deferred(this, "SpeedButton10", [this] { SpeedButton10Click(); })) return;
    // What is saved is what the user sees, checked: an open editor's text first goes into its cell.
    setpointPage().StringGrid1->commitOpenEditor();
    // One snapshot, taken before the dialog: the poll keeps writing the
    // variant row while the dialog is open, and what was checked is what is saved.
    const QStringList texts = valueTexts(setpointPage().StringGrid1);
    QList<int> failing;
    for (int n = 1; n <= kParameters; ++n)
        if (parameterInvalid(n, texts)) failing << n;
    if (!failing.isEmpty()) {
        reportError(saveRefusalMessage(hiddenLabel(HiddenText::ParameterPrompt)->text(), failing));
        return;
    }
    const QString chosen = seams::current().saveFileName(this, QString(), QStringLiteral("."), kSaveFilter);
    if (chosen.isEmpty()) return;
    QString error;
    if (!writeSetpointFile(withSetpointExtension(chosen), texts, &error)) seams::errorBox(this, error);
}

bool TForm1::StringGrid1KeyPress(QChar key) {
    const bool accepted = keyAccepted(key, setpointPage().StringGrid1->currentRowIndex(),
                                      currentCellText(setpointPage().StringGrid1));
    if (!accepted) seams::beep();
    return accepted;
}

bool TForm1::StringGrid1SelectCell(int column, int row) {
    const bool selectable = cellSelectable(column, row);
    if (!selectable) seams::beep();
    return selectable;
}

void TForm1::relabelSetpointRow0() {
    const std::optional<Row0Texts> t =
        row0Texts(parseWhole(setpointPage().StringGrid1->cell(3, kVariantRow)).value_or(0));
    if (!t) return;
    setpointPage().StringGrid1->setCell(2, 0, t->hint);
    setpointPage().StringGrid1->setCell(1, 0, hiddenLabel(t->nameLabel)->text());
}

void TForm1::markChangedCells() {
    const QList<CellMark> marks =
        cellMarks(valueTexts(setpointPage().StringGrid1), setpointPage().state.setpointImage);
    // Marks change backgrounds and tooltips only: no itemChanged of their own.
    const QSignalBlocker quiet(setpointPage().StringGrid1);
    // Read from a relay that is not the one connected now: no marks, and the
    // tooltip says whose value it is.
    const bool earlier = setpointPage().state.source.earlier && !setpointPage().state.setpointImage.isEmpty();
    for (int r = 0; r < kRows; ++r) {
        const CellMark& m = marks[r];
        if (earlier && (m.state == CellState::Same || m.state == CellState::Changed)) {
            setpointPage().StringGrid1->setCellMark(
                3, r, QColor(),
                QCoreApplication::translate("relaydata", "In the relay, %1: %2")
                    .arg(relaydata::earlierNote(setpointPage().state.source.relay), m.relayText));
            continue;
        }
        switch (m.state) {
        case CellState::NotCompared:
            setpointPage().StringGrid1->setCellMark(3, r, QColor(), QString());
            break;
        case CellState::Unknown:
            if (r == 0 && unknownVariant(setpointPage().state.setpointImage))
                setpointPage().StringGrid1->setCellMark(
                    3, r, QColor(),
                    QCoreApplication::translate("setpoints",
                                                "The relay reports variant %1, which this program does not "
                                                "know: its In cannot be shown.")
                        .arg(setpointPage().state.setpointImage[kVariantRow]));
            else
                setpointPage().StringGrid1->setCellMark(
                    3, r, QColor(),
                    QCoreApplication::translate("setpoints",
                                                "The relay's value is not known: read the setpoints first."));
            break;
        case CellState::Same:
            setpointPage().StringGrid1->setCellMark(
                3, r, QColor(),
                QCoreApplication::translate("setpoints", "In the relay: %1").arg(m.relayText));
            break;
        case CellState::Changed:
            setpointPage().StringGrid1->setCellMark(
                3, r, kChangedCell,
                QCoreApplication::translate("setpoints", "In the relay: %1").arg(m.relayText));
            break;
        }
    }
    setpointPage().StringGrid1->viewport()->update();
}

void TForm1::compareSetpointFile() {
    if (idle::deferred(this, "compareSetpointFile", [this] { compareSetpointFile(); })) return;
    const QString chosen = seams::current().openFileName(this, QString(), QStringLiteral("."), kOpenFilter);
    if (chosen.isEmpty()) return;
    const SetpointFileRead file = readSetpointFile(chosen);
    if (!file.ok) {
        seams::errorBox(this, file.error);
        return;
    }
    auto* window = findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    if (!window) window = new SetpointCompareWindow(this);
    window->showComparison(chosen, nameTexts(setpointPage().StringGrid1),
                           compareWithFile(file.lines, setpointPage().state.setpointImage));
    window->showRelay(setpointPage().state.source.earlier && !setpointPage().state.setpointImage.isEmpty()
                          ? relaydata::earlierNote(setpointPage().state.source.relay)
                          : QString());
}
