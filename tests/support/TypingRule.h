#pragma once

// The typing rule as a person meets it: which entry a list's text names, what a field shows
// after keys, what leaving a field leaves. Tests that type compare the window with these.
#include "core/Questionnaire.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>

namespace qsjuv::testing {

using namespace Qt::StringLiterals;

// The entry a list's text names: any letter case, blanks at the ends ignored; -1 for none.
inline int entryNamed(const QComboBox *box, const QString &text)
{
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A disabled field shows its colour greyed: the colour it has is the active one.
inline QColor shownColour(const QLineEdit *line)
{
    return line->palette().color(QPalette::Active, QPalette::Text);
}

// The list a widget is, or whose text it edits.
inline QComboBox *listOf(QWidget *w)
{
    auto *box = qobject_cast<QComboBox *>(w);
    return box || !w ? box : qobject_cast<QComboBox *>(w->parentWidget());
}

// A number field holds digits, after a minus for a bound.
inline bool numberText(QStringView text, bool bound)
{
    const QStringView digits = text.sliced(bound && text.startsWith(u'-') ? 1 : 0);
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// What a field shows after each key (a paste is one) typed over old, all of it selected or the
// cursor at its end. A number field refuses a key that makes its text no number; a text that was
// no number already (a file's) refuses nothing.
inline QString typedInto(const QString &old, bool replace, const QStringList &keys, std::optional<bool> bound)
{
    QString text = old;
    bool selected = replace;
    for (const QString &typed : keys) {
        // A bound takes a typographic minus or a dash as the minus.
        const QString key = bound && *bound ? withAsciiMinus(typed) : typed;
        const QString next = (selected ? QString() : text) + key;
        if (bound && numberText(text, *bound) && !numberText(next, *bound))
            continue;
        text = next;
        selected = false;
    }
    return text;
}

// What leaving a bound leaves: the bound left never empty, the max held to the upper limit and,
// after a max that is a number, the min held to the lower one.
inline std::pair<QString, QString> heldBounds(QString max, QString min, bool leftMax, const RangeLimits &row)
{
    QString &left = leftMax ? max : min;
    if (left.isEmpty() || left == u"-"_s)
        left = u"0"_s;
    const auto maxValue = strictToInt(max);
    if (!maxValue)
        return {max, min};
    if (*maxValue > truncatedLimit(row.upperLimit))
        max = QString::number(truncatedLimit(row.upperLimit));
    if (const auto minValue = strictToInt(min); minValue && *minValue < truncatedLimit(row.lowerLimit))
        min = QString::number(truncatedLimit(row.lowerLimit));
    return {max, min};
}

// The lists of a value that hold no entry, shown or not: a file can name none.
inline QStringList emptyLists(const Questionnaire &q)
{
    const Questionnaire filled = withDefaultEntries(q);
    QStringList empty;
    for (std::size_t c = 0; c < q.channels.size(); ++c) {
        const QuestionnaireChannel &ch = q.channels[c], &f = filled.channels[c];
        const std::pair<bool, const char *> lists[] = {
                {ch.connection != f.connection, "ConnCombo"}, {ch.nominalR != f.nominalR, "NomRCombo"},
                {ch.output != f.output, "OutputCombo"}};
        for (const auto &[lacks, name] : lists)
            if (lacks)
                empty << u"Ch%1%2"_s.arg(c + 1).arg(QLatin1StringView(name));
    }
    return empty;
}

} // namespace qsjuv::testing
