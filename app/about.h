#pragma once
// The About window (version, build date, licence, where the files are kept,
// the manual), the manual window, and the menu of the free area of the
// first toolbar that reaches them and the view size.
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTextBrowser;
class TForm1;

namespace about {

// The build date as yyyy-MM-dd, from the compiler's date ("Dec  8 2026").
QString buildDate(const char* compilerDate);

// Where the manual is looked for, in this order: beside the program, in the
// installed documentation folder, then the system's.
QStringList manualCandidates(const QString& programFolder);
// The first candidate that exists, or an empty text.
QString manualPath();

} // namespace about

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent);
    QLabel* Text = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
};

class ManualWindow : public QWidget {
    Q_OBJECT
public:
    explicit ManualWindow(QWidget* parent);
    // Shows the manual's text, or says why it cannot.
    void load();
    QTextBrowser* Browser = nullptr;
};

namespace about {
// The context menu of the first toolbar's free area and the logo (About,
// the manual, the view size) and F1 for the manual.
void addMenu(TForm1& window);
void showAbout(TForm1& window);
void showManual(TForm1& window);
// The user chose a view size: stored, and said when it applies (or why it
// could not be stored).
void chooseViewSize(TForm1& window, int percent);
} // namespace about
