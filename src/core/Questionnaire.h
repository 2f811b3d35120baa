#pragma once

#include "core/DeviceModel.h"
#include "core/Sensor.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The questionnaire as one value: what the form shows, what the save writes, what the printed
// summary prints and what the checker reports. The form reads its widgets into it and shows it
// in them; everything else works on the value alone.
namespace qsjuv {

struct QuestionnaireChannel
{
    bool inputOn = true;
    std::uint8_t sensorId = 1; // catalogue id of the characteristic
    int nomRPosition = -1; // positions in the lists the channel shows; -1: nothing selected
    int connPosition = 0;
    int outputPosition = -1;
    // The bounds as typed: the file keeps them so, and a text that is no number must stay one.
    QString maxText, minText;

    std::optional<int> max() const;
    std::optional<int> min() const;
    const SensorDescriptor *sensor() const { return sensorById(sensorId); }
};

struct Questionnaire
{
    int modelPosition = 0; // in the model list, 0..13
    QString quantity; // as typed
    QString firm, phone, mail, bill;
    std::vector<QuestionnaireChannel> channels; // the channels the model shows

    const DeviceModel &model() const;
    bool series610() const { return isSeries610(modelPosition); }
};

// How many channels a model shows: max(inputs, outputs).
int channelCount(const DeviceModel &model);

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

// Every refusal, the save's first one first: the form shows that one, the checker lists them
// all. Ranges are refused whether their input is on or off.
std::vector<SaveRefusal> saveRefusals(const Questionnaire &questionnaire);

} // namespace qsjuv
