#pragma once

#include <QByteArray>
#include <QString>

namespace qsjuv {

// Replaces the file at path with bytes, or leaves the old file exactly as it was and returns
// false with the system's reason ("Permission denied", "No space left on device") in reason.
// Nothing half-written ever takes the old file's place: a full disk or a size limit fails the
// call instead.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

} // namespace qsjuv
