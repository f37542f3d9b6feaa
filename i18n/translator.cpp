#include "i18n/translator.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace i18n {
namespace {

struct Installed {
    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> qt;
    Language language = Language::English;
};

Installed& installed() {
    static Installed state;
    return state;
}

void remove(std::unique_ptr<QTranslator>& t) {
    if (!t) return;
    QCoreApplication::removeTranslator(t.get());
    t.reset();
}

} // namespace

QString localeName(Language language) {
    switch (language) {
    case Language::Polish:
        return QStringLiteral("pl");
    case Language::Russian:
        return QStringLiteral("ru");
    case Language::English:
        break;
    }
    return QStringLiteral("en");
}

QStringList qtTranslationFolders() {
    QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    if (QCoreApplication::instance())
        folders << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"));
    return folders;
}

bool use(Language language) {
    Installed& s = installed();
    // Dates, month names and decimal points the program formats itself
    // follow the chosen language, not the PC's regional settings; set before
    // the translators change, so the texts redrawn on the change use it.
    QLocale::setDefault(QLocale(localeName(language)));
    remove(s.program);
    remove(s.qt);
    s.language = language;
    if (language == Language::English) return true;

    const QString name = localeName(language);
    bool ok = true;
    auto program = std::make_unique<QTranslator>();
    // The program's translations are built into it as resources.
    if (program->load(QStringLiteral(":/i18n/vrk_") + name + QStringLiteral(".qm"))) {
        QCoreApplication::installTranslator(program.get());
        s.program = std::move(program);
    } else {
        ok = false;
    }
    auto qt = std::make_unique<QTranslator>();
    bool qtLoaded = false;
    for (const QString& folder : qtTranslationFolders()) {
        if (qt->load(QStringLiteral("qtbase_") + name, folder)) {
            qtLoaded = true;
            break;
        }
    }
    if (qtLoaded) {
        QCoreApplication::installTranslator(qt.get());
        s.qt = std::move(qt);
    } else {
        ok = false;
    }
    return ok;
}

Language current() {
    return installed().language;
}

} // namespace i18n
