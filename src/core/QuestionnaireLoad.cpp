#include "core/QuestionnaireLoad.h"

#include "core/Cp1251.h"
#include "core/LockedChannels.h"
#include "core/ProfileNumber.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"
#include "core/Texts.h"
#include "core/Translation.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qsjuv {

namespace {

QString utf8(const char *text)
{
    return catalogueText(text);
}

QString quoted(const QString &value)
{
    return QCoreApplication::translate("QuestionnaireLoad", "«%1»").arg(value);
}

QString limitText(float limit)
{
    return QString::asprintf("%.0f", double(limit));
}

class Loader
{
public:
    Loader(const QuestionnaireRead &read, const Questionnaire &base, LoadedQuestionnaire &result)
        : m_read(read), m_base(base), m_result(result)
    {
    }

    void run();

private:
    void add(const char *code, int channel, const QString &message)
    {
        m_result.changes.push_back({code, channel, message});
    }
    // A change the window warns about.
    void warn(const char *code, int channel, const QString &message)
    {
        add(code, channel, message);
        m_result.warning = true;
    }
    QString text(const std::optional<QByteArray> &value) const { return m_read.text(value); }

    QuestionnaireChannel loadChannel(int c, const QuestionnaireChannel &start);
    bool sensorOffered(const ChannelRead &file, int number);
    void loadLists(const ChannelRead &file, const RangeLimits *row, QuestionnaireChannel &ch, int number);
    void loadOutput(const ChannelRead &file, QuestionnaireChannel &ch, int number);
    void loadRange(const ChannelRead &file, const RangeLimits &row, QuestionnaireChannel &ch, int number);
    void loadQuantity(const QuestionnaireRead &read);
    void loadRequisites();

