#include "core/Platform.h"

#ifdef Q_OS_UNIX

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

namespace qsjuv::platform {
namespace {

Error lastError()
{
    return errno ? errno : EIO;
}

std::atomic<Error> g_faults[3] = {0, 0, 0};
std::atomic<int> g_stops[3] = {0, 0, 0};

Error injected(Operation operation)
{
    if (g_stops[int(operation)].load(std::memory_order_relaxed) > 0 && g_stops[int(operation)].fetch_sub(1) == 1)
        ::raise(SIGSTOP);
    return g_faults[int(operation)].load(std::memory_order_relaxed);
}

void sleepMilliseconds(long milliseconds)
{
    timespec pause{0, milliseconds * 1000000L};
    while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) { }
}

Status fromStat(const struct stat &info)
{
    Status out;
    out.kind = S_ISREG(info.st_mode) ? Kind::Regular
            : S_ISDIR(info.st_mode)  ? Kind::Directory
            : S_ISLNK(info.st_mode)  ? Kind::Link
                                     : Kind::Other;
    out.size = info.st_size;
    out.device = info.st_dev;
    out.inode = info.st_ino;
    out.links = info.st_nlink;
    out.mode = info.st_mode & 07777;
    out.owner = info.st_uid;
    out.group = info.st_gid;
    return out;
}

Error openAs(int *fd, const QByteArray &path, int flags, mode_t mode = 0)
{
    if (*fd >= 0)
        ::close(*fd);
    *fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    return *fd >= 0 ? 0 : lastError();
}

mode_t currentUmask()
{
#ifdef Q_OS_LINUX
    // Read without changing it: another thread may be creating a file meanwhile.
    char status[4096] = {};
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd >= 0 ? ::read(fd, status, sizeof status - 1) : -1;
    if (fd >= 0)
        ::close(fd);
    if (const char *line = n > 0 ? std::strstr(status, "\nUmask:") : nullptr)
        return mode_t(std::strtoul(line + 7, nullptr, 8) & 0777);
#endif
    // Read by setting it: the value is put back at once.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

#ifdef Q_OS_LINUX
bool carriedOver(const char *name)
{
    return qstrncmp(name, "user.", 5) == 0 || qstrcmp(name, "system.posix_acl_access") == 0;
}

Error copyAttributes(const QByteArray &from, int to)
{
    const ssize_t listSize = ::listxattr(from.constData(), nullptr, 0);
    if (listSize < 0)
        return errno == ENOTSUP ? 0 : lastError();
    QByteArray names(qsizetype(listSize), '\0');
    const ssize_t listed = ::listxattr(from.constData(), names.data(), size_t(names.size()));
    if (listed < 0 || listed > names.size())
        return listed < 0 ? lastError() : ERANGE;
    for (const QByteArray &attribute : names.left(listed).split('\0')) {
        if (attribute.isEmpty() || !carriedOver(attribute.constData()))
            continue;
        const ssize_t size = ::getxattr(from.constData(), attribute.constData(), nullptr, 0);
        if (size < 0)
            return lastError();
        QByteArray value(qsizetype(size), '\0');
        const ssize_t got = ::getxattr(from.constData(), attribute.constData(), value.data(), size_t(value.size()));
        if (got < 0 || got > value.size())
            return got < 0 ? lastError() : ERANGE;
        if (::fsetxattr(to, attribute.constData(), value.constData(), size_t(got), 0) != 0)
            return lastError();
    }
    return 0;
}
#else
Error copyAttributes(const QByteArray &, int)
{
    return 0;
}
#endif

// The name an open descriptor was reached by, without links.
Error nameOf(int fd, const QByteArray &path, QByteArray *name)
{
#ifdef Q_OS_LINUX
    QByteArray buffer(4096, Qt::Uninitialized);
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), buffer.data(), size_t(buffer.size()));
    if (n > 0 && n < buffer.size() && buffer.startsWith('/')) {
        buffer.truncate(n);
        *name = buffer;
        return 0;
    }
#else
    Q_UNUSED(fd);
#endif
    // Without /proc only a name that is no link is known to be the file itself.
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return lastError();
    if (S_ISLNK(info.st_mode))
        return ELOOP;
    *name = path;
    return 0;
}

} // namespace

Error status(const QByteArray &path, Status *out, Follow follow)
{
    struct stat info {};
    const int result = follow == Follow::Links ? ::stat(path.constData(), &info) : ::lstat(path.constData(), &info);
    if (result != 0)
        return lastError();
    *out = fromStat(info);
    return 0;
}

