// The setpoint page of the main window: the table, reading and writing the
// relay's setpoints, setting its clock, and the setpoint files. The rules
// live in setpoints/rules.h and setpoints/setpointfile.h.
#include "setpoints/setpointpage.h"

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

SetpointPage::SetpointPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("SetpointPage"));
}

QList<QAbstractButton*> SetpointPage::relayButtons() const {
    return {SpeedButton6, SpeedButton7, SpeedButton11};
}

QAbstractButton* SetpointPage::readButton() const {
    return SpeedButton6;
}

QAbstractButton* SetpointPage::loadButton() const {
    return SpeedButton9;
}

QAbstractButton* SetpointPage::saveButton() const {
    return SpeedButton10;
}

void SetpointPage::build() {
    StringGrid1 = new StringGrid(QStringLiteral("StringGrid1"), 4, kRows, w_.TabSheet4);
    const int widths[4] = {38, 289, 152, 77};
    for (int c = 0; c < 4; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    for (int r = 0; r < kRows; ++r)
        StringGrid1->setRowHeight(r, r == 3 ? 21 : 22);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    StringGrid1->setFont(font);
    StringGrid1->setShowGrid(true);
    StringGrid1->setFixed(3, 0);
    StringGrid1->setEditable(true);
    const int frame = 2 * StringGrid1->frameWidth();
    const int gridHeight = 13 * 22 + 21 + frame;
    StringGrid1->setGeometry(
        8, 8, 38 + 289 + 152 + 77 + StringGrid1->verticalScrollBar()->sizeHint().width() + frame, gridHeight);
    StringGrid1->setCurrentCell(0, 3);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded); // all 14 rows fit
    StringGrid1->keyFilter = [this](QChar key) { return StringGrid1KeyPress(key); };
    StringGrid1->selectFilter = [this](int column, int row) { return StringGrid1SelectCell(column, row); };
    // Every change of a value text (an editor's commit, a read, a load) renews the marks.
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 3) markChangedCells();
    });
    auto* compare =
        new QAction(QCoreApplication::translate("setpoints", "Compare with a file..."), StringGrid1);
    compare->setObjectName(QStringLiteral("CompareWithFile"));
    // Made before the language is applied: follows every change of it.
    new LanguageFollower(StringGrid1, [compare] {
        compare->setText(QCoreApplication::translate("setpoints", "Compare with a file..."));
    });
    connect(compare, &QAction::triggered, this, &SetpointPage::compareSetpointFile);
    StringGrid1->addAction(compare);
    StringGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    markChangedCells();

    const int y = 8 + gridHeight + 8;
    SpeedButton6 =
        transferButton(QStringLiteral("SpeedButton6"), QStringLiteral("VRK--> PC"), w_.TabSheet4, 8, y);
    SpeedButton7 =
        transferButton(QStringLiteral("SpeedButton7"), QStringLiteral("PC --> VRK"), w_.TabSheet4, 116, y);
    SpeedButton9 =
        transferButton(QStringLiteral("SpeedButton9"), QStringLiteral("Odczytaj  "), w_.TabSheet4, 244, y);
    SpeedButton10 =
        transferButton(QStringLiteral("SpeedButton10"), QStringLiteral("Zapisz"), w_.TabSheet4, 352, y);
    SpeedButton11 =
        transferButton(QStringLiteral("SpeedButton11"), QStringLiteral("Czas PC"), w_.TabSheet4, 480, y);
    connect(SpeedButton6, &QToolButton::clicked, this, &SetpointPage::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &SetpointPage::SpeedButton7Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &SetpointPage::SpeedButton9Click);
    connect(SpeedButton10, &QToolButton::clicked, this, &SetpointPage::SpeedButton10Click);
    connect(SpeedButton11, &QToolButton::clicked, this, &SetpointPage::SpeedButton11Click);
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

void SetpointPage::Odswiez() {
    const QList<std::optional<QString>> texts = textsFromImage(state_.setpointImage);
    for (int r = 0; r < kRows; ++r)
        if (texts[r]) StringGrid1->setCell(3, r, *texts[r]);
}

bool SetpointPage::Sprawdz(int n) {
    return parameterInvalid(n, valueTexts(StringGrid1));
}

