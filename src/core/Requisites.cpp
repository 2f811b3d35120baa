#include "core/Requisites.h"

#include <algorithm>

namespace qsjuv {

bool isRequisiteCharacter(QChar c)
{
    return c.category() != QChar::Other_Control && c != QChar::ReplacementCharacter;
}

bool isRequisiteText(QStringView text)
{
    return std::all_of(text.begin(), text.end(), isRequisiteCharacter);
}

QString normalizedRequisite(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return out.trimmed();
}

bool requisiteBlank(QStringView text)
{
    return normalizedRequisite(text).isEmpty();
}

QByteArray requisiteFileValue(QByteArrayView text)
{
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'')
            && text.back() == text.front();
    if (!quoted)
        return text.toByteArray();
    return '"' + text.toByteArray() + '"';
}

} // namespace qsjuv
