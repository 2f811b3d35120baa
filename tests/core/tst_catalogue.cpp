#include "core/DeviceModel.h"
#include "core/RangeLimits.h"
#include "core/Sensor.h"

#include <QByteArray>
#include <QList>
#include <QTest>

using namespace qsjuv;

namespace {

QList<QByteArray> namesOf(const std::vector<const SensorDescriptor *> &sensors)
{
    QList<QByteArray> names;
    for (const SensorDescriptor *sensor : sensors)
        names << QByteArray::fromStdString(displayName(sensor->name));
    return names;
}

using Entries = std::vector<std::string>;

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void models();
    void sensorTypes();
    void sensors();
    void rangeRows_data();
    void rangeRows();
    void rangeTablesConsistent();
    void nominalResistances();
};

void TestCatalogue::models()
{
    const QList<QByteArray> expected{
        "ЖУВ-610-101", "ЖУВ-610-111", "ЖУВ-610-201", "ЖУВ-610-211", "ЖУВ-720-220",
        "ЖУВ-720-221", "ЖУВ-720-110", "ЖУВ-720-111", "ЖУВ-720-200", "ЖУВ-720-201",
        "ЖУВ-720-100", "ЖУВ-720-101", "ЖУВ-720-120", "ЖУВ-720-121"};
    QList<QByteArray> texts;
    for (const DeviceModel &model : modelList())
        texts << QByteArray::fromStdString(modelListText(model));
    QCOMPARE(texts, expected);

    QVERIFY(isSeries610(-1));
    const QList<int> noChannel2{0, 1, 6, 7, 10, 11};
    for (int position = 0; position < kModelCount; ++position) {
        QCOMPARE(isSeries610(position), position < 4);
        QCOMPARE(offersAllSensorTypes(position), position != 1 && position != 3);
        // The file's codes and the list positions must name the same series.
        QCOMPARE(isSeries610Code(modelList()[position].code), position < 4);
        QCOMPARE(splitsInput(modelList()[position]), position == 12 || position == 13);
        QCOMPARE(showsChannel2(modelList()[position]), !noChannel2.contains(position));
        // Codes are unique, so each row is found at its own position.
        QCOMPARE(modelPositionByCode(modelList()[position].code).value_or(-1), position);
    }
    QCOMPARE(modelPositionByCode('3').value_or(-1), 2);
    QCOMPARE(modelPositionByCode('T').value_or(-1), 12);
    for (int code : {0, int('1'), int('A'), 255})
        QVERIFY(!modelPositionByCode(static_cast<std::uint8_t>(code)));
    for (int code : {49, 54, 0, 255})
        QVERIFY(!isSeries610Code(static_cast<std::uint8_t>(code)));
}

void TestCatalogue::sensorTypes()
{
    const SensorType types[] = {kSensorRtd, kSensorResistance, kSensorThermocouple, kSensorVoltage};
    for (int index = 0; index < 4; ++index) {
        QCOMPARE(sensorTypeOfIndex(index), types[index]);
        QCOMPARE(indexOfSensorType(types[index]), index);
    }
    QCOMPARE(sensorTypeOfIndex(-1), kSensorRtd);
    QCOMPARE(sensorTypeOfIndex(4), kSensorRtd);
    QCOMPARE(indexOfSensorType(0), 0);
    QCOMPARE(indexOfSensorType(5), 0);

    QCOMPARE(QByteArray(sensorTypeEntryText(1)), QByteArray("Сопротивление"));
    QVERIFY(!sensorTypeEntryText(-1));
    QVERIFY(!sensorTypeEntryText(4));

    // The degree sign is followed by the Cyrillic Es (U+0421), not by a Latin C.
    const QByteArray celsius("\xC2\xB0\xD0\xA1");
    for (SensorType type : {kSensorRtd, kSensorThermocouple}) {
        QCOMPARE(QByteArray(unitText(type)), celsius);
        QCOMPARE(QByteArray(maxCaption(type)), "T макс, " + celsius);
        QCOMPARE(QByteArray(minCaption(type)), "T мин, " + celsius);
    }
    QCOMPARE(QByteArray(maxCaption(kSensorVoltage)), QByteArray("U макс, мВ"));
    QCOMPARE(QByteArray(minCaption(kSensorResistance)), QByteArray("R мин, Ом"));
    for (SensorType type : {0, 5, 255})
        QVERIFY(!unitText(type) && !maxCaption(type) && !minCaption(type));
}

