// The fault page of the main window: reads the relay's memory of its last
// 40 trips, puts them newest first and lists them. The rules live in
// faults/rules.h.
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

// What the page says after a read that did not get every block.
QString incompleteReadNotice(const BlockStates& states) {
    QStringList lines;
    const QString earlier = slotRanges(states, BlockState::Earlier);
    if (!earlier.isEmpty())
        lines << QCoreApplication::translate(
                     "FaultLog", "Records %1 of the relay's memory were not read now: their rows (grey) are "
                                 "from an earlier read.")
                     .arg(earlier);
    const QString never = slotRanges(states, BlockState::Never);
    if (!never.isEmpty())
        lines << QCoreApplication::translate(
                     "FaultLog",
                     "Records %1 of the relay's memory could not be read: their trips are missing "
                     "from the list.")
                     .arg(never);
    return lines.join(QLatin1Char('\n'));
}

// A stored byte as its two hexadecimal digits.
QString hexByte(quint8 byte) {
    return QStringLiteral("%1").arg(int(byte), 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

void TForm1::buildFaultPage() {
    faultPage().StringGrid2 = new StringGrid(QStringLiteral("StringGrid2"), 4, kRecords + 1, TabSheet6);
    const int widths[4] = {28, 330, 113, 76};
    for (int c = 0; c < 4; ++c)
        faultPage().StringGrid2->setColumnWidth(c, widths[c]);
    for (int r = 0; r <= kRecords; ++r)
        faultPage().StringGrid2->setRowHeight(r, 22);
    faultPage().StringGrid2->setShowGrid(true);
    faultPage().StringGrid2->setFixed(0, 1);
    faultPage().StringGrid2->setEditable(false);
    const int frame = 2 * faultPage().StringGrid2->frameWidth();
    faultPage().StringGrid2->setGeometry(
        8, 8, 28 + 330 + 113 + 76 + faultPage().StringGrid2->verticalScrollBar()->sizeHint().width() + frame,
        13 * 22 + 21 + frame);
    faultPage().StringGrid2->keyFilter = [this](QChar key) { return StringGrid1KeyPress(key); };
    faultPage().StringGrid2->selectFilter = [this](int column, int row) {
        return StringGrid1SelectCell(column, row);
    };

    faultPage().SpeedButton12 = new QToolButton(TabSheet6);
    faultPage().SpeedButton12->setObjectName(QStringLiteral("SpeedButton12"));
    faultPage().SpeedButton12->setText(QStringLiteral("VRK--> PC"));
    faultPage().SpeedButton12->setGeometry(8, faultPage().StringGrid2->geometry().bottom() + 9, 100, 25);
    connect(faultPage().SpeedButton12, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);

    // Says which records a read could not get, until a complete read.
    faultPage().FaultLogNotice = new QLabel(TabSheet6);
    faultPage().FaultLogNotice->setObjectName(QStringLiteral("FaultLogNotice"));
    faultPage().FaultLogNotice->setWordWrap(true);
    faultPage().FaultLogNotice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    faultPage().FaultLogNotice->setStyleSheet(QStringLiteral("color: #b00000;"));
    const int noticeLeft = faultPage().SpeedButton12->geometry().right() + 9;
    faultPage().FaultLogNotice->setGeometry(noticeLeft, faultPage().SpeedButton12->y() - 6,
                                            faultPage().StringGrid2->geometry().right() - noticeLeft,
                                            faultPage().SpeedButton12->height() + 12);
    faultPage().FaultLogNotice->hide();
}

void TForm1::SpeedButton12Click() {
    Operation op(this);
    forgetOtherRelaysFaults();
    for (int r = 1; r <= kRecords; ++r)
        for (int c = 1; c <= 3; ++c)
            faultPage().StringGrid2->setCell(c, r, QString());
    ProgressBar4->setValue(0);
    ProgressBar4->show();
    const QPointer<TForm1> self(this);
    // A block that cannot be read (the port closed too) keeps what it held before.
    const core::FaultLogRead read =
        Link1->readFaultLog(faultPage().state.faultBuffer, [this, self](int blocks) {
            if (self) ProgressBar4->setValue(2 * blocks);
        });
    if (!self) return;
    faultPage().state.faultBuffer = read.bytes;
    const unsigned failed = ~read.blocksRead & ((1u << kBlocks) - 1);
    const BlockStates states = blockStates(failed, faultPage().state.faultBlocksRead);
    faultPage().state.faultBlocksRead |= ~failed & ((1u << kBlocks) - 1);
    faultPage().state.faultBlocksFresh = ~failed & ((1u << kBlocks) - 1);
    if (faultPage().state.faultBlocksFresh != 0) faultPage().state.source = freshSource();
    const QDateTime now = seams::now();
    // The buffer keeps the relay's own bytes, block by block: sorted records
    // written back would leave a block that fails next time holding ten of
    // the newest trips instead of its own, listing some twice, others never.
    FaultBytes sorted = faultPage().state.faultBuffer;
    std::array<int, kRecords> origins{};
    const FaultRecords records =
        sortBuffer(sorted, currentMonthNumber(dataPage().clockState().currentMonth), &origins);
    const FaultTexts texts = languageTexts(*this);
    for (int n = 0; n < kRecords; ++n) {
        const FaultRecord& record = records[size_t(n)];
        const FaultRow row = faultRow(record, texts);
        // A record that cannot be a real trip, or one dated after now, says so.
        const RecordProblem problem = recordProblem(record, now.date().month(), now.date().day(),
                                                    now.time().hour(), now.time().minute());
        faultPage().StringGrid2->setCell(1, n + 1, row.cause + problemMarker(problem));
        // Several causes do not fit the column: the whole text as a tooltip.
        QString tip = row.cause.trimmed() + problemMarker(problem);
        if (problem == RecordProblem::Corrupt)
            tip += QLatin1Char('\n') +
                   QCoreApplication::translate("FaultLog", "As stored: month %1, day %2, hour %3, minute %4")
                       .arg(hexByte(record.month), hexByte(record.day), hexByte(record.hour),
                            hexByte(record.minute));
        faultPage().StringGrid2->item(n + 1, 1)->setToolTip(tip);
        faultPage().StringGrid2->setCell(2, n + 1, row.date);
        faultPage().StringGrid2->setCell(3, n + 1, row.time);
        const bool stale = states[size_t(blockOfSlot(origins[size_t(n)]))] != BlockState::Fresh;
        const QBrush brush = stale                            ? QBrush(Qt::gray)
                             : problem != RecordProblem::None ? QBrush(QColor(0xb0, 0, 0))
                                                              : QBrush();
        for (int c = 1; c <= 3; ++c)
            if (QTableWidgetItem* item = faultPage().StringGrid2->item(n + 1, c)) item->setForeground(brush);
    }
    faultPage().FaultLogNotice->setText(incompleteReadNotice(states));
    faultPage().FaultLogNotice->setVisible(failed != 0);
    ProgressBar4->hide();
}

QString TForm1::przyczyna(int cause) const {
    return causeText(cause, languageTexts(*this));
}

QString TForm1::miesiac(const QString& month) const {
    return monthName(month, languageTexts(*this));
}
