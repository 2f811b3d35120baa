#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace qsjuv::testing {

struct KilledSave
{
    QByteArray copy; // the copy the save was making when it was killed; empty: none was seen
    unsigned mode = 0; // that copy's permission bits, seen while the save ran
};

// Saves size bytes to target with the saving program (qs_juv_savefile) and kills it as soon as a
// copy whose name starts with prefix appears in folder, as a crash or a kill -9 would at that
// moment. A process of its own: a fork of a test with threads may hang on a lock held by another.
inline KilledSave killSaveMidway(const QString &target, qint64 size, const QString &folder, const QString &prefix)
{
    KilledSave killed;
    QTemporaryFile content;
    if (!content.open() || content.write(QByteArray(size, 'n')) != size || !content.flush())
        return killed;
    QProcess save;
    save.setStandardInputFile(content.fileName());
    save.start(QStringLiteral(QS_JUV_SAVEFILE_BINARY), {target});
    if (!save.waitForStarted())
        return killed;
    while (killed.copy.isEmpty() && !save.waitForFinished(0)) {
        for (const QString &name : QDir(folder).entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
            killed.copy = QFile::encodeName(folder + u'/' + name);
            struct stat info {};
            if (stat(killed.copy.constData(), &info) == 0)
                killed.mode = info.st_mode & 07777;
        }
    }
    save.kill();
    save.waitForFinished();
    return killed;
}

// A save of bytes to target by the saving program, stopped by itself at the step stopAt names
// (qs_juv_savefile --stop-at write:2) and held there, so that a kill lands at exactly that step.
class StoppedSave
{
public:
    StoppedSave(const QString &target, const QByteArray &bytes, const char *stopAt)
    {
        if (!m_content.open() || m_content.write(bytes) != bytes.size() || !m_content.flush())
            return;
        m_save.setStandardInputFile(m_content.fileName());
        m_save.start(QStringLiteral(QS_JUV_SAVEFILE_BINARY), {QStringLiteral("--stop-at"), QString::fromLatin1(stopAt), target});
        if (!m_save.waitForStarted())
            return;
        const QString stat = QStringLiteral("/proc/%1/stat").arg(m_save.processId());
        for (QDeadlineTimer deadline(20000); !deadline.hasExpired() && !m_save.waitForFinished(1);) {
            QFile file(stat);
            const QByteArray line = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            const qsizetype end = line.lastIndexOf(") ");
            if (end > 0 && line.mid(end + 2, 1) == "T") {
                m_stopped = true;
                return;
            }
        }
    }
    ~StoppedSave() { kill(); }
    StoppedSave(const StoppedSave &) = delete;
    StoppedSave &operator=(const StoppedSave &) = delete;

    bool stopped() const { return m_stopped; }
    pid_t pid() const { return pid_t(m_save.processId()); }
    // Goes on as if nothing had happened; true when it then saved.
    bool resume()
    {
        ::kill(pid(), SIGCONT);
        if (m_save.state() != QProcess::NotRunning)
            m_save.waitForFinished(20000);
        return m_save.state() == QProcess::NotRunning && m_save.exitStatus() == QProcess::NormalExit && m_save.exitCode() == 0;
    }
    void kill()
    {
        if (m_save.state() == QProcess::NotRunning)
            return;
        m_save.kill();
        m_save.waitForFinished();
    }

private:
    QTemporaryFile m_content;
    QProcess m_save;
    bool m_stopped = false;
};

} // namespace qsjuv::testing
