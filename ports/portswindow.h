#pragma once
// "Which port is this?": the serial ports present with their adapters'
// names; the chosen one becomes COM1 or COM2 of the settings through the
// ports file in the working folder. Opened from the communication monitor.
#include <QDialog>

#include "ports/portlist.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class PortsWindow : public QDialog {
    Q_OBJECT
public:
    explicit PortsWindow(QWidget* parent = nullptr);

    // Lists the ports present again.
    void refresh();
    // The list as shown, for the tests: it replaces what the system reports.
    void showPorts(const QList<portlist::Port>& ports);

    QComboBox* SettingsPort = nullptr;
    QTableWidget* PortTable = nullptr;
    QPushButton *RefreshButton = nullptr, *WriteButton = nullptr, *CloseButton = nullptr;
    QLabel *CurrentLabel = nullptr, *StatusLabel = nullptr;

private:
    void writeChosen();
    void showCurrent();
    QList<portlist::Port> ports_;
};

// The communication monitor's button that opens the window.
QPushButton* makePortsButton(QWidget* parent);
