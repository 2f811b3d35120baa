#pragma once

#include "check/ReportWriter.h"
#include "core/VerificationPoints.h"

#include <QJsonArray>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <vector>

// The verification points of checked files, streamed as they come: text for people, or one JSON
// array and one CSV table with a row per point.
namespace qsjuv::check {

class PointsWriter
{
public:
    virtual ~PointsWriter() = default;
    virtual void begin() { }
    virtual void write(const QString &path, const std::vector<ChannelPoints> &channels) = 0;
    virtual void end() { }
};

std::unique_ptr<PointsWriter> makePointsWriter(Format format, QTextStream &out);

// The rows the JSON and CSV outputs hold for one file, one per point.
QJsonArray pointsToJson(const QString &path, const std::vector<ChannelPoints> &channels);
QStringList pointsCsvHeader();
std::vector<QStringList> pointsCsvRows(const QString &path, const std::vector<ChannelPoints> &channels);

} // namespace qsjuv::check
