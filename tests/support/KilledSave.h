#pragma once

#include "core/AtomicFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qsjuv::testing {

struct KilledSave
{
    QByteArray copy; // the copy the save was making when it was killed; empty: it ended first
    unsigned mode = 0; // that copy's permission bits, seen while the save ran
};

// Saves size bytes to target in a child process and kills it as soon as a copy whose name
// starts with prefix appears in folder, as a crash or a kill -9 would at that moment.
inline KilledSave killSaveMidway(const QString &target, qint64 size, const QString &folder, const QString &prefix)
{
    const pid_t child = fork();
    if (child == 0) {
        qsjuv::writeFileAtomically(target, QByteArray(size, 'n'));
        _exit(0);
    }
    KilledSave killed;
    for (int i = 0; i < 200000 && killed.copy.isEmpty(); ++i) {
        for (const QString &name : QDir(folder).entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
            killed.copy = QFile::encodeName(folder + u'/' + name);
            struct stat info {};
            if (stat(killed.copy.constData(), &info) == 0)
                killed.mode = info.st_mode & 07777;
        }
        if (killed.copy.isEmpty() && waitpid(child, nullptr, WNOHANG) == child)
            return killed;
        usleep(50);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return killed;
}

} // namespace qsjuv::testing
