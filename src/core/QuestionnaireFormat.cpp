#include "core/QuestionnaireFormat.h"

#include "core/DeviceModel.h"
#include "core/ProfileFile.h"
#include "core/ProfileNumber.h"
#include "core/RangeLimits.h"
#include "core/Requisites.h"

#include <algorithm>
#include <limits>

namespace qsjuv {

namespace {
constexpr char kDevice[] = "Device";
constexpr char kReqs[] = "Reqs";

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

WrittenQuestionnaire writeQuestionnaire(const QuestionnaireSettings &settings)
{
    const auto models = modelList();
    const int position = std::clamp(settings.modelPosition, 0, kModelCount - 1);
    const std::uint8_t code = models[position].code;
    const bool series610 = isSeries610(position);

    SummingWriter out;
    out.write(kDevice, "id", number(code), true);
    out.write(kDevice, "name", settings.modelName, false);

    for (std::size_t c = 0; c < settings.channels.size() && c < 2; ++c) {
        const ChannelSettings &ch = settings.channels[c];
        const QByteArray sectionName = channelSectionName(int(c));
        const char *section = sectionName.constData();
        out.write(section, "Input mode", ch.inputOn ? "1" : "0", true);
        // The map holds bytes; the file shows them as signed.
        const qint8 sensorId = static_cast<qint8>(static_cast<std::uint8_t>(ch.sensorId));
        out.write(section, "Sensor id", number(sensorId), true);
        const SensorDescriptor *sensor = sensorById(static_cast<std::uint8_t>(sensorId));
        const SensorType type = sensor ? sensor->type : 0;
        out.write(section, "Sensor type", number(type), true);
        out.write(section, "Sensor R",
                  number(nominalRFileValue(static_cast<std::uint8_t>(sensorId), ch.nomRPosition)), true);
        out.write(section, "Input connection", number(qint64(ch.connPosition) + 1), true);
        out.write(section, "Cold junction comp", "1", true);
        out.write(section, "Cold junction temp", "0", true);
        if (const auto keys = RangeKeyNames(type)) {
            out.write(section, keys->maxKey, ch.maxText, true);
            out.write(section, keys->minKey, ch.minText, true);
        }
        if (c == 0 && splitsInput(models[position]))
            out.write(section, "Splitting", "1", true);
        const int w = ch.outputPosition;
        if (series610)
            out.write(section, "Output direction", number(w), true);
        else
            out.write(section, "Output mode", w >= 1 ? number(w - 1) : QByteArray("255"), true);
    }

    out.write(kReqs, "Version", kProgramVersion, false);
    out.write(kReqs, "Firm", requisiteFileValue(settings.firm), false);
    out.write(kReqs, "Phone", requisiteFileValue(settings.phone), false);
    out.write(kReqs, "Mail", requisiteFileValue(settings.mail), false);
    if (!settings.bill.isEmpty())
        out.write(kReqs, "Bill", requisiteFileValue(settings.bill), false);
    out.write(kReqs, "Quantity", settings.quantity, false);
    const qint32 checkCode = out.sum();
    out.write(kReqs, "CheckCode", number(checkCode), false);
    return {out.bytes(), checkCode};
}

QuestionnaireRead readQuestionnaire(const ProfileReader &reader)
{
    QuestionnaireRead read;
    quint32 sum = 0;
    // Absent and empty read the same: neither is summed nor applied.
    const auto get = [&reader](const QByteArray &section, const char *key) -> std::optional<QByteArray> {
        auto value = reader.value(section, key);
        if (!value || value->isEmpty())
            return std::nullopt;
        return value;
    };
    const auto getSummed = [&](const QByteArray &section, const char *key) {
        auto value = get(section, key);
        if (value)
            sum += byteSum(*value);
        return value;
    };

    const QByteArray reqs(kReqs);
    read.checkCodeText = get(reqs, "CheckCode");
    if (!read.checkCodeText)
        read.noCode = true;
    else
        read.storedCode = profileNumber(*read.checkCodeText);

    read.idText = getSummed(kDevice, "id");
    if (read.idText) {
        read.deviceCode = static_cast<std::uint8_t>(profileNumber(*read.idText));
        read.modelPosition = modelPositionByCode(read.deviceCode);
        if (read.modelPosition) {
            // The sections of the channels the model shows: max(inputs, outputs) of them.
            read.channelCount = showsChannel2(modelList()[*read.modelPosition]) ? 2 : 1;
        }
    } else {
        // A file without a model is accepted only when its check code matches.
        read.noCode = false;
    }
    read.name = get(kDevice, "name");

    const bool series610Code = isSeries610Code(read.deviceCode);
    for (int c = 0; c < read.channelCount && c < 2; ++c) {
        const QByteArray section = channelSectionName(c);
        ChannelRead &ch = read.channels[c];

        ch.inputMode = getSummed(section, "Input mode");
        if (ch.inputMode)
            ch.inputOn = ch.inputMode->startsWith('1');

        ch.sensorIdText = getSummed(section, "Sensor id");
        if (ch.sensorIdText)
            ch.sensor = sensorById(static_cast<std::uint8_t>(profileNumber(*ch.sensorIdText)));

        ch.sensorTypeText = getSummed(section, "Sensor type");
        if (ch.sensorTypeText)
            ch.rangeType = static_cast<SensorType>(profileNumber(*ch.sensorTypeText));

        ch.sensorR = getSummed(section, "Sensor R");
        if (ch.sensorR) {
            const qint64 v = profileNumber(*ch.sensorR);
            ch.nomRPosition = clampedPosition(ch.sensor ? nominalRListPosition(ch.sensor->id, v) : v);
        }

        ch.inputConnection = getSummed(section, "Input connection");
        if (ch.inputConnection)
            ch.connPosition = clampedPosition(qint64(profileNumber(*ch.inputConnection)) - 1);

        ch.coldJunctionComp = getSummed(section, "Cold junction comp");
        ch.coldJunctionTemp = getSummed(section, "Cold junction temp");

        if (const auto keys = RangeKeyNames(ch.rangeType)) {
            ch.maxValue = getSummed(section, keys->maxKey);
            ch.minValue = getSummed(section, keys->minKey);
        }

        ch.splitting = getSummed(section, "Splitting");

        if (series610Code)
            ch.outputDirection = getSummed(section, "Output direction");
        if (ch.outputDirection) {
            ch.outputPosition = profileNumber(*ch.outputDirection);
        } else {
            ch.outputMode = getSummed(section, "Output mode");
            if (ch.outputMode) {
                const qint64 v = profileNumber(*ch.outputMode);
                ch.outputPosition = v == 255 ? 0 : clampedPosition(v + 1);
            }
        }
    }

    read.version = get(reqs, "Version");
    read.firm = get(reqs, "Firm");
    read.phone = get(reqs, "Phone");
    read.mail = get(reqs, "Mail");
    read.bill = get(reqs, "Bill");
    read.quantity = get(reqs, "Quantity");

    read.sum = qint32(sum);
    return read;
}

} // namespace qsjuv
