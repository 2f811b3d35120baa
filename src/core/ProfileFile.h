#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace qsjuv {

// Reads a private-profile file ("[Section]" and "key=value" lines) the way Windows'
// GetPrivateProfileStringA does. Not QSettings' INI format: it takes backslashes, quotes, commas
// and a leading '@' in values and '%' in keys as syntax, where Windows keeps the bytes as they
// are, and it knows neither the first-section-wins rule nor the cut at a NUL. Values are bytes as
// Windows gives them ('?' for what a file with a byte-order mark holds beyond Windows-1251);
// text() gives them as the file means them, never with a character replaced. Section and key
// names match case-insensitively for ASCII letters only, after trimming.
class ProfileReader
{
public:
    explicit ProfileReader(const QByteArray &fileBytes);

    // The whole value with one matching pair of outer quotes removed. Nullopt when the section or
    // the key is missing, or the key's line has no '='. Only the first section of a name is
    // searched and the first key of a name wins. Section "" holds the keys before any header.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // GetPrivateProfileStringA with default "" and a buffer of bufferSize chars: at most
    // bufferSize - 1 bytes, including the lost character of a quoted value that just fits.
    // *ret gets what that call returns.
    QByteArray valueCut(QByteArrayView section, QByteArrayView key, int bufferSize,
                        int *ret = nullptr) const;

    // The file is text in UTF-8: it carries a UTF-16 byte-order mark, or a UTF-8 one and is
    // well-formed after it, or it is well-formed UTF-8 beyond ASCII. Otherwise Windows-1251.
    bool utf8() const { return m_utf8; }
    // value() as the text the file means; U+FFFD only where a byte or unit means no character.
    std::optional<QString> text(QByteArrayView section, QByteArrayView key) const;
    // value() is UTF-8 (a file without a mark that is UTF-8); else it is Windows-1251.
    bool valuesInUtf8() const { return m_utf8 && !m_converted; }

private:
    struct Key
    {
        qsizetype nameBegin;
        qsizetype nameSize;
        qsizetype valueBegin;
        qsizetype valueSize;
        bool hasValue;
    };
    struct Section
    {
        qsizetype nameBegin;
        qsizetype nameSize;
        qsizetype firstKey;
        qsizetype keyCount;
    };

    void parse();
    const Key *findKey(QByteArrayView section, QByteArrayView key) const;
    QByteArrayView slice(qsizetype begin, qsizetype size) const;
    QByteArray windowsValue(QByteArrayView raw) const;
    // The value as the file's text holds it, outer quotes removed.
    std::optional<QByteArrayView> rawValue(QByteArrayView section, QByteArrayView key) const;

    QByteArray m_text; // Windows-1251 or UTF-8; names and values point into it
    bool m_utf8 = false;
    bool m_converted = false; // values are given in Windows-1251, as Windows reads a marked file
    std::vector<Section> m_sections; // [0] is the unnamed part before the first header
    std::vector<Key> m_keys;
};

// Builds a file the way a series of WritePrivateProfileStringA calls builds it in a file that did
// not exist: sections and keys in order of creation, CRLF lines, no blank lines, no BOM.
class ProfileWriter
{
public:
    ProfileWriter();

    // An existing section and key (matched case-insensitively) get the new value in place and
    // keep their spelling; a new key goes to the end of its section, a new section to the end of
    // the file. Leading blanks of the value are dropped, trailing ones kept. Unlike Windows, CR
    // and LF inside a value are written as blanks, so a value can never add a line.
    void writeString(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    QByteArray bytes() const;

private:
    struct Entry
    {
        QByteArray key;
        QByteArray value;
    };
    struct Section
    {
        QByteArray name;
        std::vector<Entry> entries;
    };

    std::vector<Section> m_sections; // [0] holds keys written to section "", before any header
};

} // namespace qsjuv
