// The settings dialog's five drop-down lists show their text whatever font
// the system puts in for the dialog's own (Arial is often missing).
#include "config/tform2.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QTest>

class TstForm2Fit : public QObject {
    Q_OBJECT
private slots:
    void textFitsTheField_data();
    void textFitsTheField();
};

void TstForm2Fit::textFitsTheField_data() {
    QTest::addColumn<QString>("substitute"); // what stands in for Arial
    QTest::newRow("DejaVu Sans") << "DejaVu Sans";
    QTest::newRow("DejaVu Serif") << "DejaVu Serif";
    QTest::newRow("DejaVu Sans Mono") << "DejaVu Sans Mono";
}

void TstForm2Fit::textFitsTheField() {
    QFETCH(QString, substitute);
    QVERIFY2(QFontDatabase::families().contains(substitute), qPrintable(substitute + " is not installed"));
    QFont::removeSubstitutions(QStringLiteral("Arial"));
    QFont::insertSubstitution(QStringLiteral("Arial"), substitute);
    TForm2 dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QList<QComboBox*> boxes = dialog.findChildren<QComboBox*>();
    QCOMPARE(boxes.size(), 5);
    for (QComboBox* box : boxes) {
        QCOMPARE(box->height(), 21); // the dialog's layout stays
        const QLineEdit* edit = box->lineEdit();
        const int room = edit->contentsRect().height() - 2;
        QVERIFY2(QFontMetrics(edit->font()).height() <= room,
                 qPrintable(QStringLiteral("%1: a line of %2 px in %3 px")
                                .arg(box->objectName())
                                .arg(QFontMetrics(edit->font()).height())
                                .arg(room)));
        QVERIFY2(!edit->text().isEmpty(), qPrintable(box->objectName()));
    }
    if (qEnvironmentVariableIsSet("VRK_KEEP_SCREENS"))
        dialog.grab().save(qEnvironmentVariable("VRK_KEEP_SCREENS") +
                           QStringLiteral("/settings-%1.png").arg(QString(substitute).remove(' ')));
    QFont::removeSubstitutions(QStringLiteral("Arial"));
}

QTEST_MAIN(TstForm2Fit)
#include "tst_form2fit.moc"
