#include "core/QuestionnaireSummary.h"

#include "core/QuestionnaireFormat.h"
#include "core/Texts.h"

using namespace Qt::StringLiterals;

namespace qsjuv {


Summary questionnaireSummary(const Questionnaire &q, const QString &title, const QString &date)
{
    Summary result;
    result.title = title;
    result.date = date;
    result.device = {{texts::modelCaption(), QString::fromStdString(modelListText(q.model()))},
                     {texts::quantityCaption(), q.quantity}};
    for (std::size_t c = 0; c < q.channels.size(); ++c) {
        const QuestionnaireChannel &ch = q.channels[c];
        const ChannelShown shown = channelShown(q, int(c));
        const QString range = u"от %1 до %2 %3"_s.arg(ch.minText, ch.maxText, shown.unit);
        result.channels.push_back({texts::channelTitle(int(c)),
                                   {{u"Вход"_s, ch.inputOn ? u"включен"_s : u"отключен"_s},
                                    {texts::channelCaption(texts::ChannelField::SensorType), shown.sensorType},
                                    {texts::channelCaption(texts::ChannelField::Characteristic), shown.characteristic},
                                    {u"Диапазон измерения"_s, range.trimmed()},
                                    {texts::channelCaption(texts::ChannelField::Connection), shown.connection},
                                    {texts::channelCaption(texts::ChannelField::NominalR), shown.nominalR},
                                    {texts::channelCaption(texts::ChannelField::Output), shown.output}}});
    }
    for (const Requisite r : kRequisites)
        result.requisites.emplace_back(texts::requisiteCaption(r), requisiteText(q, r));
    result.version = QLatin1StringView(kProgramVersion);
    result.checkCode = writeQuestionnaire(q).checkCode;
    result.points = verificationPoints(q);
    return result;
}

} // namespace qsjuv
