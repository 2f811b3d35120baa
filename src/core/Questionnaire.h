#pragma once

#include "core/DeviceModel.h"
#include "core/Sensor.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The questionnaire as one value: what the window shows, what the save writes, what the printed
// summary prints and what the checker reports. It says what was chosen, never where an entry
// stood in a list: list positions belong to the lists that show them.
namespace qsjuv {

struct QuestionnaireChannel
{
    bool inputOn = true;
    std::uint8_t sensorId = 1; // catalogue id of the characteristic
    // The bounds as typed: the file keeps them so, and a text that is no number must stay one.
    QString maxText, minText;
    // As the file writes them; nullopt where the list shows no entry.
    std::optional<int> nominalR; // "Sensor R": the entry of the characteristic's catalogue row
    std::optional<int> connection; // "Input connection": 1 three-wire, 2 four-wire
    std::optional<int> output; // "Output direction" (610) or "Output mode" (720, 255 off); nullopt without outputs

    std::optional<int> max() const;
    std::optional<int> min() const;
    const SensorDescriptor *sensor() const { return sensorById(sensorId); }

    bool operator==(const QuestionnaireChannel &) const = default;
};

struct Questionnaire
{
    int modelPosition = 0; // in the model list, 0..13; every value built here holds a valid one
    QString quantity = QStringLiteral("1"); // as typed
    QString firm, phone, mail, bill;
    std::vector<QuestionnaireChannel> channels; // the channels the model shows

    const DeviceModel &model() const; // precondition: validModel()
    bool validModel() const { return modelPosition >= 0 && modelPosition < kModelCount; }
    bool series610() const { return isSeries610(modelPosition); }

    bool operator==(const Questionnaire &) const = default;
};

// How many channels a model shows: max(inputs, outputs).
int channelCount(const DeviceModel &model);

// What choosing things leaves, as the window's lists cascade: a channel set to a characteristic
// with its full range and default entries; a questionnaire set to a model with every channel at
// its first RTD characteristic, each channel keeping its connection. The requisites and the
// quantity are not touched.
QuestionnaireChannel defaultChannel(int modelPosition, int channel, std::uint8_t sensorId);
Questionnaire withModel(Questionnaire questionnaire, int modelPosition);
// What choosing a characteristic leaves of a channel, in the editor and in a load alike: its full
// range and default resistance; the input, connection and output kept.
QuestionnaireChannel withSensor(int modelPosition, int channel, QuestionnaireChannel current, std::uint8_t sensorId);
Questionnaire defaultQuestionnaire(); // what a new window shows

// A list that shows no entry gets the one the cascade gives it; what the save writes.
Questionnaire withDefaultEntries(Questionnaire questionnaire);

// A channel in the words the window shows it; an empty text is a row the window hides or a list
// without an entry.
struct ChannelShown
{
    QString sensorType, characteristic;
    QString maxCaption, minCaption, unit;
    QString connection, nominalR, output;
};
ChannelShown channelShown(const Questionnaire &questionnaire, int channel);

// The requisites in the form's order, with their captions.
enum class Requisite { Firm, Phone, Mail, Bill };
inline constexpr Requisite kRequisites[] = {Requisite::Firm, Requisite::Phone, Requisite::Mail, Requisite::Bill};
const QString &requisiteText(const Questionnaire &questionnaire, Requisite requisite);

// What makes a requisite's text one that the save must refuse, whether or not the field is
// required; nullopt when the text can be saved as it is.
enum class RequisiteProblem { NotCp1251 };
std::optional<RequisiteProblem> requisiteProblem(QStringView text);

// Why the save refuses a questionnaire, in the order it tests them.
struct SaveRefusal
{
    enum Kind { MissingFirm, MissingMail, MailFormat, RequisiteRefused, NoInput, RangeNotNumber, RangeTooNarrow };
    Kind kind;
    int channel = -1; // 0 or 1 for the range refusals
    bool maxBound = true; // for RangeNotNumber: the max is no number, else the min
    Requisite requisite = Requisite::Firm; // for RequisiteRefused
    RequisiteProblem problem = RequisiteProblem::NotCp1251;
};

// Every refusal, the save's first one first: the window shows that one, the checker lists them
// all; save, PDF and print all stop at the first. Ranges are refused whether their input is on
// or off.
std::vector<SaveRefusal> saveRefusals(const Questionnaire &questionnaire);

} // namespace qsjuv
