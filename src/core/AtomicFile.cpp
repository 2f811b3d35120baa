#include "core/AtomicFile.h"

#include "core/PathText.h"
#include "core/Platform.h"
#include "core/UserState.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <vector>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

using platform::Error;

// A save's new content waits under kNewPrefix and 16 hexadecimal digits; the old content of a
// file rewritten in place under kOldPrefix (kPrivatePrefix in the user's own folder) and a
// digest of the file's device and inode, with "-1" to "-3" where a kept copy has the name.
constexpr char kNewPrefix[] = ".qs_juv-new-";
constexpr char kOldPrefix[] = ".qs_juv-old-";
constexpr char kPrivatePrefix[] = "old-";
constexpr qsizetype kNewDigits = 16;
constexpr qsizetype kDigestDigits = 24;
constexpr int kCopyVariants = 4;
// A save of a megabyte takes milliseconds: a lock held longer belongs to a save that hangs.
constexpr int kTargetLockMs = 3000;
constexpr int kReadLockMs = 1000;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

bool isHex(QByteArrayView digits)
{
    return std::all_of(digits.begin(), digits.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool isNewCopyName(QByteArrayView name)
{
    const qsizetype prefix = qsizetype(sizeof kNewPrefix) - 1;
    return name.size() == prefix + kNewDigits && name.startsWith(kNewPrefix) && isHex(name.sliced(prefix));
}

// The old content's copy follows the file, not one of its names.
QByteArray fileDigest(const platform::Status &file)
{
    const QByteArray identity = QByteArray::number(file.device) + ':' + QByteArray::number(file.inode);
    return QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(kDigestDigits);
}

QByteArray copyName(const char *prefix, const QByteArray &digest, int variant)
{
    return prefix + digest + (variant ? '-' + QByteArray::number(variant) : QByteArray());
}

// A copy that an interrupted save of file left, as opposed to one kept read-only after the
// next save, or one planted by somebody who could not have written the file.
bool leftFor(const platform::Status &copy, const platform::Status &file)
{
    if (copy.kind != platform::Kind::Regular || copy.links != 1 || !(copy.mode & 0200))
        return false;
    return copy.owner == file.owner || copy.owner == platform::currentUser() || (file.mode & 0002)
            || ((file.mode & 0020) && copy.group == file.group);
}

// Every place the old content of file may wait: beside it in folder, then privately.
struct CopyPlace
{
    QByteArray folder;
    QByteArray name;
    QByteArray path() const { return folder + '/' + name; }
};
std::vector<CopyPlace> copyPlaces(const QByteArray &folder, const platform::Status &file)
{
    const QByteArray digest = fileDigest(file);
    std::vector<CopyPlace> places;
    for (int variant = 0; variant < kCopyVariants; ++variant)
        places.push_back({folder, copyName(kOldPrefix, digest, variant)});
    for (int variant = 0; variant < kCopyVariants; ++variant)
        places.push_back({stateFolder(), copyName(kPrivatePrefix, digest, variant)});
    return places;
}

// A new owner-only file, locked while it is written, so that no other save takes it for a
// leftover; removed when it goes out of scope unless kept.
class Copy
{
public:
    Copy() = default;
    Copy(const Copy &) = delete;
    Copy &operator=(const Copy &) = delete;
    ~Copy() { remove(); }

    Error create(const QByteArray &name)
    {
        platform::Status status;
        Error error = m_file.create(name);
        if (!error)
            m_name = name;
        if (!error)
            error = lockOrGoOn(m_file);
        // Removed by a sweep between the create and the lock: it is no one's any more.
        if (!error && !(error = m_file.status(&status)) && status.links == 0)
            error = EAGAIN;
        if (error)
            remove();
        return error;
    }
    // An interrupted save's copy of the same file, taken over: it holds the last whole content.
    Error adopt(const QByteArray &name)
    {
        Error error = m_file.openExisting(name);
        if (!error)
            error = lockOrGoOn(m_file);
        if (!error)
            m_adopted = name;
        else
            m_file.close();
        return error;
    }
    Error createUnique(const QByteArray &folder)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const quint64 number = QRandomGenerator::global()->generate64();
            const QByteArray digits = QByteArray::number(number, 16).rightJustified(kNewDigits, '0');
            const Error error = create(folder + '/' + kNewPrefix + digits);
            if (error != EEXIST && error != EAGAIN)
                return error;
        }
        return EEXIST;
    }
    // The whole copy under name at once, so that no name ever shows a part of it, and with one
    // link only: a copy with two names is not one an interrupted save left (leftFor).
    Error publish(const QByteArray &name)
    {
        Error error = platform::renameNoReplace(m_name, name);
        if (error == EINVAL || error == ENOSYS) {
            error = platform::link(m_name, name);
            if (error == EPERM || error == EOPNOTSUPP) // a file system without hard links
                error = platform::rename(m_name, name);
            else if (!error)
                platform::remove(m_name);
        }
        if (!error)
            m_name = name;
        return error;
    }
    platform::File &file() { return m_file; }
    QByteArray name() const { return m_adopted.isEmpty() ? m_name : m_adopted; }
    Error fill(const QByteArray &bytes)
    {
        const Error error = m_file.writeAt(bytes, 0);
        return error ? error : m_file.sync();
    }
    // Still locked while it becomes the target, so that no sweep takes it on the way.
    Error renameOver(const QByteArray &target)
    {
        Error error = platform::rename(m_name, target);
        if (!error)
            m_name.clear();
        const Error closed = m_file.close();
        return error ? error : closed;
    }
    // Leaves the copy where it is, for the user to find.
    void keep()
    {
        m_name.clear();
        m_adopted.clear();
    }
    // The file is whole: a copy made here goes; an adopted one, which the user may have been told
    // of, stays read-only, so that it no longer says the file is interrupted.
    void finished()
    {
        if (!m_adopted.isEmpty())
            m_file.setMode(0400);
        m_adopted.clear();
        remove();
    }
    void remove()
    {
        if (!m_name.isEmpty())
            platform::remove(m_name);
        m_name.clear();
        m_adopted.clear();
        m_file.close();
    }

    // Where the file system keeps no locks, the names alone keep saves apart.
    static Error lockOrGoOn(platform::File &file)
    {
        const Error error = file.lock();
        return error == ENOLCK ? 0 : error;
    }

private:
    platform::File m_file;
    QByteArray m_name; // made here: removed unless kept
    QByteArray m_adopted; // an earlier save's: never removed
};

