#pragma once

#include "check/FileCheck.h"

#include <QJsonObject>
#include <QTextStream>

#include <memory>

namespace qsjuv::check {

enum class Format { Text, Json, Csv };

struct RunTotals
{
    int files = 0;
    int clean = 0;
    int unreadable = 0;
    int reported = 0; // files written out: with --quiet only the doubtful ones
    bool quiet = false;
};

// Writes reports one by one as they come, so a long run shows progress and needs no memory for
// the whole set.
class ReportWriter
{
public:
    virtual ~ReportWriter() = default;
    virtual void begin() { }
    virtual void write(const FileReport &report) = 0;
    virtual void end(const RunTotals &) { }
};

std::unique_ptr<ReportWriter> makeReportWriter(Format format, QTextStream &out);

// A file's text with its control characters shown as U+FFFD: on a terminal they could move the
// cursor or worse.
QString printable(const QString &text);

// One report as a JSON object with the keys the JSON output documents.
QJsonObject reportToJson(const FileReport &report);

// The header of the CSV output and one row, fields unquoted.
QStringList csvHeader();
QStringList csvRow(const FileReport &report);

} // namespace qsjuv::check

namespace qsjuv::check {

// One CSV field as the CSV output quotes it; text (free text from a file) is also guarded
// against spreadsheet formulas.
QString csvCell(const QString &value, bool text);

} // namespace qsjuv::check
