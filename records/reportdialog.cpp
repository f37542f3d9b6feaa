#include "records/reportdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace records {

namespace {
QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(200);
    return e;
}
} // namespace

ReportDialog::ReportDialog(const VisitFields& f, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(tr("Commissioning report"));
    technician_ = lineEdit(this, "Technician", f.technician);
    customer_ = lineEdit(this, "Customer", f.customer);
    site_ = lineEdit(this, "Site", f.site);
    motorTag_ = lineEdit(this, "MotorTag", f.motorTag);
    nameplate_ = lineEdit(this, "Nameplate", f.nameplate);
    nameplate_->setPlaceholderText(tr("e.g. 42 A"));
    remark_ = new QPlainTextEdit(f.remark, this);
    remark_->setObjectName(QStringLiteral("Remark"));
    remark_->setTabChangesFocus(true);
    remark_->setFixedHeight(remark_->fontMetrics().lineSpacing() * 4 + 12);

    auto* form = new QFormLayout;
    form->addRow(tr("&Technician:"), technician_);
    form->addRow(tr("&Customer:"), customer_);
    form->addRow(tr("&Site:"), site_);
    form->addRow(tr("&Motor tag:"), motorTag_);
    form->addRow(tr("&Nameplate In:"), nameplate_);
    form->addRow(tr("&Remark:"), remark_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

VisitFields ReportDialog::fields() const {
    return {technician_->text().trimmed(), customer_->text().trimmed(),  site_->text().trimmed(),
            motorTag_->text().trimmed(),   nameplate_->text().trimmed(), remark_->toPlainText().trimmed()};
}

std::optional<VisitFields> ReportDialog::ask(QWidget* parent, const VisitFields& fields) {
    ReportDialog dialog(fields, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.fields();
}

} // namespace records