// Copies of killed saves' new content: only names of that pattern, ours, that no running save
// holds locked.
void removeLeftovers(const QByteArray &folder)
{
    for (const QByteArray &name : platform::folderEntries(folder, kNewPrefix)) {
        if (!isNewCopyName(name))
            continue;
        const QByteArray path = folder + '/' + name;
        platform::File file;
        platform::Status status;
        if (file.openExisting(path) || file.status(&status) || status.kind != platform::Kind::Regular
            || status.links != 1 || status.owner != platform::currentUser() || file.lock())
            continue;
        platform::remove(path);
    }
}

// Once the file is whole again, an interrupted save's copy no longer says it is not, and stays
// read-only where the user was told it is.
void keepEarlierCopies(const QByteArray &folder, const platform::Status &file)
{
    for (const CopyPlace &place : copyPlaces(folder, file)) {
        platform::File copy;
        platform::Status status;
        if (!copy.openExisting(place.path()) && !copy.status(&status) && leftFor(status, file)
            && status.owner == platform::currentUser() && !Copy::lockOrGoOn(copy))
            copy.setMode(0400);
    }
}

Error readAll(platform::File &file, qint64 size, QByteArray *out)
{
    QByteArray data(qMax<qint64>(size, 0) + 1, Qt::Uninitialized);
    qint64 got = 0;
    for (qint64 n = 1; n > 0; got += n) {
        if (got == data.size())
            data.resize(data.size() * 2);
        // A file opened for writing only cannot be kept: the user may not read it.
        if (const Error error = file.read(data.data() + got, data.size() - got, &n))
            return error == EBADF ? EACCES : error;
    }
    data.truncate(got);
    *out = data;
    return 0;
}

