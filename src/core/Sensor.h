#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qsjuv {

// A byte, not an enum: files may hold any value and it must survive unchanged.
using SensorType = std::uint8_t;
inline constexpr SensorType kSensorRtd = 1;
inline constexpr SensorType kSensorThermocouple = 2;
inline constexpr SensorType kSensorVoltage = 3;
inline constexpr SensorType kSensorResistance = 4;

struct SensorDescriptor
{
    std::uint8_t id; // 1..20
    const char *name; // UTF-8, may hold "α"
    SensorType type;
};

inline constexpr int kSensorCount = 20;

// Catalogue order (not id order): the order of a characteristic list.
std::span<const SensorDescriptor, kSensorCount> sensorList();

// Rows of that type in catalogue order.
std::vector<const SensorDescriptor *> sensorsOfType(SensorType type);

// First row with that id, or nullptr.
const SensorDescriptor *sensorById(std::uint8_t id);

// The name with its first "α" replaced by the Latin "a": plain ASCII for every catalogue name.
std::string displayName(const char *name);

// Sensor-type list entry index <-> type. Unknown values map to RTD / entry 0.
SensorType sensorTypeOfIndex(int index);
int indexOfSensorType(SensorType type);

// Entry texts of the sensor-type list, index 0..3, UTF-8; nullptr outside.
const char *sensorTypeEntryText(int index);

// UTF-8 texts of a type; nullptr for values other than 1..4.
const char *unitText(SensorType type);
const char *maxCaption(SensorType type);
const char *minCaption(SensorType type);

} // namespace qsjuv
