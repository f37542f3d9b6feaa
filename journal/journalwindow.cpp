#include "journal/journalwindow.h"

#include "files/files.h"
#include "seams/seams.h"
#include "wait/idle.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

namespace {
// The columns shown: the file's, without the source's register number.
QStringList titles() {
    return {JournalWindow::tr("Time"),      JournalWindow::tr("From"),     JournalWindow::tr("Action"),
            JournalWindow::tr("Port"),      JournalWindow::tr("Address"),  JournalWindow::tr("Variant"),
            JournalWindow::tr("Parameter"), JournalWindow::tr("Before"),   JournalWindow::tr("Sent"),
            JournalWindow::tr("State"),     JournalWindow::tr("Register"), JournalWindow::tr("Read back"),
            JournalWindow::tr("Note")};
}

QString actionText(const QString& action) {
    if (action == QLatin1String("write")) return JournalWindow::tr("setpoint write");
    if (action == QLatin1String("clock")) return JournalWindow::tr("clock setting");
    if (action == QLatin1String("reset")) return JournalWindow::tr("fault reset");
    return action;
}

QString stateText(const QString& state) {
    if (state == journal::state::confirmed) return JournalWindow::tr("confirmed");
    if (state == journal::state::notConfirmed) return JournalWindow::tr("not confirmed");
    if (state == journal::state::notSent) return JournalWindow::tr("not sent");
    if (state == journal::state::refused) return JournalWindow::tr("refused");
    return state;
}
} // namespace

JournalWindow::JournalWindow(QWidget* parent) : QWidget(parent, Qt::Window), path_(journal::defaultPath()) {
    setObjectName(QStringLiteral("JournalWindow"));
    AddressFilter = new QComboBox(this);
    AddressFilter->setObjectName(QStringLiteral("AddressFilter"));
    JournalGrid = new QTableWidget(this);
    JournalGrid->setObjectName(QStringLiteral("JournalGrid"));
    JournalGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    JournalGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    JournalGrid->verticalHeader()->hide();
    JournalCount = new QLabel(this);
    JournalCount->setObjectName(QStringLiteral("JournalCount"));
    ReloadButton = new QPushButton(this);
    ReloadButton->setObjectName(QStringLiteral("ReloadButton"));
    ExportButton = new QPushButton(this);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));

    auto* top = new QHBoxLayout;
    top->addWidget(AddressFilter);
    top->addWidget(JournalCount, 1);
    top->addWidget(ReloadButton);
    top->addWidget(ExportButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(JournalGrid, 1);
    resize(900, 420);

    connect(AddressFilter, &QComboBox::currentIndexChanged, this, [this] { showRows(); });
    connect(ReloadButton, &QPushButton::clicked, this, &JournalWindow::reload);
    // The save dialog is modal: it waits for a running operation with the relay.
    connect(ExportButton, &QPushButton::clicked, this,
            [this] { idle::whenIdle(this, "JournalWindow::export", [this] { exportRows(); }); });
    retranslate();
    reload();
}

void JournalWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        showRows();
    }
    QWidget::changeEvent(event);
}

void JournalWindow::retranslate() {
    setWindowTitle(tr("Service journal - %1").arg(QDir::toNativeSeparators(path_)));
    ReloadButton->setText(tr("Read again"));
    ExportButton->setText(tr("Export..."));
    ExportButton->setToolTip(tr("Saves the rows shown as a CSV file"));
    AddressFilter->setToolTip(tr("Shows the rows of one bus address"));
    if (AddressFilter->count() > 0) AddressFilter->setItemText(0, tr("All addresses"));
    for (int i = 1; i < AddressFilter->count(); ++i)
        AddressFilter->setItemText(i, tr("Address %1").arg(AddressFilter->itemData(i).toInt()));
}

void JournalWindow::reload() {
    const QVariant keep = AddressFilter->currentData();
    readError_.clear();
    if (!journal::read(path_, &contents_, &readError_)) contents_ = {};
    std::set<int> addresses;
    for (const journal::Row& r : contents_.rows)
        addresses.insert(r.address);
    const QSignalBlocker block(AddressFilter);
    AddressFilter->clear();
    AddressFilter->addItem(tr("All addresses"));
    for (int a : addresses)
        AddressFilter->addItem(tr("Address %1").arg(a), a);
    const int at = keep.isValid() ? AddressFilter->findData(keep) : 0;
    AddressFilter->setCurrentIndex(at < 0 ? 0 : at);
    showRows();
}

void JournalWindow::showRows() {
    const QVariant address = AddressFilter->currentData();
    shown_ = journal::filtered(contents_.rows,
                               address.isValid() ? std::optional<int>(address.toInt()) : std::nullopt);
    const QStringList heads = titles();
    JournalGrid->clear();
    JournalGrid->setColumnCount(int(heads.size()));
    JournalGrid->setHorizontalHeaderLabels(heads);
    JournalGrid->setRowCount(int(shown_.size()));
    const QLocale locale;
    for (int i = 0; i < shown_.size(); ++i) {
        const journal::Row& r = shown_[i];
        QStringList cells = journal::fields(r);
        // The time in the PC's form with its offset kept in the tooltip; the
        // words of the file in the user's language.
        cells[0] = locale.toString(r.time, QLocale::ShortFormat);
        cells[2] = actionText(r.action);
        cells[9] = stateText(r.state);
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 0) item->setToolTip(journal::timeText(r.time));
            if (c == 9 && r.state != journal::state::confirmed) item->setForeground(Qt::darkRed);
            JournalGrid->setItem(i, c, item);
        }
    }
    JournalGrid->resizeColumnsToContents();
    JournalGrid->scrollToBottom();
    QString count = tr("Rows: %1").arg(shown_.size());
    if (contents_.badLines)
        count += QStringLiteral("; ") + tr("lines not understood: %1 (the first is line %2)")
                                            .arg(contents_.badLines)
                                            .arg(contents_.firstBadLine);
    if (!readError_.isEmpty()) count = readError_;
    JournalCount->setText(count);
    ExportButton->setEnabled(!shown_.isEmpty());
}

void JournalWindow::exportRows() {
    const QString filter = tr("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
    const QString chosen =
        seams::current().saveFileName(this, tr("Export the journal"), QStringLiteral("."), filter);
    if (chosen.isEmpty()) return;
    QString error;
    if (!files::writeWhole(seams::finalSaveName(chosen, filter), journal::fileOf(shown_), &error))
        seams::errorBox(this, error);
}
