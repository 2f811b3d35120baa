#include "core/ProfileNumber.h"

#include <limits>

namespace qsjuv {

qint32 profileNumber(QByteArrayView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Clamped after every digit, so any run of digits stays far inside 64 bits.
    const qint64 limit = negative ? -qint64(std::numeric_limits<qint32>::min())
                                  : qint64(std::numeric_limits<qint32>::max());
    qint64 magnitude = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = qMin(magnitude * 10 + (text[i] - '0'), limit);
    return qint32(negative ? -magnitude : magnitude);
}

} // namespace qsjuv
