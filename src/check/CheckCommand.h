#pragma once

#include <QStringList>
#include <QTextStream>

namespace qsjuv::check {

inline constexpr int kExitClean = 0; // every file "ok" without problems
inline constexpr int kExitProblems = 1; // some file is not
inline constexpr int kExitError = 2; // usage error or a path that could not be read

// The whole command: arguments without the program name. Reports go to out, errors (each with
// its path) to err. Returns the exit status.
int runCheck(const QStringList &arguments, QTextStream &out, QTextStream &err);

// Files named *.cfg (any letter case) under dir, depth first with each folder's entries in byte
// order of their names. Folders reached through symbolic links are not entered, so a link loop
// cannot trap the walk. Folders that cannot be listed are reported to err and make failed true.
QStringList questionnaireFiles(const QString &dir, QTextStream &err, bool &failed);

} // namespace qsjuv::check
