#include "core/DeviceModel.h"

#include <QtGlobal>

#include <algorithm>
#include <array>

namespace qsjuv {

namespace {

// Both series in one array so the model list can be a span over it: 610 rows first.
constexpr std::array<DeviceModel, kModelCount> kModels{{
    {"-610-101", 1, 1, '2'},
    {"-610-111", 1, 1, '4'},
    {"-610-201", 2, 2, '3'},
    {"-610-211", 2, 2, '5'},
    {"-720-220", 2, 2, 'P'},
    {"-720-221", 2, 2, 'Q'},
    {"-720-110", 1, 1, 'V'},
    {"-720-111", 1, 1, 'W'},
    {"-720-200", 2, 0, 'R'},
    {"-720-201", 2, 0, 'S'},
    {"-720-100", 1, 0, 'X'},
    {"-720-101", 1, 0, 'Y'},
    {"-720-120", 1, 2, 'T'},
    {"-720-121", 1, 2, 'U'},
}};

// The "мА" and "В" are Cyrillic.
constexpr const char *kOutputModes610[] = {QT_TRANSLATE_NOOP("Catalogue", "4..20 мА"), QT_TRANSLATE_NOOP("Catalogue", "20..4 мА")};
constexpr const char *kOutputModes720[] = {
    QT_TRANSLATE_NOOP("Catalogue", "Отключен"), QT_TRANSLATE_NOOP("Catalogue", "0..20 мА"), QT_TRANSLATE_NOOP("Catalogue", "4..20 мА"),
    QT_TRANSLATE_NOOP("Catalogue", "0..5 В"), QT_TRANSLATE_NOOP("Catalogue", "1..5 В"), QT_TRANSLATE_NOOP("Catalogue", "0..10 В"),
    QT_TRANSLATE_NOOP("Catalogue", "2..10 В")};

constexpr const char *kConnections[] = {QT_TRANSLATE_NOOP("Catalogue", "3-проводная"), QT_TRANSLATE_NOOP("Catalogue", "4-проводная")};

} // namespace

std::span<const DeviceModel, kModelCount610> models610()
{
    return std::span<const DeviceModel, kModelCount>(kModels).first<kModelCount610>();
}

std::span<const DeviceModel, kModelCount> modelList()
{
    return kModels;
}

std::string modelListText(const DeviceModel &model)
{
    return std::string(kProductWord) + model.suffix;
}

bool isSeries610(int position)
{
    // No selection (-1) counts as the 610 series too.
    return position < kModelCount610;
}

bool isSeries610Code(std::uint8_t code)
{
    const auto series = models610();
    return std::any_of(series.begin(), series.end(), [code](const DeviceModel &model) { return model.code == code; });
}

bool splitsInput(const DeviceModel &model)
{
    return model.code == 'T' || model.code == 'U';
}

std::optional<int> modelPositionByCode(std::uint8_t code)
{
    for (int i = 0; i < kModelCount; ++i) {
        if (kModels[static_cast<std::size_t>(i)].code == code)
            return i;
    }
    return std::nullopt;
}

bool showsChannel2(const DeviceModel &model)
{
    return model.inputs == 2 || model.outputs == 2;
}

bool offersAllSensorTypes(int position)
{
    return position == 0 || position == 2 || !isSeries610(position);
}

std::span<const char *const> outputModeTexts(bool series610)
{
    if (series610)
        return kOutputModes610;
    return kOutputModes720;
}

std::span<const char *const> connectionTexts()
{
    return kConnections;
}

} // namespace qsjuv