    const QuestionnaireRead &m_read;
    const Questionnaire &m_base;
    LoadedQuestionnaire &m_result;
};

void Loader::run()
{
    Questionnaire &q = m_result.value;
    q = m_base.validModel() ? m_base : withModel(m_base, 0);
    m_result.questionnaire = m_read.questionnaire();
    if (!m_result.questionnaire)
        return;
    m_result.modelKnown = m_read.modelPosition.has_value();
    if (m_result.modelKnown) {
        q = withModel(m_base, *m_read.modelPosition);
    } else if (m_read.idText) {
        // The window keeps its model and the channels it shows: the file changes what it names.
        add("unknown-model", 0,
            QCoreApplication::translate("QuestionnaireLoad", "Модель с id %1 отсутствует в каталоге: форма оставит прежнюю модель.").arg(m_read.deviceCode));
    }
    // Every channel the model shows, and no other: a section beyond them is not shown.
    const Questionnaire fresh = withModel(q, q.modelPosition);
    for (std::size_t c = q.channels.size(); c < fresh.channels.size(); ++c)
        q.channels.push_back(fresh.channels[c]);
    q.channels.resize(fresh.channels.size());
    for (std::size_t c = 0; c < q.channels.size(); ++c)
        q.channels[c] = loadChannel(int(c), q.channels[c]);
    m_result.accepted = m_read.accepted();
    // The requisites lie outside the check code: shown as the file has them, so that a damaged
    // file never shows another customer's.
    loadRequisites();
    loadQuantity(m_read);
    m_result.version = m_read.version.value_or(QString());
    const QStringList missing = m_read.missingKeys();
    m_result.complete = missing.isEmpty();
    if (!m_result.complete)
        warn("keys-missing", 0,
             QCoreApplication::translate("QuestionnaireLoad", "Нет контрольного кода и нет ключей, которые есть в каждом сохранённом файле (%1): файл, "
             "вероятно, обрезан.").arg(missing.size() > 6 ? missing.mid(0, 6).join(u", "_s) + u", …"_s
                                                           : missing.join(u", "_s)));
    m_result.warning = m_result.warning || !m_result.accepted;
}

void Loader::loadRequisites()
{
    Questionnaire &q = m_result.value;
    for (const Requisite r : kRequisites) {
        const std::optional<QString> &value = r == Requisite::Firm ? m_read.firm
                : r == Requisite::Phone                            ? m_read.phone
                : r == Requisite::Mail                             ? m_read.mail
                                                                   : m_read.bill;
        QString &shown = r == Requisite::Firm ? q.firm
                : r == Requisite::Phone       ? q.phone
                : r == Requisite::Mail        ? q.mail
                                              : q.bill;
        shown = value.value_or(QString());
        const QString caption = texts::requisiteCaption(r);
        // A byte Windows-1251 leaves undefined comes as U+FFFD or, by ICU, as a C1 control.
        const bool unreadable = std::any_of(shown.begin(), shown.end(), [](QChar ch) {
            return ch == QChar::ReplacementCharacter || (ch.unicode() >= 0x80 && ch.unicode() < 0xA0);
        });
        if (unreadable)
            warn("requisite-unreadable", 0,
                 QCoreApplication::translate("QuestionnaireLoad", "Поле «%1» содержит байты, которые не являются текстом: форма покажет вместо них «%2» "
                 "и не сохранит поле, пока их не удалят.").arg(caption, QChar(QChar::ReplacementCharacter)));
        if (std::find(m_read.otherEncoding.begin(), m_read.otherEncoding.end(), r) != m_read.otherEncoding.end())
            warn("requisite-encoding", 0,
                 QCoreApplication::translate("QuestionnaireLoad", "Поле «%1» записано в UTF-8, а остальной файл — в Windows-1251: форма покажет его как UTF-8, %2.")
                         .arg(caption, quoted(shown)));
    }
}

// As the window's lists cascade: the file's sensor when the model offers it, then the entries
// and the bounds the file names.
QuestionnaireChannel Loader::loadChannel(int c, const QuestionnaireChannel &start)
{
    const ChannelRead &file = m_read.channels[std::size_t(c)];
    const Questionnaire &q = m_result.value;
    const int number = c + 1;
    const bool offered = sensorOffered(file, number);
    QuestionnaireChannel ch = start;
    if (offered && file.sensor->id != start.sensorId)
        ch = withSensor(q.modelPosition, c, start, file.sensor->id);
    // A box the model locks shows the model's state, whatever the file says.
    if (inputChecks(q.model())[std::size_t(c)].enabled)
        ch.inputOn = file.inputOn.value_or(true);

    // A sensor that is named but not offered is replaced, and its range and resistance with it:
    // they say nothing about the sensor shown.
    const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
    const bool ownSensor = offered || !file.sensor;
    if (row && ownSensor && (file.maxValue || file.minValue))
        loadRange(file, *row, ch, number);
    loadLists(file, ownSensor ? row : nullptr, ch, number);
    loadOutput(file, ch, number);
    return ch;
}

// Reports what the file says of its sensor; true when the window shows it.
bool Loader::sensorOffered(const ChannelRead &file, int number)
{
    if (!file.sensorIdText)
        add("sensor-missing", number, QCoreApplication::translate("QuestionnaireLoad", "Не указана НСХ (ключ «Sensor id»): форма оставит НСХ по умолчанию."));
    else if (!file.sensor)
        add("sensor-not-offered", number,
            QCoreApplication::translate("QuestionnaireLoad", "НСХ с id %1 отсутствует в каталоге.").arg(std::uint8_t(profileNumber(*file.sensorIdText))));
    if (!file.sensor)
        return false;
    const Questionnaire &q = m_result.value;
    const bool offered = offersSensorType(q.modelPosition, file.sensor->type);
    const QString sensorName = QString::fromStdString(displayName(file.sensor->name));
    if (!offered)
        add("sensor-not-offered", number,
            QCoreApplication::translate("QuestionnaireLoad", "Модель %1 не принимает датчики типа %2 (НСХ %3).").arg(
                    QString::fromStdString(modelListText(q.model())),
                    quoted(utf8(sensorTypeEntryText(indexOfSensorType(file.sensor->type)))), sensorName));
    if (file.rangeType != file.sensor->type) {
        // RTD and thermocouple share their range keys; other pairs make the form read the wrong ones.
        const auto fileKeys = RangeKeyNames(file.rangeType);
        const bool sameKeys = fileKeys && qstrcmp(fileKeys->maxKey, RangeKeyNames(file.sensor->type)->maxKey) == 0;
        add("sensor-type-mismatch", number,
            QCoreApplication::translate("QuestionnaireLoad", "«Sensor type» %1 не соответствует НСХ %2 (тип %3)%4.").arg(
                    file.sensorTypeText ? quoted(text(file.sensorTypeText)) : QCoreApplication::translate("QuestionnaireLoad", "не указан"), sensorName,
                    QString::number(file.sensor->type),
                    sameKeys ? QString() : QCoreApplication::translate("QuestionnaireLoad", ": границы диапазона форма прочитает не из тех ключей")));
    }
    return offered;
}

// The nominal resistance only for a row whose file values it is (row null otherwise).
void Loader::loadLists(const ChannelRead &file, const RangeLimits *row, QuestionnaireChannel &ch, int number)
{
    if (file.connPosition) {
        ch.connection = connectionValue(*file.connPosition);
        if (!ch.connection)
            add("connection-invalid", number,
                QCoreApplication::translate("QuestionnaireLoad", "«Input connection» %1 не входит в список схем подключения (1, 2).").arg(
                        quoted(text(file.inputConnection))));
    }
    if (!row || !file.nomRPosition)
        return;
    ch.nominalR = nominalRValue(*row, *file.nomRPosition);
    const bool emptyList = nominalResistanceList(*row).entries.empty();
    // An empty list takes the no-selection the save writes for it.
    if (ch.nominalR || (emptyList && *file.nomRPosition == -1))
        return;
    const QString typed = quoted(text(file.sensorR));
    const QString name = QString::fromStdString(displayName(ch.sensor()->name));
    add("nominal-r-invalid", number,
        emptyList ? QCoreApplication::translate("QuestionnaireLoad", "«Sensor R» %1: у НСХ %2 нет списка номинальных сопротивлений.").arg(typed, name)
                  : QCoreApplication::translate("QuestionnaireLoad", "«Sensor R» %1 не входит в список номинальных сопротивлений НСХ %2.").arg(typed, name));
}

void Loader::loadOutput(const ChannelRead &file, QuestionnaireChannel &ch, int number)
{
    if (!file.outputPosition)
        return;
    const Questionnaire &q = m_result.value;
    const auto &outputKey = file.outputDirection ? file.outputDirection : file.outputMode;
    const QString key = file.outputDirection ? u"Output direction"_s : u"Output mode"_s;
    if (!showsOutputs(q.model())) {
        // The empty list takes no entry; what the save writes for it (255) reads as 0.
        if (*file.outputPosition != 0)
            add("output-invalid", number, QCoreApplication::translate("QuestionnaireLoad", "«%1» %2: у модели нет выходов.").arg(key, quoted(text(outputKey))));
        return;
    }
    ch.output = outputValue(q.series610(), *file.outputPosition);
    if (!ch.output)
        add("output-invalid", number,
            QCoreApplication::translate("QuestionnaireLoad", "«%1» %2 не входит в список режимов выхода.").arg(key, quoted(text(outputKey))));
}

// The window sets the file's max and min over what the channel showed, and its range check
// corrects them.
void Loader::loadRange(const ChannelRead &file, const RangeLimits &row, QuestionnaireChannel &ch, int number)
{
    const QString unit = utf8(unitText(ch.sensor()->type));
    const QString typedMax = file.maxValue ? text(file.maxValue) : ch.maxText;
    const QString typedMin = file.minValue ? text(file.minValue) : ch.minText;
    const RangeCheck check = qsjuv::checkRange(typedMax, typedMin, row);
    ch.maxText = check.maxText;
    // A max that is no number ends the check: the min stays as the file has it.
    ch.minText = check.max ? check.minText : typedMin;

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
        const QString digits = filterDigits(bound.typed);
        // A bound that is no number is the save's refusal, not a correction.
        if (!bound.checked || !bound.value)
            continue;
        const char *code = bound.isMax ? "range-max-corrected" : "range-min-corrected";
        const QString name = bound.isMax ? QCoreApplication::translate("QuestionnaireLoad", "Максимум") : QCoreApplication::translate("QuestionnaireLoad", "Минимум");
        if (bound.shown != digits)
            add(code, number,
                QCoreApplication::translate("QuestionnaireLoad", "%1 диапазона %2 %3 предела %4 %5: форма заменит его на %6.").arg(
                        name, quoted(bound.typed), bound.isMax ? QCoreApplication::translate("QuestionnaireLoad", "выше верхнего") : QCoreApplication::translate("QuestionnaireLoad", "ниже нижнего"),
                        limitText(bound.limit), unit, bound.shown));
        else if (digits != bound.typed)
            add(code, number,
                QCoreApplication::translate("QuestionnaireLoad", "%1 диапазона %2 содержит посторонние символы: форма покажет %3.").arg(name, quoted(bound.typed),
                                                                                          quoted(digits)));
    }
}

