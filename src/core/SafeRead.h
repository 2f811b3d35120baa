#pragma once

#include "core/Platform.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>

namespace qsjuv {

// No questionnaire comes near it; anything larger is not one and would only cost memory.
inline constexpr qint64 kQuestionnaireSizeLimit = 1024 * 1024;

// Why a file could not be read or written: the program's own reason, or the system's number.
enum class FileFault { None, System, NotRegular, TooLarge, DanglingLink };
struct FileError
{
    FileFault fault = FileFault::None;
    int system = 0; // for FileFault::System
    explicit operator bool() const { return fault != FileFault::None; }
};
inline FileError systemError(int error)
{
    return error ? FileError{FileFault::System, error} : FileError{};
}

// The reason for a message: the program's own in Russian, the system's in the user's language.
QString russianReason(const FileError &error);

// The whole of a regular file of at most kQuestionnaireSizeLimit bytes, or nullopt with the
// reason (denied, not a regular file, too large, ...). Links are
// followed. Nothing else is ever opened, and the open itself cannot block: a FIFO or a device
// swapped in after the check is refused too. At most the limit plus one byte is read, also
// from files whose size the system does not know (/proc).
std::optional<QByteArray> readRegularFile(const std::filesystem::path &path, FileError *error = nullptr);

// The same for name in folder, opened relative to it however deep the folder lies; listed is the
// entry's kind as its folder's listing gave it, where one did (a regular file then needs no look
// before the open). The file is left open under a shared lock, so that no rewrite in place of it
// runs while the caller looks at it and beside it; *status is what was read.
std::optional<QByteArray> readRegularFileIn(const platform::Folder &folder, const QByteArray &name,
                                            std::optional<platform::Kind> listed, platform::File &file,
                                            platform::Status *status, FileError *error = nullptr);

enum class SaveTarget {
    Missing, // no such name (or none that can be seen)
    Exists, // a file or a link, whatever its permissions, also a link to nothing
    NotRegular, // a folder, FIFO, socket or device, or a link to one: never to be written
};

// What a save to path would replace. For NotRegular, error says why.
SaveTarget probeSaveTarget(const std::filesystem::path &path, FileError *error = nullptr);

} // namespace qsjuv
