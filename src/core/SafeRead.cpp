#include "core/SafeRead.h"

#include "core/Platform.h"

#include <QCoreApplication>

#include <cerrno>

namespace qsjuv {
namespace {

std::optional<QByteArray> failed(FileError *out, FileError error)
{
    if (out)
        *out = error;
    return std::nullopt;
}

std::optional<QByteArray> failed(FileError *out, FileFault fault)
{
    return failed(out, FileError{fault, 0});
}

// At most the limit plus one byte, sized by what the system says, grown only for files that
// report less than they hold (/proc).
std::optional<QByteArray> readLimited(platform::File &file, qint64 reportedSize, FileError *error)
{
    QByteArray data(qMin<qint64>(reportedSize, kQuestionnaireSizeLimit) + 1, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got > kQuestionnaireSizeLimit)
                break;
            data.resize(qMin(qMax<qint64>(got * 2, 4096), kQuestionnaireSizeLimit + 1));
        }
        qint64 n = 0;
        if (const platform::Error e = file.read(data.data() + got, data.size() - got, &n))
            return failed(error, systemError(e));
        if (n == 0)
            break;
        got += n;
    }
    if (got > kQuestionnaireSizeLimit)
        return failed(error, FileFault::TooLarge);
    data.truncate(got);
    return data;
}

// A save rewrites a questionnaire in milliseconds: a lock held longer belongs to one that hangs.
constexpr int kReadLockMs = 1000;

} // namespace

QString russianReason(const FileError &error)
{
    switch (error.fault) {
    case FileFault::None:
        return QString();
    case FileFault::System:
        return platform::errorText(error.system);
    case FileFault::NotRegular:
        return QCoreApplication::translate("SafeRead", "не обычный файл");
    case FileFault::TooLarge:
        return QCoreApplication::translate("SafeRead", "файл больше 1 МиБ");
    case FileFault::DanglingLink:
        return QCoreApplication::translate("SafeRead", "ссылка никуда не ведёт");
    }
    return QString();
}

std::optional<QByteArray> readRegularFile(const std::filesystem::path &path, FileError *error)
{
    // Decided before any open: opening a FIFO for reading waits for a writer.
    const QByteArray name(path.c_str());
    platform::Status info;
    if (const platform::Error e = platform::status(name, &info)) {
        platform::Status link;
        if (e == ENOENT && !platform::status(name, &link, platform::Follow::NotLast) && link.kind == platform::Kind::Link)
            return failed(error, FileFault::DanglingLink);
        return failed(error, systemError(e));
    }
    if (info.kind != platform::Kind::Regular)
        return failed(error, FileFault::NotRegular);
    if (info.size > kQuestionnaireSizeLimit)
        return failed(error, FileFault::TooLarge);

    // Whatever took the name's place since: the open cannot block, and what was opened decides.
    platform::File file;
    platform::Error e = file.openForReading(name);
    if (!e)
        e = file.status(&info);
    if (e)
        return failed(error, systemError(e));
    if (info.kind != platform::Kind::Regular)
        return failed(error, FileFault::NotRegular);
    return readLimited(file, info.size, error);
}

std::optional<QByteArray> readRegularFileIn(const platform::Folder &folder, const QByteArray &name,
                                            std::optional<platform::Kind> listed, platform::File &file,
                                            platform::Status *status, FileError *error)
{
    // Only what the listing says is a regular file is opened without a look first.
    if (listed != platform::Kind::Regular) {
        if (const platform::Error e = folder.status(name, status, platform::Follow::Links)) {
            platform::Status link;
            if (e == ENOENT && !folder.status(name, &link, platform::Follow::NotLast) && link.kind == platform::Kind::Link)
                return failed(error, FileFault::DanglingLink);
            return failed(error, systemError(e));
        }
        if (status->kind != platform::Kind::Regular)
            return failed(error, FileFault::NotRegular);
    }
    platform::Error e = file.openForReading(folder, name);
    if (!e)
        e = file.status(status);
    if (e)
        return failed(error, systemError(e));
    if (status->kind != platform::Kind::Regular)
        return failed(error, FileFault::NotRegular);
    if (status->size > kQuestionnaireSizeLimit)
        return failed(error, FileFault::TooLarge);
    // Waits out a save that rewrites it in place; where nothing can be locked, it is read as it is.
    file.lockWithin(kReadLockMs, platform::File::Lock::Shared);
    return readLimited(file, status->size, error);
}

SaveTarget probeSaveTarget(const std::filesystem::path &path, FileError *error)
{
    // The name decides, not what may be done with it: a write-only file or a link to nothing
    // still exists and is only replaced after the question.
    const QByteArray name(path.c_str());
    platform::Status link;
    if (platform::status(name, &link, platform::Follow::NotLast))
        return SaveTarget::Missing;
    platform::Status target;
    if (!platform::status(name, &target) && target.kind != platform::Kind::Regular) {
        if (error)
            *error = FileError{FileFault::NotRegular, 0};
        return SaveTarget::NotRegular;
    }
    return SaveTarget::Exists;
}

} // namespace qsjuv
