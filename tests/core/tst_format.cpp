// The questionnaire file: keys, order, check code, and what the loader makes of a file.
#include "core/DeviceModel.h"
#include "core/Cp1251.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireLoad.h"
#include "core/QuestionnaireRules.h"
#include "core/Texts.h"
#include "Questionnaires.h"

#include <QFile>
#include <QTest>

using namespace qsjuv;
using namespace Qt::StringLiterals;

namespace {
// ЖУВ-610-101, RTD sensor 1, -200..300, 100 ohm, 3-wire, 4..20 mA, quantity 1, no invoice.
Questionnaire workedExample()
{
    Questionnaire s;
    s.modelPosition = 0;
    QuestionnaireChannel ch;
    ch.inputOn = true;
    ch.sensorId = 1;
    ch.nominalR = 1;
    ch.connection = 1;
    ch.output = 0;
    ch.maxText = u"300"_s;
    ch.minText = u"-200"_s;
    s.channels = {ch};
    s.firm = u"ACME"_s;
    s.mail = u"a@b.cd"_s;
    s.quantity = u"1"_s;
    return s;
}

QByteArray replaced(QByteArray bytes, const QByteArray &from, const QByteArray &to)
{
    return bytes.replace(from, to);
}

QuestionnaireRead readBytes(const QByteArray &bytes)
{
    return readQuestionnaire(ProfileReader(bytes));
}
} // namespace

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleIsTheReferenceFile();
    void keysPerModel();
    void listEntriesAndFileValues();
    void sensorRAndOutputs();
    void valuesNeverBreakTheirLine();
    void checkCodeCoverage();
    void loaderRules();
    void cascadeDefaults_data();
    void cascadeDefaults();
    void loadOverBase();
    void mailFormat();
};

void TestFormat::workedExampleIsTheReferenceFile()
{
    const WrittenQuestionnaire written = writeQuestionnaire(workedExample());
    QCOMPARE(written.checkCode, 829);
    // The same bytes as the Windows profile functions wrote for these keys.
    QCOMPARE(written.bytes, testing::referenceBytes());

    const QuestionnaireRead read = readBytes(written.bytes);
    QVERIFY(read.accepted());
    QCOMPARE(read.sum, 829);
    QCOMPARE(read.modelPosition, std::optional<int>(0));
    QCOMPARE(read.channelCount, 1);
    QCOMPARE(read.channels[0].sensor->id, 1);
    QCOMPARE(read.channels[0].nomRPosition, std::optional<int>(1));
    QCOMPARE(read.channels[0].maxValue, std::optional<QByteArray>("300"));
    QCOMPARE(read.firm, std::optional<QString>(u"ACME"_s));
    QVERIFY(!read.bill);
}

