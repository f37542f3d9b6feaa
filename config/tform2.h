#pragma once
// The communication settings dialog. Its controls are the store of the
// settings for the whole run: the serial line, the relay's bus address and
// the language. It keeps them between runs in vrk.ini and applies the
// language files to every window.
#include <QWidget>

#include "config/inifile.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class RadioGroup;
class TForm1;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    // Created hidden, once, right after the main window; lives until the end.
    explicit TForm2(TForm1* form1, QWidget* parent = nullptr);

    // Loads vrk.ini (or writes it with the initial selections when there is
    // none), then applies the chosen language. An unreadable or unwritable
    // vrk.ini is reported in the standard error box and the language is
    // then left as built in.
    void FormCreate();
    // OK: hides the dialog and stores the selections in vrk.ini. A failed
    // write is reported and leaves the previous file as it was.
    void Button1Click();
    // The user chose another language: applied at once (once the running
    // operation with the relay, if any, has returned), stored only by OK.
    void RadioGroup2Click();

    // Applies the selected language to both windows, after writing any
    // missing language file.
    void zmiana_jezyka();
    // Writes every missing language file with its built-in text. False when
    // one could not be written (already shown in the standard error box).
    bool zapis_plikow();

    // The bus address used on the wire: the address list's index + 1, 0 while
    // no address is selected. A choice made while an operation with the relay
    // runs takes effect once it has returned: one operation, one address.
    int busAddress() const;
    // 0 Polish, 1 English, 2 Russian (-1 none, read as Polish).
    int languageIndex() const;

    // The selections of all controls, and setting them (as loading does).
    ini::Selections selections() const;
    void setSelections(const ini::Selections& s);

    RadioGroup* RadioGroup1 = nullptr; // port
    QGroupBox* GroupBox1 = nullptr;    // speed
    QComboBox* ComboBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr; // parity
    QComboBox* ComboBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr; // address
    QComboBox* ComboBox3 = nullptr;
    QGroupBox* GroupBox4 = nullptr; // stop bits
    QComboBox* ComboBox4 = nullptr;
    QGroupBox* GroupBox5 = nullptr; // data bits
    QComboBox* ComboBox5 = nullptr;
    RadioGroup* RadioGroup2 = nullptr; // language
    QPushButton* Button1 = nullptr;

signals:
    // The bus address used on the wire is another now.
    void addressChanged(int address);

protected:
    // The close box only hides the dialog.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool saveIni();
    void takeAddress();

    TForm1* form1_;
    int address_ = 0;
    bool centred_ = false;
};
