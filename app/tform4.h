#pragma once
// The error window: not modal, always on top; shows the main window's
// Label101 as its heading and Label100 as its message.
#include <QWidget>

class QFontMetrics;
class QLabel;
class QPushButton;
class QToolButton;
class TForm1;

// The error window's size for a message: the width rule (288 pixels, or 6
// per character plus 120 beyond 25 characters) unless the longest line's
// drawn width needs more; grown by a line height per line beyond the first;
// never larger than the screen: wider, the message wraps, and the window
// grows by wrappedTextHeight (the wrapped text's height) beyond its lines.
struct ErrorWindowLayout {
    int width = 288;
    int height = 111;
    int buttonLeft = 109;
    int buttonTop = 76;
    bool wrap = false; // the screen is too small: the message wraps
};
ErrorWindowLayout errorWindowLayout(const QString& message, int widestLinePixels, int lineHeight,
                                    const QSize& screen, int wrappedTextHeight = 0);
// The message with every space-free run wider than maxWidth (a long path)
// shortened in its middle to fit.
QString elideUnbrokenWords(const QString& message, const QFontMetrics& fm, int maxWidth);

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
