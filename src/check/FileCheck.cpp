#include "check/FileCheck.h"

#include "core/RangeLimits.h"
#include "core/RangeRules.h"
#include "core/Cp1251.h"
#include "core/ProfileFile.h"
#include "core/ProfileNumber.h"
#include "core/PathText.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireRules.h"
#include "core/Requisites.h"
#include "core/SafeRead.h"

#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <new>

using namespace Qt::StringLiterals;

namespace qsjuv::check {

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

// Windows-1251 decodes any byte sequence, so a text typed in UTF-8 somewhere else only shows as
// gibberish; high bytes that are well-formed UTF-8 give it away.
bool looksLikeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && text.size() < bytes.size(); // fewer characters: some took several bytes
}

// Every UTF-8 byte sequence is also Windows-1251 text a person could type («ACME Р»» is), so a
// requisite alone proves nothing. The model's name does: the form writes it in Windows-1251,
// where it is never well-formed UTF-8.
bool writtenInUtf8(const QuestionnaireRead &read)
{
    return read.name && looksLikeUtf8(*read.name);
}

class Checker
{
public:
    explicit Checker(FileReport &report) : m_report(report) { }

    void run(const QuestionnaireRead &read);

private:
    void add(const char *code, int channel, const QString &message)
    {
        m_report.problems.push_back({code, channel, message});
    }

    void checkVerdict(const QuestionnaireRead &read);
    void checkModel(const QuestionnaireRead &read);
    void checkChannel(const QuestionnaireRead &read, int c);
    void checkRange(const ChannelRead &file, const RangeLimits &row, ChannelReport &ch, bool reportProblems);
    void checkRequisites(const QuestionnaireRead &read);
    void checkQuantity(const QuestionnaireRead &read);

    FileReport &m_report;
    std::optional<int> m_position; // of the model in the model list
};

void Checker::run(const QuestionnaireRead &read)
{
    checkVerdict(read);
    checkModel(read);
    const int count = std::min(read.channelCount, 2);
    bool anyInput = false;
    for (int c = 0; c < count; ++c) {
        checkChannel(read, c);
        anyInput = anyInput || m_report.channels.back().inputOn;
    }
    if (!anyInput)
        add("no-input", 0, u"Не включен ни один вход изделия: форма не сохранит такой опросный лист."_s);
    checkRequisites(read);
    checkQuantity(read);
}

void Checker::checkVerdict(const QuestionnaireRead &read)
{
    m_report.computedCode = read.sum;
    if (read.checkCodeText)
        m_report.storedCode = read.storedCode;
    // A matching code does not save a file without a model: the form would apply its channels
    // to whatever model it showed before.
    if (!read.idText)
        m_report.verdict = Verdict::NoModelId;
    else if (!read.accepted())
        m_report.verdict = Verdict::CheckCodeMismatch;
    else if (read.noCode)
        m_report.verdict = Verdict::NoCheckCode;
    else
        m_report.verdict = Verdict::Ok;
}

void Checker::checkModel(const QuestionnaireRead &read)
{
    if (!read.idText)
        return;
    m_report.modelId = read.deviceCode;
    m_position = read.modelPosition;
    if (m_position)
        m_report.model = &modelList()[std::size_t(*m_position)];
    else
        add("unknown-model", 0,
            u"Модель с id %1 отсутствует в каталоге: форма оставит прежнюю модель."_s.arg(read.deviceCode));
}

