#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace qsjuv {

// Replaces the file at path with bytes, or leaves the old file exactly as it was and returns
// false (with a readable reason in errorText). Nothing half-written ever takes the old file's
// place: a full disk or a size limit fails the call instead.
bool writeFileAtomically(const QString &path, const QByteArray &bytes,
                         QString *errorText = nullptr);

// The whole file, or nullopt (with the reason in errorText) when it cannot be opened or read.
// A directory is not readable.
std::optional<QByteArray> readWholeFile(const QString &path, QString *errorText = nullptr);

} // namespace qsjuv
