#include "core/AtomicFile.h"

#include "core/PathText.h"
#include "core/Platform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

using platform::Error;

// Every copy a save makes starts so; a copy of old content goes on with kOldPrefix.
constexpr char kPrefix[] = ".qs_juv-";
constexpr char kOldPrefix[] = ".qs_juv-old-";

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(24);
}

// Where the old content of target waits while target is rewritten in place: beside it, short
// enough for any target name, or in the user's own folder when target's folder takes no file.
QByteArray besideCopyName(const QByteArray &target)
{
    return folderOf(target) + '/' + kOldPrefix + digest(target.mid(target.lastIndexOf('/') + 1));
}

QByteArray privateFolder()
{
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    const QByteArray base = state.startsWith('/') ? state : QFile::encodeName(QDir::homePath()) + "/.local/state";
    return base + "/qs_juv";
}

QByteArray privateCopyName(const QByteArray &target)
{
    return privateFolder() + "/old-" + digest(target);
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
            error = m_file.lock();
        // Removed by a sweep between the create and the lock: it is no one's any more.
        if (!error && !(error = m_file.status(&status)) && status.links == 0)
            error = EAGAIN;
        if (error)
            remove();
        return error;
    }
    Error createUnique(const QByteArray &folder)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const Error error = create(folder + '/' + kPrefix + QByteArray::number(QRandomGenerator::global()->generate(), 36));
            if (error != EEXIST && error != EAGAIN)
                return error;
        }
        return EEXIST;
    }
    platform::File &file() { return m_file; }
    const QByteArray &name() const { return m_name; }
    Error fill(const QByteArray &bytes)
    {
        const Error error = m_file.writeAt(bytes, 0);
        return error ? error : m_file.sync();
    }
    Error renameOver(const QByteArray &target)
    {
        Error error = m_file.close();
        if (!error)
            error = platform::rename(m_name, target);
        if (!error)
            m_name.clear();
        return error;
    }
    void keep() { m_name.clear(); }
    void remove()
    {
        if (!m_name.isEmpty())
            platform::remove(m_name);
        m_name.clear();
        m_file.close();
    }

private:
    platform::File m_file;
    QByteArray m_name;
};

// Copies of killed saves: whatever no running save holds locked, and only our own.
void removeLeftovers(const QByteArray &folder)
{
    for (const QByteArray &name : platform::folderEntries(folder, kPrefix)) {
        if (name.startsWith(kOldPrefix))
            continue;
        const QByteArray path = folder + '/' + name;
        platform::File file;
        platform::Status status;
        if (file.openExisting(path) || file.status(&status) || status.kind != platform::Kind::Regular
            || status.owner != platform::currentUser() || file.lock())
            continue;
        platform::remove(path);
    }
}

// Once the file is whole again, an interrupted save's copy has said what it had to say; one
// that a running save holds stays.
void removeOldContent(const QByteArray &target)
{
    for (const QByteArray &name : {besideCopyName(target), privateCopyName(target)}) {
        platform::File copy;
        if (!copy.openExisting(name) && !copy.lock())
            platform::remove(name);
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

// The old content in a copy that survives a crash: beside the target, or privately.
Error keepOldContent(const QByteArray &target, const QByteArray &old, Copy *copy)
{
    removeOldContent(target); // an earlier interrupted save's, whose news the user has had
    QByteArray name = besideCopyName(target);
    Error error = copy->create(name);
    if (error == EACCES || error == EPERM || error == EROFS) {
        if ((error = platform::makePrivateFolder(privateFolder())))
            return error;
        name = privateCopyName(target);
        error = copy->create(name);
    }
    if (!error)
        error = copy->fill(old);
    if (!error)
        platform::syncFolder(folderOf(name));
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

// Rewrites target in place, which keeps its inode and so everything that belongs to it.
Error rewrite(const QByteArray &target, const platform::Status &old, const QByteArray &bytes, SaveResult *result)
{
    platform::File file;
    platform::Status now;
    Error error = file.openForUpdate(target);
    if (!error)
        error = file.status(&now);
    if (error)
        return error;
    // Swapped for something else since it was looked at.
    if (now.kind != platform::Kind::Regular || !now.sameFile(old))
        return EAGAIN;
    QByteArray oldContent;
    Copy copy;
    if ((error = readAll(file, now.size, &oldContent)) || (error = keepOldContent(target, oldContent, &copy)))
        return error;
    bool touched = false;
    if (!(error = overwrite(file, oldContent.size(), bytes, &touched)))
        error = file.close();
    if (error && touched && overwrite(file, bytes.size(), oldContent, &touched) != 0) {
        result->oldCopy = copy.name();
        copy.keep();
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
                removeOldContent(target);
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
        removeOldContent(target);
    if (!outcome.error)
        uncreate.dismiss();
    return finish(result, std::move(outcome));
}

QString russianReason(const SaveResult &result)
{
    const QString reason = russianReason(result.error);
    if (result.oldCopy.isEmpty())
        return reason;
    return u"%1. Файл записан не полностью; его прежнее содержимое сохранено в файле %2"_s.arg(reason, displayPath(result.oldCopy));
}

std::optional<QByteArray> interruptedSaveCopy(const QByteArray &nativePath)
{
    QByteArray target;
    platform::Status status;
    if (platform::resolve(nativePath, &target, &status))
        target = nativePath;
    for (const QByteArray &name : {besideCopyName(target), privateCopyName(target)}) {
        platform::File copy;
        platform::Status info;
        // A copy held locked belongs to a save still running.
        if (!copy.openExisting(name) && !copy.status(&info) && info.kind == platform::Kind::Regular && !copy.lock())
            return name;
    }
    return std::nullopt;
}

std::optional<QString> interruptedSave(const QByteArray &nativePath)
{
    const std::optional<QByteArray> copy = interruptedSaveCopy(nativePath);
    if (!copy)
        return std::nullopt;
    return u"Предыдущее сохранение файла было прервано: в нём может быть смесь старых и новых данных. "
           "Прежнее содержимое файла сохранено в файле %1."_s.arg(displayPath(*copy));
}

} // namespace qsjuv
