#include "core/ProfileFile.h"

#include "core/Cp1251.h"

#include <QStringDecoder>

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

QByteArray toCp1251Text(const QByteArray &file)
{
    const auto decode = [&file](QStringDecoder::Encoding encoding, qsizetype bomSize) {
        QByteArrayView body = QByteArrayView(file).sliced(bomSize);
        if (encoding != QStringDecoder::Utf8)
            body.chop(body.size() % 2); // half a UTF-16 unit at the end is no character
        // The mark itself is already skipped; a second one is text (and becomes '?').
        QStringDecoder decoder(encoding,
                               QStringDecoder::Flag::Stateless
                                       | QStringDecoder::Flag::ConvertInitialBom);
        return toCp1251Lossy(QString(decoder.decode(body)));
    };
    if (file.startsWith("\xEF\xBB\xBF"))
        return decode(QStringDecoder::Utf8, 3);
    if (file.startsWith("\xFF\xFE"))
        return decode(QStringDecoder::Utf16LE, 2);
    if (file.startsWith("\xFE\xFF"))
        return decode(QStringDecoder::Utf16BE, 2);
    return file;
}

} // namespace

ProfileReader::ProfileReader(const QByteArray &fileBytes)
    : m_text(toCp1251Text(fileBytes))
{
    parse();
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

std::optional<QByteArray> ProfileReader::value(QByteArrayView section, QByteArrayView key) const
{
    const Key *k = findKey(section, key);
    if (!k || !k->hasValue)
        return std::nullopt;
    QByteArrayView v = slice(k->valueBegin, k->valueSize);
    if (isQuoted(v))
        v = v.sliced(1, v.size() - 2);
    return v.toByteArray();
}

QByteArray ProfileReader::valueCut(QByteArrayView section, QByteArrayView key, int bufferSize,
                                   int *ret) const
{
    QByteArray out;
    if (bufferSize > 0) {
        const Key *k = findKey(section, key);
        QByteArrayView v;
        if (k && k->hasValue)
            v = slice(k->valueBegin, k->valueSize);
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
