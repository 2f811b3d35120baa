#pragma once

#include <cstdint>
#include <optional>

// Nominal static characteristics of the catalogue's sensors: the signal a sensor gives at a
// value of its measured quantity, and back. RTDs give ohms for a nominal resistance R0,
// thermocouples millivolts with the reference junction at 0 °С; "U lin" and "R lin" give the
// value itself (millivolts, ohms).
namespace qsjuv {

// The span over which a characteristic is defined: the widest its catalogue rows allow in
// either series, in the unit of the sensor's type.
struct CharacteristicSpan
{
    double lowest;
    double highest;
};

// Nullopt for an id that names no sensor.
std::optional<CharacteristicSpan> characteristicSpan(std::uint8_t sensorId);

// The signal at a value; nullopt outside the characteristic's span (nothing is extrapolated) or
// for an id that names no sensor. nominalR only matters to RTDs and must be positive.
std::optional<double> signalAt(std::uint8_t sensorId, double value, double nominalR = 100);

// The value at a signal, solved from the forward function to well below the tables' last digit;
// nullopt for a signal that no value in the span gives.
std::optional<double> valueAt(std::uint8_t sensorId, double signal, double nominalR = 100);

} // namespace qsjuv