void Loader::loadQuantity(const QuestionnaireRead &read)
{
    const QString typed = read.quantity.value_or(QString());
    const QuantityCheck check = qsjuv::checkQuantity(typed, kQuantityMin, kQuantityMax);
    m_result.value.quantity = check.rewrite ? QString::number(check.value) : typed;
    if (!check.rewrite)
        return;
    if (!check.number)
        add("quantity-invalid", 0,
            read.quantity ? QCoreApplication::translate("QuestionnaireLoad", "Количество изделий %1 не является числом: форма заменит его на %2.").arg(
                                    quoted(typed), QString::number(check.value))
                          : QCoreApplication::translate("QuestionnaireLoad", "Количество изделий не указано: форма заменит его на %1.").arg(check.value));
    else
        add("quantity-invalid", 0,
            QCoreApplication::translate("QuestionnaireLoad", "Количество изделий %1 вне пределов %2–%3: форма заменит его на %4.").arg(
                    quoted(typed), QString::number(kQuantityMin), QString::number(kQuantityMax),
                    QString::number(check.value)));
}

} // namespace

LoadedQuestionnaire loadedQuestionnaire(const QuestionnaireRead &read, const Questionnaire &base)
{
    LoadedQuestionnaire result;
    Loader(read, base, result).run();
    replaceLockedRanges(result);
    return result;
}

} // namespace qsjuv
