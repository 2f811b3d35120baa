#include "core/RangeLimits.h"

#include <array>
#include <cstdio>

namespace qsjuv {

namespace {

// Rows without nominal resistances carry 1 as their default.
constexpr RangeLimits kRanges610[kRangeRowCount] = {
    {20, 5, 235, 15, 1, 0, {}},
    {1, -200, 350, 100, 100, 2, {50, 100}},
    {2, -200, 350, 100, 100, 2, {50, 100}},
    {9, 200, 1820, 500, 1, 0, {}},
    {3, -180, 200, 100, 100, 2, {50, 100}},
    {11, -210, 1200, 500, 1, 0, {}},
    {12, -270, 1370, 500, 1, 0, {}},
    {13, -200, 800, 500, 1, 0, {}},
    {17, -50, 1760, 500, 1, 0, {}},
    {19, -140, 140, 15, 1, 0, {}},
    {4, -50, 200, 100, 100, 3, {50, 53, 100}},
    {5, -69, 180, 100, 100, 2, {50, 100}},
    {6, 0, 2500, 500, 1, 0, {}},
    {7, 0, 1800, 500, 1, 0, {}},
    {8, 0, 1800, 500, 1, 0, {}},
    {10, -265, 1000, 500, 1, 0, {}},
    {14, -200, 100, 300, 1, 0, {}},
    {15, -265, 1300, 500, 1, 0, {}},
    {16, -50, 1760, 500, 1, 0, {}},
    {18, -265, 400, 500, 1, 0, {}},
};

// The 720 series shares every row except the upper limits of R lin, Pt 0.00385 and Pt 0.00391
// and the lower limit of B.
struct SeriesLimits
{
    std::uint8_t sensorId;
    float lowerLimit, upperLimit;
};
constexpr SeriesLimits kLimits720[] = {{20, 5, 260}, {1, -200, 450}, {2, -200, 440}, {9, 300, 1820}};

constexpr std::array<RangeLimits, kRangeRowCount> ranges720()
{
    std::array<RangeLimits, kRangeRowCount> table{};
    for (int i = 0; i < kRangeRowCount; ++i) {
        table[std::size_t(i)] = kRanges610[i];
        for (const SeriesLimits &limits : kLimits720) {
            if (limits.sensorId == table[std::size_t(i)].sensorId) {
                table[std::size_t(i)].lowerLimit = limits.lowerLimit;
                table[std::size_t(i)].upperLimit = limits.upperLimit;
            }
        }
    }
    return table;
}
constexpr std::array<RangeLimits, kRangeRowCount> kRanges720 = ranges720();

// The 53-ohm element of Cu 0.00426 stays in the table but is never offered.
constexpr std::uint8_t kSensorWithHiddenEntry = 4;
constexpr int kHiddenEntry = 1;

} // namespace

const RangeLimits *rangeTable(bool series610)
{
    return series610 ? kRanges610 : kRanges720.data();
}

const RangeLimits *rangeRow(bool series610, std::uint8_t sensorId)
{
    const RangeLimits *table = rangeTable(series610);
    for (int i = 0; i < kRangeRowCount; ++i) {
        if (table[i].sensorId == sensorId)
            return &table[i];
    }
    return nullptr;
}

NominalRList nominalResistanceList(const RangeLimits &row)
{
    NominalRList list;
    list.selected = 0;
    const bool hidesEntry = row.sensorId == kSensorWithHiddenEntry;
    const int count = row.nominalRCount < 10 ? row.nominalRCount : 10;
    for (int i = 0; i < count; ++i) {
        if (hidesEntry && i == kHiddenEntry)
            continue;
        char text[64];
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(row.nominalR[i]));
        list.entries.emplace_back(text);
        // The catalogue index, not the list index, and the last match wins: the shown
        // selection depends on it.
        if (row.nominalR[i] == row.defaultNominalR)
            list.selected = i;
    }
    // With the 53-ohm entry gone, 100 ohms is the second entry of the list.
    if (hidesEntry)
        list.selected = kHiddenEntry;
    if (list.entries.empty() || list.selected >= static_cast<int>(list.entries.size()))
        list.selected = -1;
    return list;
}

// Every position but the first lies past the hidden entry, no selection (-1) included: that is
// what files hold.
std::int64_t nominalRFileValue(std::uint8_t sensorId, std::int64_t listPosition)
{
    return sensorId == kSensorWithHiddenEntry && listPosition != 0 ? listPosition + 1 : listPosition;
}

std::int64_t nominalRListPosition(std::uint8_t sensorId, std::int64_t fileValue)
{
    return sensorId == kSensorWithHiddenEntry && fileValue != 0 ? fileValue - 1 : fileValue;
}

int truncatedLimit(float limit)
{
    return static_cast<int>(limit);
}

} // namespace qsjuv
