#pragma once

#include "core/DeviceModel.h"
#include "core/Sensor.h"

#include <array>

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

// The output entry a model choice selects, "4..20 мА" in both lists; -1 without outputs.
int defaultOutputPosition(const DeviceModel &model, bool series610);

// The connection row belongs to 610 RTD and resistance inputs, the nominal resistance to RTDs.
bool showsConnection(bool series610, SensorType type);
bool showsNominalR(SensorType type);

} // namespace qsjuv
