#include "core/Characteristic.h"

#include "core/RangeLimits.h"
#include "core/Sensor.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace qsjuv {
namespace {

// One power series of a thermocouple's reference function, in °С giving mV; it holds below
// `below` (the last piece of a function up to its end).
struct Piece
{
    double below;
    std::span<const double> c;
};

double series(std::span<const double> c, double t)
{
    double sum = 0;
    for (auto it = c.rbegin(); it != c.rend(); ++it)
        sum = sum * t + *it;
    return sum;
}

// The ITS-90 reference functions, as IEC 60584-1 and NIST Monograph 175 give them.
constexpr double kB0[] = {0.0, -0.246508183460e-03, 0.590404211710e-05, -0.132579316360e-08,
                          0.156682919010e-11, -0.169445292400e-14, 0.629903470940e-18};
constexpr double kB1[] = {-0.389381686210e+01, 0.285717474700e-01, -0.848851047850e-04,
                          0.157852801640e-06, -0.168353448640e-09, 0.111097940130e-12,
                          -0.445154310330e-16, 0.989756408210e-20, -0.937913302890e-24};
constexpr double kE0[] = {0.0, 0.586655087080e-01, 0.454109771240e-04, -0.779980486860e-06,
                          -0.258001608430e-07, -0.594525830570e-09, -0.932140586670e-11,
                          -0.102876055340e-12, -0.803701236210e-15, -0.439794973910e-17,
                          -0.164147763550e-19, -0.396736195160e-22, -0.558273287210e-25,
                          -0.346578420130e-28};
constexpr double kE1[] = {0.0, 0.586655087100e-01, 0.450322755820e-04, 0.289084072120e-07,
                          -0.330568966520e-09, 0.650244032700e-12, -0.191974955040e-15,
                          -0.125366004970e-17, 0.214892175690e-20, -0.143880417820e-23,
                          0.359608994810e-27};
constexpr double kJ0[] = {0.0, 0.503811878150e-01, 0.304758369300e-04, -0.856810657200e-07,
                          0.132281952950e-09, -0.170529583370e-12, 0.209480906970e-15,
                          -0.125383953360e-18, 0.156317256970e-22};
constexpr double kJ1[] = {0.296456256810e+03, -0.149761277860e+01, 0.317871039240e-02,
                          -0.318476867010e-05, 0.157208190040e-08, -0.306913690560e-12};
constexpr double kK0[] = {0.0, 0.394501280250e-01, 0.236223735980e-04, -0.328589067840e-06,
                          -0.499048287770e-08, -0.675090591730e-10, -0.574103274280e-12,
                          -0.310888728940e-14, -0.104516093650e-16, -0.198892668780e-19,
                          -0.163226974860e-22};
constexpr double kK1[] = {-0.176004136860e-01, 0.389212049750e-01, 0.185587700320e-04,
                          -0.994575928740e-07, 0.318409457190e-09, -0.560728448890e-12,
                          0.560750590590e-15, -0.320207200030e-18, 0.971511471520e-22,
                          -0.121047212750e-25};
constexpr double kN0[] = {0.0, 0.261591059620e-01, 0.109574842280e-04, -0.938411115540e-07,
                          -0.464120397590e-10, -0.263033577160e-11, -0.226534380030e-13,
                          -0.760893007910e-16, -0.934196678350e-19};
constexpr double kN1[] = {0.0, 0.259293946010e-01, 0.157101418800e-04, 0.438256272370e-07,
                          -0.252611697940e-09, 0.643118193390e-12, -0.100634715190e-14,
                          0.997453389920e-18, -0.608632456070e-21, 0.208492293390e-24,
                          -0.306821961510e-28};
constexpr double kR0[] = {0.0, 0.528961729765e-02, 0.139166589782e-04, -0.238855693017e-07,
                          0.356916001063e-10, -0.462347666298e-13, 0.500777441034e-16,
                          -0.373105886191e-19, 0.157716482367e-22, -0.281038625251e-26};
constexpr double kR1[] = {0.295157925316e+01, -0.252061251332e-02, 0.159564501865e-04,
                          -0.764085947576e-08, 0.205305291024e-11, -0.293359668173e-15};
constexpr double kR2[] = {0.152232118209e+03, -0.268819888545e+00, 0.171280280471e-03,
                          -0.345895706453e-07, -0.934633971046e-14};
constexpr double kS0[] = {0.0, 0.540313308631e-02, 0.125934289740e-04, -0.232477968689e-07,
                          0.322028823036e-10, -0.331465196389e-13, 0.255744251786e-16,
                          -0.125068871393e-19, 0.271443176145e-23};
constexpr double kS1[] = {0.132900444085e+01, 0.334509311344e-02, 0.654805192818e-05,
                          -0.164856259209e-08, 0.129989605174e-13};
constexpr double kS2[] = {0.146628232636e+03, -0.258430516752e+00, 0.163693574641e-03,
                          -0.330439046987e-07, -0.943223690612e-14};
constexpr double kT0[] = {0.0, 0.387481063640e-01, 0.441944343470e-04, 0.118443231050e-06,
                          0.200329735540e-07, 0.901380195590e-09, 0.226511565930e-10,
                          0.360711542050e-12, 0.384939398830e-14, 0.282135219250e-16,
                          0.142515947790e-18, 0.487686622860e-21, 0.107955392700e-23,
                          0.139450270620e-26, 0.797951539270e-30};
constexpr double kT1[] = {0.0, 0.387481063640e-01, 0.332922278800e-04, 0.206182434040e-06,
                          -0.218822568460e-08, 0.109968809280e-10, -0.308157587720e-13,
                          0.454791352900e-16, -0.275129016730e-19};

// GOST R 8.585-2001's approximating polynomials for its own types.
constexpr double kL0[] = {-5.8952244e-5, 6.3391502e-2, 6.7592964e-5, 2.0672566e-7, 5.5720884e-9,
                          5.7133860e-11, 3.2995593e-13, 9.9232420e-16, 1.2079584e-18};
constexpr double kL1[] = {-1.8656953e-5, 6.3310975e-2, 6.0153091e-5, -8.0073134e-8, 9.6946071e-11,
                          -3.6047289e-14, -2.4694775e-16, 4.2880341e-19, -2.0725297e-22};
constexpr double kM[] = {2.4455560e-6, 4.2638917e-2, 5.0348392e-5, -4.4974485e-8};
constexpr double kA1[] = {7.1564735e-4, 1.1951905e-2, 1.6672625e-5, -2.8287807e-8, 2.8397839e-11,
                          -1.8505007e-14, 7.3632123e-18, -1.6148878e-21, 1.4901679e-25};
constexpr double kA2[] = {-1.0850558e-4, 1.1642292e-2, 2.1280289e-5, -4.4258402e-8, 5.5652058e-11,
                          -4.3801310e-14, 2.0228390e-17, -4.9354041e-21, 4.8119846e-25};
constexpr double kA3[] = {-1.0649133e-4, 1.1686478e-2, 1.8022157e-5, -3.3436998e-8, 3.7081688e-11,
                          -2.5748444e-14, 1.0301893e-17, -2.0735944e-21, 1.4678450e-25};

constexpr double kAbove = 1e9;
constexpr Piece kTypeB[] = {{630.615, kB0}, {kAbove, kB1}};
constexpr Piece kTypeE[] = {{0, kE0}, {kAbove, kE1}};
constexpr Piece kTypeJ[] = {{760, kJ0}, {kAbove, kJ1}};
constexpr Piece kTypeK[] = {{0, kK0}, {kAbove, kK1}};
constexpr Piece kTypeN[] = {{0, kN0}, {kAbove, kN1}};
constexpr Piece kTypeR[] = {{1064.18, kR0}, {1664.5, kR1}, {kAbove, kR2}};
constexpr Piece kTypeS[] = {{1064.18, kS0}, {1664.5, kS1}, {kAbove, kS2}};
constexpr Piece kTypeT[] = {{0, kT0}, {kAbove, kT1}};
constexpr Piece kTypeL[] = {{0, kL0}, {kAbove, kL1}};
constexpr Piece kTypeM[] = {{kAbove, kM}};
constexpr Piece kTypeA1[] = {{kAbove, kA1}};
constexpr Piece kTypeA2[] = {{kAbove, kA2}};
constexpr Piece kTypeA3[] = {{kAbove, kA3}};

double thermoEmf(std::span<const Piece> pieces, double t)
{
    // Both junctions at 0 °С give no EMF, as the tables' first rows say; GOST's fits for A-1..A-3,
    // L and M carry a free term there (0.0007 mV for A-1) that is only their residual.
    if (t == 0)
        return 0;
    const Piece &piece = *std::find_if(pieces.begin(), pieces.end() - 1, [t](const Piece &p) { return t < p.below; });
    double emf = series(piece.c, t);
    // Type K above 0 °С adds the term of its magnetic transition.
    if (pieces.data() == kTypeK && t >= 0)
        emf += 0.118597600000e+00 * std::exp(-0.118343200000e-03 * (t - 0.126968600000e+03) * (t - 0.126968600000e+03));
    return emf;
}

std::span<const Piece> thermocouple(std::uint8_t sensorId)
{
    switch (sensorId) {
    case 6: return kTypeA1;
    case 7: return kTypeA2;
    case 8: return kTypeA3;
    case 9: return kTypeB;
    case 10: return kTypeE;
    case 11: return kTypeJ;
    case 12: return kTypeK;
    case 13: return kTypeL;
    case 14: return kTypeM;
    case 15: return kTypeN;
    case 16: return kTypeR;
    case 17: return kTypeS;
    case 18: return kTypeT;
    default: return {};
    }
}

// Platinum: the Callendar–Van Dusen equation (IEC 60751, GOST 6651-2009).
double platinum(double t, double a, double b, double c)
{
    const double w = 1 + a * t + b * t * t;
    return t < 0 ? w + c * (t - 100) * t * t * t : w;
}

// W(t) = R(t)/R0 of an RTD, GOST 6651-2009.
double resistanceRatio(std::uint8_t sensorId, double t)
{
    switch (sensorId) {
    case 1:
        return platinum(t, 3.9083e-3, -5.775e-7, -4.183e-12);
    case 2:
        return platinum(t, 3.9690e-3, -5.841e-7, -4.330e-12);
    case 3:
        // Below 0 °С the standard's cubic for α = 0.00428; above, a straight line.
        return t < 0 ? 1 + 4.28e-3 * t - 6.2032e-7 * t * (t + 6.7) + 8.5154e-10 * t * t * t : 1 + 4.28e-3 * t;
    case 4:
        // One straight line over the whole span, below 0 °С too.
        return 1 + 4.26e-3 * t;
    default: {
        // Nickel α = 0.00617; its lower function is also taken below the standard's −60 °С.
        const double w = 1 + 5.4963e-3 * t + 6.7556e-6 * t * t;
        return t < 100 ? w : w + 9.2004e-9 * (t - 100) * t * t;
    }
    }
}

double forward(const SensorDescriptor &sensor, double value, double nominalR)
{
    switch (sensor.type) {
    case kSensorRtd:
        return nominalR * resistanceRatio(sensor.id, value);
    case kSensorThermocouple:
        return thermoEmf(thermocouple(sensor.id), value);
    default:
        return value;
    }
}

} // namespace

