#include "core/Questionnaire.h"

#include "core/Cp1251.h"
#include "core/QuestionnaireFormat.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"
#include "core/Requisites.h"

#include <algorithm>

namespace qsjuv {

std::optional<int> QuestionnaireChannel::max() const
{
    return strictToInt(maxText);
}

std::optional<int> QuestionnaireChannel::min() const
{
    return strictToInt(minText);
}

const DeviceModel &Questionnaire::model() const
{
    return modelList()[std::size_t(std::clamp(modelPosition, 0, kModelCount - 1))];
}

int channelCount(const DeviceModel &model)
{
    return showsChannel2(model) ? 2 : 1;
}

const QString &requisiteText(const Questionnaire &questionnaire, Requisite requisite)
{
    switch (requisite) {
    case Requisite::Phone:
        return questionnaire.phone;
    case Requisite::Mail:
        return questionnaire.mail;
    case Requisite::Bill:
        return questionnaire.bill;
    case Requisite::Firm:
        break;
    }
    return questionnaire.firm;
}

std::optional<RequisiteProblem> requisiteProblem(QStringView text)
{
    // A character Windows-1251 lacks would come back as another one.
    if (!toCp1251(text))
        return RequisiteProblem::NotCp1251;
    return std::nullopt;
}

std::vector<SaveRefusal> saveRefusals(const Questionnaire &q)
{
    std::vector<SaveRefusal> refusals;
    // Blanks and control characters alone count as not filled in.
    if (requisiteBlank(q.firm))
        refusals.push_back({SaveRefusal::MissingFirm});
    if (requisiteBlank(q.mail))
        refusals.push_back({SaveRefusal::MissingMail});
    else if (!mailFormatValid(q.mail))
        refusals.push_back({SaveRefusal::MailFormat});
    for (const Requisite requisite : kRequisites) {
        if (const auto problem = requisiteProblem(requisiteText(q, requisite)))
            refusals.push_back({SaveRefusal::RequisiteRefused, -1, true, requisite, *problem});
    }

    if (std::none_of(q.channels.cbegin(), q.channels.cend(), [](const auto &ch) { return ch.inputOn; }))
        refusals.push_back({SaveRefusal::NoInput});

    for (std::size_t c = 0; c < q.channels.size(); ++c) {
        const QuestionnaireChannel &ch = q.channels[c];
        const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
        const RangeCheck check = row ? checkRange(ch.maxText, ch.minText, *row) : RangeCheck{};
        if (!check.max || !check.min)
            refusals.push_back({SaveRefusal::RangeNotNumber, int(c), !check.max});
        else if (!check.passes)
            refusals.push_back({SaveRefusal::RangeTooNarrow, int(c)});
    }
    return refusals;
}

} // namespace qsjuv
