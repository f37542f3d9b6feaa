// Applying a language: every line of the language file goes to its targets
// on the main window and on this dialog, in the order of the file.
#include "app/tform1.h"
#include "config/languagelines.h"
#include "config/languages.h"
#include "config/tform2.h"
#include "i18n/translator.h"
#include "seams/seams.h"
#include "setpoints/rules.h"
#include "trends/recorderchart.h"
#include "widgets/controls.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace {

using namespace languages;

// A control of a page of the main window, found by its object name: the
// pages own their controls, the language file names them.
template <class T> T* named(const TForm1* f1, const QString& name) {
    return f1->findChild<T*>(name);
}
template <class T> T* named(const TForm1* f1, const char* name) {
    return named<T>(f1, QLatin1String(name));
}

struct Windows {
    TForm1* f1; // null: only the dialog's own texts are set
    TForm2* f2;
};

void setTitle(QGroupBox* g, const QString& t) {
    if (g) g->setTitle(t);
}
void setText(QLabel* l, const QString& t) {
    if (l) l->setText(t);
}
void setText(QAbstractButton* b, const QString& t) {
    if (b) b->setText(t);
}
void setHint(QAbstractButton* b, const QString& t) {
    if (b) b->setToolTip(t);
}
void setCell(StringGrid* g, int column, int row, const QString& t) {
    if (g) g->setCell(column, row, t);
}
// A page's caption, then the caption of the toolbar button that selects it.
void setPage(TForm1* f1, QWidget* page, QAbstractButton* button, const QString& t) {
    if (f1->PageControl1 && page) {
        const int index = f1->PageControl1->indexOf(page);
        if (index >= 0) f1->PageControl1->setTabText(index, t);
    }
    setText(button, t);
}

using Assign = void (*)(const Windows& w, int line, const QString& t);

struct Target {
    int first, last; // the lines this entry takes
    bool mainWindow; // the target is on the main window
    Assign assign;
};

