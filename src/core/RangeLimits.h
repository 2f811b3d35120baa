#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qsjuv {

struct RangeLimits
{
    std::uint8_t sensorId;
    float lowerLimit;
    float upperLimit;
    float minSpan;
    float defaultNominalR; // 1 where the row lists no nominal resistances
    std::uint16_t nominalRCount; // valid entries of nominalR
    float nominalR[10];
};

inline constexpr int kRangeRowCount = 20;

// The range table of a series: the 610 table when series610 is true.
const RangeLimits *rangeTable(bool series610);

// First row of the series' table for the sensor id, or nullptr.
const RangeLimits *rangeRow(bool series610, std::uint8_t sensorId);

// What a channel's nominal-resistance list shows for a row: the texts ("%.0f") and the entry
// selected by default (-1 when the list is empty). Sensor 4 never offers its 53-ohm entry.
struct NominalRList
{
    std::vector<std::string> entries;
    int selected = -1;
};
NominalRList nominalResistanceList(const RangeLimits &row);

// "Sensor R" counts the catalogue's entries, the list leaves out sensor 4's 53 ohms: a list
// position as the file stores it, and a stored value as a list position.
std::int64_t nominalRFileValue(std::uint8_t sensorId, std::int64_t listPosition);
std::int64_t nominalRListPosition(std::uint8_t sensorId, std::int64_t fileValue);

// A limit as the edits and spinners hold it: truncated toward zero.
int truncatedLimit(float limit);

} // namespace qsjuv
