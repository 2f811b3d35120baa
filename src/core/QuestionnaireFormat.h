#pragma once

#include "core/Questionnaire.h"
#include "core/QuestionnaireRules.h"
#include "core/Sensor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace qsjuv {

class ProfileReader;

// File keys of a sensor type's range bounds; none for types other than 1..4.
struct RangeKeys
{
    const char *maxKey;
    const char *minKey;
};
std::optional<RangeKeys> RangeKeyNames(SensorType type);

// The channel section of channel 0 or 1: "Channel 1", "Channel 2".
QByteArray channelSectionName(int channel);

// The e-mail test of the save command: an at sign not first, a full stop after it but not
// right after it, and an ASCII letter at the end.
bool mailFormatValid(QStringView mail);

// Byte sum of a value as the check code counts it; wraps like a 32-bit signed sum.
quint32 byteSum(QByteArrayView value);

// --- Writing -----------------------------------------------------------------------------

struct WrittenQuestionnaire
{
    QByteArray bytes;
    qint32 checkCode = 0;
};

// The whole file, keys in the order the save writes them, with its check code.
WrittenQuestionnaire writeQuestionnaire(const Questionnaire &questionnaire);

// --- Reading -----------------------------------------------------------------------------

// One channel section as the loader applies it. A key that is absent or empty is nullopt
// and changes nothing.
struct ChannelRead
{
    std::optional<QByteArray> inputMode, sensorIdText, sensorTypeText, sensorR, inputConnection,
        coldJunctionComp, coldJunctionTemp, maxValue, minValue, splitting, outputDirection, outputMode;

    std::optional<bool> inputOn; // from "Input mode": its first character is '1'
    const SensorDescriptor *sensor = nullptr; // the sensor "Sensor id" names, if any
    SensorType rangeType = 0; // from "Sensor type": decides the range keys
    std::optional<int> nomRPosition; // position in the nominal-resistance list
    std::optional<int> connPosition;
    std::optional<int> outputPosition;
};

struct QuestionnaireRead
{
    bool noCode = false; // no check code that must match
    qint32 storedCode = 1;
    qint32 sum = 0; // recomputed over what was read
    std::optional<QByteArray> idText; // "Device"/"id" when not empty
    std::uint8_t deviceCode = 255;
    std::optional<int> modelPosition; // the model "id" names, if any
    int channelCount = 2;
    std::array<ChannelRead, 2> channels;

    std::optional<QByteArray> checkCodeText;
    // Texts as the file means them (ProfileReader::text); a requisite of a Windows-1251 file that
    // is UTF-8 beyond ASCII is taken as UTF-8 and listed in otherEncoding.
    std::optional<QString> name, version, firm, phone, mail, bill, quantity;
    std::vector<Requisite> otherEncoding;
    bool valuesInUtf8 = false; // the byte values above (ProfileReader::valuesInUtf8)

    bool accepted() const { return noCode || sum == storedCode; }
    // A byte value as text; empty for none. U+FFFD stands where a byte means no character.
    QString text(const std::optional<QByteArray> &value) const;
    // Something of a questionnaire: a model id or any channel value. Else nothing is applied.
    bool questionnaire() const;
    // What a saved file always holds and this one lacks ("Channel 2/Sensor R"), for a file
    // without a check code; a cut file shows so.
    QStringList missingKeys() const;
};

QuestionnaireRead readQuestionnaire(const ProfileReader &reader);

} // namespace qsjuv