// clang-format off
const Target kTargets[] = {
    {1, 1, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->RadioGroup2, t); }},
    {2, 2, false, [](const Windows& w, int, const QString& t) { w.f2->setWindowTitle(t); }},
    {3, 3, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->RadioGroup1, t); }},
    {4, 4, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->GroupBox1, t); }},
    {5, 5, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->GroupBox2, t); }},
    {6, 6, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->GroupBox3, t); }},
    {7, 7, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->GroupBox5, t); }},
    {8, 8, false, [](const Windows& w, int, const QString& t) { setTitle(w.f2->GroupBox4, t); }},
    {9, 9, true, [](const Windows& w, int, const QString& t) { w.f1->setWindowTitle(t); }},
    {10, 10, true, [](const Windows& w, int, const QString& t) { setHint(w.f1->SpeedButton1, t); }},
    {11, 11, true, [](const Windows& w, int, const QString& t) { setHint(w.f1->SpeedButton2, t); }},
    {12, 12, true, [](const Windows& w, int, const QString& t) { setHint(w.f1->SpeedButton3, t); }},
    {13, 13, true, [](const Windows& w, int, const QString& t) { setPage(w.f1, w.f1->TabSheet1, w.f1->SpeedButton21, t); }},
    {14, 14, true, [](const Windows& w, int, const QString& t) { setPage(w.f1, w.f1->TabSheet4, w.f1->SpeedButton22, t); }},
    {15, 15, true, [](const Windows& w, int, const QString& t) { setPage(w.f1, w.f1->TabSheet5, w.f1->SpeedButton23, t); }},
    {16, 16, true, [](const Windows& w, int, const QString& t) { setPage(w.f1, w.f1->TabSheet6, w.f1->SpeedButton24, t); }},
    // the data page's frames, the lamps' heading and captions, the fault reset
    {line::kFrameFirst, line::kFrameFirst + 5, true, [](const Windows& w, int l, const QString& t) { setTitle(named<QGroupBox>(w.f1, kFrames[size_t(l - line::kFrameFirst)]), t); }},
    {line::kLampHeading, line::kLampHeading, true, [](const Windows& w, int, const QString& t) { setText(named<QLabel>(w.f1, "Label31"), t); }},
    {24, 28, true, [](const Windows& w, int l, const QString& t) {
         for (size_t bit = 0; bit < kLampCaptions.size(); ++bit)
             if (kLampCaptions[bit].line == l) setText(named<QLabel>(w.f1, QStringLiteral("Label%1").arg(lampLabel(int(bit)))), t);
     }},
    {line::kResetButton, line::kResetButton, true, [](const Windows& w, int, const QString& t) { setText(named<QPushButton>(w.f1, "Button5"), t); }},
    // the texts kept on the hidden page, then what shows them at once
    {line::kPortBusy, 88, true, [](const Windows& w, int l, const QString& t) { if (const int n = hiddenLabelOfLine(l)) setText(w.f1->hiddenLabel(n), t); }},
    {line::kErrorHeading, line::kErrorHeading, true, [](const Windows& w, int, const QString& t) { setText(w.f1->Label101, t); }},
    {line::kSetpointNameFirst, line::kSetpointNameFirst + 13, true, [](const Windows& w, int l, const QString& t) { setCell(named<StringGrid>(w.f1, "StringGrid1"), 1, l - line::kSetpointNameFirst, t); }},
    {line::kDateHint, line::kTimeHint, true, [](const Windows& w, int l, const QString& t) { setCell(named<StringGrid>(w.f1, "StringGrid1"), 2, setpoints::kDateRow + l - line::kDateHint, t); }},
    {49, 49, true, [](const Windows& w, int, const QString& t) { setText(named<QToolButton>(w.f1, "SpeedButton9"), t); setText(named<QToolButton>(w.f1, "SpeedButton13"), t); }},
    {50, 50, true, [](const Windows& w, int, const QString& t) { setText(named<QToolButton>(w.f1, "SpeedButton10"), t); setText(named<QToolButton>(w.f1, "SpeedButton14"), t); }},
    {51, 51, true, [](const Windows& w, int, const QString& t) { setText(named<QToolButton>(w.f1, "SpeedButton11"), t); }},
    // the recorder button takes the new "pause" or "start" at once
    {53, 53, true, [](const Windows& w, int, const QString&) {
         if (QToolButton* b = named<QToolButton>(w.f1, "SpeedButton8"))
             b->setText(w.f1->hiddenLabel(b->isChecked() ? HiddenText::RecorderPause : HiddenText::RecorderStart)->text());
     }},
    {54, 54, true, [](const Windows& w, int, const QString& t) { setTitle(named<RadioGroup>(w.f1, "RadioGroup1"), t); }},
    {55, 55, true, [](const Windows& w, int, const QString& t) { setTitle(named<RadioGroup>(w.f1, "RadioGroup2"), t); }},
    // the traces are redrawn after the last axis title so that they show the new titles
    {63, 63, true, [](const Windows& w, int, const QString&) {
         w.f1->Ods_wykres1();
         w.f1->Ods_wykres2();
     }},
    // the fault log's column headers
    {line::kFaultColumnFirst, line::kFaultColumnFirst + 2, true, [](const Windows& w, int l, const QString& t) { setCell(named<StringGrid>(w.f1, "StringGrid2"), 1 + l - line::kFaultColumnFirst, 0, t); }},
    {line::kAverageVoltage, line::kAverageVoltage, true, [](const Windows& w, int, const QString& t) { setText(named<QLabel>(w.f1, "Label48"), t); }},
    {line::kAverageCurrent, line::kAverageCurrent, true, [](const Windows& w, int, const QString& t) { setText(named<QLabel>(w.f1, "Label28"), t); }},
};
// clang-format on

void assignLine(const Windows& w, int line, const QString& text) {
    for (const Target& target : kTargets) {
        if (line < target.first || line > target.last) continue;
        if (target.mainWindow && !w.f1) continue;
        target.assign(w, line, text);
    }
}

