// The fault page of the main window: reads the relay's memory of its last
// 40 trips, puts them newest first and lists them. The rules live in
// faults/rules.h.
#include "faults/faultpage.h"

#include "app/operation.h"
#include "app/tform1.h"
#include "core/link.h"
#include "faults/rules.h"
#include "seams/seams.h"
#include "widgets/controls.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QToolButton>

using namespace faults;

namespace {

// The cause and month texts of the current language, from the hidden labels.
FaultTexts languageTexts(const TForm1& f) {
    FaultTexts t;
    for (int i = 0; i < 5; ++i)
        t.causes[size_t(i)] = f.hiddenLabel(HiddenText::CauseFirst, i)->text();
    for (int m = 0; m < 12; ++m)
        t.months[size_t(m)] = f.hiddenLabel(HiddenText::MonthFirst, m)->text();
    t.noCause = QCoreApplication::translate("FaultLog", "(no cause recorded)");
    return t;
}

// A stored byte as its two hexadecimal digits.
QString hexByte(quint8 byte) {
    return QStringLiteral("%1").arg(int(byte), 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

FaultPage::FaultPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("FaultPage"));
}

QAbstractButton* FaultPage::readButton() const {
    return SpeedButton12;
}

void FaultPage::build() {
    StringGrid2 = new StringGrid(QStringLiteral("StringGrid2"), 4, kRecords + 1, w_.TabSheet6);
    const int widths[4] = {28, 330, 113, 76};
    for (int c = 0; c < 4; ++c)
        StringGrid2->setColumnWidth(c, widths[c]);
    for (int r = 0; r <= kRecords; ++r)
        StringGrid2->setRowHeight(r, 22);
    StringGrid2->setShowGrid(true);
    StringGrid2->setFixed(0, 1);
    StringGrid2->setEditable(false);
    const int frame = 2 * StringGrid2->frameWidth();
    StringGrid2->setGeometry(
        8, 8, 28 + 330 + 113 + 76 + StringGrid2->verticalScrollBar()->sizeHint().width() + frame,
        13 * 22 + 21 + frame);
    StringGrid2->keyFilter = [this](QChar key) { return w_.StringGrid1KeyPress(key); };
    StringGrid2->selectFilter = [this](int column, int row) { return w_.StringGrid1SelectCell(column, row); };

    SpeedButton12 = new QToolButton(w_.TabSheet6);
    SpeedButton12->setObjectName(QStringLiteral("SpeedButton12"));
    SpeedButton12->setText(QStringLiteral("VRK--> PC"));
    SpeedButton12->setGeometry(8, StringGrid2->geometry().bottom() + 9, 100, 25);
    connect(SpeedButton12, &QToolButton::clicked, this, &FaultPage::SpeedButton12Click);

    // Says which records a read could not get, until a complete read.
    FaultLogNotice = new QLabel(w_.TabSheet6);
    FaultLogNotice->setObjectName(QStringLiteral("FaultLogNotice"));
    FaultLogNotice->setWordWrap(true);
    FaultLogNotice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FaultLogNotice->setStyleSheet(QStringLiteral("color: #b00000;"));
    const int noticeLeft = SpeedButton12->geometry().right() + 9;
    FaultLogNotice->setGeometry(noticeLeft, SpeedButton12->y() - 6,
                                StringGrid2->geometry().right() - noticeLeft, SpeedButton12->height() + 12);
    FaultLogNotice->hide();
}

void FaultPage::SpeedButton12Click() {
    Operation op(&w_);
    forgetOtherRelaysFaults();
    for (int r = 1; r <= kRecords; ++r)
        for (int c = 1; c <= 3; ++c)
            StringGrid2->setCell(c, r, QString());
    w_.ProgressBar4->setValue(0);
    w_.ProgressBar4->show();
    const QPointer<TForm1> self(&w_);
    // A block that cannot be read (the port closed too) keeps what it held before.
    const core::FaultLogRead read = w_.Link1->readFaultLog(state_.faultBuffer, [this, self](int blocks) {
        if (self) w_.ProgressBar4->setValue(2 * blocks);
    });
    if (!self) return;
    state_.faultBuffer = read.bytes;
    const unsigned failed = ~read.blocksRead & ((1u << kBlocks) - 1);
    const BlockStates states = blockStates(failed, state_.faultBlocksRead);
    state_.faultBlocksRead |= ~failed & ((1u << kBlocks) - 1);
    state_.faultBlocksFresh = ~failed & ((1u << kBlocks) - 1);
    if (state_.faultBlocksFresh != 0) state_.source = w_.freshSource();
    const QDateTime now = seams::now();
    // The buffer keeps the relay's own bytes, block by block: sorted records
    // written back would leave a block that fails next time holding ten of
    // the newest trips instead of its own, listing some twice, others never.
    FaultBytes sorted = state_.faultBuffer;
    std::array<int, kRecords> origins{};
    const FaultRecords records =
        sortBuffer(sorted, currentMonthNumber(w_.dataPage().clockState().currentMonth), &origins);
    const FaultTexts texts = languageTexts(w_);
    for (int n = 0; n < kRecords; ++n) {
        const FaultRecord& record = records[size_t(n)];
        const FaultRow row = faultRow(record, texts);
        // A record that cannot be a real trip, or one dated after now, says so.
        const RecordProblem problem = recordProblem(record, now.date().month(), now.date().day(),
                                                    now.time().hour(), now.time().minute());
        StringGrid2->setCell(1, n + 1, row.cause + problemMarker(problem));
        // Several causes do not fit the column: the whole text as a tooltip.
        QString tip = row.cause.trimmed() + problemMarker(problem);
        if (problem == RecordProblem::Corrupt)
            tip += QLatin1Char('\n') +
                   QCoreApplication::translate("FaultLog", "As stored: month %1, day %2, hour %3, minute %4")
                       .arg(hexByte(record.month), hexByte(record.day), hexByte(record.hour),
                            hexByte(record.minute));
        StringGrid2->item(n + 1, 1)->setToolTip(tip);
        StringGrid2->setCell(2, n + 1, row.date);
        StringGrid2->setCell(3, n + 1, row.time);
        const bool stale = states[size_t(blockOfSlot(origins[size_t(n)]))] != BlockState::Fresh;
        const QBrush brush = stale                            ? QBrush(Qt::gray)
                             : problem != RecordProblem::None ? QBrush(QColor(0xb0, 0, 0))
                                                              : QBrush();
        for (int c = 1; c <= 3; ++c)
            if (QTableWidgetItem* item = StringGrid2->item(n + 1, c)) item->setForeground(brush);
    }
    FaultLogNotice->setText(pageNotice(states));
    FaultLogNotice->setVisible(failed != 0);
    w_.ProgressBar4->hide();
}

QString FaultPage::przyczyna(int cause) const {
    return causeText(cause, languageTexts(w_));
}

QString FaultPage::miesiac(const QString& month) const {
    return monthName(month, languageTexts(w_));
}

void FaultPage::forgetOtherRelaysFaults() {
    if (state_.faultBlocksRead == 0) return;
    if (relaydata::stillCurrent(state_.source.relay, w_.relayNow(), true)) return;
    // Another relay's trips would stand in for the blocks this read misses.
    state_.faultBuffer = {};
    state_.faultBlocksRead = 0;
    state_.faultBlocksFresh = 0;
}

void FaultPage::relayChanged(const core::Identity& now, bool connected) {
    const bool were = state_.source.earlier;
    if (state_.faultBlocksRead != 0) state_.source = relaydata::afterChange(state_.source, now, connected);
    if (state_.source.earlier && !were) {
        // Every row listed is from the earlier relay now: grey, as the rows of an earlier read are.
        state_.faultBlocksFresh = 0;
        for (int r = 1; r <= kRecords; ++r)
            for (int c = 1; c <= 3; ++c)
                if (QTableWidgetItem* item = StringGrid2->item(r, c)) item->setForeground(QBrush(Qt::gray));
        FaultLogNotice->setText(QCoreApplication::translate("relaydata", "Every trip listed is %1.")
                                    .arg(relaydata::earlierNote(state_.source.relay)));
        FaultLogNotice->show();
    }
}

// The window's handlers of the fault page.
void TForm1::SpeedButton12Click() {
    faults_->SpeedButton12Click();
}
QString TForm1::przyczyna(int cause) const {
    return faults_->przyczyna(cause);
}
QString TForm1::miesiac(const QString& month) const {
    return faults_->miesiac(month);
}