std::optional<CharacteristicSpan> characteristicSpan(std::uint8_t sensorId)
{
    const RangeLimits *row610 = rangeRow(true, sensorId);
    const RangeLimits *row720 = rangeRow(false, sensorId);
    if (!row610 || !row720 || !sensorById(sensorId))
        return std::nullopt;
    return CharacteristicSpan{std::min(row610->lowerLimit, row720->lowerLimit),
                              std::max(row610->upperLimit, row720->upperLimit)};
}

std::optional<double> signalAt(std::uint8_t sensorId, double value, double nominalR)
{
    const std::optional<CharacteristicSpan> span = characteristicSpan(sensorId);
    if (!span || !(value >= span->lowest && value <= span->highest) || !(nominalR > 0))
        return std::nullopt;
    return forward(*sensorById(sensorId), value, nominalR);
}

std::optional<double> valueAt(std::uint8_t sensorId, double signal, double nominalR)
{
    const std::optional<CharacteristicSpan> span = characteristicSpan(sensorId);
    if (!span || !(nominalR > 0) || !std::isfinite(signal))
        return std::nullopt;
    const SensorDescriptor &sensor = *sensorById(sensorId);
    double low = span->lowest, high = span->highest;
    if (signal < forward(sensor, low, nominalR) || signal > forward(sensor, high, nominalR))
        return std::nullopt;
    // Beside 0 °С those fits may dip below 0 (L's upper piece to -0.00002 mV): no EMF is 0 °С.
    if (sensor.type == kSensorThermocouple && signal == 0 && low <= 0)
        return 0.0;
    // Every characteristic rises over its span: bisection converges on any of them, flat ends
    // (type K near −270 °С) included, to far below a table's resolution.
    for (int i = 0; i < 200 && high - low > 1e-10; ++i) {
        const double middle = (low + high) / 2;
        (forward(sensor, middle, nominalR) < signal ? low : high) = middle;
    }
    return (low + high) / 2;
}

} // namespace qsjuv
