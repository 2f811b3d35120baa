#include "core/Characteristic.h"
#include "core/Sensor.h"
#include "core/VerificationPoints.h"

#include <QTest>

#include <cmath>

using namespace qsjuv;
using namespace Qt::StringLiterals;

// Sensor ids of the catalogue, by characteristic.
enum : int { Pt385 = 1, Pt391, Cu428, Cu426, Ni617, A1, A2, A3, B, E, J, K, L, M, N, R, S, T, ULin, RLin };

class TestCharacteristics : public QObject
{
    Q_OBJECT

private slots:
    void publishedTables_data();
    void publishedTables();
    void outsideSpan();
    void roundTrip();
    void points_data();
    void points();
};

// Each row is the table's value as printed, to its last digit; RTD rows are for R0 = 100 Ω.
void TestCharacteristics::publishedTables_data()
{
    QTest::addColumn<int>("sensor");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<int>("slack"); // units of the last digit the function may be off by

    const auto rows = [](const char *name, int sensor, std::initializer_list<std::pair<double, const char *>> table,
                         int slack = 0) {
        for (const auto &[value, signal] : table)
            QTest::addRow("%s %g", name, value) << sensor << value << QString::fromLatin1(signal) << slack;
    };
    // NIST ITS-90 thermocouple tables (NIST Monograph 175, the srdata.nist.gov its90 tables
    // type_X.tab, °C against mV, reference junctions at 0 °C), which IEC 60584-1 reproduces.
    rows("K", K, {{-270, "-6.458"}, {-100, "-3.554"}, {0, "0.000"}, {100, "4.096"}, {500, "20.644"},
                  {1000, "41.276"}, {1370, "54.819"}});
    rows("J", J, {{-210, "-8.095"}, {-100, "-4.633"}, {0, "0.000"}, {100, "5.269"}, {400, "21.848"},
                  {760, "42.919"}, {1200, "69.553"}});
    rows("T", T, {{-265, "-6.248"}, {-100, "-3.379"}, {0, "0.000"}, {100, "4.279"}, {200, "9.288"},
                  {300, "14.862"}, {400, "20.872"}});
    rows("E", E, {{-265, "-9.821"}, {-100, "-5.237"}, {0, "0.000"}, {100, "6.319"}, {300, "21.036"},
                  {600, "45.093"}, {1000, "76.373"}});
    rows("N", N, {{-265, "-4.342"}, {-100, "-2.407"}, {0, "0.000"}, {100, "2.774"}, {400, "12.974"},
                  {800, "28.455"}, {1300, "47.513"}});
    rows("R", R, {{-50, "-0.226"}, {0, "0.000"}, {100, "0.647"}, {500, "4.471"}, {1100, "11.850"},
                  {1700, "20.222"}, {1760, "21.003"}});
    rows("S", S, {{-50, "-0.236"}, {0, "0.000"}, {100, "0.646"}, {500, "4.233"}, {1100, "10.757"},
                  {1700, "17.947"}, {1760, "18.609"}});
    // The catalogue's B starts at 200 °C (610 series): 0 and 100 °C lie outside (outsideSpan).
    rows("B", B, {{200, "0.178"}, {300, "0.431"}, {600, "1.792"}, {700, "2.431"}, {1000, "4.834"},
                  {1500, "10.099"}, {1820, "13.820"}});
    // GOST R 8.585-2001, types L, M and A-1..A-3: 0 °C and the ends of the ranges its tables span
    // in mV, as a calculator citing them states (its tables 11-13); the full tables were not to be
    // found. At 0 °C every table has 0.000, which A-1's polynomial alone would miss.
    rows("L", L, {{-200, "-9.488"}, {0, "0.000"}, {800, "66.466"}});
    rows("M", M, {{-200, "-6.154"}, {0, "0.000"}, {100, "4.722"}});
    rows("A-2", A2, {{0, "0.000"}, {1800, "27.232"}});
    rows("A-3", A3, {{0, "0.000"}, {1800, "26.773"}});
    rows("A-1", A1, {{0, "0.000"}, {2500, "33.640"}});
    // The A-1 column of a published table of thermo-EMFs every 50 °C by standard (ДСТУ, to
    // 1450 °C; oldradiogid.ru/news/termo-eds). GOST R 8.585-2001's approximating polynomial, which
    // the program has, departs from it by up to two units of its last digit (600-900 °C).
    rows("A-1 DSTU", A1, {{50, "0.636"}, {100, "1.337"}, {300, "4.514"}, {600, "9.604"}, {900, "14.548"},
                         {1000, "16.127"}, {1300, "20.590"}, {1450, "22.651"}}, 2);
    // IEC 60751 / GOST 6651-2009 table for Pt100 (α = 0.00385), ohms to two decimals.
    rows("Pt385", Pt385, {{-200, "18.52"}, {-100, "60.26"}, {0, "100.00"}, {100, "138.51"}, {200, "175.86"},
                          {300, "212.05"}, {450, "264.18"}});
    // GOST 6651-2009 ends of the tables for 100П (α = 0.00391), 100М (α = 0.00428) and 100Н
    // (α = 0.00617), as a calculator citing them states; the full tables were not to be found.
    rows("Pt391", Pt391, {{-200, "17.24"}, {0, "100.00"}});
    rows("Cu428", Cu428, {{-180, "20.53"}, {0, "100.00"}, {200, "185.60"}});
    rows("Ni617", Ni617, {{-60, "69.45"}, {0, "100.00"}, {180, "223.21"}});
    rows("Cu426", Cu426, {{0, "100.00"}});
    rows("U lin", ULin, {{-140, "-140.000"}, {0, "0.000"}, {140, "140.000"}});
    rows("R lin", RLin, {{5, "5.000"}, {100, "100.000"}, {260, "260.000"}});
}

