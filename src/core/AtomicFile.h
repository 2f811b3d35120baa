#pragma once

#include "core/SafeRead.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace qsjuv {

struct SaveResult
{
    FileError error; // none: saved
    bool inPlace = false; // rewritten in place, not by rename: a crash meanwhile would have left a mix
    QByteArray oldCopy; // a failed rewrite that could not be undone: where the old content is
};

// Replaces the content of the file at path with bytes. Links are followed by the system, so
// it refuses what it refuses (another user's link in a sticky folder). Any name the file system
// accepts can be saved over, and the file keeps what belongs to it: its hard links, mode, owner
// and group (where the user may set them) and extended attributes.
//
// Normally a complete copy is written beside the file and renamed over it, so a failure leaves
// the old file exactly as it was. Where a rename would lose something (another hard link, an
// owner or group the user cannot give, a folder the user cannot write), the file is rewritten in
// place, but only after its old content was synced into a named copy (beside it, or in the
// user's private folder); the copy is removed once the rewrite is synced, and a crash leaves it
// for interruptedSave() to find. Copies are owner-only until one becomes the target, and copies
// that no running save holds are removed by the next save in their folder.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, SaveResult *result = nullptr);

// The reason a save failed, in Russian, naming the old content's copy where one was kept.
QString russianReason(const SaveResult &result);

// When an earlier save of the file at path was interrupted while rewriting it in place: what
// happened and where the old content is, for the user.
std::optional<QString> interruptedSave(const QByteArray &nativePath);
// The same, as the copy of the old content that such a save left.
std::optional<QByteArray> interruptedSaveCopy(const QByteArray &nativePath);

// See platform::ignoreFileSizeSignal(); for programs before they write anything.
void ignoreFileSizeSignal();

} // namespace qsjuv
