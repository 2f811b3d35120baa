#include "core/QuestionnaireLoad.h"

#include "core/Cp1251.h"
#include "core/ProfileNumber.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"

using namespace Qt::StringLiterals;

namespace qsjuv {

namespace {

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

QString text(const std::optional<QByteArray> &value)
{
    return value ? fromCp1251(*value) : QString();
}

QString quoted(const QString &value)
{
    return u"«"_s + value + u"»"_s;
}

QString limitText(float limit)
{
    return QString::asprintf("%.0f", double(limit));
}

class Loader
{
public:
    explicit Loader(LoadedQuestionnaire &result) : m_result(result) { }

    void run(const QuestionnaireRead &read);

private:
    void add(const char *code, int channel, const QString &message)
    {
        m_result.changes.push_back({code, channel, message});
    }

    void loadChannel(const QuestionnaireRead &read, int c);
    void loadRange(const ChannelRead &file, const RangeLimits &row, LoadedChannel &ch, bool reportProblems);
    void loadQuantity(const QuestionnaireRead &read);

    LoadedQuestionnaire &m_result;
    std::optional<int> m_position; // of the model in the model list
    const DeviceModel *m_model = nullptr;
};

void Loader::run(const QuestionnaireRead &read)
{
    m_position = read.modelPosition;
    m_result.modelPosition = m_position;
    if (m_position) {
        m_model = &modelList()[std::size_t(*m_position)];
        m_result.value.modelPosition = *m_position;
    } else if (read.idText) {
        add("unknown-model", 0,
            u"Модель с id %1 отсутствует в каталоге: форма оставит прежнюю модель."_s.arg(read.deviceCode));
    }
    for (int c = 0; c < std::min(read.channelCount, 2); ++c) {
        loadChannel(read, c);
        m_result.value.channels.push_back(m_result.channels.back().value);
    }
    Questionnaire &q = m_result.value;
    q.firm = text(read.firm);
    q.phone = text(read.phone);
    q.mail = text(read.mail);
    q.bill = text(read.bill);
    loadQuantity(read);
}

void Loader::loadChannel(const QuestionnaireRead &read, int c)
{
    const ChannelRead &file = read.channels[std::size_t(c)];
    LoadedChannel &ch = m_result.channels.emplace_back();
    ch.number = c + 1;
    ch.sensor = file.sensor;
    ch.unitType = file.sensor ? file.sensor->type : file.rangeType;

    if (!file.sensorIdText) {
        add("sensor-missing", ch.number, u"Не указана НСХ (ключ «Sensor id»): форма оставит НСХ по умолчанию."_s);
    } else {
        ch.sensorId = std::uint8_t(profileNumber(*file.sensorIdText));
        if (!file.sensor)
            add("sensor-not-offered", ch.number, u"НСХ с id %1 отсутствует в каталоге."_s.arg(*ch.sensorId));
    }

    const bool offered = file.sensor && m_position && offersSensorType(*m_position, file.sensor->type);
    if (file.sensor && m_position && !offered)
        add("sensor-not-offered", ch.number,
            u"Модель %1 не принимает датчики типа %2 (НСХ %3)."_s.arg(
                    QString::fromStdString(modelListText(*m_model)),
                    quoted(utf8(sensorTypeEntryText(indexOfSensorType(file.sensor->type)))),
                    QString::fromStdString(displayName(file.sensor->name))));
    if (file.sensor && file.rangeType != file.sensor->type) {
        // RTD and thermocouple share their range keys; other pairs make the form read the wrong ones.
        const auto fileKeys = RangeKeyNames(file.rangeType);
        const bool sameKeys = fileKeys && qstrcmp(fileKeys->maxKey, RangeKeyNames(file.sensor->type)->maxKey) == 0;
        add("sensor-type-mismatch", ch.number,
            u"«Sensor type» %1 не соответствует НСХ %2 (тип %3)%4."_s
                    .arg(file.sensorTypeText ? quoted(text(file.sensorTypeText)) : u"не указан"_s,
                         QString::fromStdString(displayName(file.sensor->name)), QString::number(file.sensor->type),
                         sameKeys ? QString() : u": границы диапазона форма прочитает не из тех ключей"_s));
    }

    if (file.connPosition && (*file.connPosition < 0 || *file.connPosition > 1))
        add("connection-invalid", ch.number,
            u"«Input connection» %1 не входит в список схем подключения (1, 2)."_s.arg(quoted(text(file.inputConnection))));

    ch.value.inputOn = file.inputOn.value_or(true);
    // A box the model locks shows the model's state, whatever the file says.
    if (m_model && !inputChecks(*m_model)[std::size_t(c)].enabled)
        ch.value.inputOn = inputChecks(*m_model)[std::size_t(c)].checked;
    ch.value.sensorId = offered || (file.sensor && !m_position) ? file.sensor->id : sensorsOfType(kSensorRtd).front()->id;
    // A position beyond its list selects nothing.
    const auto inList = [](int position, std::size_t size) { return position >= 0 && position < int(size) ? position : -1; };
    ch.value.connPosition = inList(file.connPosition.value_or(0), connectionTexts().size());
    if (!m_position) {
        // The form keeps the model and the channel it showed before: nothing to check against.
        ch.value.maxText = text(file.maxValue);
        ch.value.minText = text(file.minValue);
        if (file.maxValue)
            ch.max = strictToInt(ch.value.maxText);
        if (file.minValue)
            ch.min = strictToInt(ch.value.minText);
    } else {
        // Without a sensor the model offers, the channel keeps the first RTD characteristic that
        // choosing the model gave it, and the bounds are held to that. A sensor that is named but
        // not offered is replaced before a save, and its range with it: its bounds say nothing.
        const std::uint8_t rangeId = offered ? file.sensor->id : sensorsOfType(kSensorRtd).front()->id;
        if (const RangeLimits *row = rangeRow(isSeries610(*m_position), rangeId)) {
            ch.unitType = sensorById(rangeId)->type;
            const NominalRList list = nominalResistanceList(*row);
            ch.value.nomRPosition = inList(file.nomRPosition.value_or(list.selected), list.entries.size());
            ch.rangeSaved = offered || !file.sensor;
            loadRange(file, *row, ch, ch.rangeSaved);
        }
    }
    // What the channel shows, from the value's positions; a named position beyond its list is a
    // problem of the file.
    if (offered) {
        const bool series610 = isSeries610(*m_position);
        if (const RangeLimits *row = rangeRow(series610, file.sensor->id)) {
            const NominalRList list = nominalResistanceList(*row);
            const int position = file.nomRPosition.value_or(list.selected);
            if (ch.value.nomRPosition >= 0)
                ch.nominalROhms = QByteArrayView(list.entries[std::size_t(ch.value.nomRPosition)]).toInt();
            else if (!list.entries.empty() || position != -1)
                add("nominal-r-invalid", ch.number,
                    list.entries.empty()
                            ? u"«Sensor R» %1: у НСХ %2 нет списка номинальных сопротивлений."_s.arg(
                                      quoted(text(file.sensorR)), QString::fromStdString(displayName(file.sensor->name)))
                            : u"«Sensor R» %1 не входит в список номинальных сопротивлений НСХ %2."_s.arg(
                                      quoted(text(file.sensorR)), QString::fromStdString(displayName(file.sensor->name))));
        }
        if (showsConnection(series610, file.sensor->type) && ch.value.connPosition >= 0)
            ch.connection = connectionTexts()[std::size_t(ch.value.connPosition)];
    }

    if (m_model) {
        const bool series610 = isSeries610(*m_position);
        const auto &outputKey = file.outputDirection ? file.outputDirection : file.outputMode;
        const QString key = file.outputDirection ? u"Output direction"_s : u"Output mode"_s;
        if (!showsOutputs(*m_model)) {
            // The empty list takes no position; what the save writes for it (255) reads as 0.
            if (file.outputPosition && *file.outputPosition != 0)
                add("output-invalid", ch.number,
                    u"«%1» %2: у модели нет выходов."_s.arg(key, quoted(text(outputKey))));
        } else {
            const auto modes = outputModeTexts(series610);
            // What the model selection leaves when the file holds no output.
            const int position = file.outputPosition.value_or(defaultOutputPosition(*m_model, series610));
            ch.value.outputPosition = inList(position, modes.size());
            if (ch.value.outputPosition >= 0)
                ch.output = modes[std::size_t(ch.value.outputPosition)];
            else
                add("output-invalid", ch.number,
                    u"«%1» %2 не входит в список режимов выхода."_s.arg(key, quoted(text(outputKey))));
        }
    }
}

// The form first shows the full range, then sets the file's max and min, and its range check
// corrects them.
void Loader::loadRange(const ChannelRead &file, const RangeLimits &row, LoadedChannel &ch, bool reportProblems)
{
    const QString unit = utf8(unitText(ch.unitType));
    const QString typedMax = file.maxValue ? fromCp1251(*file.maxValue) : QString::number(truncatedLimit(row.upperLimit));
    const QString typedMin = file.minValue ? fromCp1251(*file.minValue) : QString::number(truncatedLimit(row.lowerLimit));
    const RangeCheck check = qsjuv::checkRange(typedMax, typedMin, row);
    ch.max = check.max;
    // A max that is no number ends the check: the min stays as the file has it.
    ch.min = check.max ? check.min : strictToInt(typedMin);
    ch.value.maxText = check.maxText;
    ch.value.minText = check.max ? check.minText : typedMin;
    if (!reportProblems)
        return;

    struct Bound
    {
        bool checked; // in the file, and reached by the check
        const QString &typed;
        const QString &shown;
        const std::optional<int> &value;
        float limit;
        bool isMax;
    };
    for (const Bound bound : {Bound{bool(file.maxValue), typedMax, check.maxText, check.max, row.upperLimit, true},
                              Bound{file.minValue && check.max, typedMin, check.minText, check.min, row.lowerLimit,
                                    false}}) {
        if (!bound.checked)
            continue;
        const QString name = bound.isMax ? u"Максимум"_s : u"Минимум"_s;
        const QString digits = filterDigits(bound.typed);
        // A bound that is no number is the save's refusal, not a correction.
        if (!bound.value)
            continue;
        if (bound.shown != digits)
            add(bound.isMax ? "range-max-corrected" : "range-min-corrected", ch.number,
                u"%1 диапазона %2 %3 предела %4 %5: форма заменит его на %6."_s.arg(
                        name, quoted(bound.typed), bound.isMax ? u"выше верхнего"_s : u"ниже нижнего"_s,
                        limitText(bound.limit), unit, bound.shown));
        else if (digits != bound.typed)
            add(bound.isMax ? "range-max-corrected" : "range-min-corrected", ch.number,
                u"%1 диапазона %2 содержит посторонние символы: форма покажет %3."_s.arg(
                        name, quoted(bound.typed), quoted(digits)));
    }
}

void Loader::loadQuantity(const QuestionnaireRead &read)
{
    const QString typed = text(read.quantity);
    const QuantityCheck check = qsjuv::checkQuantity(typed, kQuantityMin, kQuantityMax);
    m_result.quantity = check.value;
    m_result.value.quantity = check.rewrite ? QString::number(check.value) : typed;
    if (!check.rewrite)
        return;
    if (!strictToInt(typed))
        add("quantity-invalid", 0,
            read.quantity ? u"Количество изделий %1 не является числом: форма заменит его на %2."_s.arg(
                                    quoted(typed), QString::number(check.value))
                          : u"Количество изделий не указано: форма заменит его на %1."_s.arg(check.value));
    else
        add("quantity-invalid", 0,
            u"Количество изделий %1 вне пределов %2–%3: форма заменит его на %4."_s.arg(
                    quoted(typed), QString::number(kQuantityMin), QString::number(kQuantityMax),
                    QString::number(check.value)));
}

} // namespace

LoadedQuestionnaire loadedQuestionnaire(const QuestionnaireRead &read)
{
    LoadedQuestionnaire result;
    Loader(result).run(read);
    return result;
}

} // namespace qsjuv
