#include "core/Sensor.h"

#include <QtGlobal>

#include <array>
#include <iterator>

namespace qsjuv {

namespace {

// Not in id order: this order is what the characteristic lists show.
constexpr std::array<SensorDescriptor, kSensorCount> kSensors{{
    {1, "Pt α=0.00385", kSensorRtd},
    {2, "Pt α=0.00391", kSensorRtd},
    {3, "Cu α=0.00428", kSensorRtd},
    {9, "B", kSensorThermocouple},
    {11, "J", kSensorThermocouple},
    {12, "K", kSensorThermocouple},
    {13, "L", kSensorThermocouple},
    {17, "S", kSensorThermocouple},
    {19, "U lin", kSensorVoltage},
    {20, "R lin", kSensorResistance},
    {4, "Cu α=0.00426", kSensorRtd},
    {5, "Ni α=0.00617", kSensorRtd},
    {6, "A-1", kSensorThermocouple},
    {7, "A-2", kSensorThermocouple},
    {8, "A-3", kSensorThermocouple},
    {10, "E", kSensorThermocouple},
    {14, "M", kSensorThermocouple},
    {15, "N", kSensorThermocouple},
    {16, "R", kSensorThermocouple},
    {18, "T", kSensorThermocouple},
}};

constexpr const char *kSensorTypeEntries[] = {
    QT_TRANSLATE_NOOP("Catalogue", "Термосопротивление"),
    QT_TRANSLATE_NOOP("Catalogue", "Сопротивление"),
    QT_TRANSLATE_NOOP("Catalogue", "Термопара"),
    QT_TRANSLATE_NOOP("Catalogue", "Напряжение"),
};

// Indexed by SensorType; entry 0 is unused. The "С" of "°С" is Cyrillic.
struct TypeTexts
{
    const char *unit;
    const char *maxCaption;
    const char *minCaption;
};
constexpr TypeTexts kTypeTexts[] = {
    {nullptr, nullptr, nullptr},
    {QT_TRANSLATE_NOOP("Catalogue", "°С"), QT_TRANSLATE_NOOP("Catalogue", "T макс, °С"), QT_TRANSLATE_NOOP("Catalogue", "T мин, °С")},
    {QT_TRANSLATE_NOOP("Catalogue", "°С"), QT_TRANSLATE_NOOP("Catalogue", "T макс, °С"), QT_TRANSLATE_NOOP("Catalogue", "T мин, °С")},
    {QT_TRANSLATE_NOOP("Catalogue", "мВ"), QT_TRANSLATE_NOOP("Catalogue", "U макс, мВ"), QT_TRANSLATE_NOOP("Catalogue", "U мин, мВ")},
    {QT_TRANSLATE_NOOP("Catalogue", "Ом"), QT_TRANSLATE_NOOP("Catalogue", "R макс, Ом"), QT_TRANSLATE_NOOP("Catalogue", "R мин, Ом")},
};

const TypeTexts *typeTexts(SensorType type)
{
    if (type < kSensorRtd || type > kSensorResistance)
        return nullptr;
    return &kTypeTexts[type];
}

} // namespace

std::span<const SensorDescriptor, kSensorCount> sensorList()
{
    return kSensors;
}

std::vector<const SensorDescriptor *> sensorsOfType(SensorType type)
{
    std::vector<const SensorDescriptor *> result;
    for (const SensorDescriptor &sensor : kSensors) {
        if (sensor.type == type)
            result.push_back(&sensor);
    }
    return result;
}

const SensorDescriptor *sensorById(std::uint8_t id)
{
    for (const SensorDescriptor &sensor : kSensors) {
        if (sensor.id == id)
            return &sensor;
    }
    return nullptr;
}

std::string displayName(const char *name)
{
    std::string text(name);
    // The lists are single-byte; "α" has no place there, so it becomes a Latin a.
    const std::string::size_type at = text.find("\xCE\xB1");
    if (at != std::string::npos)
        text.replace(at, 2, 1, 'a');
    return text;
}

SensorType sensorTypeOfIndex(int index)
{
    switch (index) {
    case 1:
        return kSensorResistance;
    case 2:
        return kSensorThermocouple;
    case 3:
        return kSensorVoltage;
    default:
        return kSensorRtd;
    }
}

int indexOfSensorType(SensorType type)
{
    switch (type) {
    case kSensorResistance:
        return 1;
    case kSensorThermocouple:
        return 2;
    case kSensorVoltage:
        return 3;
    default:
        return 0;
    }
}

const char *sensorTypeEntryText(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kSensorTypeEntries)))
        return nullptr;
    return kSensorTypeEntries[index];
}

const char *unitText(SensorType type)
{
    const TypeTexts *texts = typeTexts(type);
    return texts ? texts->unit : nullptr;
}

const char *maxCaption(SensorType type)
{
    const TypeTexts *texts = typeTexts(type);
    return texts ? texts->maxCaption : nullptr;
}

const char *minCaption(SensorType type)
{
    const TypeTexts *texts = typeTexts(type);
    return texts ? texts->minCaption : nullptr;
}

} // namespace qsjuv
