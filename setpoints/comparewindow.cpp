#include "setpoints/comparewindow.h"

#include "widgets/placement.h"

#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace setpoints;

namespace {
const QColor kDiffers(255, 220, 130);
}

SetpointCompareWindow::SetpointCompareWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SetpointCompare"));
    auto* layout = new QVBoxLayout(this);
    FileLabel = new QLabel(this);
    FileLabel->setObjectName(QStringLiteral("FileLabel"));
    FileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CompareTable = new QTableWidget(0, 4, this);
    CompareTable->setObjectName(QStringLiteral("CompareTable"));
    CompareTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CompareTable->setSelectionMode(QAbstractItemView::NoSelection);
    CompareTable->verticalHeader()->hide();
    CompareTable->horizontalHeader()->setStretchLastSection(true);
    CompareTable->horizontalHeader()->setMinimumSectionSize(72);
    CompareTable->setFocusPolicy(Qt::NoFocus);
    CompareTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CompareTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RelayLabel = new QLabel(this);
    RelayLabel->setObjectName(QStringLiteral("RelayLabel"));
    RelayLabel->setWordWrap(true);
    RelayLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    RelayLabel->hide();
    layout->addWidget(FileLabel);
    layout->addWidget(RelayLabel);
    layout->addWidget(CompareTable);
}

void SetpointCompareWindow::showRelay(const QString& earlierNote) {
    RelayLabel->setText(earlierNote.isEmpty() ? QString() : tr("Relay values: %1").arg(earlierNote));
    RelayLabel->setVisible(!earlierNote.isEmpty());
}

void SetpointCompareWindow::showComparison(const QString& fileName, const QStringList& names,
                                           const QList<FileComparison>& rows) {
    setWindowTitle(tr("Relay and file compared"));
    // Never wider than the screen: a long path loses its middle, a long value
    // its end, each whole in its tooltip.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    const int maxColumn = std::max(120, screenWidth / 4);
    const QString fileText = tr("File: %1").arg(QDir::toNativeSeparators(fileName));
    const QString shownFile = FileLabel->fontMetrics().elidedText(fileText, Qt::ElideMiddle, maxColumn * 3);
    FileLabel->setText(shownFile);
    FileLabel->setToolTip(shownFile == fileText ? QString() : fileText);
    CompareTable->setHorizontalHeaderLabels({tr("Parameter"), tr("Relay"), tr("File"), tr("Differs")});
    CompareTable->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const FileComparison& c = rows[i];
        const QString differs = !c.relayKnown ? QString() : c.differs ? tr("differs") : QString();
        const QStringList texts{
            QStringLiteral("%1. %2").arg(c.row + 1).arg(parameterName(names.value(c.row))),
            c.relayKnown ? c.relayText : tr("unknown"), c.fileText, differs};
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem(texts[col]);
            if (CompareTable->fontMetrics().horizontalAdvance(texts[col]) > maxColumn - 12)
                item->setToolTip(texts[col]);
            if (c.differs) item->setBackground(kDiffers);
            CompareTable->setItem(i, col, item);
        }
    }
    CompareTable->resizeColumnsToContents();
    for (int c = 0; c < CompareTable->columnCount(); ++c)
        CompareTable->setColumnWidth(c, std::min(CompareTable->columnWidth(c), maxColumn));
    CompareTable->resizeRowsToContents();
    // Every row in sight: the table is as tall as its rows, as wide as its columns.
    int height = CompareTable->horizontalHeader()->sizeHint().height() + 2 * CompareTable->frameWidth();
    for (int r = 0; r < CompareTable->rowCount(); ++r)
        height += CompareTable->rowHeight(r);
    int width = 2 * CompareTable->frameWidth();
    for (int c = 0; c < CompareTable->columnCount(); ++c)
        width += CompareTable->columnWidth(c);
    CompareTable->setMinimumSize(width + 24, height + 4);
    adjustSize();
    // Over the main window, no larger than the screen.
    placement::fitAndCentre(this, parentWidget());
    show();
    raise();
    activateWindow();
}
