#pragma once

#include "check/FolderWalk.h"
#include "core/AtomicFile.h"
#include "core/DeviceModel.h"
#include "core/QuestionnaireLoad.h"
#include "core/Sensor.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace qsjuv::check {

// Worst first: a file gets the first verdict that applies.
enum class Verdict {
    Unreadable,
    InterruptedSave,
    NotQuestionnaire,
    NoModelId,
    CheckCodeMismatch,
    Incomplete,
    RequisiteUnreadable,
    NoCheckCode,
    Ok
};

// The stable machine name: "ok", "no-check-code", ...
const char *verdictName(Verdict verdict);

struct FileReport
{
    QString path; // for people: displayPath of the bytes
    Verdict verdict = Verdict::Ok;
    QString reason; // why an unreadable file could not be read; where an interrupted save left the old content

    // What only the file says.
    std::optional<qint32> storedCode; // nullopt when the file has none
    qint32 computedCode = 0;
    std::optional<int> modelId; // the "id" number as the loader takes it (low 8 bits)
    // Requisites and version as the window shows them.
    QString firm, phone, mail, bill, version;

    // What a new window shows once it has loaded the file, and what it changed to show it.
    LoadedQuestionnaire loaded;
    // Those changes, then every reason its save would refuse the value.
    std::vector<Problem> problems;

    const DeviceModel *model() const { return loaded.modelKnown ? &loaded.value.model() : nullptr; }
    int quantity() const; // as the window's quantity check takes it
    bool clean() const { return verdict == Verdict::Ok && problems.empty(); }
};

// Checks file contents exactly as the form's loader reads them.
FileReport checkBytes(const QByteArray &bytes, const QString &path = QString());

// Reads the file with the loader's reading function; a file that cannot be read, or whose check
// fails (out of memory included), is "unreadable" with the reason. The report shows the path with
// displayPath.
FileReport checkFile(const std::filesystem::path &path);
// The same for an entry a folder walk found, its interrupted saves looked up in saves.
FileReport checkFile(const WalkEntry &entry, const InterruptedSaves &saves);

} // namespace qsjuv::check
