#pragma once

#include "core/DeviceModel.h"
#include "core/Sensor.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace qsjuv::check {

// Worst first: a file gets the first verdict that applies.
enum class Verdict { Unreadable, NoModelId, CheckCodeMismatch, NoCheckCode, Ok };

// The stable machine name: "ok", "no-check-code", ...
const char *verdictName(Verdict verdict);

struct Problem
{
    const char *code; // stable machine code, such as "range-too-narrow"
    int channel = 0; // 1 or 2; 0 for the file as a whole
    QString text; // Russian, for people
};

// One channel section as the form shows it once the file is loaded and the range check has run.
// The bounds, their unit and the output are filled only when the model is known, the nominal
// resistance and the connection only when it also offers the sensor: otherwise the form would
// show leftovers of whatever it showed before.
struct ChannelReport
{
    int number = 1;
    bool inputOn = true;
    std::optional<int> sensorId; // the id "Sensor id" names, as the loader takes it
    const SensorDescriptor *sensor = nullptr; // that id in the catalogue
    std::optional<int> max, min; // range bounds; nullopt when not a number
    SensorType unitType = 0; // decides the unit and the captions of the bounds
    std::optional<int> nominalROhms;
    const char *connection = nullptr; // UTF-8; only where the form shows the connection list
    const char *output = nullptr; // UTF-8; nullptr for models without outputs
};

struct FileReport
{
    QString path; // for people: displayPath of the bytes
    Verdict verdict = Verdict::Ok;
    QString reason; // why an unreadable file could not be read

    std::optional<qint32> storedCode; // nullopt when the file has none
    qint32 computedCode = 0;
    std::optional<int> modelId; // the "id" number as the loader takes it (low 8 bits)
    const DeviceModel *model = nullptr;

    // Requisites as the file holds them, even where the form would not take them over.
    QString firm, phone, mail, bill, version;
    int quantity = 1; // after the quantity check
    std::vector<ChannelReport> channels;
    std::vector<Problem> problems;

    bool clean() const { return verdict == Verdict::Ok && problems.empty(); }
};

// Checks file contents exactly as the form's loader reads them.
FileReport checkBytes(const QByteArray &bytes, const QString &path = QString());

// Reads the file with the loader's reading function; a file that cannot be read, or whose check
// fails (out of memory included), is "unreadable" with the reason. The report shows the path with
// displayPath.
FileReport checkFile(const std::filesystem::path &path);

} // namespace qsjuv::check