// The old content in a copy that survives a crash: beside the file, or privately; it shows under
// its name only once it is whole. A place taken by an earlier copy that was kept, or by somebody
// else's file, is passed by; the copy an interrupted save of this file left is taken over as it is.
Error keepOldContent(const QByteArray &folder, const platform::Status &file, const QByteArray &old, Copy *copy)
{
    Error error = EEXIST;
    QByteArray filled; // the folder of the whole copy made so far
    for (const CopyPlace &place : copyPlaces(folder, file)) {
        platform::Status existing;
        if (!platform::status(place.path(), &existing, platform::Follow::NotLast)) {
            if (leftFor(existing, file) && existing.owner == platform::currentUser() && !copy->adopt(place.path()))
                return 0;
            continue;
        }
        if (filled != place.folder) {
            copy->remove();
            filled.clear();
            if (place.folder != folder && (error = platform::makePrivateFolder(place.folder)))
                return error;
            if (!(error = copy->createUnique(place.folder)) && !(error = copy->fill(old)))
                filled = place.folder;
            else if (error == EACCES || error == EPERM || error == EROFS)
                continue; // a folder that takes no file: the private one
            else
                return error;
        }
        if (!(error = copy->publish(place.path()))) {
            platform::syncFolder(place.folder);
            return 0;
        }
        if (error != EEXIST)
            return error;
    }
    return error;
}

// Writes bytes over what file holds and cuts it to their size. Room is taken first, so that a
// full disk or a size limit usually fails before the content is touched.
Error overwrite(platform::File &file, qint64 oldSize, const QByteArray &bytes, bool *touched)
{
    *touched = false;
    if (bytes.size() > oldSize) {
        const Error reserved = file.reserve(bytes.size());
        if (reserved && reserved != EOPNOTSUPP) {
            // A part of the room may have been given: the old size again.
            *touched = file.truncate(oldSize) != 0;
            return reserved;
        }
    }
    *touched = true;
    Error error = file.writeAt(bytes, 0);
    if (!error && bytes.size() < oldSize)
        error = file.truncate(bytes.size());
    return error ? error : file.sync();
}

// Rewrites target in place, which keeps its inode and so everything that belongs to it. The file
// stays locked until its copies are dealt with, so that no other save or check sees it half done.
Error rewrite(const QByteArray &target, const platform::Status &old, const QByteArray &bytes, SaveResult *result)
{
    platform::File file;
    platform::Status now;
    Error error = file.openForUpdate(target);
    if (!error && (error = file.lockWithin(kTargetLockMs)) == ENOLCK)
        error = 0;
    if (!error)
        error = file.status(&now);
    if (error)
        return error;
    // Swapped for something else since it was looked at.
    if (now.kind != platform::Kind::Regular || !now.sameFile(old))
        return EAGAIN;
    QByteArray oldContent;
    Copy copy;
    const QByteArray folder = folderOf(target);
    if ((error = readAll(file, now.size, &oldContent)) || (error = keepOldContent(folder, now, oldContent, &copy)))
        return error;
    bool touched = false;
    error = overwrite(file, oldContent.size(), bytes, &touched);
    if (error && touched && overwrite(file, bytes.size(), oldContent, &touched) != 0) {
        result->oldCopy = copy.name();
        copy.keep();
    }
    if (!error) {
        copy.finished();
        keepEarlierCopies(folder, now);
        error = file.close();
    }
    return error;
}

bool finish(SaveResult *result, SaveResult &&outcome)
{
    const bool saved = !outcome.error;
    if (result)
        *result = std::move(outcome);
    return saved;
}

bool finish(SaveResult *result, FileError error)
{
    return finish(result, SaveResult{error, false, {}});
}

} // namespace

