#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace qsjuv {

// Windows-1251, the code page of every questionnaire file. The tables come from Qt's ICU codec
// once per process, so the calls below are cheap enough for per-field use. Hand-written over
// the tables rather than QStringEncoder per call: the encoder writes 0x1A for a character it
// cannot encode and does not say which one, where the file needs '?' for each such code point
// and the form must name the field that holds one.

// False when Qt was built without ICU: then only ASCII converts.
bool cp1251Available();

// Nullopt when any character has no Windows-1251 byte.
std::optional<QByteArray> toCp1251(QStringView text);

// Characters without a Windows-1251 byte become '?', one per code point.
QByteArray toCp1251Lossy(QStringView text);

QString fromCp1251(QByteArrayView bytes);

// Well-formed UTF-8 (no overlong forms, no surrogates), checked without building the text: a
// Windows-1251 text fails at its first pair of Cyrillic letters. *beyondAscii: a byte above 0x7F.
bool isWellFormedUtf8(QByteArrayView bytes, bool *beyondAscii = nullptr);
// What a text written in UTF-8 shows and a Windows-1251 text of ours never is.
bool isUtf8BeyondAscii(QByteArrayView bytes);

} // namespace qsjuv
