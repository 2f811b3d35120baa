#include "core/RangeRules.h"

#include <algorithm>
#include <limits>

namespace qsjuv {

QString filterDigits(QStringView text)
{
    QString digits;
    digits.reserve(text.size());
    bool minusFirst = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
        else if (c == u'-' && digits.isEmpty())
            minusFirst = true;
    }
    return minusFirst ? QLatin1Char('-') + digits : digits;
}

bool isMinusSign(QChar c)
{
    switch (c.unicode()) {
    case u'-':
    case 0x2010: // hyphen
    case 0x2011: // non-breaking hyphen
    case 0x2012: // figure dash
    case 0x2013: // en dash
    case 0x2014: // em dash
    case 0x2212: // minus sign
    case 0xFE63: // small hyphen-minus
    case 0xFF0D: // fullwidth hyphen-minus
        return true;
    default:
        return false;
    }
}

QString withAsciiMinus(QString text)
{
    for (QChar &c : text) {
        if (isMinusSign(c))
            c = u'-';
    }
    return text;
}

std::optional<int> strictToInt(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

bool spanPasses(int max, int min, float minSpan)
{
    return double(qint64(max) - qint64(min)) >= double(minSpan);
}

namespace {
bool hasDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
} // namespace

RangeCheck checkRange(const QString &maxText, const QString &minText, const RangeLimits &row, bool holdMin)
{
    RangeCheck check;
    check.maxText = filterDigits(maxText);
    check.minText = minText;
    check.max = strictToInt(check.maxText);
    if (!check.max) {
        check.beyond32Bits = hasDigit(check.maxText);
        return check;
    }
    if (double(*check.max) > double(row.upperLimit)) {
        check.max = truncatedLimit(row.upperLimit);
        check.maxText = QString::number(*check.max);
    }

    check.minText = filterDigits(minText);
    check.min = strictToInt(check.minText);
    if (!check.min) {
        check.beyond32Bits = hasDigit(check.minText);
        return check;
    }
    if (holdMin && double(*check.min) < double(row.lowerLimit)) {
        check.min = truncatedLimit(row.lowerLimit);
        check.minText = QString::number(*check.min);
    }

    check.complete = true;
    // A minimum not held yet fails below the limit whatever the width.
    check.passes = spanPasses(*check.max, *check.min, row.minSpan) && *check.min >= truncatedLimit(row.lowerLimit);
    return check;
}

QuantityCheck checkQuantity(QStringView text, int min, int max)
{
    const std::optional<int> value = strictToInt(text);
    if (!value) {
        // Digits too many for 32 bits are still a number, and far beyond a limit.
        const bool negative = text.startsWith(u'-');
        const QStringView digits = negative || text.startsWith(u'+') ? text.sliced(1) : text;
        const bool number = !digits.isEmpty()
                && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        return {number && !negative ? max : min, true, number};
    }
    if (*value < min)
        return {min, true, true};
    if (*value > max)
        return {max, true, true};
    return {*value, false, true};
}

} // namespace qsjuv
