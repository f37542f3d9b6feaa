#pragma once
// The splash window: shown while the program starts, closes itself 2.5 s
// after it was activated.
#include <QWidget>

class QLabel;
class QTimer;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    void FormCreate();
    void FormActivate();
    void Timer1Timer();
    bool ready() const { return ready_; }

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool ready_ = false;
    bool activated_ = false;
};