void TestFormat::keysPerModel()
{
    Questionnaire s = workedExample();
    s.channels.push_back(s.channels.front());
    s.bill = u"42"_s;
    for (int position = 0; position < kModelCount; ++position) {
        const DeviceModel &model = modelList()[position];
        s.modelPosition = position;
        s.channels.resize(showsChannel2(model) ? 2 : 1);
        const QByteArray bytes = writeQuestionnaire(s).bytes;
        QCOMPARE(bytes.contains("[Channel 2]"), showsChannel2(model));
        const bool splitting = model.code == 'T' || model.code == 'U';
        QCOMPARE(bytes.count("Splitting=1"), splitting ? 1 : 0);
        if (splitting)
            QVERIFY(bytes.indexOf("Splitting") < bytes.indexOf("[Channel 2]"));
        QCOMPARE(bytes.contains("Output direction="), position < 4);
        QCOMPARE(bytes.contains("Output mode="), position >= 4);
        QVERIFY(bytes.contains("Bill=42\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(readBytes(bytes).accepted());
        QCOMPARE(readBytes(bytes).channelCount, std::max<int>(model.inputs, model.outputs));
    }
    // The key order of a channel section.
    const QByteArray bytes = writeQuestionnaire(workedExample()).bytes;
    const char *order[] = {"[Device]", "id=", "name=", "[Channel 1]", "Input mode=", "Sensor id=",
                           "Sensor type=", "Sensor R=", "Input connection=", "Cold junction comp=",
                           "Cold junction temp=", "Temperature max=", "Temperature min=",
                           "Output direction=", "[Reqs]", "Version=4e", "Firm=", "Phone=\r\n", "Mail=",
                           "Quantity=", "CheckCode="};
    qsizetype at = -1;
    for (const char *key : order) {
        const qsizetype next = bytes.indexOf(key);
        QVERIFY2(next > at, key);
        at = next;
    }
}

// Each list's positions and file values, both ways; sensor 4's list hides its 53 ohms.
void TestFormat::listEntriesAndFileValues()
{
    const RangeLimits &cu = *rangeRow(false, 4);
    QCOMPARE(nominalRValue(cu, 0), 0);
    QCOMPARE(nominalRValue(cu, 1), 2);
    QCOMPARE(nominalRValue(cu, 2), std::nullopt);
    QCOMPARE(nominalRValue(cu, -1), std::nullopt);
    QCOMPARE(nominalRPosition(cu, 2), 1);
    QCOMPARE(nominalRPosition(cu, 1), -1); // the hidden entry is no choice
    QCOMPARE(nominalRPosition(cu, std::nullopt), -1);
    QCOMPARE(nominalRValue(*rangeRow(true, 12), 0), std::nullopt); // a thermocouple has no list
    QCOMPARE(connectionValue(1), 2);
    QCOMPARE(connectionValue(2), std::nullopt);
    QCOMPARE(connectionPosition(0), -1);
    QCOMPARE(outputValue(true, 1), 1);
    QCOMPARE(outputValue(true, 2), std::nullopt);
    QCOMPARE(outputValue(false, 0), 255);
    QCOMPARE(outputValue(false, 6), 5);
    QCOMPARE(outputValue(false, 7), std::nullopt);
    QCOMPARE(outputPosition(false, 255), 0);
    QCOMPARE(outputPosition(false, 6), -1);
    QCOMPARE(outputPosition(true, 255), -1);
}

void TestFormat::sensorRAndOutputs()
{
    Questionnaire s = workedExample();
    s.modelPosition = 4; // ЖУВ-720-220
    QuestionnaireChannel &ch = s.channels.front();
    ch.sensorId = 4;
    ch.nominalR = 2; // "100" of the list 50, 100
    ch.output = 255; // "Отключен"
    QByteArray bytes = writeQuestionnaire(s).bytes;
    QVERIFY(bytes.contains("Sensor R=2\r\n"));
    QVERIFY(bytes.contains("Output mode=255\r\n"));
    QCOMPARE(readBytes(bytes).channels[0].nomRPosition, std::optional<int>(1));
    QCOMPARE(readBytes(bytes).channels[0].outputPosition, std::optional<int>(0));
    ch.nominalR = 0;
    ch.output = 5;
    bytes = writeQuestionnaire(s).bytes;
    QVERIFY(bytes.contains("Sensor R=0\r\n"));
    QVERIFY(bytes.contains("Output mode=5\r\n"));
    QCOMPARE(readBytes(bytes).channels[0].nomRPosition, std::optional<int>(0));
    QCOMPARE(readBytes(bytes).channels[0].outputPosition, std::optional<int>(6));
    // No entry writes what a list without a selection wrote: sensor 4 shifts its -1 too.
    ch.nominalR = ch.connection = ch.output = std::nullopt;
    bytes = writeQuestionnaire(s).bytes;
    QVERIFY(bytes.contains("Sensor R=0\r\nInput connection=0\r\n"));
    QVERIFY(bytes.contains("Output mode=255\r\n"));
    s.modelPosition = 0;
    QVERIFY(writeQuestionnaire(s).bytes.contains("Output direction=-1\r\n"));

    // A thermocouple has no nominal resistance; a model without outputs writes 255.
    ch.sensorId = 12;
    ch.connection = 1;
    s.modelPosition = 10; // ЖУВ-720-100
    bytes = writeQuestionnaire(s).bytes;
    QVERIFY(bytes.contains("Sensor type=2\r\nSensor R=-1\r\n"));
    QVERIFY(bytes.contains("Output mode=255\r\n"));

    // Voltage and resistance name their own range keys; an unknown sensor writes none.
    ch.sensorId = 19;
    QVERIFY(writeQuestionnaire(s).bytes.contains("Voltage max=300\r\nVoltage min=-200\r\n"));
    ch.sensorId = 20;
    QVERIFY(writeQuestionnaire(s).bytes.contains("Resistance max="));
    ch.sensorId = 0;
    bytes = writeQuestionnaire(s).bytes;
    QVERIFY(bytes.contains("Sensor type=0\r\n"));
    QVERIFY(!bytes.contains(" max="));
}

void TestFormat::valuesNeverBreakTheirLine()
{
    Questionnaire s = workedExample();
    s.firm = u"ACME\r\n[Device]\r\nid=52"_s;
    s.bill = u"a\nCheckCode=0"_s;
    s.phone = QString(100'000, u'x');
    const QByteArray bytes = writeQuestionnaire(s).bytes;
    QCOMPARE(bytes.count("\n["), 2); // only the section lines start a section
    QVERIFY(bytes.startsWith("[Device]"));
    const QuestionnaireRead read = readBytes(bytes);
    QVERIFY(read.accepted());
    QCOMPARE(read.modelPosition, std::optional<int>(0));
    QCOMPARE(read.firm, std::optional<QString>(u"ACME  [Device]  id=52"_s));
    QCOMPARE(read.phone->size(), 100'000); // read whole

    // Readers strip one pair of outer quotes: a quoted requisite reads back with its quotes.
    for (const QByteArray &typed : {QByteArray("\"a@b.cd\""), QByteArray("'a'"), QByteArray("\"\""),
                                    QByteArray("\""), QByteArray("\"a'")}) {
        s.mail = QString::fromLatin1(typed);
        QCOMPARE(readBytes(writeQuestionnaire(s).bytes).mail, std::optional<QString>(QString::fromLatin1(typed)));
    }
}

void TestFormat::checkCodeCoverage()
{
    const QByteArray base = writeQuestionnaire(workedExample()).bytes;
    // Outside the sum: name and requisites.
    for (const auto &[from, to] : {std::pair<QByteArray, QByteArray>{"Firm=ACME", "Firm=Other"},
                                   {"name=", "name=x"}, {"Quantity=1", "Quantity=7"}, {"Version=4e", "Version=5"}})
        QVERIFY(readBytes(replaced(base, from, to)).accepted());
    // Inside: any summed value, unless the byte sum happens to stay.
    QVERIFY(!readBytes(replaced(base, "Sensor R=1", "Sensor R=0")).accepted());
    QVERIFY(!readBytes(replaced(base, "Temperature max=300", "Temperature max=0300")).accepted());
    QVERIFY(readBytes(replaced(base, "Temperature max=300", "Temperature max=030")).accepted());
    // No check code: accepted while the file names a model.
    QVERIFY(readBytes(replaced(base, "CheckCode=829", "CheckCode=")).accepted());
    QVERIFY(readBytes(replaced(base, "CheckCode=829\r\n", "")).noCode);
    QuestionnaireRead noId = readBytes(replaced(replaced(base, "id=50\r\n", ""), "CheckCode=829\r\n", ""));
    QVERIFY(!noId.accepted());
    QCOMPARE(noId.channelCount, 2);
    // Without an id the code must match the channel values alone, and a 610 file's
    // "Output direction" is no longer read.
    QCOMPARE(readBytes(replaced(base, "id=50\r\n", "")).sum, 829 - 101 - 48);
    QVERIFY(readBytes(replaced(replaced(base, "id=50\r\n", ""), "CheckCode=829", "CheckCode=680")).accepted());
    // Beyond 32 bits the stored code saturates rather than wrapping onto the sum.
    QVERIFY(!readBytes(replaced(base, "CheckCode=829", "CheckCode=4294968125")).accepted());
    QCOMPARE(readBytes(replaced(base, "CheckCode=829", "CheckCode=99999999999")).storedCode, 2147483647);
}

void TestFormat::loaderRules()
{
    const QByteArray base = writeQuestionnaire(workedExample()).bytes;
    // An id of no model: two channel sections, outputs from "Output mode".
    QuestionnaireRead read = readBytes(replaced(base, "id=50", "id=49"));
    QVERIFY(!read.modelPosition);
    QCOMPARE(read.channelCount, 2);
    QVERIFY(!read.channels[0].outputDirection);
    // A 610 file without "Output direction" takes "Output mode" by the 720 rule.
    read = readBytes(replaced(base, "Output direction=0", "Output mode=1"));
    QCOMPARE(read.channels[0].outputPosition, std::optional<int>(2));
    // "id" keeps its low 8 bits: 306 is 50.
    QCOMPARE(readBytes(replaced(base, "id=50", "id=306")).modelPosition, std::optional<int>(0));
    // Input mode: only a leading '1' is on.
    QCOMPARE(readBytes(replaced(base, "Input mode=1", "Input mode=10")).channels[0].inputOn, std::optional<bool>(true));
    QCOMPARE(readBytes(replaced(base, "Input mode=1", "Input mode= 1")).channels[0].inputOn, std::optional<bool>(true));
    QCOMPARE(readBytes(replaced(base, "Input mode=1", "Input mode=x")).channels[0].inputOn, std::optional<bool>(false));
    QVERIFY(!readBytes(replaced(base, "Input mode=1\r\n", "")).channels[0].inputOn);
    // "Sensor type" decides the range keys, whatever "Sensor id" says.
    read = readBytes(replaced(base, "Sensor type=1", "Sensor type=3"));
    QCOMPARE(read.channels[0].sensor->type, kSensorRtd);
    QVERIFY(!read.channels[0].maxValue);
    // Numbers: blanks, a sign, digits up to the first other character; garbage is 0.
    QCOMPARE(readBytes(replaced(base, "Input connection=1", "Input connection=  2x")).channels[0].connPosition,
             std::optional<int>(1));
    QCOMPARE(readBytes(replaced(base, "Input connection=1", "Input connection=abc")).channels[0].connPosition,
             std::optional<int>(-1));
    QCOMPARE(readBytes(replaced(base, "Input connection=1", "Input connection=-99999999999")).channels[0].connPosition,
             std::optional<int>(std::numeric_limits<int>::min()));
    QCOMPARE(readBytes(replaced(base, "Output direction=0", "Output direction=99999999999")).channels[0].outputPosition,
             std::optional<int>(std::numeric_limits<int>::max()));
}

void TestFormat::cascadeDefaults_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("secondOn");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("output");
    const QString current = u"4..20 мА"_s;
    const auto row = [](int position, int channels, bool secondOn, const QString &max, const QString &output) {
        QTest::addRow("%s", modelListText(modelList()[std::size_t(position)]).c_str())
                << position << channels << secondOn << max << output;
    };
    row(0, 1, true, u"350"_s, current);
    row(1, 1, true, u"350"_s, current);
    row(2, 2, true, u"350"_s, current);
    row(3, 2, true, u"350"_s, current);
    row(4, 2, true, u"450"_s, current);
    row(5, 2, true, u"450"_s, current);
    row(6, 1, true, u"450"_s, current);
    row(7, 1, true, u"450"_s, current);
    row(8, 2, true, u"450"_s, QString());
    row(9, 2, true, u"450"_s, QString());
    row(10, 1, true, u"450"_s, QString());
    row(11, 1, true, u"450"_s, QString());
    row(12, 2, false, u"450"_s, current); // one input split over two outputs
    row(13, 2, false, u"450"_s, current);
}

// What choosing a model shows: the first RTD with its full range, 100 ohms, three wires on the
// 610 series only, the current output; requisites and quantity untouched.
void TestFormat::cascadeDefaults()
{
    QFETCH(int, position);
    QFETCH(int, channels);
    QFETCH(bool, secondOn);
    QFETCH(QString, max);
    QFETCH(QString, output);

    Questionnaire typed = defaultQuestionnaire();
    typed.firm = u"ACME"_s;
    typed.quantity = u"007"_s;
    const Questionnaire q = withModel(typed, position);
    QCOMPARE(q.firm, u"ACME"_s);
    QCOMPARE(q.quantity, u"007"_s);
    QCOMPARE(int(q.channels.size()), channels);
    for (int c = 0; c < channels; ++c) {
        const QuestionnaireChannel &ch = q.channels[std::size_t(c)];
        QCOMPARE(ch.inputOn, c == 0 || secondOn);
        QCOMPARE(ch.maxText, max);
        QCOMPARE(ch.minText, u"-200"_s);
        const ChannelShown shown = channelShown(q, c);
        QCOMPARE(shown.characteristic, u"Pt a=0.00385"_s);
        QCOMPARE(shown.nominalR, u"100"_s);
        QCOMPARE(shown.connection, q.series610() ? u"3-проводная"_s : QString());
        QCOMPARE(shown.output, output);
    }
    // The hints the window gives the range, from one maker.
    const texts::RangeHints hints = texts::rangeHints(*rangeRow(q.series610(), 1), channelShown(q, 0).unit);
    QCOMPARE(hints.max, u"Максимальное значение: %1 °С\nМинимальная ширина диапазона: 100 °С"_s.arg(max));
    QCOMPARE(hints.min, u"Минимальное значение: -200 °С\nМинимальная ширина диапазона: 100 °С"_s);
    // Nothing left for the save to fill in, and lists left without an entry get these.
    QCOMPARE(withDefaultEntries(q), q);
    Questionnaire unselected = q;
    for (QuestionnaireChannel &ch : unselected.channels)
        ch.nominalR = ch.connection = ch.output = std::nullopt;
    QCOMPARE(withDefaultEntries(unselected), q);
    QVERIFY(writeQuestionnaire(q).bytes.contains("Sensor R=1\r\nInput connection=1\r\n"));
    const QByteArray outputLine = q.series610() ? "Output direction=0\r\n" : output.isEmpty() ? "Output mode=255\r\n"
                                                                                              : "Output mode=1\r\n";
    QVERIFY(writeQuestionnaire(q).bytes.contains(outputLine));
    QCOMPARE(defaultQuestionnaire(), withModel(Questionnaire(), 0));
    // The wiring on site is no model's: a model choice keeps it. A sensor choice keeps the input,
    // the connection and the output, in the editor and the load alike.
    Questionnaire wired = defaultQuestionnaire();
    wired.channels[0].connection = 2;
    QCOMPARE(withModel(wired, position).channels[0].connection, std::optional<int>(2));
    QuestionnaireChannel kept = q.channels[0];
    kept.inputOn = false;
    kept.connection = 2;
    const QuestionnaireChannel chosen = withSensor(position, 0, kept, 12);
    QCOMPARE(chosen.sensorId, std::uint8_t(12));
    QVERIFY(!chosen.inputOn);
    QCOMPARE(chosen.connection, kept.connection);
    QCOMPARE(chosen.output, kept.output);
    QCOMPARE(chosen.maxText, defaultChannel(position, 0, 12).maxText);
}

// A file applies over what the window showed: its model or the old one, its requisites only
// when its check code holds.
void TestFormat::loadOverBase()
{
    const QByteArray file = writeQuestionnaire(workedExample()).bytes;
    Questionnaire base = withModel(defaultQuestionnaire(), 4); // ЖУВ-720-220
    base.channels[0] = defaultChannel(4, 0, 12);
    base.channels[1].maxText = u"typed"_s;
    base.firm = u"Old"_s;
    base.quantity = u"5"_s;

    // The file's own value comes back whatever was shown before.
    LoadedQuestionnaire loaded = loadedQuestionnaire(readBytes(file), base);
    QCOMPARE(loaded.value, workedExample());
    QVERIFY(loaded.modelKnown && loaded.accepted);
    QCOMPARE(loaded.version, u"4e"_s);

    // An unknown model keeps the model and its channels; the file's first section sets channel 1,
    // the second channel, which the file lacks, keeps what it showed.
    loaded = loadedQuestionnaire(readBytes(testing::resealed(replaced(file, "id=50", "id=49"))), base);
    QVERIFY(!loaded.modelKnown);
    QCOMPARE(loaded.value.modelPosition, 4);
    QCOMPARE(loaded.value.channels.size(), 2u);
    QCOMPARE(loaded.value.channels[0], testing::channel(1, 1, 1, 1, "300", "-200"));
    QCOMPARE(loaded.value.channels[1], base.channels[1]);
    QCOMPARE(loaded.value.firm, u"ACME"_s);
    QCOMPARE(loaded.value.quantity, u"1"_s);

    // A damaged file: its own channels, requisites and quantity, never those shown before.
    loaded = loadedQuestionnaire(readBytes(replaced(file, "Temperature max=300", "Temperature max=250")), base);
    QVERIFY(!loaded.accepted && loaded.warning);
    QCOMPARE(loaded.value.channels[0].maxText, u"250"_s);
    QCOMPARE(loaded.value.firm, u"ACME"_s);
    QCOMPARE(loaded.value.quantity, u"1"_s);
    // Nothing of a questionnaire: nothing applied.
    loaded = loadedQuestionnaire(readBytes("[Reqs]\r\nFirm=X\r\n"), base);
    QVERIFY(!loaded.questionnaire);
    QCOMPARE(loaded.value.firm, u"Old"_s);
}

void TestFormat::mailFormat()
{
    const std::pair<const char16_t *, bool> cases[] = {
        {u"a@b.cd", true},  {u"@b.cd", false},    {u"a.b@cd", false}, {u"a@.b.cd", false},
        {u"a@b.c1", false}, {u"a@b.cd.", false},  {u"a@b.сд", false}, {u"my name@host.ru", true},
        {u"a@b@c.d", true}, {u"a@bc", false},     {u"a", false},      {u"x.y@a.b c", true}};
    for (const auto &[mail, valid] : cases)
        QVERIFY2(mailFormatValid(QStringView(mail)) == valid, qPrintable(QString::fromUtf16(mail)));
}

QTEST_APPLESS_MAIN(TestFormat)
#include "tst_format.moc"
