#pragma once

#include "core/Platform.h"

#include <QByteArrayList>
#include <QTextStream>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace qsjuv::check {

struct WalkLimits
{
    // Bytes held for sorting names over the whole walk (the names, their kinds and their index),
    // of which a folder takes at most half of what the folders above it left, so that a large
    // folder leaves room for the deep chain below it: a folder whose names do not fit is taken in
    // the order its listing gives, and err says so. With a file being checked meanwhile, the
    // checker stays under 64 MB.
    std::size_t nameBytes = std::size_t(24) << 20;
    // false: the file system is asked for every entry's type, as where listings give none (ext4
    // without the filetype feature, some network and FUSE file systems).
    bool listingTypes = true;
};

// An entry the walk found, while its folder is held open.
struct WalkEntry
{
    const platform::Folder &folder;
    const QByteArray &name;
    const std::string &path; // for people: the folders on the way down and the name
    std::optional<platform::Kind> kind; // as the listing gave it, links not followed
    // The names in the folder that copies of old content may have (isOldContentCopyName), or
    // nullptr when they were not all listed before the entry was found.
    const QByteArrayList *oldCopies;
};

// Calls visit with every entry named *.cfg (any letter case) under dir, as it is found, depth
// first with each folder's entries in byte order of their names: files, and also links, FIFOs,
// sockets and devices, so that what cannot be checked is reported rather than skipped. Only the
// names of the folders on the way down are held, never the whole tree, and a bounded number of
// them open: each is opened relative to the one above it, so no path grows too long for the
// system. Folders reached through symbolic links are not entered, and a folder met again below
// itself (a bind mount) is not entered again, so no loop can trap the walk. Folders that cannot
// be listed, and entries whose type cannot be had, are reported to err and make failed true.
// Returns how many entries were visited.
std::size_t forEachQuestionnaireFile(const std::filesystem::path &dir, const std::function<void(const WalkEntry &)> &visit,
                                     QTextStream &err, bool &failed, const WalkLimits &limits = {});
// The same, with each entry's path.
std::size_t forEachQuestionnaireFile(const std::filesystem::path &dir,
                                     const std::function<void(const std::filesystem::path &)> &visit,
                                     QTextStream &err, bool &failed, const WalkLimits &limits = {});

} // namespace qsjuv::check
