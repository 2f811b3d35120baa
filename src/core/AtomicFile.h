#pragma once

#include "core/Platform.h"
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
// place, under an exclusive lock of the file (two saves of it through two names take turns), but
// only after its old content was synced into a named copy (beside it, or in the user's private
// folder), named after the file itself so that every name of it finds the copy. The copy is
// removed once the rewrite is synced; a crash leaves it for interruptedSave() to find, and the
// next save of the file keeps it, read-only, where the user was told it is. New copies are
// owner-only until one becomes the target; a save's unfinished copies that no running save holds
// are removed by the next save in their folder, and nothing else is.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, SaveResult *result = nullptr);

// The reason a save failed, in Russian, naming the old content's copy where one was kept.
QString russianReason(const SaveResult &result);

// When an earlier save of the file at path was interrupted while rewriting it in place: what
// happened and where the old content is, for the user.
std::optional<QString> interruptedSave(const QByteArray &nativePath);
// The same, as the copy of the old content that such a save left. Nullopt also while a save of
// the file is running: it is not interrupted.
std::optional<QByteArray> interruptedSaveCopy(const QByteArray &nativePath);

// Whether a folder entry's name is one an interrupted save's copy of old content may have.
bool isOldContentCopyName(QByteArrayView name);

// The copies of old content that interrupted saves left, looked up for many files: those of a
// folder from its listing, those of the user's private folder listed once.
class InterruptedSaves
{
public:
    InterruptedSaves();
    // The copy left for file (its status as opened, read under a shared lock so that no save of
    // it runs meanwhile) in folder, whose listing gave copyNames (nullptr: not listed, ask).
    std::optional<QByteArray> copyOf(const platform::Status &file, const platform::Folder &folder,
                                     const QByteArray &folderPath, const QByteArrayList *copyNames) const;

private:
    QByteArrayList m_private;
};

// See platform::ignoreFileSizeSignal(); for programs before they write anything.
void ignoreFileSizeSignal();

} // namespace qsjuv