void Checker::checkChannel(const QuestionnaireRead &read, int c)
{
    const ChannelRead &file = read.channels[std::size_t(c)];
    ChannelReport &ch = m_report.channels.emplace_back();
    ch.number = c + 1;
    ch.inputOn = file.inputOn.value_or(true);
    // A box the model locks shows the model's state, whatever the file says.
    if (m_report.model && !inputChecks(*m_report.model)[std::size_t(c)].enabled)
        ch.inputOn = inputChecks(*m_report.model)[std::size_t(c)].checked;
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
                    QString::fromStdString(modelListText(*m_report.model)),
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

    if (!m_position) {
        // The form keeps the model and the channel it showed before: nothing to check against.
        if (file.maxValue)
            ch.max = strictToInt(fromCp1251(*file.maxValue));
        if (file.minValue)
            ch.min = strictToInt(fromCp1251(*file.minValue));
    } else {
        // Without a sensor the model offers, the channel keeps the first RTD characteristic that
        // choosing the model gave it, and the bounds are held to that. A sensor that is named but
        // not offered is replaced before a save, and its range with it: its bounds say nothing.
        const std::uint8_t rangeId = offered ? file.sensor->id : sensorsOfType(kSensorRtd).front()->id;
        if (const RangeLimits *row = rangeRow(isSeries610(*m_position), rangeId)) {
            ch.unitType = sensorById(rangeId)->type;
            checkRange(file, *row, ch, offered || !file.sensor);
        }
    }
    if (offered) {
        const bool series610 = isSeries610(*m_position);
        if (const RangeLimits *row = rangeRow(series610, file.sensor->id)) {
            const NominalRList list = nominalResistanceList(*row);
            const int position = file.nomRPosition.value_or(list.selected);
            if (position >= 0 && position < int(list.entries.size()))
                ch.nominalROhms = QByteArrayView(list.entries[std::size_t(position)]).toInt();
            else if (!list.entries.empty() || position != -1)
                add("nominal-r-invalid", ch.number,
                    list.entries.empty()
                            ? u"«Sensor R» %1: у НСХ %2 нет списка номинальных сопротивлений."_s.arg(
                                      quoted(text(file.sensorR)), QString::fromStdString(displayName(file.sensor->name)))
                            : u"«Sensor R» %1 не входит в список номинальных сопротивлений НСХ %2."_s.arg(
                                      quoted(text(file.sensorR)), QString::fromStdString(displayName(file.sensor->name))));
        }
        if (showsConnection(series610, file.sensor->type)) {
            const int position = file.connPosition.value_or(0);
            if (position >= 0 && position <= 1)
                ch.connection = connectionTexts()[position];
        }
    }

    if (m_report.model) {
        const bool series610 = isSeries610(*m_position);
        const auto &outputKey = file.outputDirection ? file.outputDirection : file.outputMode;
        const QString key = file.outputDirection ? u"Output direction"_s : u"Output mode"_s;
        if (!showsOutputs(*m_report.model)) {
            // The empty list takes no position; what the save writes for it (255) reads as 0.
            if (file.outputPosition && *file.outputPosition != 0)
                add("output-invalid", ch.number,
                    u"«%1» %2: у модели нет выходов."_s.arg(key, quoted(text(outputKey))));
        } else {
            const auto modes = outputModeTexts(series610);
            // What the model selection leaves when the file holds no output.
            const int position = file.outputPosition.value_or(defaultOutputPosition(*m_report.model, series610));
            if (position >= 0 && position < int(modes.size()))
                ch.output = modes[std::size_t(position)];
            else
                add("output-invalid", ch.number,
                    u"«%1» %2 не входит в список режимов выхода."_s.arg(key, quoted(text(outputKey))));
        }
    }
}

// The form first shows the full range, then sets the file's max and min, and its range check
// corrects them.
void Checker::checkRange(const ChannelRead &file, const RangeLimits &row, ChannelReport &ch, bool reportProblems)
{
    const QString unit = utf8(unitText(ch.unitType));
    const QString typedMax = file.maxValue ? fromCp1251(*file.maxValue) : QString::number(truncatedLimit(row.upperLimit));
    const QString typedMin = file.minValue ? fromCp1251(*file.minValue) : QString::number(truncatedLimit(row.lowerLimit));
    const RangeCheck check = qsjuv::checkRange(typedMax, typedMin, row);
    ch.max = check.max;
    // A max that is no number ends the check: the min stays as the file has it.
    ch.min = check.max ? check.min : strictToInt(typedMin);
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
        if (!bound.value)
            add("range-not-number", ch.number,
                u"%1 диапазона %2 не является числом: форма не сохранит такой опросный лист."_s.arg(
                        name, quoted(bound.typed)));
        else if (bound.shown != digits)
            add(bound.isMax ? "range-max-corrected" : "range-min-corrected", ch.number,
                u"%1 диапазона %2 %3 предела %4 %5: форма заменит его на %6."_s.arg(
                        name, quoted(bound.typed), bound.isMax ? u"выше верхнего"_s : u"ниже нижнего"_s,
                        limitText(bound.limit), unit, bound.shown));
        else if (digits != bound.typed)
            add(bound.isMax ? "range-max-corrected" : "range-min-corrected", ch.number,
                u"%1 диапазона %2 содержит посторонние символы: форма покажет %3."_s.arg(
                        name, quoted(bound.typed), quoted(digits)));
    }
    if (check.complete && !check.passes)
        add("range-too-narrow", ch.number,
            u"Диапазон %1…%2 %3 уже наименьшей ширины %4 %3: форма не сохранит такой опросный лист."_s.arg(
                    QString::number(*ch.min), QString::number(*ch.max), unit, limitText(row.minSpan)));
}

