#pragma once

#include <QByteArrayList>
#include <QTextStream>

#include <filesystem>
#include <vector>

namespace qsjuv::check {

inline constexpr int kExitClean = 0; // every file "ok" without problems
inline constexpr int kExitProblems = 1; // some file is not
inline constexpr int kExitError = 2; // usage error or a path that could not be read

// The whole command: the raw arguments, without the program name. Paths stay these bytes up to
// the open call. Reports go to out, errors (each with its path) to err. Returns the exit status.
int runCheck(const QByteArrayList &arguments, QTextStream &out, QTextStream &err);

// Every entry named *.cfg (any letter case) under dir, depth first with each folder's entries in
// byte order of their names: files, and also links, FIFOs, sockets and devices, so that what
// cannot be checked is reported rather than skipped. Folders reached through symbolic links are
// not entered, so a link loop cannot trap the walk. Folders that cannot be listed are reported
// to err and make failed true.
std::vector<std::filesystem::path> questionnaireFiles(const std::filesystem::path &dir, QTextStream &err,
                                                      bool &failed);

} // namespace qsjuv::check
