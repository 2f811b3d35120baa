#pragma once

#include <QByteArray>
#include <QString>

namespace qsjuv {

// Replaces the content of the file at path (links followed) with bytes, or returns false with
// the system's reason ("Permission denied", "File too large") in reason. Any name the file
// system accepts can be saved over, and the file keeps what belongs to it: its hard links,
// mode, owner and group (where the user may set them) and extended attributes.
//
// Normally a complete copy is written beside the file and renamed over it, so a failure leaves
// the old file exactly as it was. Where a rename would lose something (another hard link, an
// owner or group the user cannot give, a folder the user cannot write), the file is rewritten in
// place, but only after a complete copy was synced elsewhere: when that rewrite fails part-way,
// reason names the copy, which is then kept. Nothing is ever lost.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

// A file-size limit (ulimit -f) kills a process that writes past it unless SIGXFSZ is ignored;
// ignored, the write fails with "File too large". Called by every write above, and by programs
// before they write anything.
void ignoreFileSizeSignal();

} // namespace qsjuv
