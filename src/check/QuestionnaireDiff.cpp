#include "check/QuestionnaireDiff.h"

#include "check/ReportWriter.h"
#include "core/Texts.h"

#include <QCoreApplication>
#include <QJsonObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qsjuv::check {

namespace {

struct ShownField
{
    QString caption, text;
};

std::vector<ShownField> questionnaireFields(const Questionnaire &q)
{
    std::vector<ShownField> fields{{texts::modelCaption(), QString::fromStdString(modelListText(q.model()))},
                                   {texts::quantityCaption(), q.quantity}};
    for (const Requisite r : kRequisites)
        fields.push_back({texts::requisiteCaption(r), requisiteText(q, r)});
    return fields;
}

// A channel's fields in the window's order; the bounds' captions follow the sensor type.
std::vector<ShownField> channelFields(const Questionnaire &q, int c)
{
    using texts::ChannelField;
    if (c >= int(q.channels.size()))
        return {};
    const QuestionnaireChannel &ch = q.channels[std::size_t(c)];
    const ChannelShown shown = channelShown(q, c);
    return {{texts::channelCaption(ChannelField::Input), ch.inputOn ? QCoreApplication::translate("QuestionnaireDiff", "да") : QCoreApplication::translate("QuestionnaireDiff", "нет")},
            {texts::channelCaption(ChannelField::SensorType), shown.sensorType},
            {texts::channelCaption(ChannelField::Characteristic), shown.characteristic},
            {shown.maxCaption, ch.maxText},
            {shown.minCaption, ch.minText},
            {texts::channelCaption(ChannelField::Connection), shown.connection},
            {texts::channelCaption(ChannelField::NominalR), shown.nominalR},
            {texts::channelCaption(ChannelField::Output), shown.output}};
}

// Fields pair up by their place; a side that lacks one shows nothing there.
void compare(const std::vector<ShownField> &from, const std::vector<ShownField> &to, int channel,
             std::vector<FieldDifference> &out)
{
    for (std::size_t i = 0; i < std::max(from.size(), to.size()); ++i) {
        const ShownField before = i < from.size() ? from[i] : ShownField{};
        const ShownField after = i < to.size() ? to[i] : ShownField{};
        if (before.text == after.text)
            continue;
        const bool ownCaption = !before.caption.isEmpty() && !after.caption.isEmpty() && before.caption != after.caption;
        out.push_back({after.caption.isEmpty() ? before.caption : after.caption, channel, before.text, after.text,
                       ownCaption ? before.caption : QString()});
    }
}

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

std::vector<FieldDifference> differences(const Questionnaire &from, const Questionnaire &to)
{
    std::vector<FieldDifference> out;
    compare(questionnaireFields(from), questionnaireFields(to), 0, out);
    for (int c = 0; c < int(std::max(from.channels.size(), to.channels.size())); ++c)
        compare(channelFields(from, c), channelFields(to, c), c + 1, out);
    return out;
}

std::optional<FieldDifference> checkCodeDifference(const std::optional<qint32> &from, const std::optional<qint32> &to)
{
    if (from == to)
        return std::nullopt;
    const auto text = [](const std::optional<qint32> &code) { return code ? QString::number(*code) : QString(); };
    return FieldDifference{QCoreApplication::translate("QuestionnaireDiff", "Контрольный код"), 0, text(from), text(to), QString()};
}

QString differenceLine(const FieldDifference &d)
{
    const auto shown = [](const QString &text) { return text.isEmpty() ? u"—"_s : printable(text); };
    const auto titled = [&d](const QString &caption) {
        return d.channel ? u"%1. %2"_s.arg(texts::channelTitle(d.channel - 1), caption) : caption;
    };
    if (!d.fromField.isEmpty())
        return u"%1: %2 → %3: %4"_s.arg(titled(d.fromField), shown(d.from), d.field, shown(d.to));
    return u"%1: %2 → %3"_s.arg(titled(d.field), shown(d.from), shown(d.to));
}

QJsonArray differencesToJson(const std::vector<FieldDifference> &differences)
{
    QJsonArray array;
    for (const FieldDifference &d : differences) {
        QJsonObject o{{u"field"_s, d.field}, {u"channel"_s, d.channel}, {u"from"_s, textOrNull(d.from)},
                      {u"to"_s, textOrNull(d.to)}};
        if (!d.fromField.isEmpty())
            o.insert(u"fromField"_s, d.fromField);
        array.append(o);
    }
    return array;
}

} // namespace qsjuv::check
