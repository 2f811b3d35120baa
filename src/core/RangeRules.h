#pragma once

#include "core/RangeLimits.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace qsjuv {

// The digits of a text in order, after one minus sign when the text holds a minus sign before
// its first digit (or a minus sign and no digit). Only ASCII digits count.
QString filterDigits(QStringView text);

// The signs people and locales write for a minus: the minus sign U+2212, the dashes and the
// hyphens. A bound typed or pasted with one of them means '-'.
bool isMinusSign(QChar c);
QString withAsciiMinus(QString text);

// Strict signed 32-bit decimal: an optional sign and at least one digit, nothing else.
// Fails (never wraps) beyond 32 bits. Not QString::toInt, which accepts " 12 " with its blanks.
std::optional<int> strictToInt(QStringView text);

// A range passes when it is at least the least width; computed without overflow.
bool spanPasses(int max, int min, float minSpan);

// What the range check of a channel makes of its two bound texts. The max is filtered to digits
// and held to the upper limit, then the min to the lower limit (unless holdMin is false: the
// user is still typing it, and the digits to come may reach the limit); a bound that is no
// 32-bit number ends the check there and leaves the min as it was. A max below the lower limit
// or a min above the upper one stays: the span decides.
struct RangeCheck
{
    QString maxText, minText; // the texts the edits end with
    std::optional<int> max, min; // the bounds the check got to
    bool complete = false; // both bounds were numbers, so the span was tested
    bool passes = false;
    bool beyond32Bits = false; // the check ended at a bound of digits too large for 32 bits
};
RangeCheck checkRange(const QString &maxText, const QString &minText, const RangeLimits &row,
                      bool holdMin = true);

// The quantity check: a text that is no number stands for min, a number beyond the limits (also
// one of more digits than 32 bits hold) for the limit. Only then is the edit rewritten; "007" stays as typed.
struct QuantityCheck
{
    int value;
    bool rewrite;
    bool number; // a sign and digits only, whatever their count
};
QuantityCheck checkQuantity(QStringView text, int min, int max);

} // namespace qsjuv
