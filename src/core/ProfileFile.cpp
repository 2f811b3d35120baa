#include "core/ProfileFile.h"

#include "core/Cp1251.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace qsjuv {
namespace {

// Windows trims with this set, ^Z included (DOS end-of-file marks inside old files).
bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QByteArrayView trimmed(QByteArrayView v)
{
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

// Names and values travel as C strings through the Windows calls: a NUL ends them.
QByteArrayView cutAtNul(QByteArrayView v)
{
    const void *nul = v.empty() ? nullptr : std::memchr(v.data(), '\0', size_t(v.size()));
    return nul ? v.first(static_cast<const char *>(nul) - v.data()) : v;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: Cyrillic names in other cases are different names to Windows.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

QByteArrayView lookupName(QByteArrayView name)
{
    return trimmed(cutAtNul(name));
}

bool isQuoted(QByteArrayView v)
{
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

} // namespace

// A file saved again elsewhere may come in UTF-8 or UTF-16. UTF-16 (by its mark) is made UTF-8,
// a unit that is no UTF-16 becoming U+FFFD; a UTF-8 mark counts where the rest is UTF-8, since
// one put before a Windows-1251 file says nothing of it. Without a mark, a file is UTF-8 when it
// is well-formed UTF-8 beyond ASCII: a Windows-1251 text never is once two Cyrillic letters stand
// side by side, and every save writes the model's name, "ЖУВ-…". The values keep Windows' view:
// a file with a mark gives them in Windows-1251, one without as its bytes.
ProfileReader::ProfileReader(const QByteArray &fileBytes)
{
    const auto fromUtf16 = [&fileBytes](QStringDecoder::Encoding encoding) {
        QByteArrayView body = QByteArrayView(fileBytes).sliced(2);
        body.chop(body.size() % 2); // half a UTF-16 unit at the end is no character
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        // toUtf8() makes each lone surrogate U+FFFD.
        return QString(decoder.decode(body)).toUtf8();
    };
    if (fileBytes.startsWith("\xFF\xFE") || fileBytes.startsWith("\xFE\xFF")) {
        m_text = fromUtf16(fileBytes.startsWith("\xFF") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        m_utf8 = m_converted = true;
    } else if (fileBytes.startsWith("\xEF\xBB\xBF")) {
        m_text = fileBytes.sliced(3);
        m_utf8 = m_converted = isWellFormedUtf8(m_text);
    } else {
        m_text = fileBytes;
        m_utf8 = isUtf8BeyondAscii(m_text);
    }
    parse();
}

QByteArray ProfileReader::windowsValue(QByteArrayView raw) const
{
    if (!m_converted)
        return raw.toByteArray();
    return toCp1251Lossy(QString::fromUtf8(raw));
}

std::optional<QString> ProfileReader::text(QByteArrayView section, QByteArrayView key) const
{
    const std::optional<QByteArrayView> v = rawValue(section, key);
    if (!v)
        return std::nullopt;
    return m_utf8 ? QString::fromUtf8(*v) : fromCp1251(*v);
}

QByteArrayView ProfileReader::slice(qsizetype begin, qsizetype size) const
{
    return QByteArrayView(m_text).sliced(begin, size);
}

void ProfileReader::parse()
{
    const QByteArrayView text(m_text);
    const qsizetype n = text.size();
    const char *const data = text.data();

    m_sections.push_back(Section{0, 0, 0, 0});
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype begin = pos;
        while (pos < n && !isLineEnd(data[pos]))
            ++pos;
        qsizetype end = pos;
        while (pos < n && isLineEnd(data[pos]))
            ++pos;

        while (begin < end && isBlank(data[begin]))
            ++begin;
        while (end > begin && isBlank(data[end - 1]))
            --end;
        if (begin == end)
            continue;

        if (data[begin] == '[') {
            qsizetype close = end - 1;
            while (close > begin && data[close] != ']')
                --close;
            // Without a ']' the line is an ordinary key of the section before it.
            if (close > begin) {
                const QByteArrayView name =
                        cutAtNul(trimmed(text.sliced(begin + 1, close - begin - 1)));
                m_sections.push_back(Section{name.data() - data, name.size(),
                                             qsizetype(m_keys.size()), 0});
                continue;
            }
        }

        const QByteArrayView line = text.sliced(begin, end - begin);
        const qsizetype eq = line.indexOf('=');
        Key key{};
        QByteArrayView name = line;
        if (eq >= 0) {
            name = line.first(eq);
            while (!name.empty() && isBlank(name.back()))
                name.chop(1);
            QByteArrayView value = line.sliced(eq + 1);
            while (!value.empty() && isBlank(value.front()))
                value = value.sliced(1);
            value = cutAtNul(value);
            key.valueBegin = value.data() - data;
            key.valueSize = value.size();
            key.hasValue = true;
        }
        name = cutAtNul(name);
        key.nameBegin = name.data() - data;
        key.nameSize = name.size();
        m_keys.push_back(key);
        ++m_sections.back().keyCount;
    }
}

const ProfileReader::Key *ProfileReader::findKey(QByteArrayView section, QByteArrayView key) const
{
    const QByteArrayView sectionName = lookupName(section);
    const QByteArrayView keyName = lookupName(key);
    for (const Section &s : m_sections) {
        if (!sameName(slice(s.nameBegin, s.nameSize), sectionName))
            continue;
        // A later section of the same name is never searched.
        for (qsizetype i = s.firstKey; i < s.firstKey + s.keyCount; ++i) {
            const Key &k = m_keys[size_t(i)];
            if (sameName(slice(k.nameBegin, k.nameSize), keyName))
                return &k;
        }
        return nullptr;
    }
    return nullptr;
}

std::optional<QByteArrayView> ProfileReader::rawValue(QByteArrayView section, QByteArrayView key) const
{
    const Key *k = findKey(section, key);
    if (!k || !k->hasValue)
        return std::nullopt;
    QByteArrayView v = slice(k->valueBegin, k->valueSize);
    if (isQuoted(v))
        v = v.sliced(1, v.size() - 2);
    return v;
}

std::optional<QByteArray> ProfileReader::value(QByteArrayView section, QByteArrayView key) const
{
    const std::optional<QByteArrayView> v = rawValue(section, key);
    if (!v)
        return std::nullopt;
    return windowsValue(*v);
}

QByteArray ProfileReader::valueCut(QByteArrayView section, QByteArrayView key, int bufferSize,
                                   int *ret) const
{
    QByteArray out;
    if (bufferSize > 0) {
        const Key *k = findKey(section, key);
        QByteArray whole;
        if (k && k->hasValue)
            whole = windowsValue(slice(k->valueBegin, k->valueSize));
        QByteArrayView v = whole;
        const bool quoted = isQuoted(v);
        if (quoted)
            v = v.sliced(1);
        out = v.first(qMin(v.size(), qsizetype(bufferSize) - 1)).toByteArray();
        // Windows drops the last copied character, not the closing quote, once the buffer is
        // at least as long as the value after its opening quote.
        if (quoted && bufferSize >= v.size() && !out.isEmpty())
            out.chop(1);
    }
    if (ret)
        *ret = int(out.size());
    return out;
}

namespace {

// Windows strips leading blanks; CR and LF become blanks so the text stays on its line.
QByteArray writableValue(QByteArrayView value)
{
    QByteArrayView v = cutAtNul(value);
    while (!v.empty() && isBlank(v.front()))
        v = v.sliced(1);
    QByteArray out = v.toByteArray();
    for (char &c : out) {
        if (isLineEnd(c))
            c = ' ';
    }
    return out;
}

// Trimmed because reading trims names anyway; an inner line break would start a new line.
QByteArray writableName(QByteArrayView name)
{
    QByteArray out = trimmed(cutAtNul(name)).toByteArray();
    for (char &c : out) {
        if (isLineEnd(c))
            c = ' ';
    }
    return out;
}

} // namespace

ProfileWriter::ProfileWriter()
    : m_sections(1)
{
}

void ProfileWriter::writeString(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArray sectionName = writableName(section);
    const QByteArray keyName = writableName(key);
    QByteArray text = writableValue(value);

    Section *target = nullptr;
    for (Section &s : m_sections) {
        if (sameName(s.name, sectionName)) {
            target = &s;
            break;
        }
    }
    if (!target) {
        m_sections.push_back(Section{sectionName, {}});
        target = &m_sections.back();
    }
    for (Entry &e : target->entries) {
        if (sameName(e.key, keyName)) {
            e.value = std::move(text);
            return;
        }
    }
    target->entries.push_back(Entry{keyName, std::move(text)});
}

QByteArray ProfileWriter::bytes() const
{
    qsizetype size = 0;
    for (const Section &s : m_sections) {
        size += s.name.size() + 4;
        for (const Entry &e : s.entries)
            size += e.key.size() + e.value.size() + 3;
    }
    QByteArray out;
    out.reserve(size);
    bool first = true;
    for (const Section &s : m_sections) {
        // The unnamed part has no header line.
        if (!first)
            out.append('[').append(s.name).append("]\r\n");
        first = false;
        for (const Entry &e : s.entries)
            out.append(e.key).append('=').append(e.value).append("\r\n");
    }
    return out;
}

} // namespace qsjuv
