#include "core/QuestionnaireSummary.h"

#include "core/QuestionnaireFormat.h"
#include "core/Texts.h"

#include <QCoreApplication>

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
        const QString range = QCoreApplication::translate("QuestionnaireSummary", "от %1 до %2 %3").arg(ch.minText, ch.maxText, shown.unit);
        result.channels.push_back({texts::channelTitle(int(c)),
                                   {{QCoreApplication::translate("QuestionnaireSummary", "Вход"), ch.inputOn ? QCoreApplication::translate("QuestionnaireSummary", "включен") : QCoreApplication::translate("QuestionnaireSummary", "отключен")},
                                    {texts::channelCaption(texts::ChannelField::SensorType), shown.sensorType},
                                    {texts::channelCaption(texts::ChannelField::Characteristic), shown.characteristic},
                                    {QCoreApplication::translate("QuestionnaireSummary", "Диапазон измерения"), range.trimmed()},
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
