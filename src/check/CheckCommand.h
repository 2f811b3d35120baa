#pragma once

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

// Calls visit with every entry named *.cfg (any letter case) under dir, as it is found, depth
// first with each folder's entries in byte order of their names: files, and also links, FIFOs,
// sockets and devices, so that what cannot be checked is reported rather than skipped. Only the
// names of the folders on the way down are held, never the whole tree. Folders reached through
// symbolic links are not entered, so a link loop cannot trap the walk. Folders that cannot be
// listed are reported to err and make failed true. Returns how many entries were visited.
std::size_t forEachQuestionnaireFile(const std::filesystem::path &dir,
                                     const std::function<void(const std::filesystem::path &)> &visit,
                                     QTextStream &err, bool &failed);

} // namespace qsjuv::check
