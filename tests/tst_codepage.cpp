// Code pages 1250 and 1251 without ICU (the Windows build's Qt has none):
// the tables convert as ICU does, and the language files come out the same.
#include "config/codepage.h"
#include "config/languages.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

class TstCodepage : public QObject {
    Q_OBJECT

private slots:
    void knownCharacters_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("1250 ASCII") << QByteArray("windows-1250") << QStringLiteral("Port COM1: 9600")
                                    << QByteArray("Port COM1: 9600");
        QTest::newRow("1250 Polish letters")
            << QByteArray("windows-1250") << QString::fromUtf8("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ")
            << QByteArray("\xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf \xa5\xc6\xca\xa3\xd1\xd3\x8c\x8f\xaf");
        QTest::newRow("1250 euro and dash")
            << QByteArray("windows-1250") << QString::fromUtf8("€–") << QByteArray("\x80\x96");
        QTest::newRow("1251 Russian letters") << QByteArray("windows-1251") << QString::fromUtf8("Ток ЖЁжё")
                                              << QByteArray("\xd2\xee\xea \xc6\xa8\xe6\xb8");
        QTest::newRow("1251 No. sign")
            << QByteArray("windows-1251") << QString::fromUtf8("№") << QByteArray("\xb9");
    }
    void knownCharacters() {
        QFETCH(QByteArray, page);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(codepage::encode(page.constData(), text), bytes);
        QCOMPARE(codepage::decode(page.constData(), bytes), text);
    }

    void unmappable_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Cyrillic in 1250")
            << QByteArray("windows-1250") << QString::fromUtf8("aЖz") << QByteArray("a\x1az");
        QTest::newRow("Polish in 1251")
            << QByteArray("windows-1251") << QString::fromUtf8("ę") << QByteArray("\x1a");
        QTest::newRow("outside the BMP is one character")
            << QByteArray("windows-1250") << QString::fromUtf8("a\U0001F600b")
            << QByteArray("a\x1a"
                          "b");
        QTest::newRow("unknown page") << QByteArray("koi8-r") << QStringLiteral("a") << QByteArray();
    }
    void unmappable() {
        QFETCH(QByteArray, page);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(codepage::encode(page.constData(), text), bytes);
    }

    void sameAsIcu_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("1250") << QByteArray("windows-1250");
        QTest::newRow("1251") << QByteArray("windows-1251");
    }
    // Every byte decodes, and every character encodes, as Qt's ICU converter does.
    void sameAsIcu() {
        QFETCH(QByteArray, page);
#ifdef Q_OS_WIN
        // The Windows build's Qt has no ICU by design; the same tables are
        // compared with ICU in the Linux build, where a missing ICU fails.
        QSKIP("the Windows build's Qt has no ICU converter: compared in the Linux build");
#endif
        QStringDecoder decoder(page.constData());
        QStringEncoder encoder(page.constData());
        QVERIFY2(decoder.isValid() && encoder.isValid(), "this Qt has no ICU converter to compare with");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString icuText = decoder.decode(all);
        QCOMPARE(codepage::decode(page.constData(), all), icuText);
        QCOMPARE(codepage::encode(page.constData(), icuText), QByteArray(encoder.encode(icuText)));
        QCOMPARE(codepage::encode(page.constData(), icuText), all);
    }

    void languageFiles_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("pol.lng") << int(languages::Polish);
        QTest::newRow("ang.lng") << int(languages::English);
        QTest::newRow("rus.lng") << int(languages::Russian);
    }
    // The built-in texts survive a write and a read in the file's code page.
    void languageFiles() {
        QFETCH(int, language);
        const auto lang = languages::Language(language);
        const QByteArray file = languages::defaultFile(lang);
        const QStringList texts = languages::builtInTexts(lang);
        QByteArray expected;
        for (const QString& t : texts)
            expected += codepage::encode(languages::codePage(lang), t) + "\r\n";
        QCOMPARE(file, expected);
        QVERIFY(!file.contains('\x1a'));
        const QList<QByteArray> lines = file.split('\n');
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(codepage::decode(languages::codePage(lang), lines.at(i).chopped(1)), texts.at(i));
    }
};

QTEST_GUILESS_MAIN(TstCodepage)
#include "tst_codepage.moc"
