#include "core/Questionnaire.h"

#include "core/Cp1251.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"
#include "core/Requisites.h"
#include "core/Translation.h"

#include <QtGlobal>

#include <algorithm>
#include <span>

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
    Q_ASSERT(validModel());
    return modelList()[std::size_t(modelPosition)];
}

int channelCount(const DeviceModel &model)
{
    return showsChannel2(model) ? 2 : 1;
}

QuestionnaireChannel defaultChannel(int modelPosition, int channel, std::uint8_t sensorId)
{
    const DeviceModel &model = modelList()[std::size_t(modelPosition)];
    QuestionnaireChannel ch;
    ch.inputOn = inputChecks(model)[std::size_t(channel)].checked;
    ch.sensorId = sensorId;
    if (const RangeLimits *row = rangeRow(isSeries610(modelPosition), sensorId)) {
        ch.maxText = QString::number(truncatedLimit(row->upperLimit));
        ch.minText = QString::number(truncatedLimit(row->lowerLimit));
        ch.nominalR = defaultNominalR(*row);
    }
    ch.connection = defaultConnection();
    ch.output = defaultOutput(model);
    return ch;
}

Questionnaire withModel(Questionnaire questionnaire, int modelPosition)
{
    const std::vector<QuestionnaireChannel> before = std::move(questionnaire.channels);
    questionnaire.modelPosition = modelPosition;
    questionnaire.channels.clear();
    const std::uint8_t firstRtd = sensorsOfType(kSensorRtd).front()->id;
    for (int c = 0; c < channelCount(questionnaire.model()); ++c) {
        QuestionnaireChannel ch = defaultChannel(modelPosition, c, firstRtd);
        // The connection is the wiring on site: no model choice changes it.
        if (std::size_t(c) < before.size() && connectionPosition(before[std::size_t(c)].connection) >= 0)
            ch.connection = before[std::size_t(c)].connection;
        questionnaire.channels.push_back(ch);
    }
    return questionnaire;
}

QuestionnaireChannel withSensor(int modelPosition, int channel, QuestionnaireChannel current, std::uint8_t sensorId)
{
    const QuestionnaireChannel fresh = defaultChannel(modelPosition, channel, sensorId);
    current.sensorId = fresh.sensorId;
    current.maxText = fresh.maxText;
    current.minText = fresh.minText;
    current.nominalR = fresh.nominalR;
    return current;
}

Questionnaire defaultQuestionnaire()
{
    return withModel(Questionnaire(), 0);
}

Questionnaire withDefaultEntries(Questionnaire q)
{
    const bool series610 = q.series610();
    for (QuestionnaireChannel &ch : q.channels) {
        const RangeLimits *row = rangeRow(series610, ch.sensorId);
        if (row && nominalRPosition(*row, ch.nominalR) < 0)
            ch.nominalR = defaultNominalR(*row);
        if (connectionPosition(ch.connection) < 0)
            ch.connection = defaultConnection();
        if (outputPosition(series610, ch.output) < 0)
            ch.output = defaultOutput(q.model());
    }
    return q;
}

namespace {
QString utf8(const char *text)
{
    return catalogueText(text);
}

// The entry at position, empty for none.
QString entry(std::span<const char *const> list, int position)
{
    return position < 0 ? QString() : catalogueText(list[std::size_t(position)]);
}
} // namespace

ChannelShown channelShown(const Questionnaire &q, int channel)
{
    const QuestionnaireChannel &ch = q.channels[std::size_t(channel)];
    ChannelShown shown;
    const SensorDescriptor *sensor = ch.sensor();
    if (!sensor)
        return shown;
    const SensorType type = sensor->type;
    shown.sensorType = utf8(sensorTypeEntryText(indexOfSensorType(type)));
    shown.characteristic = QString::fromStdString(displayName(sensor->name));
    shown.maxCaption = utf8(maxCaption(type));
    shown.minCaption = utf8(minCaption(type));
    shown.unit = utf8(unitText(type));
    if (showsConnection(q.series610(), type))
        shown.connection = entry(connectionTexts(), connectionPosition(ch.connection));
    const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
    if (showsNominalR(type) && row) {
        const int position = nominalRPosition(*row, ch.nominalR);
        if (position >= 0)
            shown.nominalR = QString::fromStdString(nominalResistanceList(*row).entries[std::size_t(position)]);
    }
    if (showsOutputs(q.model()))
        shown.output = entry(outputModeTexts(q.series610()), outputPosition(q.series610(), ch.output));
    return shown;
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
