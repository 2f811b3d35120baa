#pragma once

#include "core/Questionnaire.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// What the program keeps of its own in the user's state folder ($XDG_STATE_HOME/qs_juv): which
// files its windows hold open, and each window's unsaved questionnaire for after a crash.
namespace qsjuv {

QByteArray stateFolder();
// Where the windows keep their locks and unsaved questionnaires, inside it.
QByteArray windowsFolder();

// A file as a load or a save left it: which file, and what it held.
struct FileIdentity
{
    quint64 device = 0, inode = 0;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds
    QByteArray digest; // SHA-256 of the bytes
    bool operator==(const FileIdentity &) const = default;
};
// nullopt when the file cannot be read now.
std::optional<FileIdentity> fileIdentity(const QByteArray &nativePath);

// An exclusive lock on a file in the state folder, held while this object lives; a lock no
// process holds any more (a crash) is free again.
class StateLock
{
public:
    StateLock();
    ~StateLock();
    StateLock(const StateLock &) = delete;
    StateLock &operator=(const StateLock &) = delete;
    // False when another holds it (or the state folder cannot be used).
    bool take(const QByteArray &path);
    void release();
    bool held() const;

private:
    struct Held;
    std::unique_ptr<Held> m_held;
    QByteArray m_path;
};
// The lock's path for a questionnaire file that a window holds open.
QByteArray openFileLockName(const QByteArray &nativePath);

// A window's unsaved questionnaire as the state folder keeps it.
struct Recovery
{
    Questionnaire value;
    QString origin; // the window's file; empty for a new questionnaire
    QDateTime written;
};
QByteArray recoveryBytes(const Recovery &recovery);
// nullopt for anything that is not a recovery this program wrote (a value it cannot show).
std::optional<Recovery> readRecovery(const QByteArray &bytes);

// Written whole or not at all, readable by the owner only.
bool writePrivateFile(const QByteArray &path, const QByteArray &bytes);

// The recovery files in the state folder that no running window holds, newest first.
std::vector<QByteArray> orphanedRecoveries();
// The lock's path that a recovery file's window holds while it runs.
QByteArray recoveryLockName(const QByteArray &recoveryPath);

} // namespace qsjuv
