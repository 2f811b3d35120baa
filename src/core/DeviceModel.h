#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qsjuv {

// One transducer model. The code is the character the questionnaire file stores (as its decimal value).
struct DeviceModel
{
    const char *suffix; // "-610-101"
    std::uint8_t inputs; // 1 or 2
    std::uint8_t outputs; // 0, 1 or 2
    std::uint8_t code; // '2'..'5' for the 610 series, letters for the 720 series
};

// UTF-8; the questionnaire file stores it in Windows-1251.
inline constexpr const char kProductWord[] = "ЖУВ";

inline constexpr int kModelCount610 = 4;
inline constexpr int kModelCount720 = 10;
inline constexpr int kModelCount = kModelCount610 + kModelCount720;

std::span<const DeviceModel, kModelCount610> models610();

// The 610 table followed by the 720 table: the DeviceCombo order.
std::span<const DeviceModel, kModelCount> modelList();

// The product word followed by the suffix, UTF-8: "ЖУВ-720-220".
std::string modelListText(const DeviceModel &model);

// True (610 series) for positions below 4, -1 included.
bool isSeries610(int position);

// The same test on a model code as the file stores it: one of the 610 table's codes ('2'..'5').
bool isSeries610Code(std::uint8_t code);

// ЖУВ-720-120 and ЖУВ-720-121 split their one input over two outputs; the file says so in
// "Splitting" and the form locks the second input off.
bool splitsInput(const DeviceModel &model);

// Position in the model list of the first model with this code.
std::optional<int> modelPositionByCode(std::uint8_t code);

// The channel-2 group is shown for these models.
bool showsChannel2(const DeviceModel &model);

// ЖУВ-610-111 and ЖУВ-610-211 offer only RTD and resistance sensors. Keyed on the position.
bool offersAllSensorTypes(int position);

// Entries of a channel's output list, UTF-8, in list order: two for the 610 series, seven for
// the 720 series. Models without outputs show no list at all.
std::span<const char *const> outputModeTexts(bool series610);

// The quantity of devices a questionnaire may order.
inline constexpr int kQuantityMin = 1;
inline constexpr int kQuantityMax = 999;

// Entries of a channel's connection list, UTF-8; the file stores the position plus 1.
std::span<const char *const> connectionTexts();

} // namespace qsjuv
