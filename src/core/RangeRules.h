#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace qsjuv {

// The digits of a text in order, after one minus sign when the text holds a minus sign before
// its first digit (or a minus sign and no digit). Only ASCII digits count.
QString filterDigits(QStringView text);

// Strict signed 32-bit decimal: an optional sign and at least one digit, nothing else.
// Fails (never wraps) beyond 32 bits. Not QString::toInt, which accepts " 12 " with its blanks.
std::optional<int> strictToInt(QStringView text);

// A range passes when it is at least the least width; computed without overflow.
bool spanPasses(int max, int min, float minSpan);

} // namespace qsjuv
