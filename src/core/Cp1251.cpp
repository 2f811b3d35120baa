#include "core/Cp1251.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace qsjuv {
namespace {

struct Tables
{
    bool available = false;
    std::array<char16_t, 256> toUnicode{};
    // Bytes 0x00-0x7F that decode to themselves skip the hash.
    std::array<bool, 128> asciiIdentity{};
    QHash<char16_t, uchar> fromUnicode;
};

Tables buildTables()
{
    Tables t;
    for (int b = 0; b < 256; ++b)
        t.toUnicode[b] = b < 0x80 ? char16_t(b) : char16_t(QChar::ReplacementCharacter);

    QStringDecoder decoder("windows-1251", QStringDecoder::Flag::Stateless);
    QStringEncoder encoder("windows-1251");
    t.available = decoder.isValid() && encoder.isValid();
    if (t.available) {
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            t.toUnicode[b] = (s.size() == 1 && !decoder.hasError())
                    ? s.front().unicode()
                    : char16_t(QChar::ReplacementCharacter);
            decoder.resetState();
        }
    }
    for (int b = 0; b < 256; ++b) {
        const char16_t c = t.toUnicode[b];
        if (c == QChar::ReplacementCharacter)
            continue;
        if (b < 0x80 && c == b)
            t.asciiIdentity[b] = true;
        if (!t.fromUnicode.contains(c))
            t.fromUnicode.insert(c, uchar(b));
    }
    return t;
}

const Tables &tables()
{
    static const Tables t = buildTables();
    return t;
}

// Appends the byte for the code point starting at text[i] and returns how many code units it
// took; `ok` turns false when it has no byte.
qsizetype encodeOne(const Tables &t, QStringView text, qsizetype i, QByteArray &out, bool &ok)
{
    const char16_t c = text[i].unicode();
    if (c < 0x80 && t.asciiIdentity[c]) {
        out.append(char(c));
        return 1;
    }
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        ok = false;
        out.append('?');
        return 2;
    }
    const auto it = t.fromUnicode.constFind(c);
    if (it == t.fromUnicode.cend()) {
        ok = false;
        out.append('?');
    } else {
        out.append(char(*it));
    }
    return 1;
}

} // namespace

bool cp1251Available()
{
    return tables().available;
}

std::optional<QByteArray> toCp1251(QStringView text)
{
    const Tables &t = tables();
    QByteArray out;
    out.reserve(text.size());
    bool ok = true;
    for (qsizetype i = 0; i < text.size() && ok;)
        i += encodeOne(t, text, i, out, ok);
    if (!ok)
        return std::nullopt;
    return out;
}

QByteArray toCp1251Lossy(QStringView text)
{
    const Tables &t = tables();
    QByteArray out;
    out.reserve(text.size());
    bool ok = true;
    for (qsizetype i = 0; i < text.size();)
        i += encodeOne(t, text, i, out, ok);
    return out;
}

QString fromCp1251(QByteArrayView bytes)
{
    const Tables &t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(t.toUnicode[uchar(bytes[i])]);
    return out;
}

bool isWellFormedUtf8(QByteArrayView bytes, bool *beyondAscii)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const auto *const end = p + bytes.size();
    bool high = false;
    while (p < end) {
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        high = true;
        const int extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
        if (extra < 0 || end - p <= extra)
            return false;
        // No overlong forms, no surrogates, nothing beyond U+10FFFF.
        const uchar lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
        const uchar hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
        if (p[1] < lo || p[1] > hi)
            return false;
        for (int i = 2; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        p += extra + 1;
    }
    if (beyondAscii)
        *beyondAscii = high;
    return true;
}

bool isUtf8BeyondAscii(QByteArrayView bytes)
{
    bool high = false;
    return isWellFormedUtf8(bytes, &high) && high;
}

} // namespace qsjuv
