#pragma once
// The dialog before a commissioning report: who made the visit, for whom,
// where, which motor, and a remark. It opens with what was entered last.
#include "records/reportfields.h"

#include <optional>
#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace records {

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportDialog(const VisitFields& fields, QWidget* parent = nullptr);
    VisitFields fields() const;

    // Shows the dialog modally; nothing when it is cancelled.
    static std::optional<VisitFields> ask(QWidget* parent, const VisitFields& fields);

private:
    QLineEdit* technician_;
    QLineEdit* customer_;
    QLineEdit* site_;
    QLineEdit* motorTag_;
    QLineEdit* nameplate_;
    QPlainTextEdit* remark_;
};

} // namespace records
