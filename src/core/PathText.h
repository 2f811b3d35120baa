#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <filesystem>

namespace qsjuv {

// A file name as bytes, for people: valid UTF-8 as it is; every byte that is not valid UTF-8,
// and every byte of a control, invisible formatting or filler character, as \xHH; a backslash doubled.
// Different byte strings never give the same text, and no name can drive a terminal.
QString displayPath(QByteArrayView raw);

inline QString displayPath(const std::filesystem::path &path)
{
    return displayPath(QByteArrayView(path.native()));
}

// displayPath at most maxLength characters long: a longer one keeps its start and its end, with
// "…" for the middle, and never splits an escape or a surrogate pair. For titles and menus, where
// one name must not push everything else away; the full text stays in displayPath.
QString displayName(QByteArrayView raw, qsizetype maxLength);

// The bytes a QString path names on disk, as QFile would open it.
std::filesystem::path nativePath(const QString &path);

} // namespace qsjuv
