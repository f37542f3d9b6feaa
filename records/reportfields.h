#pragma once
// What the technician enters before a commissioning report, kept between
// reports (and runs) in a small file in the working folder.
#include <QString>

namespace records {

struct VisitFields {
    QString technician;
    QString customer;
    QString site;
    QString motorTag;
    QString nameplate; // the motor's nameplate current, as typed
    QString remark;    // may hold several lines
    bool operator==(const VisitFields&) const = default;
};

// The file the fields are kept in: "report.ini" in the working folder.
QString visitFieldsPath();
// The file's bytes: one "key=value" line each, UTF-8, CR LF; line breaks of
// a value kept as "\n", a backslash as "\\".
QByteArray visitFieldsBytes(const VisitFields& fields);
VisitFields parseVisitFields(const QByteArray& bytes);
// Reads the kept fields; a missing file gives empty fields. False with *error
// when the file is there but cannot be read.
bool loadVisitFields(const QString& path, VisitFields* fields, QString* error);
bool saveVisitFields(const QString& path, const VisitFields& fields, QString* error);

} // namespace records
