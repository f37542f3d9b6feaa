#pragma once
// The error window: not modal, always on top; shows the main window's
// Label101 as its heading and Label100 as its message.
#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;
class TForm1;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(TForm1* form1, QWidget* parent = nullptr);
    void FormCreate();
    void FormActivate();
    void Button1Click();
    // Shows the window (again) with the latest message.
    void showMessage();

    QLabel* Label1 = nullptr; // message
    QLabel* Label2 = nullptr; // heading
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void takeTexts();
    TForm1* form1_;
};
