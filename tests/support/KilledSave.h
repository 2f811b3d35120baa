#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>

#include <sys/stat.h>

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

} // namespace qsjuv::testing
