#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace qsjuv {

// Windows-1251, the code page of every questionnaire file. The tables come from Qt's ICU codec
// once per process, so the calls below are cheap enough for per-field use.

// False when Qt was built without ICU: then only ASCII converts.
bool cp1251Available();

// Nullopt when any character has no Windows-1251 byte.
std::optional<QByteArray> toCp1251(QStringView text);

// Characters without a Windows-1251 byte become '?', one per code point.
QByteArray toCp1251Lossy(QStringView text);

QString fromCp1251(QByteArrayView bytes);

} // namespace qsjuv