// The character set each translated control draws its text in. The texts
// are decoded from the file's code page, so with Unicode fonts nothing more
// is needed; the set is recorded on every control that takes it, under the
// property "fontCharset", for the places that still ask for it.
void setCharsets(const Windows& w, int charset) {
    QList<QObject*> controls;
    if (w.f1) controls << w.f1;
    controls << w.f2;
    if (w.f1) controls << w.f1->TabSheet1 << w.f1->TabSheet4 << w.f1->TabSheet5 << w.f1->TabSheet6;
    controls << w.f2->RadioGroup2 << w.f2->RadioGroup1 << w.f2->GroupBox1 << w.f2->GroupBox2
             << w.f2->GroupBox3 << w.f2->GroupBox5 << w.f2->GroupBox4;
    if (TForm1* f = w.f1) {
        controls << f->SpeedButton1 << f->SpeedButton2 << f->SpeedButton3;
        controls << named<QGroupBox>(f, "GroupBox1") << named<QGroupBox>(f, "GroupBox3")
                 << named<QGroupBox>(f, "GroupBox4") << named<QGroupBox>(f, "GroupBox5")
                 << named<QGroupBox>(f, "GroupBox7") << named<QGroupBox>(f, "GroupBox2");
        controls << named<QLabel>(f, "Label31") << named<QLabel>(f, "Label32") << named<QLabel>(f, "Label33")
                 << named<QLabel>(f, "Label34") << named<QLabel>(f, "Label35") << named<QLabel>(f, "Label38")
                 << named<QPushButton>(f, "Button5");
        controls << f->hiddenLabel(HiddenText::PortBusy) << f->hiddenLabel(HiddenText::ErrorHeadingCopy)
                 << f->hiddenLabel(HiddenText::NoConnection);
        controls << named<StringGrid>(f, "StringGrid1");
        controls << named<QToolButton>(f, "SpeedButton9") << named<QToolButton>(f, "SpeedButton10")
                 << named<QToolButton>(f, "SpeedButton13") << named<QToolButton>(f, "SpeedButton14")
                 << named<QToolButton>(f, "SpeedButton11") << named<QToolButton>(f, "SpeedButton8");
        controls << named<RadioGroup>(f, "RadioGroup1") << named<RadioGroup>(f, "RadioGroup2");
        // the recorder chart stands for the title fonts of its two value axes
        controls << f->findChild<QObject*>(QStringLiteral("Chart2"));
        controls << named<StringGrid>(f, "StringGrid2") << f->hiddenLabel(HiddenText::ParameterPrompt)
                 << named<QLabel>(f, "Label48") << named<QLabel>(f, "Label28");
        controls << f->PageControl1;
        controls << f->SpeedButton21 << f->SpeedButton22 << f->SpeedButton23 << f->SpeedButton24;
    }
    for (QObject* o : controls)
        if (o) o->setProperty("fontCharset", charset);
}

} // namespace

bool TForm2::zapis_plikow() {
    QString error;
    if (languages::writeMissingFiles(&error)) return true;
    seams::errorBox(this, error);
    return false;
}

void TForm2::zmiana_jezyka() {
    if (!zapis_plikow()) return;
    const languages::Language language = languages::fromIndex(languageIndex());
    const QString name = languages::fileName(language);
    // A link that leads to no file counts as no file here (the writer above
    // never writes through it).
    if (!QFileInfo::exists(name)) {
        seams::current().messageBox(this, seams::BoxIcon::Error, QString::fromUtf8("Błąd"),
                                    QString::fromUtf8("Brak pliku językowego\nWybierz inny język"));
        return;
    }
    languages::FileReader reader(language);
    if (!reader.open(name)) {
        seams::errorBox(this, reader.errorString());
        return;
    }
    // The program's own texts beyond the language files, and Qt's dialogs,
    // follow the same choice.
    i18n::use(language == languages::Polish    ? i18n::Language::Polish
              : language == languages::Russian ? i18n::Language::Russian
                                               : i18n::Language::English);
    const Windows w{form1_, this};
    QString text;
    for (int line = 1; line <= languages::kLineCount; ++line) {
        // A failure keeps what was assigned before it, and the character sets.
        if (!reader.readLine(&text)) {
            seams::errorBox(this, reader.errorString());
            return;
        }
        assignLine(w, line, text);
    }
    setCharsets(w, languages::fontCharset(language));
}
