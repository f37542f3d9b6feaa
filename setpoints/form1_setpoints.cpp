// The setpoint page of the main window: the table, reading and writing the
// relay's setpoints, setting its clock, and the setpoint files. The rules
// live in setpoints/rules.h and setpoints/setpointfile.h.
#include "app/controls.h"
#include "app/seams.h"
#include "app/tform1.h"
#include "serial/tserialdriver.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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

// One register written with up to four attempts, each after a 50 ms wait.
bool writeWithRetry(TForm1& f, int reg, int value) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        f.czekaj(50);
        if (f.Zapis(reg, value)) return true;
    }
    return false;
}

} // namespace

void TForm1::buildSetpointPage() {
    StringGrid1 = new StringGrid(QStringLiteral("StringGrid1"), 4, kRows, TabSheet4);
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

    const int y = 8 + gridHeight + 8;
    SpeedButton6 =
        transferButton(QStringLiteral("SpeedButton6"), QStringLiteral("VRK--> PC"), TabSheet4, 8, y);
    SpeedButton7 =
        transferButton(QStringLiteral("SpeedButton7"), QStringLiteral("PC --> VRK"), TabSheet4, 116, y);
    SpeedButton9 =
        transferButton(QStringLiteral("SpeedButton9"), QStringLiteral("Odczytaj  "), TabSheet4, 244, y);
    SpeedButton10 =
        transferButton(QStringLiteral("SpeedButton10"), QStringLiteral("Zapisz"), TabSheet4, 352, y);
    SpeedButton11 =
        transferButton(QStringLiteral("SpeedButton11"), QStringLiteral("Czas PC"), TabSheet4, 480, y);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(SpeedButton10, &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
    connect(SpeedButton11, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
}

void TForm1::Odswiez() {
    const QList<std::optional<QString>> texts = textsFromImage(setpointImage);
    for (int r = 0; r < kRows; ++r)
        if (texts[r]) StringGrid1->setCell(3, r, *texts[r]);
}

bool TForm1::Sprawdz(int n) {
    return parameterInvalid(n, valueTexts(StringGrid1));
}

void TForm1::SpeedButton6Click() {
    SequenceGuard guard(this);
    ProgressBar4->setValue(0);
    ProgressBar4->show();
    czekaj(100);
    ProgressBar4->setValue(4);
    if (Czytaj(kFirstRegister, kRows) && RegisterValues().size() >= kRows) {
        setpointImage = RegisterValues().mid(0, kRows);
        ProgressBar4->setValue(8);
        QCoreApplication::processEvents();
        Odswiez();
    }
    ProgressBar4->hide();
}

void TForm1::SpeedButton7Click() {
    QList<int> failing;
    for (int n = 1; n <= kParameters; ++n)
        if (Sprawdz(n)) failing << n;
    if (!failing.isEmpty()) {
        seams::beep();
        reportError(writeRefusalMessage(hiddenLabel(83)->text(), failing));
        return;
    }

    // What was checked is what is written: the table may change during the
    // waits below (the user may type), and an unchecked text must not reach the relay.
    const QStringList checked = valueTexts(StringGrid1);
    SequenceGuard guard(this);
    Timer2->stop();
    for (QToolButton* b : {SpeedButton6, SpeedButton7, SpeedButton11, SpeedButton12})
        b->setEnabled(false);
    ProgressBar4->setValue(0);
    ProgressBar4->show();
    czekaj(50);

    const std::array<int, kWrittenRows> values = writeValues(checked);
    bool allWritten = true;
    for (int i = 0; i < kWrittenRows; ++i) {
        // A disconnect during one of the waits closes the port: the rest cannot be sent.
        if (!SerialDriver1->IsOpen()) {
            allWritten = false;
            break;
        }
        if (!writeWithRetry(*this, kFirstRegister + i, values[size_t(i)])) allWritten = false;
        ProgressBar4->setValue(std::min(i + 1, 8)); // beyond 8 the bar stays full
    }

    ProgressBar4->setValue(8);
    ProgressBar4->hide();
    // Back to the connected state, unless the link was dropped meanwhile
    // (then the disconnect has already set the buttons and the poll).
    if (SerialDriver1->IsOpen()) {
        for (QToolButton* b : {SpeedButton7, SpeedButton6, SpeedButton11, SpeedButton12})
            b->setEnabled(true);
        Timer2->start();
    }
    if (!allWritten) reportError(hiddenLabel(67)->text());
}

void TForm1::SpeedButton11Click() {
    SequenceGuard guard(this);
    const QDateTime now = seams::now();
    const ClockSetting s =
        clockSetting(now.date().month(), now.date().day(), now.time().hour(), now.time().minute());
    StringGrid1->setCell(3, kDateRow, s.dateText);
    StringGrid1->setCell(3, kTimeRow, s.timeText);
    const bool dateWritten = writeWithRetry(*this, kFirstRegister + kDateRow, s.dateRegister);
    const bool timeWritten = writeWithRetry(*this, kFirstRegister + kTimeRow, s.timeRegister);
    if (!dateWritten || !timeWritten) reportError(hiddenLabel(67)->text());
}

void TForm1::SpeedButton9Click() {
    QStringList lines = valueTexts(StringGrid1);
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
        StringGrid1->setCell(3, r, cells[r]);
}

void TForm1::SpeedButton10Click() {
    QList<int> failing;
    for (int n = 1; n <= kParameters; ++n)
        if (Sprawdz(n)) failing << n;
    if (!failing.isEmpty()) {
        reportError(saveRefusalMessage(hiddenLabel(83)->text(), failing));
        return;
    }
    const QString chosen = seams::current().saveFileName(this, QString(), QStringLiteral("."), kSaveFilter);
    if (chosen.isEmpty()) return;
    QString error;
    if (!writeSetpointFile(withSetpointExtension(chosen), valueTexts(StringGrid1), &error))
        seams::errorBox(this, error);
}

bool TForm1::StringGrid1KeyPress(QChar key) {
    const bool accepted = keyAccepted(key, StringGrid1->currentRowIndex(), currentCellText(StringGrid1));
    if (!accepted) seams::beep();
    return accepted;
}

bool TForm1::StringGrid1SelectCell(int column, int row) {
    const bool selectable = cellSelectable(column, row);
    if (!selectable) seams::beep();
    return selectable;
}

void TForm1::relabelSetpointRow0() {
    const std::optional<Row0Texts> t = row0Texts(parseWhole(StringGrid1->cell(3, kVariantRow)).value_or(0));
    if (!t) return;
    StringGrid1->setCell(2, 0, t->hint);
    StringGrid1->setCell(1, 0, hiddenLabel(t->nameLabel)->text());
}
