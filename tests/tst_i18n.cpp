// The program's own translations: every text translated with the same
// placeholders, and the language choice switching the program's and Qt's
// texts together.
#include "appfixture.h"

#include "i18n/translator.h"
#include "widgets/controls.h"

#include <QFile>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>
#include <QXmlStreamReader>

namespace {

struct Message {
    QString context, source, translation;
    bool unfinished = false;
};

QList<Message> readTs(const QString& path) {
    QList<Message> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    QXmlStreamReader xml(&f);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            m = Message{context, {}, {}, false};
        } else if (xml.name() == QLatin1String("source")) {
            m.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            m.unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            m.translation = xml.readElementText();
            out << m;
        }
    }
    return out;
}

QStringList placeholders(const QString& text) {
    QStringList found;
    static const QRegularExpression re(QStringLiteral("%L?\\d+"));
    for (auto it = re.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

// Chooses a language in the settings dialog, as a click on it does.
void choose(AppFixture& app, int index) {
    QRadioButton* b = app.f2()->RadioGroup2->button(index);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TstI18n : public QObject {
    Q_OBJECT
private slots:
    void everyTextTranslated_data();
    void everyTextTranslated();
    void languageChoiceSwitchesTranslations();
};

void TstI18n::everyTextTranslated_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("pl") << QStringLiteral(VRK_SOURCE_DIR "/i18n/vrk_pl.ts");
    QTest::newRow("ru") << QStringLiteral(VRK_SOURCE_DIR "/i18n/vrk_ru.ts");
}

void TstI18n::everyTextTranslated() {
    QFETCH(QString, file);
    const QList<Message> messages = readTs(file);
    QVERIFY2(!messages.isEmpty(), qPrintable(file));
    for (const Message& m : messages) {
        const QString where = m.context + QLatin1String(": ") + m.source;
        QVERIFY2(!m.unfinished && !m.translation.trimmed().isEmpty(), qPrintable(where));
        QCOMPARE(placeholders(m.translation), placeholders(m.source));
        QCOMPARE(m.translation.count(QLatin1Char('\n')), m.source.count(QLatin1Char('\n')));
    }
}

void TstI18n::languageChoiceSwitchesTranslations() {
    const char* context = "FaultLog";
    const char* source =
        "Records %1 of the relay's memory could not be read: their trips are missing from the list.";
    AppFixture app;
    app.start(); // Polish, the program's first language
    QCOMPARE(i18n::current(), i18n::Language::Polish);
    QVERIFY(QCoreApplication::translate(context, source).startsWith(QString::fromUtf8("Nie udało się")));
    // Qt's own texts follow: the standard buttons of its dialogs.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Anuluj"));

    choose(app, 2);
    QCOMPARE(i18n::current(), i18n::Language::Russian);
    QVERIFY(QCoreApplication::translate(context, source).startsWith(QString::fromUtf8("Не удалось")));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));

    choose(app, 1);
    QCOMPARE(i18n::current(), i18n::Language::English);
    QCOMPARE(QCoreApplication::translate(context, source), QString::fromLatin1(source));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    choose(app, 0);
    QCOMPARE(i18n::current(), i18n::Language::Polish);
}

QTEST_MAIN(TstI18n)
#include "tst_i18n.moc"
