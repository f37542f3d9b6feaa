#include "app/seams.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace seams {
namespace {

// The dialogs are given filters in the form "Description|*.ext|Description|*.*";
// Qt wants "Description (*.ext);;Description (*.*)".
QString qtFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        desc.remove(QRegularExpression(QStringLiteral("\\(.*\\)")));
        out << desc.trimmed() + QStringLiteral(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

Seams realSeams() {
    Seams s;
    s.beep = [] { QApplication::beep(); };
    s.messageBox = [](QWidget* parent, BoxIcon icon, const QString& title, const QString& text) {
        QMessageBox box(icon == BoxIcon::Error     ? QMessageBox::Critical
                        : icon == BoxIcon::Warning ? QMessageBox::Warning
                                                   : QMessageBox::Information,
                        title, text, QMessageBox::Ok, parent);
        box.exec();
    };
    s.errorBox = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, parent);
        box.exec();
    };
    s.openFileName = [](QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, dir, qtFilter(filter));
    };
    s.saveFileName = [](QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
        // Overwrite is confirmed by the dialog; the caller appends the extension.
        return QFileDialog::getSaveFileName(parent, caption, dir, qtFilter(filter));
    };
    s.now = [] { return QDateTime::currentDateTime(); };
    return s;
}

} // namespace

Seams& current() {
    static Seams s = realSeams();
    return s;
}

void reset() { current() = realSeams(); }

void errorBox(QWidget* parent, const QString& text) { current().errorBox(parent, text); }

} // namespace seams
