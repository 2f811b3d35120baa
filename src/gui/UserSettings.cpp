#include "gui/UserSettings.h"
#include "core/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLockFile>
#include <QStandardPaths>


using namespace Qt::StringLiterals;

namespace {

// This program keeps a folder and eight file names: a larger file is not its own, and QSettings
// would take seconds and gigabytes to read one of hundreds of megabytes, on every load and save.
constexpr qint64 kSettingsSizeLimit = 64 * 1024;

// Another window writes its few values in milliseconds; a lock held longer will not be freed soon.
constexpr int kLockTimeoutMs = 300;
// Windows that change a value at once take turns, each in milliseconds.
constexpr int kUpdateTimeoutMs = 2000;

// Every file QSettings may open for this program: the user's and the system's, of the program
// and of its organisation, each with the lock beside it.
QStringList settingsFiles()
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders << QLibraryInfo::path(QLibraryInfo::SettingsPath);
    QStringList files;
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &file : {folder + u"/qs_juv/qs_juv.conf"_s, folder + u"/qs_juv.conf"_s})
            files << file << file + u".lock"_s << file + u".update.lock"_s;
    }
    return files;
}

} // namespace

namespace qsjuv {

std::unique_ptr<QSettings> userSettings()
{
    for (const QString &name : settingsFiles()) {
        qsjuv::platform::Status info; // links followed, as QSettings follows them
        if (qsjuv::platform::status(QFile::encodeName(name), &info) != 0)
            continue;
        if (info.kind != qsjuv::platform::Kind::Regular || info.size > kSettingsSizeLimit)
            return nullptr;
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, u"qs_juv"_s, u"qs_juv"_s);
}

bool updateUserSetting(const QString &key, const std::function<QVariant(const QVariant &)> &update, bool *busy)
{
    if (busy)
        *busy = false;
    std::unique_ptr<QSettings> settings = userSettings();
    if (!settings)
        return false;
    const QString file = settings->fileName();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    // Another window may change the same value between our read and our write: the read, the
    // change and the write go under one lock of our own (QSettings' own lock covers its sync only).
    QLockFile turn(file + u".update.lock"_s);
    if (!turn.tryLock(kUpdateTimeoutMs)) {
        if (busy)
            *busy = turn.error() == QLockFile::LockFailedError;
        return false;
    }
    if (!(settings = userSettings()))
        return false;
    const QVariant before = settings->value(key);
    const QVariant after = update(before);
    if (after == before)
        return true;
    // QSettings waits for its lock without end, and cannot replace a stale one when no file can
    // be written. It writes only after this lock, given up on a timeout, was had and freed.
    {
        QLockFile probe(file + u".lock"_s);
        if (!probe.tryLock(kLockTimeoutMs))
            return false;
    }
    settings->setValue(key, after);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool storeUserSetting(const QString &key, const QVariant &value)
{
    return updateUserSetting(key, [&](const QVariant &) { return value; });
}

} // namespace qsjuv
