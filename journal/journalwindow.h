#pragma once
// The service journal in a window of its own: the rows of the working
// folder's journal, newest last, filtered by bus address, exported as CSV.
#include "journal/journal.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class JournalWindow : public QWidget {
    Q_OBJECT
public:
    explicit JournalWindow(QWidget* parent = nullptr);
    // Reads the journal again and shows it (the filter stays where possible).
    void reload();
    // The rows shown now.
    const QList<journal::Row>& shownRows() const { return shown_; }

    QComboBox* AddressFilter = nullptr;
    QTableWidget* JournalGrid = nullptr;
    QLabel* JournalCount = nullptr;
    QPushButton* ReloadButton = nullptr;
    QPushButton* ExportButton = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showRows();
    void exportRows();

    QString path_;
    journal::Contents contents_;
    QString readError_;
    QList<journal::Row> shown_;
};