void ignoreFileSizeSignal()
{
    platform::ignoreFileSizeSignal();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, SaveResult *result)
{
    ignoreFileSizeSignal();
    QByteArray target;
    platform::Status old;
    bool created = false;
    const QByteArray given = QFile::encodeName(path);
    const Error resolved = platform::resolve(given, &target, &old, true, &created);
    if (resolved && resolved != ENOENT)
        return finish(result, systemError(resolved));
    const bool exists = !resolved;
    if (!exists)
        target = given;
    if (exists && old.kind == platform::Kind::Directory)
        return finish(result, systemError(EISDIR));
    if (exists && old.kind != platform::Kind::Regular)
        return finish(result, FileError{FileFault::NotRegular, 0});
    // An empty file made through a link to nothing is not left behind by a failed save.
    auto uncreate = qScopeGuard([&] { if (created) platform::remove(target); });

    const QByteArray folder = folderOf(target);
    removeLeftovers(folder);
    // A rename would part the file from its other hard links.
    if (!exists || old.links == 1) {
        Copy copy;
        const Error made = copy.createUnique(folder);
        if (made && (!exists || made != EACCES))
            return finish(result, systemError(made));
        if (!made) {
            if (const Error error = copy.fill(bytes))
                return finish(result, systemError(error));
            // The target's mode only now that the copy is complete.
            Error renamed = exists ? copy.file().takeOver(old, target) : copy.file().setNewFileMode();
            const bool keepsAll = !renamed;
            if (keepsAll)
                renamed = copy.renameOver(target);
            if (!renamed) {
                platform::syncFolder(folder);
                keepEarlierCopies(folder, old);
                uncreate.dismiss();
                return finish(result, SaveResult{});
            }
            // A sticky folder lets only the owner replace a file, though others may write it.
            if (!exists || (keepsAll && renamed != EPERM && renamed != EACCES))
                return finish(result, systemError(renamed));
        }
    }

    SaveResult outcome{{}, true, {}};
    outcome.error = systemError(rewrite(target, old, bytes, &outcome));
    if (!outcome.error)
        uncreate.dismiss();
    return finish(result, std::move(outcome));
}

QString russianReason(const SaveResult &result)
{
    const QString reason = russianReason(result.error);
    if (result.oldCopy.isEmpty())
        return reason;
    return QCoreApplication::translate("AtomicFile", "%1. Файл записан не полностью; его прежнее содержимое сохранено в файле %2").arg(reason, displayPath(result.oldCopy));
}

bool isOldContentCopyName(QByteArrayView name)
{
    const qsizetype prefix = qsizetype(sizeof kOldPrefix) - 1;
    if (!name.startsWith(kOldPrefix) || name.size() < prefix + kDigestDigits || !isHex(name.sliced(prefix, kDigestDigits)))
        return false;
    const QByteArrayView variant = name.sliced(prefix + kDigestDigits);
    return variant.isEmpty() || (variant.size() == 2 && variant[0] == '-' && variant[1] >= '1' && variant[1] < '0' + kCopyVariants);
}

InterruptedSaves::InterruptedSaves() : m_private(platform::folderEntries(stateFolder(), kPrivatePrefix)) { }

std::optional<QByteArray> InterruptedSaves::copyOf(const platform::Status &file, const platform::Folder &folder,
                                                   const QByteArray &folderPath, const QByteArrayList *copyNames) const
{
    if (copyNames && copyNames->isEmpty() && m_private.isEmpty())
        return std::nullopt; // the common case costs no digest
    for (const CopyPlace &place : copyPlaces(folderPath, file)) {
        const bool beside = place.folder == folderPath;
        const QByteArrayList *listed = beside ? copyNames : &m_private;
        if (listed && !listed->contains(place.name))
            continue;
        platform::Status copy;
        const platform::Error error = beside ? folder.status(place.name, &copy, platform::Follow::NotLast)
                                             : platform::status(place.path(), &copy, platform::Follow::NotLast);
        if (!error && leftFor(copy, file))
            return place.path();
    }
    return std::nullopt;
}

std::optional<QByteArray> interruptedSaveCopy(const QByteArray &nativePath)
{
    QByteArray target;
    platform::Status status;
    if (platform::resolve(nativePath, &target, &status) || status.kind != platform::Kind::Regular)
        return std::nullopt;
    // A save that holds the file is still running: it has not been interrupted.
    platform::File file;
    if (!file.openForReading(target) && file.lockWithin(kReadLockMs, platform::File::Lock::Shared) == EWOULDBLOCK)
        return std::nullopt;
    platform::Folder folder;
    folder.open(folderOf(target));
    return InterruptedSaves().copyOf(status, folder, folderOf(target), nullptr);
}

std::optional<QString> interruptedSave(const QByteArray &nativePath)
{
    const std::optional<QByteArray> copy = interruptedSaveCopy(nativePath);
    if (!copy)
        return std::nullopt;
    return QCoreApplication::translate("AtomicFile", "Предыдущее сохранение файла было прервано: в нём может быть смесь старых и новых данных. "
           "Прежнее содержимое файла сохранено в файле %1.").arg(displayPath(*copy));
}

} // namespace qsjuv