Error resolve(const QByteArray &path, QByteArray *resolved, Status *out, bool create, bool *created)
{
    if (created)
        *created = false;
#ifdef O_PATH
    int fd = ::open(path.constData(), O_PATH | O_CLOEXEC);
#else
    int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
#endif
    if (fd < 0 && errno == ENOENT) {
        struct stat link {};
        if (!create || ::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return ENOENT;
        // Created by the system through the link, so that it refuses what it refuses.
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        if (created)
            *created = fd >= 0;
    }
    if (fd < 0)
        return lastError();
    struct stat info {};
    Error error = ::fstat(fd, &info) == 0 ? 0 : lastError();
    if (!error)
        error = nameOf(fd, path, resolved);
    ::close(fd);
    if (!error)
        *out = fromStat(info);
    return error;
}

Error rename(const QByteArray &from, const QByteArray &to)
{
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : lastError();
}

Error link(const QByteArray &from, const QByteArray &to)
{
    return ::link(from.constData(), to.constData()) == 0 ? 0 : lastError();
}

Error renameNoReplace(const QByteArray &from, const QByteArray &to)
{
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0 ? 0 : lastError();
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    return EINVAL;
#endif
}

Error remove(const QByteArray &path)
{
    return ::unlink(path.constData()) == 0 ? 0 : lastError();
}

// path and the levels above it that are missing, owner only.
static Error makeFolders(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) == 0 || errno == EEXIST)
        return 0;
    if (errno != ENOENT)
        return lastError();
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return ENOENT;
    if (const Error above = makeFolders(path.left(slash)))
        return above;
    return ::mkdir(path.constData(), 0700) == 0 || errno == EEXIST ? 0 : lastError();
}

Error makePrivateFolder(const QByteArray &path)
{
    if (const Error error = makeFolders(path))
        return error;
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return lastError();
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077))
        return EPERM;
    return 0;
}

void syncFolder(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QByteArrayList folderEntries(const QByteArray &path, const QByteArray &prefix)
{
    QByteArrayList names;
    DIR *folder = ::opendir(path.constData());
    if (!folder)
        return names;
    while (const dirent *entry = ::readdir(folder)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith(prefix))
            names << name;
    }
    ::closedir(folder);
    return names;
}

void injectFault(Operation operation, Error error)
{
    g_faults[int(operation)].store(error, std::memory_order_relaxed);
}

void stopAt(Operation operation, int count)
{
    g_stops[int(operation)].store(count, std::memory_order_relaxed);
}

Folder::~Folder()
{
    close();
}

void Folder::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

Error Folder::open(const QByteArray &path)
{
    return openAs(&m_fd, path, O_RDONLY | O_DIRECTORY);
}

static Error openFolderAt(int *fd, int at, const char *name, Status *out)
{
    if (*fd >= 0)
        ::close(*fd);
    *fd = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (*fd < 0)
        return lastError();
    struct stat info {};
    if (::fstat(*fd, &info) != 0)
        return lastError();
    *out = fromStat(info);
    return 0;
}

Error Folder::openChild(const Folder &parent, const QByteArray &name, Status *out)
{
    return openFolderAt(&m_fd, parent.m_fd, name.constData(), out);
}

Error Folder::openParent(const Folder &child, Status *out)
{
    return openFolderAt(&m_fd, child.m_fd, "..", out);
}

Error Folder::status(Status *out) const
{
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        return lastError();
    *out = fromStat(info);
    return 0;
}