void SetpointPage::SpeedButton6Click() {
    StringGrid1->commitOpenEditor();
    Operation op(&w_);
    w_.ProgressBar4->setValue(0);
    w_.ProgressBar4->show();
    const QPointer<TForm1> self(&w_);
    const core::SetpointsRead read = w_.Link1->readSetpoints([this, self](int step) {
        if (self && step == 1) w_.ProgressBar4->setValue(4);
    });
    if (!self) return;
    if (!read.failure && read.registers12to25.size() >= kRows) {
        state_.setpointImage = read.registers12to25;
        state_.source = w_.freshSource(state_.setpointImage[kVariantRow]);
        w_.ProgressBar4->setValue(8);
        QCoreApplication::processEvents();
        Odswiez();
        const std::optional<int> unknown = unknownVariant(state_.setpointImage);
        // In of a variant this program cannot scale is not known: the cell
        // must not keep another relay's value.
        if (unknown) StringGrid1->setCell(3, 0, QString());
        markChangedCells();
        if (unknown) {
            w_.ProgressBar4->hide();
            w_.reportError(unknownVariantText(*unknown));
            return;
        }
    }
    w_.ProgressBar4->hide();
}

void SetpointPage::SpeedButton7Click() {
    // A text still open in the cell editor is what the user sees: it is
    // committed first, so it is checked and written like any other.
    StringGrid1->commitOpenEditor();
    QList<int> failing;
    for (int n = 1; n <= kParameters; ++n)
        if (Sprawdz(n)) failing << n;
    if (!failing.isEmpty()) {
        seams::beep();
        // Parameter 12 is the relay's own variant: a number the user cannot
        // fix when the relay itself reports an unknown one.
        const std::optional<int> unknown = unknownVariant(state_.setpointImage);
        if (unknown && failing.contains(kVariantRow + 1) &&
            StringGrid1->cell(3, kVariantRow) == QString::number(*unknown)) {
            w_.reportError(unknownVariantText(*unknown));
            return;
        }
        w_.reportError(writeRefusalMessage(w_.hiddenLabel(HiddenText::ParameterPrompt)->text(), failing));
        return;
    }

    // What was checked is what is written: the table may change during the
    // waits below (the user may type), and an unchecked text must not reach the relay.
    core::Link::WriteOptions write;
    write.cells = valueTexts(StringGrid1);
    write.names = nameTexts(StringGrid1);
    Operation op(&w_, Operation::Poll::Held);
    setpointStatus(w_.StatusBar2)->clear();
    setpointStatus(w_.StatusBar2)->setToolTip(QString());
    w_.ProgressBar4->setValue(0);
    w_.ProgressBar4->show();
    const QPointer<TForm1> self(&w_);
    write.progress = [this, self](int step) {
        if (self && step >= 2)
            w_.ProgressBar4->setValue(std::min(step - 1, 8)); // beyond 8 the bar stays full
    };
    // What the relay confirmed it holds at once: the marks follow each register.
    write.onRegister = [this, self](const core::RegisterWrite& w) {
        if (!self || w.state != core::RegisterWrite::State::Confirmed) return;
        if (state_.setpointImage.size() < kRows) return;
        state_.setpointImage[w.reg - kFirstRegister] = w.sent;
        markChangedCells();
    };
    const core::WriteResult result = w_.Link1->writeSetpoints(write);
    if (!self) return;

    w_.ProgressBar4->setValue(8);
    w_.ProgressBar4->hide();
    // Back to the connected state, unless the link was dropped meanwhile
    // (then the disconnect has already set the buttons and the poll).
    op.finish();
    if (result.readBackDone) {
        // The relay's values are known again: the marks follow them (the table stays).
        state_.setpointImage = w_.Link1->setpointImage();
        state_.source = w_.freshSource(state_.setpointImage.value(kVariantRow));
        markChangedCells();
    }
    if (result.complete()) {
        const QTime at = seams::now().time();
        QLabel* status = setpointStatus(w_.StatusBar2);
        // In the form of the clock beside it in the status bar (the PC's).
        const QLocale pc = QLocale::system();
        status->setText(confirmedStatus(pc.toString(at, QLocale::ShortFormat)));
        status->setToolTip(confirmedStatusDetail(display::longTime(at, pc)));
        return;
    }
    w_.reportError(writeReport(result, write.names));
}

