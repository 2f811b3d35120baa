#include "core/AtomicFile.h"

#include "core/Descriptor.h"
#include "core/PathText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

// The result of one step: 0 or the errno that stopped it.
using Error = int;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The name the content belongs to: a link is followed to its last link, whose target may not
// exist yet. A loop is left to fail at the open.
QByteArray followLinks(QByteArray path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(qsizetype(info.st_size > 0 ? info.st_size : 4095) + 1, Qt::Uninitialized);
        const ssize_t n = readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return path;
        target.truncate(n);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    return path;
}

Error writeAll(int fd, const QByteArray &bytes, off_t offset = 0)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

// A file of its own with a short name in folder, so that no target name is too long to save
// beside; created with the mode a new file gets (0666 less the umask).
class Scratch
{
public:
    Error create(const QByteArray &folder)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = folder + "/.qs_juv-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd >= 0) {
                m_fd.reset(fd);
                m_name = name;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }
    ~Scratch() { remove(); }
    Scratch() = default;
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;

    bool isOpen() const { return m_fd.get() >= 0; }
    int fd() const { return m_fd.get(); }
    const QByteArray &name() const { return m_name; }
    Error fill(const QByteArray &bytes)
    {
        if (const Error error = writeAll(fd(), bytes))
            return error;
        return fsync(fd()) == 0 ? 0 : errno;
    }
    Error renameOver(const QByteArray &target)
    {
        if (!m_fd.close())
            return errno;
        if (rename(m_name.constData(), target.constData()) != 0)
            return errno;
        m_name.clear();
        return 0;
    }
    // Kept on disk: the error message sends the user to it.
    void keep() { m_name.clear(); }
    void remove()
    {
        if (!m_name.isEmpty())
            unlink(m_name.constData());
        m_name.clear();
    }

private:
    Descriptor m_fd;
    QByteArray m_name;
};

bool carriedOver(const char *name)
{
    return qstrncmp(name, "user.", 5) == 0 || qstrcmp(name, "system.posix_acl_access") == 0;
}

// Gives the new file the old one's owner, group, mode, extended attributes and access list;
// false when any of them cannot be given (another owner, a group the user is not in).
bool takeOver(const struct stat &old, const QByteArray &oldPath, int fd)
{
    struct stat now {};
    if (fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: a change of owner clears the set-user and set-group bits.
    if (fchmod(fd, old.st_mode & 07777) != 0)
        return false;

    const ssize_t listSize = listxattr(oldPath.constData(), nullptr, 0);
    if (listSize < 0)
        return errno == ENOTSUP;
    QByteArray names(qsizetype(listSize), '\0');
    const ssize_t listed = listxattr(oldPath.constData(), names.data(), size_t(names.size()));
    if (listed < 0 || listed > names.size())
        return false;
    for (const QByteArray &attribute : names.left(listed).split('\0')) {
        if (attribute.isEmpty() || !carriedOver(attribute.constData()))
            continue;
        const ssize_t size = getxattr(oldPath.constData(), attribute.constData(), nullptr, 0);
        if (size < 0)
            return false;
        QByteArray value(qsizetype(size), '\0');
        const ssize_t got = getxattr(oldPath.constData(), attribute.constData(), value.data(), size_t(value.size()));
        if (got < 0 || got > value.size()
            || fsetxattr(fd, attribute.constData(), value.constData(), size_t(got), 0) != 0)
            return false;
    }
    return true;
}

// Rewrites the file in place, which keeps its inode and so everything that belongs to it. Room
// for the new content is taken first, so that a full disk or a size limit usually fails before
// the old content is touched; *touched says whether it was.
Error rewrite(const QByteArray &target, const struct stat &old, const QByteArray &bytes, bool *touched)
{
    *touched = false;
    Descriptor fd(::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    struct stat info {};
    if (fstat(fd.get(), &info) != 0)
        return errno;
    // Swapped for something else since it was looked at.
    if (!S_ISREG(info.st_mode) || info.st_ino != old.st_ino || info.st_dev != old.st_dev)
        return EAGAIN;
    if (bytes.size() > info.st_size) {
        const Error reserved = fallocate(fd.get(), 0, 0, bytes.size()) == 0 ? 0 : errno;
        if (reserved == EOPNOTSUPP) {
            if (ftruncate(fd.get(), bytes.size()) != 0)
                return errno;
        } else if (reserved) {
            // A part of the room may have been given: the old size again.
            const bool restored = ftruncate(fd.get(), info.st_size) == 0;
            *touched = !restored;
            return reserved;
        }
    }
    *touched = true;
    if (const Error error = writeAll(fd.get(), bytes))
        return error;
    if (bytes.size() < info.st_size && ftruncate(fd.get(), bytes.size()) != 0)
        return errno;
    if (fsync(fd.get()) != 0)
        return errno;
    return fd.close() ? 0 : errno;
}

void syncFolder(const QByteArray &folder)
{
    // Best effort: the rename is done; only a crash in the next moments could undo it.
    const Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        fsync(fd.get());
}

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

bool fail(QString *reason, Error error)
{
    return fail(reason, qt_error_string(error));
}

} // namespace

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    ignoreFileSizeSignal();
    const QByteArray target = followLinks(QFile::encodeName(path));
    const QByteArray folder = folderOf(target);
    struct stat old {};
    const bool exists = stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(reason, errno);
    if (exists && S_ISDIR(old.st_mode))
        return fail(reason, EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return fail(reason, QCoreApplication::translate("qsjuv::SafeRead", "not a regular file"));

    Scratch copy;
    const Error created = copy.create(folder);
    if (created && (!exists || created != EACCES))
        return fail(reason, created);
    if (copy.isOpen()) {
        const bool keepsAll = !exists || (old.st_nlink == 1 && takeOver(old, target, copy.fd()));
        if (const Error error = copy.fill(bytes))
            return fail(reason, error);
        if (keepsAll) {
            const Error renamed = copy.renameOver(target);
            if (!renamed) {
                syncFolder(folder);
                return true;
            }
            // A sticky folder lets only the owner replace a file, though others may write it.
            if (!exists || (renamed != EPERM && renamed != EACCES))
                return fail(reason, renamed);
        }
    } else {
        // The folder takes no new file: the copy goes where temporary files go.
        if (const Error error = copy.create(QFile::encodeName(QDir::tempPath())))
            return fail(reason, error);
        if (const Error error = copy.fill(bytes))
            return fail(reason, error);
    }

    bool touched = false;
    if (const Error error = rewrite(target, old, bytes, &touched)) {
        if (!touched)
            return fail(reason, error);
        copy.keep();
        return fail(reason, u"%1. Новые данные сохранены в файле %2"_s.arg(qt_error_string(error), displayPath(copy.name())));
    }
    return true;
}

} // namespace qsjuv
