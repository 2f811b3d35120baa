#include "core/PathText.h"

#include <QFile>
#include <QStringDecoder>

namespace qsjuv {
namespace {

// Controls move the cursor or retitle a terminal; formatting characters (a byte-order mark,
// zero-width spaces, right-to-left overrides) are invisible or reorder what is shown. The Hangul
// fillers are letters by category but show as blanks.
bool shownAsBytes(char32_t c)
{
    if (c == U'\u115F' || c == U'\u1160' || c == U'\u3164' || c == U'\uFFA0')
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

void appendByte(QString &out, uchar byte)
{
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    out += u"\\x";
    out += QChar(kHex[byte >> 4]);
    out += QChar(kHex[byte & 0xF]);
}

QStringDecoder utf8Decoder()
{
    // An initial byte-order mark is part of the name, not a mark to drop.
    return QStringDecoder(QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
}

void appendValid(QString &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
        const QStringView one = text.sliced(i, pair ? 2 : 1);
        const char32_t c = pair ? QChar::surrogateToUcs4(one[0], one[1]) : one[0].unicode();
        if (c == U'\\')
            out += u"\\\\";
        else if (shownAsBytes(c))
            for (const char byte : one.toUtf8())
                appendByte(out, uchar(byte));
        else
            out += one;
        i += one.size();
    }
}

// How many bytes the valid UTF-8 character at the start of bytes takes; 0 when none starts there.
qsizetype validCharacter(QByteArrayView bytes)
{
    for (qsizetype n = 1; n <= qMin(bytes.size(), qsizetype(4)); ++n) {
        QStringDecoder decoder = utf8Decoder();
        (void)QString(decoder.decode(bytes.first(n)));
        if (!decoder.hasError())
            return n;
    }
    return 0;
}

// How many characters of shown, as displayPath writes it, belong to the unit starting at i.
qsizetype unitLength(const QString &shown, qsizetype i)
{
    if (shown[i] == u'\\')
        return i + 1 < shown.size() && shown[i + 1] == u'x' ? 4 : 2;
    return shown[i].isHighSurrogate() && i + 1 < shown.size() ? 2 : 1;
}

} // namespace

QString displayName(QByteArrayView raw, qsizetype maxLength)
{
    const QString shown = displayPath(raw);
    if (shown.size() <= maxLength)
        return shown;
    const qsizetype room = qMax(maxLength - 1, qsizetype(0));
    const qsizetype headRoom = (room + 1) / 2;
    qsizetype head = 0; // where the start that fits ends
    qsizetype tail = shown.size(); // where the end that fits begins
    while (head < shown.size() && head + unitLength(shown, head) <= headRoom)
        head += unitLength(shown, head);
    for (qsizetype i = head; i < shown.size(); i += unitLength(shown, i)) {
        if (shown.size() - i <= room - head) {
            tail = i;
            break;
        }
    }
    return shown.first(head) + u'…' + shown.sliced(tail);
}

QString displayPath(QByteArrayView raw)
{
    QString out;
    out.reserve(raw.size());
    QStringDecoder decoder = utf8Decoder();
    const QString whole = decoder.decode(raw);
    if (!decoder.hasError()) {
        appendValid(out, whole);
        return out;
    }
    // Character by character only for names that are not UTF-8, such as Windows-1251 ones.
    for (qsizetype i = 0; i < raw.size();) {
        const qsizetype n = validCharacter(raw.sliced(i));
        if (n == 0) {
            appendByte(out, uchar(raw[i]));
            ++i;
        } else {
            appendValid(out, QString(utf8Decoder().decode(raw.sliced(i, n))));
            i += n;
        }
    }
    return out;
}

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace qsjuv
