#pragma once
// The program's own texts beyond the language files, and Qt's texts in its
// dialogs and standard boxes, follow the language chosen in the settings.
// English is the source language: choosing it removes the translators.
#include <QString>

namespace i18n {

enum class Language { Polish, English, Russian };

// Installs the program's and Qt's translators for the language, replacing
// those of the language before (a LanguageChange event reaches every widget),
// and makes the language's locale the program's default (QLocale()).
// False when a translation the language needs could not be loaded; the
// program's texts then stay in English.
bool use(Language language);

// The language in force (English before the first call).
Language current();

// The locale name of a language's translation files: "pl", "en", "ru".
QString localeName(Language language);

// Where Qt's own translations (qtbase_pl.qm, qtbase_ru.qm) are looked for,
// in this order: the folder Qt was built with, then "translations" beside
// the program (a Windows folder or a relocated installation).
QStringList qtTranslationFolders();

} // namespace i18n