Error Folder::status(const QByteArray &name, Status *out, Follow follow) const
{
    struct stat info {};
    if (::fstatat(m_fd, name.constData(), &info, follow == Follow::Links ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return lastError();
    *out = fromStat(info);
    return 0;
}

FolderListing::~FolderListing()
{
    close();
}

Error FolderListing::open(const QByteArray &path)
{
    close();
    m_folder = ::opendir(path.constData());
    return m_folder ? 0 : lastError();
}

Error FolderListing::open(const Folder &folder)
{
    close();
    // A descriptor of its own (the folder's may be closed first); reading "." would need the
    // right to enter the folder, which listing does not.
    const int fd = ::fcntl(folder.m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return lastError();
    m_folder = ::fdopendir(fd);
    if (m_folder) {
        ::rewinddir(static_cast<DIR *>(m_folder));
        return 0;
    }
    const Error error = lastError();
    ::close(fd);
    return error;
}

void FolderListing::close()
{
    if (m_folder)
        ::closedir(static_cast<DIR *>(m_folder));
    m_folder = nullptr;
}

bool FolderListing::next(Entry *entry, Error *error, bool askKinds)
{
    DIR *folder = static_cast<DIR *>(m_folder);
    *error = 0;
    for (;;) {
        errno = 0;
        const dirent *found = folder ? ::readdir(folder) : nullptr;
        if (!found) {
            *error = folder ? Error(errno) : Error(EBADF);
            return false;
        }
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0)
            continue;
        entry->name = QByteArray(found->d_name);
        entry->kindError = 0;
        const unsigned char type = askKinds ? static_cast<unsigned char>(DT_UNKNOWN) : found->d_type;
        if (type != DT_UNKNOWN) {
            entry->kind = type == DT_REG ? Kind::Regular
                    : type == DT_DIR     ? Kind::Directory
                    : type == DT_LNK     ? Kind::Link
                                         : Kind::Other;
            return true;
        }
        // Some file systems (ext4 without filetype, network and FUSE ones) list no types.
        struct stat info {};
        if (::fstatat(::dirfd(folder), found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            entry->kind = fromStat(info).kind;
        } else {
            entry->kind.reset();
            entry->kindError = lastError();
        }
        return true;
    }
}

uint currentUser()
{
    return ::geteuid();
}

QString errorText(Error error)
{
    // The GNU strerror_r returns its text; the XSI one fills the buffer.
    char buffer[256] = {};
    const auto text = ::strerror_r(error, buffer, sizeof buffer);
    if constexpr (std::is_same_v<decltype(text), char *const>)
        return QString::fromLocal8Bit(text);
    else
        return QString::fromLocal8Bit(buffer);
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

File::~File()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Error File::openForReading(const QByteArray &path)
{
    return openAs(&m_fd, path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
}

Error File::openForReading(const Folder &folder, const QByteArray &name)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = ::openat(folder.m_fd, name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    return m_fd >= 0 ? 0 : lastError();
}

Error File::openForUpdate(const QByteArray &path)
{
    const int flags = O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
    const Error error = openAs(&m_fd, path, O_RDWR | flags);
    return error == EACCES ? openAs(&m_fd, path, O_WRONLY | flags) : error;
}

Error File::create(const QByteArray &path)
{
    return openAs(&m_fd, path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
}

Error File::openExisting(const QByteArray &path)
{
    return openAs(&m_fd, path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
}

Error File::status(Status *out) const
{
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        return lastError();
    *out = fromStat(info);
    return 0;
}

Error File::read(char *data, qint64 size, qint64 *got)
{
    for (;;) {
        const ssize_t n = ::read(m_fd, data, size_t(size));
        if (n >= 0) {
            *got = n;
            return 0;
        }
        if (errno != EINTR)
            return lastError();
    }
}

Error File::writeAt(const QByteArray &bytes, qint64 offset)
{
    if (const Error fault = injected(Operation::Write))
        return fault;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(m_fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? lastError() : ENOSPC;
        done += n;
    }
    return 0;
}

Error File::reserve(qint64 size)
{
#ifdef Q_OS_LINUX
    return ::fallocate(m_fd, 0, 0, off_t(size)) == 0 ? 0 : lastError();
#else
    const int error = ::posix_fallocate(m_fd, 0, off_t(size));
    return error == EINVAL ? EOPNOTSUPP : error;
#endif
}

Error File::truncate(qint64 size)
{
    return ::ftruncate(m_fd, off_t(size)) == 0 ? 0 : lastError();
}

Error File::sync()
{
    if (const Error fault = injected(Operation::Sync))
        return fault;
    return ::fsync(m_fd) == 0 ? 0 : lastError();
}

Error File::lock(Lock kind)
{
    if (const Error fault = injected(Operation::Lock))
        return fault;
    for (;;) {
        if (::flock(m_fd, (kind == Lock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0)
            return 0;
        if (errno != EINTR)
            return errno == EAGAIN ? EWOULDBLOCK : lastError();
    }
}

Error File::lockWithin(int milliseconds, Lock kind)
{
    for (int waited = 0;; ++waited) {
        const Error error = lock(kind);
        if (error != EWOULDBLOCK || waited >= milliseconds)
            return error;
        sleepMilliseconds(1);
    }
}

Error File::setMode(uint mode)
{
    return ::fchmod(m_fd, mode_t(mode & 07777)) == 0 ? 0 : lastError();
}

Error File::setNewFileMode()
{
    return setMode(0666 & ~currentUmask());
}

Error File::takeOver(const Status &old, const QByteArray &oldPath)
{
    struct stat now {};
    if (::fstat(m_fd, &now) != 0)
        return lastError();
    if ((now.st_uid != old.owner || now.st_gid != old.group) && ::fchown(m_fd, old.owner, old.group) != 0)
        return lastError();
    // After the owner: a change of owner clears the set-user and set-group bits.
    if (const Error error = setMode(old.mode))
        return error;
    return copyAttributes(oldPath, m_fd);
}

Error File::close()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd < 0 || ::close(fd) == 0 ? 0 : lastError();
}

} // namespace qsjuv::platform

#endif // Q_OS_UNIX
