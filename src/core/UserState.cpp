#include "core/UserState.h"

#include "core/Platform.h"
#include "core/SafeRead.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace qsjuv {

QByteArray stateFolder()
{
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    const QByteArray base = state.startsWith('/') ? state : QFile::encodeName(QDir::homePath()) + "/.local/state";
    return base + "/qs_juv";
}

std::optional<FileIdentity> fileIdentity(const QByteArray &nativePath)
{
    platform::Status status;
    if (platform::status(nativePath, &status))
        return std::nullopt;
    const std::filesystem::path path(nativePath.toStdString());
    const auto bytes = readRegularFile(path);
    std::error_code failed;
    const auto time = std::filesystem::last_write_time(path, failed);
    if (!bytes || failed)
        return std::nullopt;
    return FileIdentity{status.device, status.inode, bytes->size(),
                        qint64(std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count()),
                        QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256)};
}

struct StateLock::Held
{
    platform::File file;
};

StateLock::StateLock() = default;

StateLock::~StateLock()
{
    release();
}

bool StateLock::held() const
{
    return m_held != nullptr;
}

QByteArray windowsFolder()
{
    return stateFolder() + "/windows";
}

namespace {
// The windows' files stay apart from the copies interrupted saves leave.
bool makeWindowsFolder()
{
    // Its levels above ($XDG_STATE_HOME itself on a fresh account) are made too.
    return !platform::makePrivateFolder(stateFolder()) && !platform::makePrivateFolder(windowsFolder());
}
} // namespace

bool StateLock::take(const QByteArray &path)
{
    release();
    if (!makeWindowsFolder())
        return false;
    // A lock file removed between our open and our lock is no one's: take the one that is there.
    for (int attempt = 0; attempt < 5; ++attempt) {
        auto held = std::make_unique<Held>();
        platform::Error error = held->file.create(path);
        if (error == EEXIST)
            error = held->file.openExisting(path);
        if (error || held->file.lock())
            return false;
        platform::Status opened, named;
        if (held->file.status(&opened) || platform::status(path, &named, platform::Follow::NotLast))
            continue;
        if (opened.sameFile(named)) {
            m_held = std::move(held);
            m_path = path;
            return true;
        }
    }
    return false;
}

void StateLock::release()
{
    if (!m_held)
        return;
    // Removed while still held, so that no one else holds the name we remove.
    platform::remove(m_path);
    m_held.reset();
    m_path.clear();
}

QByteArray openFileLockName(const QByteArray &nativePath)
{
    return windowsFolder() + "/open-" + QCryptographicHash::hash(nativePath, QCryptographicHash::Sha256).toHex().left(32);
}

QByteArray recoveryLockName(const QByteArray &recoveryPath)
{
    return recoveryPath.chopped(recoveryPath.endsWith(".json") ? 5 : 0) + ".lock";
}

namespace {
QJsonValue optionalNumber(const std::optional<int> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

std::optional<int> numberOrNone(const QJsonValue &value)
{
    return value.isDouble() ? std::optional<int>(value.toInt()) : std::nullopt;
}

QJsonObject channelObject(const QuestionnaireChannel &ch)
{
    return {{u"input"_s, ch.inputOn}, {u"sensor"_s, int(ch.sensorId)}, {u"max"_s, ch.maxText},
            {u"min"_s, ch.minText}, {u"nominalR"_s, optionalNumber(ch.nominalR)},
            {u"connection"_s, optionalNumber(ch.connection)}, {u"output"_s, optionalNumber(ch.output)}};
}

std::optional<QuestionnaireChannel> channelFrom(const QJsonObject &o)
{
    QuestionnaireChannel ch;
    ch.inputOn = o.value(u"input"_s).toBool(true);
    const int sensor = o.value(u"sensor"_s).toInt(-1);
    if (sensor < 0 || sensor > 255 || !sensorById(std::uint8_t(sensor)))
        return std::nullopt;
    ch.sensorId = std::uint8_t(sensor);
    ch.maxText = o.value(u"max"_s).toString();
    ch.minText = o.value(u"min"_s).toString();
    ch.nominalR = numberOrNone(o.value(u"nominalR"_s));
    ch.connection = numberOrNone(o.value(u"connection"_s));
    ch.output = numberOrNone(o.value(u"output"_s));
    return ch;
}
} // namespace

QByteArray recoveryBytes(const Recovery &recovery)
{
    const Questionnaire &q = recovery.value;
    QJsonArray channels;
    for (const QuestionnaireChannel &ch : q.channels)
        channels.append(channelObject(ch));
    const QJsonObject object{{u"program"_s, u"qs_juv"_s},
                             {u"origin"_s, QString::fromLatin1(QFile::encodeName(recovery.origin).toBase64())},
                             {u"written"_s, recovery.written.toString(Qt::ISODateWithMs)},
                             {u"model"_s, q.modelPosition}, {u"quantity"_s, q.quantity},
                             {u"firm"_s, q.firm}, {u"phone"_s, q.phone}, {u"mail"_s, q.mail}, {u"bill"_s, q.bill},
                             {u"channels"_s, channels}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Recovery> readRecovery(const QByteArray &bytes)
{
    const QJsonObject o = QJsonDocument::fromJson(bytes).object();
    if (o.value(u"program"_s).toString() != u"qs_juv"_s)
        return std::nullopt;
    Recovery r;
    r.origin = QFile::decodeName(QByteArray::fromBase64(o.value(u"origin"_s).toString().toLatin1()));
    r.written = QDateTime::fromString(o.value(u"written"_s).toString(), Qt::ISODateWithMs);
    Questionnaire &q = r.value;
    q.modelPosition = o.value(u"model"_s).toInt(-1);
    if (!q.validModel())
        return std::nullopt;
    q.quantity = o.value(u"quantity"_s).toString();
    q.firm = o.value(u"firm"_s).toString();
    q.phone = o.value(u"phone"_s).toString();
    q.mail = o.value(u"mail"_s).toString();
    q.bill = o.value(u"bill"_s).toString();
    const QJsonArray channels = o.value(u"channels"_s).toArray();
    if (channels.size() != channelCount(q.model()))
        return std::nullopt;
    for (const QJsonValue &c : channels) {
        const auto ch = channelFrom(c.toObject());
        if (!ch)
            return std::nullopt;
        q.channels.push_back(*ch);
    }
    return r;
}

bool writePrivateFile(const QByteArray &path, const QByteArray &bytes)
{
    if (!makeWindowsFolder())
        return false;
    const QByteArray temporary = path + ".new";
    platform::remove(temporary);
    platform::File file;
    bool written = !file.create(temporary) && !file.writeAt(bytes, 0) && !file.sync();
    written = !file.close() && written;
    if (written && !platform::rename(temporary, path))
        return true;
    platform::remove(temporary);
    return false;
}

std::vector<QByteArray> orphanedRecoveries()
{
    const QByteArray folder = windowsFolder();
    std::vector<std::pair<QDateTime, QByteArray>> found;
    for (const QByteArray &name : platform::folderEntries(folder, "autosave-")) {
        if (!name.endsWith(".json"))
            continue;
        const QByteArray path = folder + '/' + name;
        StateLock probe;
        if (!probe.take(recoveryLockName(path)))
            continue; // its window is still running
        const auto bytes = readRegularFile(std::filesystem::path(path.toStdString()));
        const auto recovery = bytes ? readRecovery(*bytes) : std::nullopt;
        found.emplace_back(recovery ? recovery->written : QDateTime(), path);
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<QByteArray> paths;
    for (const auto &entry : found)
        paths.push_back(entry.second);
    return paths;
}

} // namespace qsjuv