QString SetpointPage::writeReport(const core::WriteResult& result, const QStringList& names) const {
    if (result.refusal) return *result.refusal;
    const QString noConnection = w_.hiddenLabel(HiddenText::NoConnection)->text();
    QList<int> unconfirmed;
    QList<Difference> differences;
    bool anySent = false;
    const QVector<qint32>& held = w_.Link1->setpointImage();
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

void SetpointPage::SpeedButton11Click() {
    Operation op(&w_);
    const QDateTime now = seams::now();
    const ClockSetting s =
        clockSetting(now.date().month(), now.date().day(), now.time().hour(), now.time().minute());
    StringGrid1->setCell(3, kDateRow, s.dateText);
    StringGrid1->setCell(3, kTimeRow, s.timeText);
    const QStringList names = nameTexts(StringGrid1);
    const QPointer<TForm1> self(&w_);
    const core::ClockResult clock = w_.Link1->setClock(now);
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
        w_.reportError(w_.hiddenLabel(HiddenText::NoConnection)->text());
    else if (!unconfirmed.isEmpty())
        w_.reportError(unconfirmedReport(unconfirmed, sent, names));
}

void SetpointPage::SpeedButton9Click() {
    if (idle::deferred(this, "SpeedButton9", [this] { SpeedButton9Click(); })) return;
    // The check after the load judges what the user sees, an open editor's text included.
    StringGrid1->commitOpenEditor();
    QStringList lines = valueTexts(StringGrid1);
    const QString chosen = seams::current().openFileName(&w_, QString(), QStringLiteral("."), kOpenFilter);
    if (!chosen.isEmpty()) {
        const SetpointFileRead file = readSetpointFile(chosen);
        if (!file.ok) {
            seams::errorBox(&w_, file.error);
            return;
        }
        lines = file.lines;
    }
    // Loaded or not, a table that fails any check is emptied.
    const QStringList cells = tableAfterLoad(lines);
    for (int r = 0; r < kRows; ++r)
        StringGrid1->setCell(3, r, cells[r]);
}

void SetpointPage::SpeedButton10Click() {
    if (idle::deferred(this, "SpeedButton10", [this] { SpeedButton10Click(); })) return;
    // What is saved is what the user sees, checked: an open editor's text first goes into its cell.
    StringGrid1->commitOpenEditor();
    // One snapshot, taken before the dialog: the poll keeps writing the
    // variant row while the dialog is open, and what was checked is what is saved.
    const QStringList texts = valueTexts(StringGrid1);
    QList<int> failing;
    for (int n = 1; n <= kParameters; ++n)
        if (parameterInvalid(n, texts)) failing << n;
    if (!failing.isEmpty()) {
        w_.reportError(saveRefusalMessage(w_.hiddenLabel(HiddenText::ParameterPrompt)->text(), failing));
        return;
    }
    const QString chosen = seams::current().saveFileName(&w_, QString(), QStringLiteral("."), kSaveFilter);
    if (chosen.isEmpty()) return;
    QString error;
    if (!writeSetpointFile(withSetpointExtension(chosen), texts, &error)) seams::errorBox(&w_, error);
}

bool SetpointPage::StringGrid1KeyPress(QChar key) {
    const bool accepted = keyAccepted(key, StringGrid1->currentRowIndex(), currentCellText(StringGrid1));
    if (!accepted) seams::beep();
    return accepted;
}

bool SetpointPage::StringGrid1SelectCell(int column, int row) {
    const bool selectable = cellSelectable(column, row);
    if (!selectable) seams::beep();
    return selectable;
}

void SetpointPage::relabelSetpointRow0() {
    const std::optional<Row0Texts> t = row0Texts(parseWhole(StringGrid1->cell(3, kVariantRow)).value_or(0));
    if (!t) return;
    StringGrid1->setCell(2, 0, t->hint);
    StringGrid1->setCell(1, 0, w_.hiddenLabel(t->nameLabel)->text());
}

void SetpointPage::markChangedCells() {
    const QList<CellMark> marks = cellMarks(valueTexts(StringGrid1), state_.setpointImage);
    // Marks change backgrounds and tooltips only: no itemChanged of their own.
    const QSignalBlocker quiet(StringGrid1);
    // Read from a relay that is not the one connected now: no marks, and the
    // tooltip says whose value it is.
    const bool earlier = state_.source.earlier && !state_.setpointImage.isEmpty();
    for (int r = 0; r < kRows; ++r) {
        const CellMark& m = marks[r];
        if (earlier && (m.state == CellState::Same || m.state == CellState::Changed)) {
            StringGrid1->setCellMark(3, r, QColor(),
                                     QCoreApplication::translate("relaydata", "In the relay, %1: %2")
                                         .arg(relaydata::earlierNote(state_.source.relay), m.relayText));
            continue;
        }
        switch (m.state) {
        case CellState::NotCompared:
            StringGrid1->setCellMark(3, r, QColor(), QString());
            break;
        case CellState::Unknown:
            if (r == 0 && unknownVariant(state_.setpointImage))
                StringGrid1->setCellMark(
                    3, r, QColor(),
                    QCoreApplication::translate("setpoints",
                                                "The relay reports variant %1, which this program does not "
                                                "know: its In cannot be shown.")
                        .arg(state_.setpointImage[kVariantRow]));
            else
                StringGrid1->setCellMark(
                    3, r, QColor(),
                    QCoreApplication::translate("setpoints",
                                                "The relay's value is not known: read the setpoints first."));
            break;
        case CellState::Same:
            StringGrid1->setCellMark(
                3, r, QColor(),
                QCoreApplication::translate("setpoints", "In the relay: %1").arg(m.relayText));
            break;
        case CellState::Changed:
            StringGrid1->setCellMark(
                3, r, kChangedCell,
                QCoreApplication::translate("setpoints", "In the relay: %1").arg(m.relayText));
            break;
        }
    }
    StringGrid1->viewport()->update();
}

void SetpointPage::compareSetpointFile() {
    if (idle::deferred(this, "compareSetpointFile", [this] { compareSetpointFile(); })) return;
    const QString chosen = seams::current().openFileName(&w_, QString(), QStringLiteral("."), kOpenFilter);
    if (chosen.isEmpty()) return;
    const SetpointFileRead file = readSetpointFile(chosen);
    if (!file.ok) {
        seams::errorBox(&w_, file.error);
        return;
    }
    auto* window = w_.findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    if (!window) window = new SetpointCompareWindow(&w_);
    window->showComparison(chosen, nameTexts(StringGrid1), compareWithFile(file.lines, state_.setpointImage));
    window->showRelay(state_.source.earlier && !state_.setpointImage.isEmpty()
                          ? relaydata::earlierNote(state_.source.relay)
                          : QString());
}

void SetpointPage::relayChanged(const core::Identity& now, bool connected) {
    const bool were = state_.source.earlier;
    if (!state_.setpointImage.isEmpty())
        state_.source = relaydata::afterChange(state_.source, now, connected);
    if (state_.source.earlier && !were) {
        markChangedCells();
        if (auto* window = w_.findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare")))
            window->showRelay(relaydata::earlierNote(state_.source.relay));
    }
}

// The window's handlers of the setpoint page.
void TForm1::Odswiez() {
    setpoints_->Odswiez();
}
bool TForm1::Sprawdz(int n) {
    return setpoints_->Sprawdz(n);
}
void TForm1::SpeedButton6Click() {
    setpoints_->SpeedButton6Click();
}
void TForm1::SpeedButton7Click() {
    setpoints_->SpeedButton7Click();
}
void TForm1::SpeedButton11Click() {
    setpoints_->SpeedButton11Click();
}
void TForm1::SpeedButton9Click() {
    setpoints_->SpeedButton9Click();
}
void TForm1::SpeedButton10Click() {
    setpoints_->SpeedButton10Click();
}
bool TForm1::StringGrid1KeyPress(QChar key) {
    return setpoints_->StringGrid1KeyPress(key);
}
bool TForm1::StringGrid1SelectCell(int column, int row) {
    return setpoints_->StringGrid1SelectCell(column, row);
}
