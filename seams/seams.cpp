#include "seams/seams.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QOperatingSystemVersion>
#include <QRegularExpression>
#include <QTimer>

namespace seams {

QList<NameFilter> nameFilters(const QString& pairs, bool dotlessNames) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QList<NameFilter> out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (dotlessNames && p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        // Qt takes the patterns from the last parenthesis of the filter text:
        // the description as written when its own parenthesis says the same
        // (so a native dialog shows it unchanged), else the patterns after it.
        static const QRegularExpression tail(QStringLiteral("\\(([^()]*)\\)$"));
        const QRegularExpressionMatch own = tail.match(parts[i]);
        const QString joined = patterns.join(QLatin1Char(' '));
        const QString qt = own.hasMatch() && own.captured(1).simplified() == joined
                               ? parts[i]
                               : parts[i] + QStringLiteral(" (") + joined + QLatin1Char(')');
        out << NameFilter{parts[i], qt};
    }
    return out;
}

QString finalSaveName(const QString& chosen, const QString& pairs) {
    const QString first = pairs.section(QLatin1Char('|'), 1, 1).section(QLatin1Char(';'), 0, 0).trimmed();
    const QString ext = first.startsWith(QLatin1String("*.")) ? first.mid(1) : QString();
    if (chosen.isEmpty() || ext.isEmpty() || ext.contains(QLatin1Char('*'))) return chosen;
    return chosen.endsWith(ext, Qt::CaseInsensitive) ? chosen : chosen + ext;
}

QString confirmedSaveName(QWidget* parent, const QString& pairs, const std::function<QString()>& dialog) {
    for (;;) {
        const QString chosen = dialog();
        if (chosen.isEmpty()) return {};
        const QString name = finalSaveName(chosen, pairs);
        if (!QFileInfo::exists(name)) return name;
        const QString title = QCoreApplication::translate("FileDialog", "Save As");
        const QString text =
            QCoreApplication::translate("FileDialog", "%1 already exists.\nDo you want to replace it?")
                .arg(QFileInfo(name).fileName());
        if (current().question(parent, title, text)) return name;
        // No: back to the dialog, as the system's own dialog does.
    }
}

namespace {

bool dotlessFileNames() {
    return QOperatingSystemVersion::currentType() != QOperatingSystemVersion::Windows;
}

QString runDialog(QWidget* parent, const QString& caption, const QString& dir, const QString& pairs,
                  QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, caption, dir);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Replacing a file is asked about by the final name (confirmedSaveName).
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QList<NameFilter> filters = nameFilters(pairs, dotlessFileNames());
    QStringList qtFilters;
    for (const NameFilter& f : filters)
        qtFilters << f.qtFilter;
    dialog.setNameFilters(qtFilters);
    // The dialog drawn by Qt shows each filter by the program's own description.
    auto relabel = [&dialog, filters] {
        if (auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < combo->count() && i < filters.size(); ++i)
                combo->setItemText(i, filters[i].label);
    };
    relabel();
    QTimer::singleShot(0, &dialog, relabel);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
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
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                        parent);
        box.exec();
    };
    s.openFileName = [](QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
        return runDialog(parent, caption, dir, filter, QFileDialog::AcceptOpen);
    };
    s.saveFileName = [](QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
        // The answer is the final name, the extension appended; an existing
        // file is replaced only when the user says so.
        return confirmedSaveName(
            parent, filter, [&] { return runDialog(parent, caption, dir, filter, QFileDialog::AcceptSave); });
    };
    s.now = [] { return QDateTime::currentDateTime(); };
    s.question = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    return s;
}

} // namespace

Seams& current() {
    static Seams s = realSeams();
    return s;
}

void reset() {
    current() = realSeams();
}

void errorBox(QWidget* parent, const QString& text) {
    current().errorBox(parent, text);
}

} // namespace seams