void Checker::checkRequisites(const QuestionnaireRead &read)
{
    m_report.firm = text(read.firm);
    m_report.phone = text(read.phone);
    m_report.mail = text(read.mail);
    m_report.bill = text(read.bill);
    m_report.version = text(read.version);

    if (!read.firm || requisiteBlank(m_report.firm))
        add("missing-firm", 0, u"Не заполнено обязательное поле «Название фирмы»."_s);
    if (!read.mail || requisiteBlank(m_report.mail))
        add("missing-mail", 0, u"Не заполнено обязательное поле «Адрес электронной почты»."_s);
    else if (!mailFormatValid(m_report.mail))
        add("mail-format", 0, u"Адрес электронной почты %1 в некорректном формате."_s.arg(quoted(m_report.mail)));

    const struct
    {
        const std::optional<QByteArray> &bytes;
        const QString &shown;
        const char *label;
    } requisites[] = {
        {read.firm, m_report.firm, "Название фирмы"},
        {read.phone, m_report.phone, "Телефонный номер"},
        {read.mail, m_report.mail, "Адрес электронной почты"},
        {read.bill, m_report.bill, "Номер и дата выставленного счета"},
    };
    const bool utf8File = writtenInUtf8(read);
    for (const auto &r : requisites) {
        if (!r.bytes)
            continue;
        if (!isRequisiteText(r.shown))
            add("requisite-not-cp1251", 0,
                u"Поле «%1» содержит байты, которые не являются текстом в кодировке Windows-1251."_s.arg(utf8(r.label)));
        else if (utf8File && looksLikeUtf8(*r.bytes))
            add("requisite-not-cp1251", 0,
                u"Поле «%1» записано в UTF-8, а не в Windows-1251: %2."_s.arg(
                        utf8(r.label), quoted(QString::fromUtf8(*r.bytes))));
    }
}

void Checker::checkQuantity(const QuestionnaireRead &read)
{
    const QString typed = text(read.quantity);
    const QuantityCheck check = qsjuv::checkQuantity(typed, kQuantityMin, kQuantityMax);
    m_report.quantity = check.value;
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

const char *verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Unreadable:
        return "unreadable";
    case Verdict::NoModelId:
        return "no-model-id";
    case Verdict::CheckCodeMismatch:
        return "check-code-mismatch";
    case Verdict::NoCheckCode:
        return "no-check-code";
    case Verdict::Ok:
        break;
    }
    return "ok";
}

FileReport checkBytes(const QByteArray &bytes, const QString &path)
{
    FileReport report;
    report.path = path;
    Checker(report).run(readQuestionnaire(ProfileReader(bytes)));
    return report;
}

FileReport checkFile(const std::filesystem::path &path)
{
    const QString shown = displayPath(path);
    const auto unreadable = [&shown](const QString &reason) {
        FileReport report;
        report.path = shown;
        report.verdict = Verdict::Unreadable;
        report.reason = reason;
        return report;
    };
    // One file that cannot be checked never ends a run over thousands.
    try {
        QString reason;
        const std::optional<QByteArray> bytes = readRegularFile(path, &reason);
        if (!bytes)
            return unreadable(reason);
        return checkBytes(*bytes, shown);
    } catch (const std::bad_alloc &) {
        return unreadable(qt_error_string(ENOMEM));
    } catch (const std::exception &e) {
        return unreadable(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace qsjuv::check
