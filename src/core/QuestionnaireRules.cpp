#include "core/QuestionnaireRules.h"

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

int defaultOutputPosition(const DeviceModel &model, bool series610)
{
    if (!showsOutputs(model))
        return -1;
    return series610 ? 0 : 2;
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
