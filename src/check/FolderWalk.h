#pragma once

#include <QTextStream>

#include <cstddef>
#include <filesystem>
#include <functional>

namespace qsjuv::check {

struct WalkLimits
{
    // Bytes held for sorting names over the whole walk (the names, their kinds and their index):
    // a folder whose names do not fit is taken in the order its listing gives, and err says so.
    // With a file being checked meanwhile, the checker stays under 64 MB.
    std::size_t nameBytes = std::size_t(24) << 20;
    // false: the file system is asked for every entry's type, as where listings give none (ext4
    // without the filetype feature, some network and FUSE file systems).
    bool listingTypes = true;
};

// Calls visit with every entry named *.cfg (any letter case) under dir, as it is found, depth
// first with each folder's entries in byte order of their names: files, and also links, FIFOs,
// sockets and devices, so that what cannot be checked is reported rather than skipped. Only the
// names of the folders on the way down are held, never the whole tree. Folders reached through
// symbolic links are not entered, so a link loop cannot trap the walk. Folders that cannot be
// listed, and entries whose type cannot be had, are reported to err and make failed true.
// Returns how many entries were visited.
std::size_t forEachQuestionnaireFile(const std::filesystem::path &dir,
                                     const std::function<void(const std::filesystem::path &)> &visit,
                                     QTextStream &err, bool &failed, const WalkLimits &limits = {});

} // namespace qsjuv::check
