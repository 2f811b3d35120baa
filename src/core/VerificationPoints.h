#pragma once

#include "core/Questionnaire.h"

#include <QString>

#include <optional>
#include <vector>

// The lab's verification sheet: per channel, the points of its range to test, the signal a
// calibrator applies at each and the output the transducer must give.
namespace qsjuv {

struct VerificationPoint
{
    int percent; // of the range: 0, 25, 50, 75, 100
    double value; // in the range's unit, to one decimal
    double signal; // ohms (RTD at the channel's R0, R lin) or millivolts
    double output; // mA or V; the value itself where the device only reports it
};

struct ChannelPoints
{
    enum class Missing { None, InputOff, RangeRefused, BeyondCharacteristic };
    int channel = 0; // 0 or 1
    Missing missing = Missing::None; // why the channel has no points
    QString characteristic; // as the list shows it
    QString valueUnit, signalUnit, outputUnit;
    QString outputMode; // the output list's entry; empty for a model without outputs
    bool reported = true; // no analogue output: the expected output is the value the device reports
    std::optional<double> nominalR; // ohms, for RTDs
    std::vector<VerificationPoint> points;
};

// Every channel of the questionnaire, with the entries its save would write: a list left
// without an entry counts as the one the save takes.
std::vector<ChannelPoints> verificationPoints(const Questionnaire &questionnaire);

// The sheet's numbers: a point as a whole or one-decimal number, a signal and an output in mA
// or V with three decimals (an output that is only reported as the point). A dot, never "-0".
QString pointValueText(double value);
QString signalText(double signal);
QString outputText(const ChannelPoints &channel, const VerificationPoint &point);

// Why a channel has no points, for people.
QString missingPointsText(ChannelPoints::Missing missing);

} // namespace qsjuv
