#include "core/SafeRead.h"

#include "core/Descriptor.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qsjuv {
namespace {

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

void setSystemReason(QString *reason, int error)
{
    setReason(reason, qt_error_string(error));
}

QString notRegular()
{
    return QCoreApplication::translate("qsjuv::SafeRead", "not a regular file");
}

QString tooLarge()
{
    return QCoreApplication::translate("qsjuv::SafeRead", "larger than 1 MiB");
}

QString dangling()
{
    return QCoreApplication::translate("qsjuv::SafeRead", "dangling symbolic link");
}


} // namespace

std::optional<QByteArray> readRegularFile(const std::filesystem::path &path, QString *reason)
{
    // Decided before any open: opening a FIFO for reading waits for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            setReason(reason, dangling());
        else
            setSystemReason(reason, error);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        setReason(reason, notRegular());
        return std::nullopt;
    }
    if (info.st_size > kQuestionnaireSizeLimit) {
        setReason(reason, tooLarge());
        return std::nullopt;
    }

    // Whatever took the name's place since: O_NONBLOCK keeps a FIFO from blocking the open,
    // O_NOCTTY keeps a terminal from becoming ours, and fstat tells what was opened.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        setSystemReason(reason, errno);
        return std::nullopt;
    }
    if (::fstat(fd.get(), &info) != 0) {
        setSystemReason(reason, errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        setReason(reason, notRegular());
        return std::nullopt;
    }

    // Sized by what fstat says, grown only for files that report less than they hold.
    QByteArray data(qMin<qint64>(info.st_size, kQuestionnaireSizeLimit) + 1, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got > kQuestionnaireSizeLimit)
                break;
            data.resize(qMin(qMax<qint64>(got * 2, 4096), kQuestionnaireSizeLimit + 1));
        }
        const ssize_t n = ::read(fd.get(), data.data() + got, size_t(data.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setSystemReason(reason, errno);
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got > kQuestionnaireSizeLimit) {
        setReason(reason, tooLarge());
        return std::nullopt;
    }
    data.truncate(got);
    return data;
}

QString russianReason(const QString &reason)
{
    if (reason == notRegular())
        return QStringLiteral("не обычный файл");
    if (reason == tooLarge())
        return QStringLiteral("файл больше 1 МиБ");
    if (reason == dangling())
        return QStringLiteral("ссылка никуда не ведёт");
    return reason;
}

SaveTarget probeSaveTarget(const std::filesystem::path &path, QString *reason)
{
    // The name decides, not what may be done with it: a write-only file or a link to nothing
    // still exists and is only replaced after the question.
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0)
        return SaveTarget::Missing;
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
        setReason(reason, notRegular());
        return SaveTarget::NotRegular;
    }
    return SaveTarget::Exists;
}

} // namespace qsjuv
