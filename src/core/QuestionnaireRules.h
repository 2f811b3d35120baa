#pragma once

#include "core/DeviceModel.h"
#include "core/RangeLimits.h"
#include "core/Sensor.h"

#include <array>
#include <optional>

// What a model and a sensor type make of a channel: the rules the form applies while it is edited
// and loaded, and that the checker applies to say what the form will show.
namespace qsjuv {

// The data version the form shows and every saved file carries.
inline constexpr char kProgramVersion[] = "4e";

// The input check boxes a model choice leaves, channel 1 first.
struct InputCheckState
{
    bool checked;
    bool enabled;
};
std::array<InputCheckState, 2> inputChecks(const DeviceModel &model);

// Entries of the sensor-type list a model offers: the first two or all four.
int offeredSensorTypeCount(int position);
bool offersSensorType(int position, SensorType type);

// A model without outputs shows no output list at all.
bool showsOutputs(const DeviceModel &model);

// A channel's lists as the window shows them, and what the file writes for each entry: the one
// place each list and its file values meet. A position outside its list (-1 included) has no
// value; a value that no entry has is at position -1.
std::optional<int> nominalRValue(const RangeLimits &row, int position); // "Sensor R"
int nominalRPosition(const RangeLimits &row, std::optional<int> value);
std::optional<int> connectionValue(int position); // "Input connection"
int connectionPosition(std::optional<int> value);
std::optional<int> outputValue(bool series610, int position); // "Output direction" or "Output mode"
int outputPosition(bool series610, std::optional<int> value);

// What choosing a characteristic or a model selects: the row's default resistance (none for an
// empty list), the three-wire connection, "4..20 мА" in both output lists (none without outputs).
std::optional<int> defaultNominalR(const RangeLimits &row);
std::optional<int> defaultConnection();
std::optional<int> defaultOutput(const DeviceModel &model);

// The connection row belongs to 610 RTD and resistance inputs, the nominal resistance to RTDs.
bool showsConnection(bool series610, SensorType type);
bool showsNominalR(SensorType type);

} // namespace qsjuv
