#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>

namespace qsjuv {

// No questionnaire comes near it; anything larger is not one and would only cost memory.
inline constexpr qint64 kQuestionnaireSizeLimit = 1024 * 1024;

// The whole of a regular file of at most kQuestionnaireSizeLimit bytes, or nullopt with the
// reason ("Permission denied", "not a regular file", "larger than 1 MiB", ...). Links are
// followed. Nothing else is ever opened, and the open itself cannot block: a FIFO or a device
// swapped in after the check is refused too. At most the limit plus one byte is read, also
// from files whose size the system does not know (/proc).
std::optional<QByteArray> readRegularFile(const std::filesystem::path &path, QString *reason = nullptr);

// A reason given above, for a Russian message: the program's own reasons in Russian; the
// system's, which the C library already gives in the locale's language, as they are.
QString russianReason(const QString &reason);

enum class SaveTarget {
    Missing, // no such name (or none that can be seen)
    Exists, // a file or a link, whatever its permissions, also a link to nothing
    NotRegular, // a folder, FIFO, socket or device, or a link to one: never to be written
};

// What a save to path would replace. For NotRegular, reason says why.
SaveTarget probeSaveTarget(const std::filesystem::path &path, QString *reason = nullptr);

} // namespace qsjuv
