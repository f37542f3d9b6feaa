#pragma once
// The error window: not modal, always on top; shows the main window's
// Label101 as its heading and Label100 as its message.
#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;
class TForm1;

// The error window's size for a message: one line keeps the width rule
// (288 pixels, or 6 per character plus 120 beyond 25 characters); more lines
// size it by the longest line (and at least by its drawn width) and grow it
// by a line height per line; never larger than the screen.
struct ErrorWindowLayout {
    int width = 288;
    int height = 111;
    int buttonLeft = 109;
    int buttonTop = 76;
    bool wrap = false; // the screen is too small: the message wraps
};
ErrorWindowLayout errorWindowLayout(const QString& message, int widestLinePixels, int lineHeight,
                                    const QSize& screen);

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
