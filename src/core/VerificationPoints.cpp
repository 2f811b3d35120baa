#include "core/VerificationPoints.h"

#include "core/Characteristic.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"
#include "core/Translation.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

constexpr std::array kPercents{0, 25, 50, 75, 100};

// What an output list's entry makes of the range: the output at its start and at its end.
struct OutputScale
{
    double atStart, atEnd;
    const char *unit; // nullptr: the device only reports the value
};
constexpr const char *kMilliampere = QT_TRANSLATE_NOOP("Catalogue", "мА");
constexpr const char *kVolt = QT_TRANSLATE_NOOP("Catalogue", "В");
constexpr OutputScale kScales610[] = {{4, 20, kMilliampere}, {20, 4, kMilliampere}};
constexpr OutputScale kScales720[] = {{0, 0, nullptr}, {0, 20, kMilliampere}, {4, 20, kMilliampere}, {0, 5, kVolt},
                                      {1, 5, kVolt},   {0, 10, kVolt},        {2, 10, kVolt}};

// No negative zero on paper.
QString fixed(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0;
    return QString::number(rounded, 'f', decimals);
}

bool rangeRefused(const Questionnaire &q, int channel)
{
    const std::vector<SaveRefusal> refusals = saveRefusals(q);
    return std::any_of(refusals.begin(), refusals.end(), [channel](const SaveRefusal &r) {
        return (r.kind == SaveRefusal::RangeNotNumber || r.kind == SaveRefusal::RangeTooNarrow) && r.channel == channel;
    });
}

// The channel's description; its points are filled by the caller.
ChannelPoints describe(const Questionnaire &q, int c, const OutputScale *&scale)
{
    const QuestionnaireChannel &ch = q.channels[std::size_t(c)];
    const ChannelShown shown = channelShown(q, c);
    ChannelPoints result;
    result.channel = c;
    result.characteristic = shown.characteristic;
    result.valueUnit = shown.unit;
    result.outputMode = shown.output;
    const SensorType type = ch.sensor() ? ch.sensor()->type : kSensorRtd;
    result.signalUnit = (type == kSensorRtd || type == kSensorResistance) ? QCoreApplication::translate("VerificationPoints", "Ом") : QCoreApplication::translate("VerificationPoints", "мВ");
    const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
    if (type == kSensorRtd && row && ch.nominalR && *ch.nominalR >= 0 && *ch.nominalR < row->nominalRCount)
        result.nominalR = row->nominalR[*ch.nominalR];
    scale = nullptr;
    if (showsOutputs(q.model())) {
        const int position = outputPosition(q.series610(), ch.output);
        if (position >= 0)
            scale = q.series610() ? &kScales610[position] : &kScales720[position];
    }
    result.reported = !(scale && scale->unit);
    result.outputUnit = result.reported ? result.valueUnit : catalogueText(scale->unit);
    return result;
}

ChannelPoints channelPoints(const Questionnaire &q, int c)
{
    const QuestionnaireChannel &ch = q.channels[std::size_t(c)];
    const OutputScale *scale = nullptr;
    ChannelPoints result = describe(q, c, scale);
    if (!ch.inputOn) {
        result.missing = ChannelPoints::Missing::InputOff;
        return result;
    }
    if (rangeRefused(q, c) || !ch.max() || !ch.min()) {
        result.missing = ChannelPoints::Missing::RangeRefused;
        return result;
    }
    const double min = *ch.min(), max = *ch.max();
    for (const int percent : kPercents) {
        const double value = std::round((min + (max - min) * percent / 100.0) * 10) / 10;
        const std::optional<double> signal = signalAt(ch.sensorId, value, result.nominalR.value_or(100));
        if (!signal) {
            result.missing = ChannelPoints::Missing::BeyondCharacteristic;
            result.points.clear();
            return result;
        }
        const double fraction = (value - min) / (max - min);
        const double output = result.reported ? value : scale->atStart + (scale->atEnd - scale->atStart) * fraction;
        result.points.push_back({percent, value, *signal, output});
    }
    return result;
}

} // namespace

std::vector<ChannelPoints> verificationPoints(const Questionnaire &questionnaire)
{
    std::vector<ChannelPoints> result;
    if (!questionnaire.validModel())
        return result;
    const Questionnaire q = withDefaultEntries(questionnaire);
    for (int c = 0; c < int(q.channels.size()); ++c)
        result.push_back(channelPoints(q, c));
    return result;
}

QString pointValueText(double value)
{
    const QString text = fixed(value, 1);
    return text.endsWith(u".0"_s) ? text.chopped(2) : text;
}

QString signalText(double signal)
{
    return fixed(signal, 3);
}

QString outputText(const ChannelPoints &channel, const VerificationPoint &point)
{
    return channel.reported ? pointValueText(point.output) : fixed(point.output, 3);
}

QString missingPointsText(ChannelPoints::Missing missing)
{
    switch (missing) {
    case ChannelPoints::Missing::InputOff:
        return QCoreApplication::translate("VerificationPoints", "вход отключен");
    case ChannelPoints::Missing::RangeRefused:
        return QCoreApplication::translate("VerificationPoints", "диапазон измерения задан некорректно");
    case ChannelPoints::Missing::BeyondCharacteristic:
        return QCoreApplication::translate("VerificationPoints", "диапазон выходит за пределы НСХ");
    case ChannelPoints::Missing::None:
        break;
    }
    return {};
}

} // namespace qsjuv