void TestCatalogue::sensors()
{
    const auto rtd = sensorsOfType(kSensorRtd);
    QCOMPARE(namesOf(rtd), (QList<QByteArray>{"Pt a=0.00385", "Pt a=0.00391", "Cu a=0.00428",
                                              "Cu a=0.00426", "Ni a=0.00617"}));
    QList<int> ids;
    for (const SensorDescriptor *sensor : rtd)
        ids << sensor->id;
    QCOMPARE(ids, (QList<int>{1, 2, 3, 4, 5}));

    const QList<QByteArray> thermocouples = namesOf(sensorsOfType(kSensorThermocouple));
    QCOMPARE(thermocouples.size(), 13);
    QCOMPARE(thermocouples.mid(0, 5), (QList<QByteArray>{"B", "J", "K", "L", "S"}));
    QCOMPARE(thermocouples.mid(11), (QList<QByteArray>{"R", "T"}));
    QCOMPARE(namesOf(sensorsOfType(kSensorVoltage)), QList<QByteArray>{"U lin"});
    QVERIFY(sensorsOfType(0).empty());

    for (int id = 1; id <= kSensorCount; ++id)
        QCOMPARE(sensorById(static_cast<std::uint8_t>(id))->id, id);
    QVERIFY(!sensorById(0) && !sensorById(21));

    // Only the first "α" goes; a stray lead byte is left alone.
    QCOMPARE(displayName("U lin"), "U lin");
    QCOMPARE(displayName("Ni α=0.00617"), "Ni a=0.00617");
    QCOMPARE(displayName("αα"), "aα");
    QCOMPARE(displayName(""), "");
    QCOMPARE(displayName("\xCE" "a\xB1"), "\xCE" "a\xB1");
}

void TestCatalogue::rangeRows_data()
{
    QTest::addColumn<bool>("series610");
    QTest::addColumn<int>("sensorId");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("minSpan");

    QTest::newRow("610 Pt 0.00385") << true << 1 << -200 << 350 << 100;
    QTest::newRow("720 Pt 0.00385") << false << 1 << -200 << 450 << 100;
    QTest::newRow("720 Pt 0.00391") << false << 2 << -200 << 440 << 100;
    QTest::newRow("610 B") << true << 9 << 200 << 1820 << 500;
    QTest::newRow("720 B") << false << 9 << 300 << 1820 << 500;
    QTest::newRow("610 R lin") << true << 20 << 5 << 235 << 15;
    QTest::newRow("720 R lin") << false << 20 << 5 << 260 << 15;
    QTest::newRow("720 Ni") << false << 5 << -69 << 180 << 100;
}

void TestCatalogue::rangeRows()
{
    QFETCH(bool, series610);
    QFETCH(int, sensorId);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, minSpan);

    const RangeLimits *row = rangeRow(series610, static_cast<std::uint8_t>(sensorId));
    QVERIFY(row);
    QCOMPARE(row->sensorId, sensorId);
    QCOMPARE(truncatedLimit(row->lowerLimit), lower);
    QCOMPARE(truncatedLimit(row->upperLimit), upper);
    QCOMPARE(truncatedLimit(row->minSpan), minSpan);
}

void TestCatalogue::rangeTablesConsistent()
{
    for (bool series610 : {true, false}) {
        const RangeLimits *table = rangeTable(series610);
        QVERIFY(!rangeRow(series610, 0) && !rangeRow(series610, 21));
        for (const SensorDescriptor &sensor : sensorList()) {
            int matches = 0;
            for (int i = 0; i < kRangeRowCount; ++i)
                matches += table[i].sensorId == sensor.id;
            QCOMPARE(matches, 1);
            const RangeLimits *row = rangeRow(series610, sensor.id);
            QVERIFY2(row->upperLimit - row->lowerLimit >= row->minSpan, sensor.name);
            QCOMPARE(row->nominalRCount > 0, sensor.type == kSensorRtd);
        }
        const RangeLimits *cu = rangeRow(series610, 4);
        QCOMPARE(cu->nominalRCount, 3);
        QVERIFY(cu->nominalR[0] == 50 && cu->nominalR[1] == 53 && cu->nominalR[2] == 100);
        QCOMPARE(cu->defaultNominalR, 100.0f);
    }
    QCOMPARE(truncatedLimit(-69.9f), -69);
    QCOMPARE(truncatedLimit(-0.5f), 0);
}

void TestCatalogue::nominalResistances()
{
    for (bool series610 : {true, false}) {
        for (const SensorDescriptor *sensor : sensorsOfType(kSensorRtd)) {
            const NominalRList list = nominalResistanceList(*rangeRow(series610, sensor->id));
            QVERIFY2((list.entries == Entries{"50", "100"}), sensor->name);
            QCOMPARE(list.selected, 1);
        }
        const NominalRList none = nominalResistanceList(*rangeRow(series610, 20));
        QVERIFY(none.entries.empty());
        QCOMPARE(none.selected, -1);
    }

    // Default not listed: the first entry. A repeated default: the last one wins.
    NominalRList list = nominalResistanceList({1, 0, 100, 10, 75, 2, {50, 1000}});
    QVERIFY((list.entries == Entries{"50", "1000"}));
    QCOMPARE(list.selected, 0);
    QCOMPARE(nominalResistanceList({1, 0, 100, 10, 50, 3, {50, 100, 50}}).selected, 2);

    // Sensor 4 always asks for entry 1, which a one-entry list lacks.
    list = nominalResistanceList({4, 0, 100, 10, 50, 2, {50, 53}});
    QVERIFY((list.entries == Entries{"50"}));
    QCOMPARE(list.selected, -1);
}

QTEST_APPLESS_MAIN(TestCatalogue)

#include "tst_catalogue.moc"
