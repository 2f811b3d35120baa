#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

// Everything the program asks of the system below Qt: paths are bytes as the system takes
// them, every failure is the system's own error number (0 is success), and nothing blocks.
// The POSIX side is PlatformPosix.cpp; docs/platform.md maps each call to Win32.
namespace qsjuv::platform {

using Error = int;

enum class Kind { Regular, Directory, Link, Other };

struct Status
{
    Kind kind = Kind::Other;
    qint64 size = 0;
    quint64 device = 0;
    quint64 inode = 0;
    quint64 links = 0;
    uint mode = 0; // permission bits only
    uint owner = 0;
    uint group = 0;
    bool sameFile(const Status &other) const { return device == other.device && inode == other.inode; }
};

enum class Follow { Links, NotLast };
Error status(const QByteArray &path, Status *out, Follow follow = Follow::Links);

// The file path names, its links followed by the system (which applies its own protections,
// such as the refusal of another user's link in a sticky folder), as a name it can be reached
// by without links. ENOENT when nothing is there; with create, a link to nothing is created
// through, as an empty file with the mode new files get, and *created says so.
Error resolve(const QByteArray &path, QByteArray *resolved, Status *out, bool create = false, bool *created = nullptr);

Error rename(const QByteArray &from, const QByteArray &to);
// A second name for a file; EEXIST when the name is taken (nothing is replaced).
Error link(const QByteArray &from, const QByteArray &to);
// The file under a new name at once, never two names at any moment; EEXIST when the name is
// taken (nothing is replaced), EINVAL where the file system cannot do it.
Error renameNoReplace(const QByteArray &from, const QByteArray &to);
Error remove(const QByteArray &path);
// Owner only, and so are the levels above it that it makes; an existing one must be ours.
Error makePrivateFolder(const QByteArray &path);
void syncFolder(const QByteArray &path); // best effort
QByteArrayList folderEntries(const QByteArray &path, const QByteArray &prefix);
uint currentUser();

// The system's text for an error, in the user's language.
QString errorText(Error error);

// A file-size limit (ulimit -f) kills a process that writes past it unless SIGXFSZ is ignored;
// ignored, the write fails with EFBIG.
void ignoreFileSizeSignal();

// For tests: every later call of the operation fails with error (0: works again), as a full
// disk, a failing device or a file system without locks would make it.
enum class Operation { Lock, Write, Sync };
void injectFault(Operation operation, Error error);
// For tests of a process killed part-way: the process stops itself (SIGSTOP) at the count-th
// call of the operation from now, before it acts, so that a kill finds it exactly there.
void stopAt(Operation operation, int count);

// A folder held open: what is in it is reached by name relative to it, however long the path
// that leads there, and whatever is renamed above it meanwhile.
class Folder
{
public:
    Folder() = default;
    ~Folder();
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    Error open(const QByteArray &path); // links followed
    // A folder in parent, the last name not followed; *out is what was opened.
    Error openChild(const Folder &parent, const QByteArray &name, Status *out);
    // The folder above child again (after this one was closed).
    Error openParent(const Folder &child, Status *out);
    Error status(Status *out) const;
    // An entry's status, the last name followed or not.
    Error status(const QByteArray &name, Status *out, Follow follow) const;
    bool isOpen() const { return m_fd >= 0; }
    void close();

private:
    friend class FolderListing;
    friend class File;
    int m_fd = -1;
};

// A folder's entries one at a time, in the order the system lists them; nothing is kept, so a
// folder of millions of names costs no memory here.
class FolderListing
{
public:
    FolderListing() = default;
    ~FolderListing();
    FolderListing(const FolderListing &) = delete;
    FolderListing &operator=(const FolderListing &) = delete;

    Error open(const QByteArray &path);
    Error open(const Folder &folder); // listed from its own position, the folder stays open
    struct Entry
    {
        QByteArray name;
        // Its kind, links not followed: from the listing where it says, else asked of the system
        // (always, with askKinds); nullopt with kindError when it could not be asked.
        std::optional<Kind> kind;
        Error kindError = 0;
    };
    // The next entry but "." and "..": false at the end, or on an error (*error says which).
    bool next(Entry *entry, Error *error, bool askKinds = false);
    void close();

private:
    void *m_folder = nullptr;
};

class File
{
public:
    File() = default;
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    // Never blocks on a FIFO and never takes a terminal; the caller checks status() for a
    // regular file.
    Error openForReading(const QByteArray &path);
    Error openForReading(const Folder &folder, const QByteArray &name);
    // An existing file to be rewritten, read first where it can be; the last name is not followed.
    Error openForUpdate(const QByteArray &path);
    // A new file readable by its owner only; EEXIST when the name is taken.
    Error create(const QByteArray &path);
    // A file that another process may hold locked (lock()); the last name is not followed.
    Error openExisting(const QByteArray &path);

    bool isOpen() const { return m_fd >= 0; }
    Error status(Status *out) const;
    Error read(char *data, qint64 size, qint64 *got);
    Error writeAt(const QByteArray &bytes, qint64 offset);
    // Room for size bytes before anything is written; EOPNOTSUPP where the file system cannot.
    Error reserve(qint64 size);
    Error truncate(qint64 size);
    Error sync();
    // A lock held until close, exclusive or shared (many readers); EWOULDBLOCK when another
    // holds one that excludes it, ENOLCK where the file system keeps no locks.
    enum class Lock { Exclusive, Shared };
    Error lock(Lock kind = Lock::Exclusive);
    // The same, waiting at most milliseconds for another's lock to go.
    Error lockWithin(int milliseconds, Lock kind = Lock::Exclusive);
    Error setMode(uint mode);
    // The mode a file created now would get (0666 less the umask).
    Error setNewFileMode();
    // Owner, group and mode of old, and the user extended attributes and access list of the
    // file at oldPath; EPERM when one cannot be given.
    Error takeOver(const Status &old, const QByteArray &oldPath);
    Error close(); // where some file systems (NFS) report a failed write

private:
    int m_fd = -1;
};

} // namespace qsjuv::platform
