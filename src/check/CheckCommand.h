#pragma once

#include "check/FolderWalk.h"

#include <QByteArrayList>
#include <QTextStream>

#include <cstddef>
#include <filesystem>
#include <functional>

namespace qsjuv::check {

inline constexpr int kExitClean = 0; // every file "ok" without problems
inline constexpr int kExitProblems = 1; // some file is not
inline constexpr int kExitError = 2; // usage error or a path that could not be read

// The whole command: the raw arguments, without the program name. Paths stay these bytes up to
// the open call. Reports go to out, errors (each with its path) to err. Returns the exit status.
int runCheck(const QByteArrayList &arguments, QTextStream &out, QTextStream &err);

} // namespace qsjuv::check
