#include "core/QuestionnaireRules.h"

#include <algorithm>
#include <cstring>

namespace qsjuv {

std::array<InputCheckState, 2> inputChecks(const DeviceModel &model)
{
    // The 610 series has no switchable inputs.
    if (isSeries610Code(model.code))
        return {{{true, false}, {true, false}}};
    if (splitsInput(model))
        return {{{true, true}, {false, false}}};
    return {{{true, true}, {true, true}}};
}

int offeredSensorTypeCount(int position)
{
    return offersAllSensorTypes(position) ? 4 : 2;
}

bool offersSensorType(int position, SensorType type)
{
    return indexOfSensorType(type) < offeredSensorTypeCount(position);
}

bool showsOutputs(const DeviceModel &model)
{
    return model.outputs != 0;
}

namespace {
// The position whose value is this one; values are unique within each list.
template<typename ValueOf>
int positionOf(std::optional<int> value, int count, ValueOf valueOf)
{
    for (int position = 0; value && position < count; ++position) {
        if (valueOf(position) == value)
            return position;
    }
    return -1;
}

constexpr char kDefaultOutputText[] = "4..20 мА";
constexpr int kOutputOff720 = 255; // "Output mode" of the 720 list's first entry, "Отключен"
} // namespace

std::optional<int> nominalRValue(const RangeLimits &row, int position)
{
    if (position < 0 || position >= int(nominalResistanceList(row).entries.size()))
        return std::nullopt;
    return int(nominalRFileValue(row.sensorId, position));
}

int nominalRPosition(const RangeLimits &row, std::optional<int> value)
{
    return positionOf(value, int(nominalResistanceList(row).entries.size()),
                      [&row](int position) { return nominalRValue(row, position); });
}

std::optional<int> connectionValue(int position)
{
    if (position < 0 || position >= int(connectionTexts().size()))
        return std::nullopt;
    return position + 1;
}

int connectionPosition(std::optional<int> value)
{
    return positionOf(value, int(connectionTexts().size()), connectionValue);
}

std::optional<int> outputValue(bool series610, int position)
{
    if (position < 0 || position >= int(outputModeTexts(series610).size()))
        return std::nullopt;
    if (series610)
        return position;
    return position == 0 ? kOutputOff720 : position - 1;
}

int outputPosition(bool series610, std::optional<int> value)
{
    return positionOf(value, int(outputModeTexts(series610).size()),
                      [series610](int position) { return outputValue(series610, position); });
}

std::optional<int> defaultNominalR(const RangeLimits &row)
{
    return nominalRValue(row, nominalResistanceList(row).selected);
}

std::optional<int> defaultConnection()
{
    return connectionValue(0);
}

std::optional<int> defaultOutput(const DeviceModel &model)
{
    if (!showsOutputs(model))
        return std::nullopt;
    // Both lists select the same current loop, wherever it stands in them.
    const bool series610 = isSeries610Code(model.code);
    const auto modes = outputModeTexts(series610);
    const auto it = std::find_if(modes.begin(), modes.end(),
                                 [](const char *mode) { return std::strcmp(mode, kDefaultOutputText) == 0; });
    return outputValue(series610, int(it - modes.begin()));
}

bool showsConnection(bool series610, SensorType type)
{
    return series610 && (type == kSensorRtd || type == kSensorResistance);
}

bool showsNominalR(SensorType type)
{
    return type == kSensorRtd;
}

} // namespace qsjuv
