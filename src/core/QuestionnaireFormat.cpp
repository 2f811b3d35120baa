#include "core/QuestionnaireFormat.h"

#include "core/Cp1251.h"
#include "core/DeviceModel.h"
#include "core/ProfileFile.h"
#include "core/ProfileNumber.h"
#include "core/RangeLimits.h"
#include "core/Requisites.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace qsjuv {

namespace {
constexpr char kDevice[] = "Device";
constexpr char kReqs[] = "Reqs";
constexpr int kNoOutputMode = 255; // "Output mode" of a 720 channel without an output

// Absent and empty read the same.
std::optional<QString> nonEmpty(std::optional<QString> text)
{
    return text && !text->isEmpty() ? text : std::nullopt;
}

const char *requisiteKey(Requisite r)
{
    switch (r) {
    case Requisite::Phone:
        return "Phone";
    case Requisite::Mail:
        return "Mail";
    case Requisite::Bill:
        return "Bill";
    case Requisite::Firm:
        break;
    }
    return "Firm";
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

// A position derived from a file number, held inside int (a combo takes any int, -1 or
// beyond its list meaning no selection).
int clampedPosition(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

class SummingWriter
{
public:
    void write(const char *section, const char *key, const QByteArray &value, bool summed)
    {
        m_writer.writeString(section, key, value);
        if (summed)
            m_sum += byteSum(value);
    }
    qint32 sum() const { return qint32(m_sum); }
    QByteArray bytes() const { return m_writer.bytes(); }

private:
    ProfileWriter m_writer;
    quint32 m_sum = 0;
};
} // namespace

std::optional<RangeKeys> RangeKeyNames(SensorType type)
{
    switch (type) {
    case kSensorRtd:
    case kSensorThermocouple:
        return RangeKeys{"Temperature max", "Temperature min"};
    case kSensorVoltage:
        return RangeKeys{"Voltage max", "Voltage min"};
    case kSensorResistance:
        return RangeKeys{"Resistance max", "Resistance min"};
    default:
        return std::nullopt;
    }
}

QByteArray channelSectionName(int channel)
{
    return QByteArray("Channel ") + QByteArray::number(channel + 1);
}

bool mailFormatValid(QStringView mail)
{
    const qsizetype at = mail.indexOf(u'@');
    if (at <= 0)
        return false;
    const qsizetype dot = mail.indexOf(u'.', at + 1);
    if (dot < 0 || dot == at + 1)
        return false;
    const QChar last = mail.back();
    return (last >= u'A' && last <= u'Z') || (last >= u'a' && last <= u'z');
}

quint32 byteSum(QByteArrayView value)
{
    quint32 sum = 0;
    for (const char c : value)
        sum += static_cast<unsigned char>(c);
    return sum;
}

WrittenQuestionnaire writeQuestionnaire(const Questionnaire &q)
{
    const DeviceModel &model = q.model();
    const bool series610 = isSeries610Code(model.code);

    SummingWriter out;
    out.write(kDevice, "id", number(model.code), true);
    out.write(kDevice, "name", toCp1251Lossy(QString::fromStdString(modelListText(model))), false);

    for (std::size_t c = 0; c < q.channels.size() && c < 2; ++c) {
        const QuestionnaireChannel &ch = q.channels[c];
        const QByteArray sectionName = channelSectionName(int(c));
        const char *section = sectionName.constData();
        out.write(section, "Input mode", ch.inputOn ? "1" : "0", true);
        // The id is a byte; the file shows it as signed.
        out.write(section, "Sensor id", number(static_cast<qint8>(ch.sensorId)), true);
        const SensorDescriptor *sensor = ch.sensor();
        const SensorType type = sensor ? sensor->type : 0;
        out.write(section, "Sensor type", number(type), true);
        // No entry writes what a list without a selection always wrote.
        out.write(section, "Sensor R", number(ch.nominalR.value_or(nominalRFileValue(ch.sensorId, -1))), true);
        out.write(section, "Input connection", number(ch.connection.value_or(0)), true);
        out.write(section, "Cold junction comp", "1", true);
        out.write(section, "Cold junction temp", "0", true);
        if (const auto keys = RangeKeyNames(type)) {
            out.write(section, keys->maxKey, toCp1251Lossy(ch.maxText), true);
            out.write(section, keys->minKey, toCp1251Lossy(ch.minText), true);
        }
        if (c == 0 && splitsInput(model))
            out.write(section, "Splitting", "1", true);
        if (series610)
            out.write(section, "Output direction", number(ch.output.value_or(-1)), true);
        else
            out.write(section, "Output mode", number(ch.output.value_or(kNoOutputMode)), true);
    }

    out.write(kReqs, "Version", kProgramVersion, false);
    out.write(kReqs, "Firm", requisiteFileValue(toCp1251Lossy(q.firm)), false);
    out.write(kReqs, "Phone", requisiteFileValue(toCp1251Lossy(q.phone)), false);
    out.write(kReqs, "Mail", requisiteFileValue(toCp1251Lossy(q.mail)), false);
    if (!q.bill.isEmpty())
        out.write(kReqs, "Bill", requisiteFileValue(toCp1251Lossy(q.bill)), false);
    out.write(kReqs, "Quantity", toCp1251Lossy(q.quantity), false);
    const qint32 checkCode = out.sum();
    out.write(kReqs, "CheckCode", number(checkCode), false);
    return {out.bytes(), checkCode};
}

namespace {
// Absent and empty read the same: neither is summed nor applied.
class SummingReader
{
public:
    explicit SummingReader(const ProfileReader &reader) : m_reader(reader) { }

    std::optional<QByteArray> get(const QByteArray &section, const char *key) const
    {
        auto value = m_reader.value(section, key);
        if (!value || value->isEmpty())
            return std::nullopt;
        return value;
    }
    std::optional<QByteArray> getSummed(const QByteArray &section, const char *key)
    {
        auto value = get(section, key);
        if (value)
            m_sum += byteSum(*value);
        return value;
    }
    qint32 sum() const { return qint32(m_sum); }

private:
    const ProfileReader &m_reader;
    quint32 m_sum = 0;
};

void readChannel(SummingReader &in, const QByteArray &section, bool series610Code, ChannelRead &ch)
{
    ch.inputMode = in.getSummed(section, "Input mode");
    if (ch.inputMode)
        ch.inputOn = ch.inputMode->startsWith('1');

    ch.sensorIdText = in.getSummed(section, "Sensor id");
    if (ch.sensorIdText)
        ch.sensor = sensorById(static_cast<std::uint8_t>(profileNumber(*ch.sensorIdText)));

    ch.sensorTypeText = in.getSummed(section, "Sensor type");
    if (ch.sensorTypeText)
        ch.rangeType = static_cast<SensorType>(profileNumber(*ch.sensorTypeText));

    ch.sensorR = in.getSummed(section, "Sensor R");
    if (ch.sensorR) {
        const qint64 v = profileNumber(*ch.sensorR);
        ch.nomRPosition = clampedPosition(ch.sensor ? nominalRListPosition(ch.sensor->id, v) : v);
    }

    ch.inputConnection = in.getSummed(section, "Input connection");
    if (ch.inputConnection)
        ch.connPosition = clampedPosition(qint64(profileNumber(*ch.inputConnection)) - 1);

    ch.coldJunctionComp = in.getSummed(section, "Cold junction comp");
    ch.coldJunctionTemp = in.getSummed(section, "Cold junction temp");

    if (const auto keys = RangeKeyNames(ch.rangeType)) {
        ch.maxValue = in.getSummed(section, keys->maxKey);
        ch.minValue = in.getSummed(section, keys->minKey);
    }

    ch.splitting = in.getSummed(section, "Splitting");

    if (series610Code)
        ch.outputDirection = in.getSummed(section, "Output direction");
    if (ch.outputDirection) {
        ch.outputPosition = profileNumber(*ch.outputDirection);
    } else {
        // Without "Output direction" even a 610 file reads "Output mode", by the 720 rule.
        ch.outputMode = in.getSummed(section, "Output mode");
        if (ch.outputMode) {
            const qint64 v = profileNumber(*ch.outputMode);
            ch.outputPosition = v == kNoOutputMode ? 0 : clampedPosition(v + 1);
        }
    }
}
} // namespace

QuestionnaireRead readQuestionnaire(const ProfileReader &reader)
{
    QuestionnaireRead read;
    SummingReader in(reader);

    const QByteArray reqs(kReqs);
    read.checkCodeText = in.get(reqs, "CheckCode");
    if (!read.checkCodeText)
        read.noCode = true;
    else
        read.storedCode = profileNumber(*read.checkCodeText);

    read.idText = in.getSummed(kDevice, "id");
    if (read.idText) {
        read.deviceCode = static_cast<std::uint8_t>(profileNumber(*read.idText));
        read.modelPosition = modelPositionByCode(read.deviceCode);
        if (read.modelPosition) // the sections of the channels the model shows
            read.channelCount = channelCount(modelList()[std::size_t(*read.modelPosition)]);
    } else {
        // A file without a model is accepted only when its check code matches.
        read.noCode = false;
    }
    read.valuesInUtf8 = reader.valuesInUtf8();
    read.name = reader.text(kDevice, "name");
    const std::optional<QByteArray> nameBytes = reader.value(kDevice, "name");
    const bool nameUtf8 = !reader.utf8() && nameBytes && isUtf8BeyondAscii(*nameBytes);

    const bool series610Code = isSeries610Code(read.deviceCode);
    for (int c = 0; c < read.channelCount && c < 2; ++c)
        readChannel(in, channelSectionName(c), series610Code, read.channels[std::size_t(c)]);

    read.version = nonEmpty(reader.text(reqs, "Version"));
    read.quantity = nonEmpty(reader.text(reqs, "Quantity"));
    for (const Requisite r : kRequisites) {
        const char *key = requisiteKey(r);
        std::optional<QString> &text = r == Requisite::Firm ? read.firm
                : r == Requisite::Phone                     ? read.phone
                : r == Requisite::Mail                      ? read.mail
                                                            : read.bill;
        text = nonEmpty(reader.text(reqs, key));
        // A file once saved in UTF-8 (its model's name says so; the form writes it in Windows-1251)
        // and edited in Windows-1251 since: Cyrillic in Windows-1251 is never well-formed UTF-8
        // once two letters stand side by side, so such a text was meant as UTF-8. The form's own
        // files never qualify: what it saves reads back as it showed it.
        const auto beyondAscii = [](const QString &t) {
            return std::any_of(t.begin(), t.end(), [](QChar c) { return c.unicode() >= 0x80; });
        };
        if (text && nameUtf8 && beyondAscii(*text)) {
            const std::optional<QByteArray> bytes = reader.value(reqs, key);
            if (isUtf8BeyondAscii(*bytes)) {
                text = QString::fromUtf8(*bytes);
                read.otherEncoding.push_back(r);
            }
        }
    }

    read.sum = in.sum();
    return read;
}

QString QuestionnaireRead::text(const std::optional<QByteArray> &value) const
{
    if (!value)
        return {};
    return valuesInUtf8 ? QString::fromUtf8(*value) : fromCp1251(*value);
}

namespace {
std::vector<const std::optional<QByteArray> *> channelValues(const ChannelRead &ch)
{
    return {&ch.inputMode,        &ch.sensorIdText,     &ch.sensorTypeText, &ch.sensorR,
            &ch.inputConnection,  &ch.coldJunctionComp, &ch.coldJunctionTemp, &ch.maxValue,
            &ch.minValue,         &ch.splitting,        &ch.outputDirection,  &ch.outputMode};
}
} // namespace

bool QuestionnaireRead::questionnaire() const
{
    if (idText)
        return true;
    return std::any_of(channels.begin(), channels.end(), [](const ChannelRead &ch) {
        const auto values = channelValues(ch);
        return std::any_of(values.begin(), values.end(), [](const auto *v) { return v->has_value(); });
    });
}

QStringList QuestionnaireRead::missingKeys() const
{
    QStringList missing;
    if (!noCode || !modelPosition)
        return missing;
    const DeviceModel &model = modelList()[std::size_t(*modelPosition)];
    const bool series610 = isSeries610Code(model.code);
    for (int c = 0; c < channelCount && c < 2; ++c) {
        const ChannelRead &ch = channels[std::size_t(c)];
        const QString section = QString::fromLatin1(channelSectionName(c)) + u'/';
        const auto need = [&](const std::optional<QByteArray> &value, const char *key) {
            if (!value)
                missing << section + QLatin1StringView(key);
        };
        need(ch.inputMode, "Input mode");
        need(ch.sensorIdText, "Sensor id");
        need(ch.sensorTypeText, "Sensor type");
        need(ch.sensorR, "Sensor R");
        need(ch.inputConnection, "Input connection");
        need(ch.coldJunctionComp, "Cold junction comp");
        need(ch.coldJunctionTemp, "Cold junction temp");
        if (const auto keys = RangeKeyNames(ch.rangeType)) {
            need(ch.maxValue, keys->maxKey);
            need(ch.minValue, keys->minKey);
        }
        if (c == 0 && splitsInput(model))
            need(ch.splitting, "Splitting");
        need(series610 ? ch.outputDirection : ch.outputMode, series610 ? "Output direction" : "Output mode");
    }
    if (!quantity)
        missing << u"Reqs/Quantity"_s;
    return missing;
}

} // namespace qsjuv
