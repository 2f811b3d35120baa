#include "core/QuestionnaireSummary.h"

#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"
#include "core/Texts.h"

using namespace Qt::StringLiterals;

namespace qsjuv {

namespace {
// The entry at position, empty for none.
template<typename List>
QString entry(const List &list, int position)
{
    if (position < 0 || position >= int(std::size(list)))
        return QString();
    if constexpr (std::is_same_v<std::decay_t<decltype(list[0])>, std::string>)
        return QString::fromStdString(list[std::size_t(position)]);
    else
        return QString::fromUtf8(list[std::size_t(position)]);
}

QString utf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}
} // namespace

Summary questionnaireSummary(const Questionnaire &q, const QString &title, const QString &date)
{
    Summary result;
    result.title = title;
    result.date = date;
    result.device = {{texts::modelCaption(), QString::fromStdString(modelListText(q.model()))},
                     {texts::quantityCaption(), q.quantity}};
    for (std::size_t c = 0; c < q.channels.size(); ++c) {
        const QuestionnaireChannel &ch = q.channels[c];
        const SensorDescriptor *sensor = ch.sensor();
        const SensorType type = sensor ? sensor->type : 0;
        const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
        const QString range = u"от %1 до %2 %3"_s.arg(ch.minText, ch.maxText, utf8(unitText(type)));
        result.channels.push_back(
                {texts::channelTitle(int(c)),
                 {{u"Вход"_s, ch.inputOn ? u"включен"_s : u"отключен"_s},
                  {texts::channelCaption(texts::ChannelField::SensorType),
                   sensor ? utf8(sensorTypeEntryText(indexOfSensorType(type))) : QString()},
                  {texts::channelCaption(texts::ChannelField::Characteristic),
                   sensor ? QString::fromStdString(displayName(sensor->name)) : QString()},
                  {u"Диапазон измерения"_s, range.trimmed()},
                  {texts::channelCaption(texts::ChannelField::Connection),
                   showsConnection(q.series610(), type) ? entry(connectionTexts(), ch.connPosition) : QString()},
                  {texts::channelCaption(texts::ChannelField::NominalR),
                   showsNominalR(type) && row ? entry(nominalResistanceList(*row).entries, ch.nomRPosition) : QString()},
                  {texts::channelCaption(texts::ChannelField::Output),
                   showsOutputs(q.model()) ? entry(outputModeTexts(q.series610()), ch.outputPosition) : QString()}}});
    }
    for (const Requisite r : kRequisites)
        result.requisites.emplace_back(texts::requisiteCaption(r), requisiteText(q, r));
    result.version = QLatin1StringView(kProgramVersion);
    result.checkCode = writeQuestionnaire(q).checkCode;
    return result;
}

} // namespace qsjuv