void TestCharacteristics::publishedTables()
{
    QFETCH(int, sensor);
    QFETCH(double, value);
    QFETCH(QString, signal);
    QFETCH(int, slack);
    const int decimals = int(signal.size() - signal.indexOf(u'.') - 1);
    const std::optional<double> computed = signalAt(std::uint8_t(sensor), value);
    QVERIFY(computed);
    QString text = QString::number(*computed, 'f', decimals);
    if (text.startsWith(u'-') && text.mid(1).toDouble() == 0)
        text.remove(0, 1);
    if (slack == 0)
        QCOMPARE(text, signal);
    else
        QVERIFY2(std::abs(text.toDouble() - signal.toDouble()) <= slack * std::pow(10.0, -decimals) * 1.001, qPrintable(text));
}

void TestCharacteristics::outsideSpan()
{
    // The catalogue's ends, not the standards': nothing is extrapolated, in either direction.
    QVERIFY(!signalAt(K, 1372));
    QVERIFY(!signalAt(K, -271));
    QVERIFY(!signalAt(B, 0));
    QVERIFY(!signalAt(B, 100));
    QVERIFY(signalAt(Pt385, 450));
    QVERIFY(!signalAt(Pt385, 450.1));
    QVERIFY(!signalAt(Ni617, -70));
    QVERIFY(!signalAt(RLin, 261));
    QVERIFY(!signalAt(0, 0));
    QVERIFY(!signalAt(21, 0));
    QVERIFY(!signalAt(Pt385, 0, 0));
    QVERIFY(!signalAt(K, std::nan("")));
    QVERIFY(!valueAt(K, 54.886));
    QVERIFY(!valueAt(Pt385, 10));
    QVERIFY(!valueAt(ULin, std::nan("")));
}

void TestCharacteristics::roundTrip()
{
    for (const SensorDescriptor &sensor : sensorList()) {
        const CharacteristicSpan span = *characteristicSpan(sensor.id);
        for (const double nominalR : {50.0, 100.0}) {
            for (double t = span.lowest; t <= span.highest; t += 1) {
                const std::optional<double> signal = signalAt(sensor.id, t, nominalR);
                QVERIFY2(signal, sensor.name);
                const std::optional<double> back = valueAt(sensor.id, *signal, nominalR);
                QVERIFY2(back, qPrintable(QStringLiteral("%1 at %2").arg(QString::fromUtf8(sensor.name)).arg(t)));
                QVERIFY2(std::abs(*back - t) < 1e-6, qPrintable(QStringLiteral("%1 at %2: %3").arg(QString::fromUtf8(sensor.name)).arg(t).arg(*back)));
            }
        }
    }
}

