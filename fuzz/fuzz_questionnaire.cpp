// libFuzzer target: any bytes as a questionnaire file. Beyond "no crash", checks what the loader
// and the save rely on: the check code is the byte sum of the summed values, reading is a
// pure function of the bytes, and what the writers write reads back unchanged.
#include "core/Cp1251.h"
#include "core/DeviceModel.h"
#include "core/Sensor.h"
#include "core/ProfileFile.h"
#include "core/ProfileNumber.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireLoad.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace qsjuv;

#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);   \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

namespace {

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

QByteArray withoutBreaks(QByteArrayView text)
{
    QByteArray out;
    for (const char c : text) {
        if (c != '\0' && c != '\r' && c != '\n')
            out.append(c);
    }
    return out;
}

QByteArray trimmedBlanks(QByteArray text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

// Names the reader finds again: one line, trimmed, and a key is neither a header nor split by '='.
QByteArray sectionName(QByteArrayView raw)
{
    return trimmedBlanks(withoutBreaks(raw));
}

QByteArray keyName(QByteArrayView raw)
{
    QByteArray key = trimmedBlanks(withoutBreaks(raw).replace('=', '_'));
    if (key.startsWith('['))
        key[0] = '_';
    return key;
}

// A value the reader gives back as written: one line, no outer blanks, no outer quote pair.
QByteArray plainValue(QByteArrayView raw)
{
    QByteArray value = trimmedBlanks(withoutBreaks(raw));
    while (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
           && value.back() == value.front())
        value = trimmedBlanks(value.chopped(1));
    return value;
}

bool sameAsciiFold(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool startsWithMark(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

// --- Reading -----------------------------------------------------------------------------

// Absent and empty read the same; anything else is the value, whole.
std::optional<QByteArray> fileValue(const ProfileReader &reader, QByteArrayView section, QByteArrayView key)
{
    auto value = reader.value(section, key);
    if (!value || value->isEmpty())
        return std::nullopt;
    return value;
}

void checkChannelAgainstFile(const ProfileReader &reader, const QuestionnaireRead &read, int c)
{
    const ChannelRead &ch = read.channels[c];
    const QByteArray section = channelSectionName(c);
    const auto same = [&](const std::optional<QByteArray> &field, const char *key) {
        FUZZ_CHECK(field == fileValue(reader, section, key));
    };
    same(ch.inputMode, "Input mode");
    same(ch.sensorIdText, "Sensor id");
    same(ch.sensorTypeText, "Sensor type");
    same(ch.sensorR, "Sensor R");
    same(ch.inputConnection, "Input connection");
    same(ch.coldJunctionComp, "Cold junction comp");
    same(ch.coldJunctionTemp, "Cold junction temp");
    same(ch.splitting, "Splitting");
    if (const auto keys = RangeKeyNames(ch.rangeType)) {
        same(ch.maxValue, keys->maxKey);
        same(ch.minValue, keys->minKey);
    } else {
        FUZZ_CHECK(!ch.maxValue && !ch.minValue);
    }
    if (read.deviceCode >= 50 && read.deviceCode <= 53)
        same(ch.outputDirection, "Output direction");
    else
        FUZZ_CHECK(!ch.outputDirection);
    if (ch.outputDirection)
        FUZZ_CHECK(!ch.outputMode);
    else
        same(ch.outputMode, "Output mode");

    FUZZ_CHECK(ch.inputOn.has_value() == ch.inputMode.has_value());
    FUZZ_CHECK(!ch.inputOn || *ch.inputOn == ch.inputMode->startsWith('1'));
    FUZZ_CHECK(!ch.sensor || (ch.sensorIdText && ch.sensor->id == std::uint8_t(profileNumber(*ch.sensorIdText))));
}

// The check code as the format defines it, summed by its own few lines from the bytes of a file
// as the save writes it (one "key=value" a line): every value of a channel section and the
// model's id.
qint32 independentCheckCode(const QByteArray &file)
{
    quint32 sum = 0;
    bool summed = false;
    for (QByteArray line : file.split('\n')) {
        line.replace('\r', "");
        if (line.startsWith('[')) {
            summed = line.startsWith("[Channel ");
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0 || !(summed || line.startsWith("id=")))
            continue;
        for (const char c : line.sliced(eq + 1))
            sum += static_cast<unsigned char>(c);
    }
    return qint32(sum);
}

void checkRead(const ProfileReader &reader, const QuestionnaireRead &read)
{
    FUZZ_CHECK(read.idText == fileValue(reader, "Device", "id"));
    FUZZ_CHECK(read.checkCodeText == fileValue(reader, "Reqs", "CheckCode"));
    FUZZ_CHECK(read.storedCode == (read.checkCodeText ? profileNumber(*read.checkCodeText) : 1));
    // Without an id only a matching code is accepted.
    FUZZ_CHECK(read.noCode == (!read.checkCodeText && read.idText));
    FUZZ_CHECK(read.deviceCode == (read.idText ? std::uint8_t(profileNumber(*read.idText)) : 255));
    FUZZ_CHECK(read.modelPosition == (read.idText ? modelPositionByCode(read.deviceCode) : std::nullopt));
    if (read.modelPosition) {
        const DeviceModel &model = modelList()[*read.modelPosition];
        FUZZ_CHECK(read.channelCount == std::max(model.inputs, model.outputs));
    } else {
        FUZZ_CHECK(read.channelCount == 2);
    }
    for (int c = 0; c < 2; ++c) {
        if (c < read.channelCount) {
            checkChannelAgainstFile(reader, read, c);
        } else {
            // A section the model does not have is not read at all.
            const ChannelRead &ch = read.channels[c];
            FUZZ_CHECK(!ch.inputMode && !ch.sensorIdText && !ch.maxValue && !ch.outputMode && !ch.sensor);
        }
    }
    // Texts lose nothing: a Windows-1251 value reads back as its bytes, a UTF-8 one as UTF-8.
    const std::optional<QString> firm = reader.text("Reqs", "Firm");
    FUZZ_CHECK(read.firm.has_value() == bool(fileValue(reader, "Reqs", "Firm")));
    FUZZ_CHECK(!read.firm || read.firm == firm || (!reader.utf8() && read.firm == QString::fromUtf8(*reader.value("Reqs", "Firm"))));
    FUZZ_CHECK(!read.firm || reader.utf8() || read.firm->size() <= reader.value("Reqs", "Firm")->size());
    const std::optional<QString> quantity = reader.text("Reqs", "Quantity");
    FUZZ_CHECK(read.quantity == (quantity && !quantity->isEmpty() ? quantity : std::nullopt));
}

bool sameChannel(const ChannelRead &a, const ChannelRead &b)
{
    return a.inputMode == b.inputMode && a.sensorIdText == b.sensorIdText && a.sensorTypeText == b.sensorTypeText
            && a.sensorR == b.sensorR && a.inputConnection == b.inputConnection
            && a.coldJunctionComp == b.coldJunctionComp && a.coldJunctionTemp == b.coldJunctionTemp
            && a.maxValue == b.maxValue && a.minValue == b.minValue && a.splitting == b.splitting
            && a.outputDirection == b.outputDirection && a.outputMode == b.outputMode && a.inputOn == b.inputOn
            && a.sensor == b.sensor && a.rangeType == b.rangeType && a.nomRPosition == b.nomRPosition
            && a.connPosition == b.connPosition && a.outputPosition == b.outputPosition;
}

bool sameRead(const QuestionnaireRead &a, const QuestionnaireRead &b)
{
    return a.noCode == b.noCode && a.storedCode == b.storedCode && a.sum == b.sum && a.idText == b.idText
            && a.deviceCode == b.deviceCode && a.modelPosition == b.modelPosition
            && a.channelCount == b.channelCount && sameChannel(a.channels[0], b.channels[0])
            && sameChannel(a.channels[1], b.channels[1]) && a.name == b.name && a.version == b.version
            && a.firm == b.firm && a.phone == b.phone && a.mail == b.mail && a.bill == b.bill
            && a.quantity == b.quantity && a.checkCodeText == b.checkCodeText;
}

// --- Writing the profile -----------------------------------------------------------------

// The input's own lines become writes: "[name" switches the section, "key=value" writes a key.
void checkProfileRoundTrip(const QByteArray &input)
{
    struct Write
    {
        QByteArray section, key, value;
    };
    std::vector<Write> writes;
    ProfileWriter writer;
    QByteArray section;
    for (const QByteArray &line : input.split('\n')) {
        if (writes.size() >= 64)
            break;
        if (line.startsWith('[')) {
            section = sectionName(line.sliced(1).split(']').front());
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        Write w{section, keyName(line.first(eq)), plainValue(line.sliced(eq + 1))};
        writer.writeString(w.section, w.key, w.value);
        writes.push_back(std::move(w));
    }
    const QByteArray bytes = writer.bytes();
    if (startsWithMark(bytes)) // a first key that spells a byte-order mark re-encodes the file
        return;
    const ProfileReader reader(bytes);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        // The last write of a name (ASCII case folded) wins.
        const Write *last = &writes[i];
        for (std::size_t j = i + 1; j < writes.size(); ++j) {
            if (sameAsciiFold(writes[j].section, last->section) && sameAsciiFold(writes[j].key, last->key))
                last = &writes[j];
        }
        const auto read = reader.value(writes[i].section, writes[i].key);
        FUZZ_CHECK(read && *read == last->value);
    }
}

// --- Writing the questionnaire -----------------------------------------------------------

class Bytes
{
public:
    Bytes(const std::uint8_t *data, std::size_t size)
        : m_data(data), m_size(size)
    {
    }
    int next(int count)
    {
        return m_size == 0 ? 0 : int(m_data[m_pos++ % m_size]) % count;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

QByteArray textOr(const std::optional<QByteArray> &value)
{
    return value ? plainValue(*value) : QByteArray();
}

std::optional<QByteArray> nonEmpty(const QByteArray &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QByteArray>(text);
}

// Settings in the shape the form holds them, taken from what was read, saved and read back.
void checkQuestionnaireRoundTrip(const QuestionnaireRead &from, Bytes choices)
{
    Questionnaire s;
    s.modelPosition = from.modelPosition.value_or(choices.next(kModelCount));
    const DeviceModel &model = modelList()[s.modelPosition];
    const bool series610 = isSeries610(s.modelPosition);
    const int channelCount = showsChannel2(model) ? 2 : 1;
    for (int c = 0; c < channelCount; ++c) {
        const ChannelRead &f = from.channels[c];
        QuestionnaireChannel ch;
        ch.inputOn = f.inputOn.value_or(true);
        ch.sensorId = f.sensor ? f.sensor->id : std::uint8_t(choices.next(256));
        // Entries of each list, or none.
        const RangeLimits *row = rangeRow(series610, ch.sensorId);
        const int nomRPosition = choices.next(11) - 1;
        ch.nominalR = row ? nominalRValue(*row, nomRPosition) : std::nullopt;
        ch.connection = connectionValue(choices.next(3) - 1);
        ch.output = outputValue(series610, choices.next(8) - 1);
        ch.maxText = fromCp1251(textOr(f.maxValue));
        ch.minText = fromCp1251(textOr(f.minValue));
        s.channels.push_back(ch);
    }
    s.firm = from.firm.value_or(QString());
    s.phone = from.phone.value_or(QString());
    s.mail = from.mail.value_or(QString());
    s.bill = from.bill.value_or(QString());
    s.quantity = from.quantity.value_or(QString());
    // Windows-1251 turns into text and back byte for byte.
    const auto saved = [](const QString &text) { return nonEmpty(toCp1251Lossy(text)); };
    // Texts are read back as text: what the bytes give, less the blanks (Windows' set) a profile
    // read trims at the end (a value cut at a NUL can end in one), or nothing for none.
    const auto savedText = [&saved](const QString &text) {
        std::optional<QByteArray> bytes = saved(text);
        const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; };
        while (bytes && !bytes->isEmpty() && blank(bytes->back()))
            bytes->chop(1);
        return bytes && !bytes->isEmpty() ? std::optional<QString>(fromCp1251(*bytes)) : std::nullopt;
    };

    const WrittenQuestionnaire written = writeQuestionnaire(s);
    const QuestionnaireRead back = readQuestionnaire(ProfileReader(written.bytes));
    FUZZ_CHECK(back.accepted());
    FUZZ_CHECK(!back.noCode && back.sum == written.checkCode);
    FUZZ_CHECK(independentCheckCode(written.bytes) == written.checkCode);
    FUZZ_CHECK(back.modelPosition == std::optional<int>(s.modelPosition));
    FUZZ_CHECK(back.channelCount == channelCount);
    FUZZ_CHECK(back.name == savedText(QString::fromStdString(modelListText(model))));
    for (int c = 0; c < channelCount; ++c) {
        const QuestionnaireChannel &ch = s.channels[size_t(c)];
        const ChannelRead &r = back.channels[c];
        FUZZ_CHECK(r.inputOn == ch.inputOn);
        FUZZ_CHECK(r.sensorIdText && std::uint8_t(profileNumber(*r.sensorIdText)) == std::uint8_t(ch.sensorId));
        FUZZ_CHECK(r.sensor == sensorById(std::uint8_t(ch.sensorId)));
        // The file cannot tell "no selection" from the entry that shares its value: sensor 4's
        // 50 ohm, and on the 720 series the "off" output.
        const RangeLimits *row = rangeRow(series610, ch.sensorId);
        const int nomR = ch.nominalR ? nominalRPosition(*row, ch.nominalR) : ch.sensorId == 4 ? 0 : -1;
        FUZZ_CHECK(r.nomRPosition == nomR);
        FUZZ_CHECK(r.connPosition == connectionPosition(ch.connection));
        const int output = (!series610 && !ch.output) ? 0 : outputPosition(series610, ch.output);
        FUZZ_CHECK(r.outputPosition == output);
        if (r.sensor && RangeKeyNames(r.sensor->type)) {
            FUZZ_CHECK(r.maxValue == saved(ch.maxText));
            FUZZ_CHECK(r.minValue == saved(ch.minText));
        } else {
            FUZZ_CHECK(!r.maxValue && !r.minValue);
        }
        FUZZ_CHECK(r.splitting.has_value() == (c == 0 && splitsInput(model)));
    }
    FUZZ_CHECK(back.firm == savedText(s.firm));
    FUZZ_CHECK(back.phone == savedText(s.phone));
    FUZZ_CHECK(back.mail == savedText(s.mail));
    FUZZ_CHECK(back.bill == savedText(s.bill));
    FUZZ_CHECK(back.quantity == savedText(s.quantity));
}

// Whatever the file, a window shows a value it can build: a model, its channels, their sensors
// and entries of its lists; the requisites are the file's own, whether its check code holds or not.
void checkLoaded(const QuestionnaireRead &read, const LoadedQuestionnaire &loaded)
{
    const Questionnaire &q = loaded.value;
    FUZZ_CHECK(q.validModel());
    FUZZ_CHECK(int(q.channels.size()) == channelCount(q.model()));
    for (int c = 0; c < int(q.channels.size()); ++c) {
        const QuestionnaireChannel &ch = q.channels[std::size_t(c)];
        FUZZ_CHECK(ch.sensor() && offersSensorType(q.modelPosition, ch.sensor()->type));
        const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
        FUZZ_CHECK(!ch.nominalR || nominalRPosition(*row, ch.nominalR) >= 0);
        FUZZ_CHECK(!ch.connection || connectionPosition(ch.connection) >= 0);
        FUZZ_CHECK(showsOutputs(q.model()) ? !ch.output || outputPosition(q.series610(), ch.output) >= 0 : !ch.output);
        channelShown(q, c);
    }
    FUZZ_CHECK(!loaded.questionnaire || (q.firm == read.firm.value_or(QString()) && q.bill == read.bill.value_or(QString())));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Raw data: the sanitizer sees a read past the fuzzer's own buffer.
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const ProfileReader reader(input);
    const QuestionnaireRead read = readQuestionnaire(reader);
    checkRead(reader, read);

    const QByteArray copy(reinterpret_cast<const char *>(data), qsizetype(size));
    FUZZ_CHECK(sameRead(read, readQuestionnaire(ProfileReader(copy))));

    for (const int bufferSize : {0, 1, 2, 100}) {
        int ret = -1;
        const QByteArray cut = reader.valueCut("Reqs", "Firm", bufferSize, &ret);
        FUZZ_CHECK(ret == cut.size() && cut.size() <= qMax(0, bufferSize - 1));
    }

    checkProfileRoundTrip(copy);
    checkQuestionnaireRoundTrip(read, Bytes(data, size));
    checkLoaded(read, loadedQuestionnaire(read));
    return 0;
}