void TestCharacteristics::points_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QuestionnaireChannel>("channel");
    QTest::addColumn<QStringList>("expected"); // "value signal output" per point, or the reason

    const auto ch = [](int sensor, const char *max, const char *min, std::optional<int> output,
                       std::optional<int> nominalR = std::nullopt, bool on = true) {
        QuestionnaireChannel c;
        c.sensorId = std::uint8_t(sensor);
        c.maxText = QString::fromLatin1(max);
        c.minText = QString::fromLatin1(min);
        c.output = output;
        c.nominalR = nominalR;
        c.inputOn = on;
        return c;
    };
    // Points on rows of the NIST type K table; "20..4 мА" falls as the value rises.
    QTest::newRow("K 610 20..4") << 0 << ch(K, "1000", "0", 1)
                                 << QStringList{u"0 0.000 20.000"_s, u"250 10.153 16.000"_s, u"500 20.644 12.000"_s,
                                                u"750 31.213 8.000"_s, u"1000 41.276 4.000"_s};
    // 720 "1..5 В" (file value 3); quarters of an odd span keep one decimal.
    QTest::newRow("K 720 1..5 V") << 4 << ch(K, "501", "0", 3)
                                  << QStringList{u"0 0.000 1.000"_s, u"125.3 * 2.000"_s, u"250.5 * 3.000"_s,
                                                 u"375.8 * 4.000"_s, u"501 20.687 5.000"_s};
    // "Отключен" (255) and a model without outputs: the value the device reports.
    QTest::newRow("off reports") << 4 << ch(ULin, "100", "-100", 255)
                                 << QStringList{u"-100 -100.000 -100"_s, u"-50 -50.000 -50"_s, u"0 0.000 0"_s,
                                                u"50 50.000 50"_s, u"100 100.000 100"_s};
    QTest::newRow("no outputs") << 8 << ch(RLin, "115", "15", std::nullopt)
                                << QStringList{u"15 15.000 15"_s, u"40 40.000 40"_s, u"65 65.000 65"_s,
                                               u"90 90.000 90"_s, u"115 115.000 115"_s};
    // Pt100 with R0 50 Ω (file value 0): 0 °C is R0; 4..20 mA.
    QTest::newRow("Pt R0 50") << 0 << ch(Pt385, "200", "-200", 0, 0)
                              << QStringList{u"-200 9.260 4.000"_s, u"-100 * 8.000"_s, u"0 50.000 12.000"_s,
                                             u"100 * 16.000"_s, u"200 * 20.000"_s};
    QTest::newRow("input off") << 4 << ch(K, "1000", "0", 1, std::nullopt, false) << QStringList{u"вход отключен"_s};
    QTest::newRow("too narrow") << 4 << ch(K, "100", "0", 1) << QStringList{u"диапазон измерения задан некорректно"_s};
    QTest::newRow("not a number") << 4 << ch(K, "1e3", "0", 1) << QStringList{u"диапазон измерения задан некорректно"_s};
}

void TestCharacteristics::points()
{
    QFETCH(int, model);
    QFETCH(QuestionnaireChannel, channel);
    QFETCH(QStringList, expected);
    Questionnaire q = withModel(Questionnaire(), model);
    q.firm = u"Фирма"_s;
    q.mail = u"a@b.ru"_s;
    q.channels[0] = channel;
    const ChannelPoints found = verificationPoints(q).front();
    QStringList texts;
    QList<int> percents;
    for (std::size_t i = 0; i < found.points.size(); ++i) {
        const VerificationPoint &point = found.points[i];
        // "*": a signal between table rows, which only the table rows above may vouch for.
        const bool anySignal = expected.value(qsizetype(i)).split(u' ').value(1) == u"*"_s;
        texts << pointValueText(point.value) + u' ' + (anySignal ? u"*"_s : signalText(point.signal)) + u' '
                        + outputText(found, point);
        percents << point.percent;
    }
    if (found.points.empty())
        texts << missingPointsText(found.missing);
    QCOMPARE(texts, expected);
    if (!percents.isEmpty())
        QCOMPARE(percents, (QList<int>{0, 25, 50, 75, 100}));
}

QTEST_GUILESS_MAIN(TestCharacteristics)
#include "tst_characteristics.moc"
