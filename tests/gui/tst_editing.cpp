// The channel cascade and the field validation, driven through the form's controls.
#include "Answers.h"
#include "FormDriver.h"
#include "core/RangeRules.h"

#include <QAccessible>

using namespace Qt::StringLiterals;

namespace {
const QStringList kAllTypes = {u"Термосопротивление"_s, u"Сопротивление"_s, u"Термопара"_s, u"Напряжение"_s};
const QStringList kOutputs720 = {u"Отключен"_s, u"0..20 мА"_s, u"4..20 мА"_s, u"0..5 В"_s,
                                 u"1..5 В"_s, u"0..10 В"_s, u"2..10 В"_s};

bool channelEnabled(const QWidget &form, int channel)
{
    const QByteArray p = "Ch" + QByteArray::number(channel);
    for (const char *role : {"SensorLabel", "SensorCombo", "CharLabel", "CharCombo", "MaxLabel", "MaxEdit",
                             "MaxUpDown", "MinLabel", "MinEdit", "MinUpDown", "ConnLabel", "ConnCombo",
                             "NomRLabel", "NomRCombo"}) {
        if (!control<QWidget>(form, (p + role).constData())->isEnabled())
            return false;
    }
    return true;
}

// Channel 1 set to Cu a=0.00428 (-180..200, least width 100), on a 610 model.
void selectCopper(QuestionnaireWindow &form)
{
    pickText(combo(form, "Ch1CharCombo"), u"Cu a=0.00428"_s);
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void modelTable_data();
    void modelTable();
    void twoOutputsOneInput();
    void sensorTypes();
    void characteristicAndInput();
    void comboExit();
    void userChoicesMarkModified_data();
    void userChoicesMarkModified();
    void typedTextKeepsNoSelection();
    void filterAndConversion();
    void rangeCheck();
    void rangeEditExitAndModified();
    void quantity();
    void undoWholeChanges();
};

void TestEditing::modelTable_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("channel2");
    QTest::addColumn<bool>("checksEnabled");
    QTest::addColumn<int>("sensorTypes");
    QTest::addColumn<int>("outputs"); // entries of an output combo; 0: hidden
    QTest::newRow("610-101") << u"ЖУВ-610-101"_s << false << false << 4 << 2;
    QTest::newRow("610-111") << u"ЖУВ-610-111"_s << false << false << 2 << 2;
    QTest::newRow("610-201") << u"ЖУВ-610-201"_s << true << false << 4 << 2;
    QTest::newRow("610-211") << u"ЖУВ-610-211"_s << true << false << 2 << 2;
    QTest::newRow("720-220") << u"ЖУВ-720-220"_s << true << true << 4 << 7;
    QTest::newRow("720-221") << u"ЖУВ-720-221"_s << true << true << 4 << 7;
    QTest::newRow("720-110") << u"ЖУВ-720-110"_s << false << true << 4 << 7;
    QTest::newRow("720-111") << u"ЖУВ-720-111"_s << false << true << 4 << 7;
    QTest::newRow("720-200") << u"ЖУВ-720-200"_s << true << true << 4 << 0;
    QTest::newRow("720-201") << u"ЖУВ-720-201"_s << true << true << 4 << 0;
    QTest::newRow("720-100") << u"ЖУВ-720-100"_s << false << true << 4 << 0;
    QTest::newRow("720-101") << u"ЖУВ-720-101"_s << false << true << 4 << 0;
}

void TestEditing::modelTable()
{
    QFETCH(QString, model);
    QFETCH(bool, channel2);
    QFETCH(bool, checksEnabled);
    QFETCH(int, sensorTypes);
    QFETCH(int, outputs);

    QuestionnaireWindow form;
    // Come from a model of the other series so that every level really changes.
    pickText(combo(form, "DeviceCombo"), model.contains(u"610"_s) ? u"ЖУВ-720-121"_s : u"ЖУВ-610-211"_s);
    pickText(combo(form, "DeviceCombo"), model);

    QCOMPARE(control<QGroupBox>(form, "Ch2GroupBox")->isHidden(), !channel2);
    const bool series610 = model.contains(u"610"_s);
    for (int c = 1; c <= 2; ++c) {
        const QByteArray p = "Ch" + QByteArray::number(c);
        QVERIFY(check(form, p + "InputCheck")->isChecked());
        QCOMPARE(check(form, p + "InputCheck")->isEnabled(), checksEnabled);
        QVERIFY(channelEnabled(form, c));
        QCOMPARE(items(combo(form, p + "SensorCombo")), kAllTypes.mid(0, sensorTypes));
        QCOMPARE(combo(form, p + "SensorCombo")->currentIndex(), 0);
        QCOMPARE(combo(form, p + "CharCombo")->count(), 5);
        QCOMPARE(edit(form, p + "MaxEdit")->text(), series610 ? u"350"_s : u"450"_s);
        QCOMPARE(combo(form, p + "ConnCombo")->isHidden(), !series610);
        QCOMPARE(combo(form, p + "NomRCombo")->currentText(), u"100"_s);
        QComboBox *output = combo(form, p + "OutputCombo");
        QCOMPARE(output->isHidden(), outputs == 0);
        QCOMPARE(label(form, p + "OutputLabel")->isHidden(), outputs == 0);
        QCOMPARE(output->count(), outputs);
        if (outputs == 7) {
            QCOMPARE(items(output), kOutputs720);
            QCOMPARE(output->currentIndex(), 2);
            QCOMPARE(output->toolTip(), u"Режимы работы выхода с релейным модулем ЖУВ-930 поверке не подлежат"_s);
        } else if (outputs == 2) {
            QCOMPARE(output->currentIndex(), 0);
            QVERIFY(output->toolTip().isEmpty());
        } else {
            QCOMPARE(output->currentIndex(), -1);
        }
    }
    // A model change rebuilds the channels: a change to save unless it is the model shown.
    QCOMPARE(form.isModified(), model != u"ЖУВ-610-101"_s);
}

void TestEditing::twoOutputsOneInput()
{
    QuestionnaireWindow form;
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-120"_s);
    QVERIFY(!control<QGroupBox>(form, "Ch2GroupBox")->isHidden());
    QVERIFY(check(form, "Ch1InputCheck")->isChecked() && check(form, "Ch1InputCheck")->isEnabled());
    QVERIFY(!check(form, "Ch2InputCheck")->isChecked() && !check(form, "Ch2InputCheck")->isEnabled());
    QVERIFY(!channelEnabled(form, 2));
    QVERIFY(!edit(form, "Ch2MaxEdit")->isEnabled());
    QCOMPARE(edit(form, "Ch2MaxEdit")->text(), u"450"_s); // disabled, but filled
    QCOMPARE(edit(form, "Ch2MinEdit")->text(), u"-200"_s);
    QVERIFY(combo(form, "Ch2OutputCombo")->isEnabled());
    QVERIFY(label(form, "Ch2OutputLabel")->isEnabled());
    QCOMPARE(combo(form, "Ch2OutputCombo")->currentText(), u"4..20 мА"_s);
    QVERIFY(!combo(form, "Ch2OutputCombo")->toolTip().isEmpty());

    // To another model of the same kind: the box stays unchecked, the channel stays off.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-121"_s);
    QVERIFY(!check(form, "Ch2InputCheck")->isChecked());
    QVERIFY(!channelEnabled(form, 2));

    // To a two-input model: checked, enabled, and the channel follows.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-220"_s);
    QVERIFY(check(form, "Ch2InputCheck")->isChecked() && check(form, "Ch2InputCheck")->isEnabled());
    QVERIFY(channelEnabled(form, 2));

    // A 610 model checks a box the user unchecked, then locks it.
    check(form, "Ch1InputCheck")->click();
    QVERIFY(!channelEnabled(form, 1));
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-610-101"_s);
    QVERIFY(check(form, "Ch1InputCheck")->isChecked() && !check(form, "Ch1InputCheck")->isEnabled());
    QVERIFY(channelEnabled(form, 1));
}

void TestEditing::sensorTypes()
{
    QuestionnaireWindow form; // ЖУВ-610-101
    QComboBox *sensor = combo(form, "Ch1SensorCombo");

    pickText(sensor, u"Сопротивление"_s);
    QCOMPARE(items(combo(form, "Ch1CharCombo")), QStringList{u"R lin"_s});
    QCOMPARE(label(form, "Ch1MaxLabel")->text(), u"R макс, Ом"_s);
    QCOMPARE(label(form, "Ch1MinLabel")->text(), u"R мин, Ом"_s);
    QVERIFY(!combo(form, "Ch1ConnCombo")->isHidden());
    QVERIFY(combo(form, "Ch1NomRCombo")->isHidden());
    QVERIFY(label(form, "Ch1NomRLabel")->isHidden());
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"235"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"5"_s);
    QVERIFY(combo(form, "Ch1CharCombo")->toolTip().endsWith(u"15 Ом"_s));
    QCOMPARE(combo(form, "Ch1NomRCombo")->count(), 0);
    QCOMPARE(combo(form, "Ch1NomRCombo")->currentIndex(), -1);

    pickText(sensor, u"Термопара"_s);
    QCOMPARE(items(combo(form, "Ch1CharCombo")),
             QStringList({u"B"_s, u"J"_s, u"K"_s, u"L"_s, u"S"_s, u"A-1"_s, u"A-2"_s, u"A-3"_s, u"E"_s,
                          u"M"_s, u"N"_s, u"R"_s, u"T"_s}));
    QVERIFY(combo(form, "Ch1ConnCombo")->isHidden());
    QVERIFY(combo(form, "Ch1NomRCombo")->isHidden());
    QCOMPARE(label(form, "Ch1MaxLabel")->text(), u"T макс, °С"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"200"_s); // B in the 610 table
    QVERIFY(combo(form, "Ch1CharCombo")->toolTip().endsWith(u"500 °С"_s));

    pickText(sensor, u"Напряжение"_s);
    QCOMPARE(items(combo(form, "Ch1CharCombo")), QStringList{u"U lin"_s});
    QCOMPARE(label(form, "Ch1MinLabel")->text(), u"U мин, мВ"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"140"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"-140"_s);
    QCOMPARE(combo(form, "Ch1CharCombo")->toolTip(), u"Минимальная ширина диапазона: 15 мВ"_s);

    // The 720 series: a wider resistance range, and no connection row.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-110"_s);
    pickText(combo(form, "Ch1SensorCombo"), u"Сопротивление"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"260"_s);
    QVERIFY(combo(form, "Ch1ConnCombo")->isHidden());
    pickText(combo(form, "Ch1SensorCombo"), u"Термопара"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"300"_s); // B in the 720 table
    QCOMPARE(items(combo(form, "Ch1OutputCombo")), kOutputs720);
}

void TestEditing::characteristicAndInput()
{
    QuestionnaireWindow form;
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-220"_s);
    combo(form, "Ch1ConnCombo")->setCurrentIndex(1);

    // Sensor 4 offers 50 and 100 ohms only.
    pickText(combo(form, "Ch1CharCombo"), u"Cu a=0.00426"_s);
    QCOMPARE(items(combo(form, "Ch1NomRCombo")), QStringList({u"50"_s, u"100"_s}));
    QCOMPARE(combo(form, "Ch1NomRCombo")->currentText(), u"100"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"-50"_s);

    // A characteristic change discards typed bounds; the connection survives.
    edit(form, "Ch1MaxEdit")->setText(u"150"_s);
    pickText(combo(form, "Ch1CharCombo"), u"Ni a=0.00617"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"180"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"-69"_s);
    QCOMPARE(control<TUpDown>(form, "Ch1MinUpDown")->minimum(), -69);
    QCOMPARE(combo(form, "Ch1ConnCombo")->currentIndex(), 1);

    // The input box enables positions 1..14 only.
    check(form, "Ch1InputCheck")->click();
    QVERIFY(!channelEnabled(form, 1));
    QVERIFY(combo(form, "Ch1OutputCombo")->isEnabled());
    QVERIFY(check(form, "Ch1InputCheck")->isEnabled());
    check(form, "Ch1InputCheck")->click();
    QVERIFY(channelEnabled(form, 1));

}

void TestEditing::comboExit()
{
    QuestionnaireWindow form;
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-220"_s);
    pickText(combo(form, "Ch2SensorCombo"), u"Термопара"_s);
    pickText(combo(form, "Ch2CharCombo"), u"K"_s);
    edit(form, "Ch2MaxEdit")->setText(u"900"_s);

    // Text that names no entry changes nothing, and leaving puts back the entry shown before.
    typeText(combo(form, "Ch2SensorCombo"), u"Термо"_s);
    QCOMPARE(combo(form, "Ch2SensorCombo")->currentIndex(), -1);
    QCOMPARE(combo(form, "Ch2SensorCombo")->currentText(), u"Термо"_s);
    QCOMPARE(combo(form, "Ch2CharCombo")->count(), 13); // not rebuilt as an RTD
    leave(combo(form, "Ch2SensorCombo"));
    QCOMPARE(combo(form, "Ch2SensorCombo")->currentText(), u"Термопара"_s);
    QCOMPARE(combo(form, "Ch2CharCombo")->currentText(), u"K"_s);
    QCOMPARE(edit(form, "Ch2MaxEdit")->text(), u"900"_s);

    const struct {
        const char *list, *typed, *shownAfter;
    } typos[] = {{"Ch2CharCombo", "xyz", "Pt a=0.00385"},
                 {"Ch1ConnCombo", "5", "4-проводная"},
                 {"Ch1NomRCombo", "7", "50"},
                 {"Ch1OutputCombo", "4..21 мА", "20..4 мА"},
                 {"Ch2OutputCombo", "4-20 мА", "4..20 мА"},
                 {"DeviceCombo", "ЖУВ-9", "ЖУВ-610-201"}};
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-610-201"_s);
    // The user goes to the lists: the typed field is left.
    combo(form, "Ch1ConnCombo")->setFocus();
    pickText(combo(form, "Ch1ConnCombo"), u"4-проводная"_s);
    pickText(combo(form, "Ch1NomRCombo"), u"50"_s);
    pickText(combo(form, "Ch1OutputCombo"), u"20..4 мА"_s);
    edit(form, "Ch1MaxEdit")->setText(u"300"_s);
    for (const auto &t : typos) {
        QComboBox *list = combo(form, t.list);
        typeText(list, QString::fromUtf8(t.typed));
        QCOMPARE(list->currentIndex(), -1);
        QVERIFY(!control<QGroupBox>(form, "Ch2GroupBox")->isHidden()); // untouched while typing
        leave(list);
        QCOMPARE(list->currentText(), QString::fromUtf8(t.shownAfter));
        QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"300"_s); // nothing rebuilt
    }

    // A list a load left without an entry gets the one the model gives it when it is left.
    qsjuv::Questionnaire loaded = form.questionnaire();
    loaded.channels[0].output.reset();
    form.setQuestionnaire(loaded);
    QCOMPARE(combo(form, "Ch1OutputCombo")->currentIndex(), -1);
    leave(combo(form, "Ch1OutputCombo"));
    QCOMPARE(combo(form, "Ch1OutputCombo")->currentText(), u"4..20 мА"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"300"_s);

    // Real focus moves run the exit handlers too.
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    pickText(combo(form, "Ch1CharCombo"), u"Ni a=0.00617"_s);
    combo(form, "Ch1CharCombo")->setFocus();
    typeText(combo(form, "Ch1CharCombo"), u"zz"_s);
    edit(form, "Ch1MinEdit")->setFocus();
    QCOMPARE(combo(form, "Ch1CharCombo")->currentText(), u"Ni a=0.00617"_s);
    edit(form, "Ch1MinEdit")->clear();
    edit(form, "Ch1MaxEdit")->setFocus();
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"0"_s);

    // Typing an entry's text, in any letter case and with blanks at the ends, selects it and
    // runs the level; the text stays as typed until the list is left.
    for (const QString &typed : {u"напряжение"_s, u"Сопротивление "_s}) {
        typeText(combo(form, "Ch1SensorCombo"), typed);
        QCOMPARE(combo(form, "Ch1SensorCombo")->currentText(), typed);
        QCOMPARE(qsjuv::sensorById(form.questionnaire().channels[0].sensorId)->name,
                 items(combo(form, "Ch1CharCombo")).front().toStdString());
    }
    leave(combo(form, "Ch1SensorCombo"));
    QCOMPARE(combo(form, "Ch1SensorCombo")->currentText(), u"Сопротивление"_s);
    QCOMPARE(items(combo(form, "Ch1CharCombo")), QStringList{u"R lin"_s});
    typeText(combo(form, "DeviceCombo"), u"жув-720-110"_s);
    QVERIFY(control<QGroupBox>(form, "Ch2GroupBox")->isHidden());
    leave(combo(form, "DeviceCombo"));
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-720-110"_s);
}

void TestEditing::userChoicesMarkModified_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("action"); // "click", "pick:<entry>" or "type:<text>"
    QTest::newRow("input switched off") << u"ЖУВ-720-220"_s << QByteArray("Ch2InputCheck") << u"click"_s;
    QTest::newRow("output picked") << u"ЖУВ-720-220"_s << QByteArray("Ch1OutputCombo") << u"pick:0..5 В"_s;
    QTest::newRow("output typed in lower case") << u"ЖУВ-720-110"_s << QByteArray("Ch1OutputCombo") << u"type:отключен"_s;
    QTest::newRow("connection picked") << u"ЖУВ-610-101"_s << QByteArray("Ch1ConnCombo") << u"pick:4-проводная"_s;
    QTest::newRow("nominal resistance picked") << u"ЖУВ-610-101"_s << QByteArray("Ch1NomRCombo") << u"pick:50"_s;
    QTest::newRow("nominal resistance typed") << u"ЖУВ-610-201"_s << QByteArray("Ch2NomRCombo") << u"type:50"_s;
    QTest::newRow("model picked, channels reset") << u"ЖУВ-610-101"_s << QByteArray("DeviceCombo") << u"pick:ЖУВ-720-220"_s;
    QTest::newRow("sensor picked, range reset") << u"ЖУВ-720-220"_s << QByteArray("Ch2SensorCombo") << u"pick:Термопара"_s;
}

// Every choice the file keeps changes the questionnaire: closing must ask.
void TestEditing::userChoicesMarkModified()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, control);
    QFETCH(QString, action);
    QuestionnaireWindow form;
    pickText(combo(form, "DeviceCombo"), model);
    QCoreApplication::processEvents(); // each user action is an event of its own
    const qsjuv::Questionnaire before = form.questionnaire();
    if (action == u"click"_s)
        check(form, control.constData())->click();
    else if (action.startsWith(u"pick:"_s))
        pickText(combo(form, control.constData()), action.mid(5));
    else
        typeText(combo(form, control.constData()), action.mid(5));
    QVERIFY(form.questionnaire() != before);
    QVERIFY(form.isModified());
    // Each choice is one step of the history.
    const qsjuv::Questionnaire after = form.questionnaire();
    form.undo();
    QCOMPARE(form.questionnaire(), before);
    form.redo();
    QCOMPARE(form.questionnaire(), after);
}

void TestEditing::typedTextKeepsNoSelection()
{
    QuestionnaireWindow form;
    const QString before = edit(form, "Ch1MaxEdit")->text();
    // A characteristic combo without selection: the handler leaves the channel as it is.
    typeText(combo(form, "Ch1CharCombo"), u"Pt"_s);
    QCOMPARE(combo(form, "Ch1CharCombo")->currentIndex(), -1);
    QCOMPARE(combo(form, "Ch1CharCombo")->currentText(), u"Pt"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), before);
}

void TestEditing::filterAndConversion()
{
    const std::pair<const char *, const char *> filtered[] = {
        {"abc12", "12"}, {"1-2", "12"}, {"x-5", "-5"}, {"--5", "-5"}, {"5-", "5"}, {"1 300", "1300"},
        {"a-b-c", "-"}, {"", ""}, {"١٢3", "3"}, {"+7", "7"}, {"1,000.5", "10005"}};
    for (const auto &[in, out] : filtered)
        QCOMPARE(qsjuv::filterDigits(QString::fromUtf8(in)), QString::fromUtf8(out));

    QCOMPARE(qsjuv::strictToInt(u"-2147483648"), std::optional<int>(-2147483647 - 1));
    QCOMPARE(qsjuv::strictToInt(u"2147483647"), std::optional<int>(2147483647));
    QVERIFY(!qsjuv::strictToInt(u"2147483648"));
    QVERIFY(!qsjuv::strictToInt(u"99999999999"));
    QVERIFY(!qsjuv::strictToInt(u"-"));
    QVERIFY(!qsjuv::strictToInt(u""));
    QVERIFY(!qsjuv::strictToInt(u"12a"));
    QCOMPARE(qsjuv::strictToInt(u"007"), std::optional<int>(7));

    QVERIFY(qsjuv::spanPasses(100, -200, 300.0f));
    QVERIFY(!qsjuv::spanPasses(-2'000'000'000, 2'000'000'000, 100.0f)); // no wrap-around
    QVERIFY(qsjuv::spanPasses(2'000'000'000, -2'000'000'000, 100.0f));
}

// Nothing typed is rewritten while it is typed: a bound that the check would change, or a range
// too narrow, shows red; leaving the edit (or any output) holds it to the limits.
void TestEditing::rangeCheck()
{
    QuestionnaireWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    selectCopper(form); // -180..200, least width 100
    QLineEdit *max = edit(form, "Ch1MaxEdit");
    QLineEdit *min = edit(form, "Ch1MinEdit");
    const QColor normal = form.palette().color(QPalette::WindowText);
    const auto typeInto = [](QLineEdit *e, const QString &keys) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, keys);
    };

    typeInto(max, u"abc1-2"_s); // refused keystroke by keystroke
    QCOMPARE(max->text(), u"12"_s);
    // A typographic minus or a dash is the minus, typed or pasted.
    for (const QChar dash : {QChar(0x2212), QChar(0x2013), QChar(0xFF0D)}) {
        min->setFocus();
        min->selectAll();
        for (const QChar c : dash + u"50"_s)
            typeChar(form, c);
        QCOMPARE(min->text(), u"-50"_s);
    }
    min->selectAll();
    min->insert(u"\u2212150"_s);
    QCOMPARE(min->text(), u"-150"_s);
    const struct {
        const char *max, *min, *maxLeft, *minLeft;
        bool redWhileTyped, redLeft;
    } bounds[] = {{"400", "-180", "200", "-180", true, false}, // held on leaving, not before
                  {"200", "-250", "200", "-180", true, false},
                  {"100", "0", "100", "0", false, false}, // span equal to the least width passes
                  {"99", "0", "99", "0", true, true},
                  {"0", "300", "0", "300", true, true}, // the minimum is not held to the upper limit
                  {"2000000000", "-2000000000", "200", "-180", true, false},
                  {"-2000000000", "2000000000", "-2000000000", "2000000000", true, true},
                  {"99999999999", "-180", "99999999999", "-180", true, true}, // beyond 32 bits: no number
                  {"", "-", "0", "0", true, true}};
    for (const auto &b : bounds) {
        max->setText(QString::fromLatin1(b.max));
        min->setText(QString::fromLatin1(b.min));
        QCOMPARE(max->text(), QString::fromLatin1(b.max));
        QCOMPARE(textColour(max), b.redWhileTyped ? kRed : normal);
        QCOMPARE(textColour(min), b.redWhileTyped ? kRed : normal);
        leave(max);
        leave(min);
        QCOMPARE(max->text(), QString::fromLatin1(b.maxLeft));
        QCOMPARE(min->text(), QString::fromLatin1(b.minLeft));
        QCOMPARE(textColour(max), b.redLeft ? kRed : normal);
    }

    // A screen reader hears the hint while the range passes, and why while it is refused, from
    // the edits and from their arrows.
    const auto described = [](QWidget *w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
    };
    max->setText(u"99"_s);
    min->setText(u"0"_s);
    for (QWidget *w : {static_cast<QWidget *>(max), static_cast<QWidget *>(min),
                       control<QWidget>(form, "Ch1MaxUpDown"), control<QWidget>(form, "Ch1MinUpDown")})
        QCOMPARE(described(w), u"Некорректно задан диапазон измерения. Ширина диапазона: 99 °С. "
                                "Минимальная ширина диапазона: 100 °С"_s);
    // Disabled, a red edit greys as every other edit does; enabled, it is red again.
    const QColor disabled = edit(form, "QntyEdit")->palette().color(QPalette::Disabled, QPalette::Text);
    max->setEnabled(false);
    QCOMPARE(textColour(max), disabled);
    max->setEnabled(true);
    QCOMPARE(textColour(max), kRed);
    max->setText(u"200"_s);
    QCOMPARE(described(min), min->toolTip());

    // A spinner's step is no typing: its group separator goes and the limits hold at once.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-220"_s);
    pickText(combo(form, "Ch1SensorCombo"), u"Термопара"_s);
    pickText(combo(form, "Ch1CharCombo"), u"B"_s);
    min->setText(u"1299"_s);
    control<TUpDown>(form, "Ch1MinUpDown")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(min->text(), u"1300"_s);

    // M: -200..100 with least width 300 passes at its full range.
    pickText(combo(form, "Ch1CharCombo"), u"M"_s);
    QCOMPARE(textColour(max), normal);
}

void TestEditing::rangeEditExitAndModified()
{
    QuestionnaireWindow form;
    selectCopper(form);
    QLineEdit *max = edit(form, "Ch1MaxEdit");
    QLineEdit *min = edit(form, "Ch1MinEdit");
    QVERIFY(form.isModified());
    max->setText(u"99"_s);
    min->setText(u"0"_s);
    QCOMPARE(textColour(max), kRed);
    max->setText(QString());
    QCOMPARE(textColour(max), kRed);
    leave(max);
    QCOMPARE(max->text(), u"0"_s);
    max->setText(u"5"_s);
    leave(max); // other texts stay as they are
    QCOMPARE(max->text(), u"5"_s);
}

// The quantity as typed: never rewritten while typed, red until it is a number within 1..999,
// corrected when left.
void TestEditing::quantity()
{
    QuestionnaireWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QLineEdit *qnty = edit(form, "QntyEdit");
    const QColor normal = textColour(qnty);
    const struct {
        const char *typed, *left;
        bool red;
    } cases[] = {{"0", "1", true}, {"1000", "999", true}, {"", "1", true}, {"007", "007", false},
                 {"99999999999", "999", true}, {"-99999999999", "1", true}, {"25", "25", false}};
    for (const auto &c : cases) {
        qnty->setText(QString::fromLatin1(c.typed));
        QCOMPARE(qnty->text(), QString::fromLatin1(c.typed));
        QCOMPARE(textColour(qnty), c.red ? kRed : normal);
        leave(qnty);
        QCOMPARE(qnty->text(), QString::fromLatin1(c.left));
    }
    // "1", Backspace, "25": the emptied edit is not refilled under the typing, nor a letter taken.
    qnty->setText(u"1"_s);
    qnty->setFocus();
    qnty->end(false);
    QTest::keyClick(qnty, Qt::Key_Backspace);
    QTest::keyClicks(qnty, u"25x"_s);
    QCOMPARE(qnty->text(), u"25"_s);
    QVERIFY(form.isModified());
    QTest::keyClick(qnty, Qt::Key_Backspace);
    QTest::keyClick(qnty, Qt::Key_Backspace);
    QTest::keyClicks(qnty, u"1"_s);
    QVERIFY(!form.isModified()); // back to what was there: nothing to save
}


// Ctrl+Z takes back a whole change, typed text once finished included, even from inside the
// edit; the mark follows; a model choice keeps the connection; the wheel over a list the user
// is not in changes nothing.
void TestEditing::undoWholeChanges()
{
    QuestionnaireWindow form;
    form.show();
    QVERIFY(activated(form));
    QLineEdit *firm = edit(form, "FirmNameEdit");
    firm->setFocus();
    QTest::keyClicks(firm, u"ACME"_s);
    QVERIFY(form.isModified());
    QTest::keyClick(firm, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(firm->text(), QString());
    QVERIFY(!form.isModified());
    QTest::keyClick(firm, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(firm->text(), u"ACME"_s);
    QVERIFY(form.isModified());

    pickText(combo(form, "Ch1ConnCombo"), u"4-проводная"_s);
    pickText(combo(form, "Ch1SensorCombo"), u"Сопротивление"_s);
    edit(form, "Ch1MaxEdit")->setFocus();
    edit(form, "Ch1MaxEdit")->setText(u"200"_s);
    combo(form, "DeviceCombo")->setFocus();
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-610-201"_s);
    // The wiring on site is no model's: it survives the reset.
    QCOMPARE(combo(form, "Ch1ConnCombo")->currentText(), u"4-проводная"_s);
    QCOMPARE(combo(form, "Ch1SensorCombo")->currentIndex(), 0);
    // Undo of the reset brings back the typed range and the sensor, redo the reset.
    const qsjuv::Questionnaire reset = form.questionnaire();
    QTest::keyClick(firm, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"200"_s);
    QCOMPARE(combo(form, "Ch1SensorCombo")->currentText(), u"Сопротивление"_s);
    QCOMPARE(combo(form, "Ch1ConnCombo")->currentText(), u"4-проводная"_s);
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-610-101"_s);
    QTest::keyClick(firm, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(form.questionnaire(), reset);
    const qsjuv::Questionnaire shown = form.questionnaire();
    QComboBox *model = combo(form, "DeviceCombo");
    firm->setFocus();
    QVERIFY(!model->hasFocus());
    QWheelEvent wheel(QPointF(5, 5), model->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(model, &wheel);
    QCOMPARE(form.questionnaire(), shown);
    QVERIFY(!model->hasFocus());

    // An empty list the window disables while showing a value keeps its emptiness: losing the
    // focus that way is no leaving it.
    qsjuv::Questionnaire empty = form.questionnaire();
    empty.channels[0].connection.reset();
    form.setQuestionnaire(empty);
    combo(form, "Ch1ConnCombo")->setFocus();
    QVERIFY(combo(form, "Ch1ConnCombo")->hasFocus());
    empty.channels[0].inputOn = false;
    form.setQuestionnaire(empty);
    QCOMPARE(form.questionnaire().channels[0].connection, std::nullopt);

    // An empty list left for an edit takes its entry as a step of its own: undo of what is then
    // typed there keeps the entry.
    empty.channels[0].inputOn = true;
    form.setQuestionnaire(empty);
    combo(form, "Ch1ConnCombo")->setFocus();
    firm->setFocus();
    QVERIFY(form.questionnaire().channels[0].connection.has_value());
    QTest::keyClicks(firm, u"X"_s);
    QTest::keyClick(firm, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(form.questionnaire().channels[0].connection.has_value());
    QTest::keyClick(firm, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.questionnaire().channels[0].connection, std::nullopt);

    // A command finishes the field being typed before it makes the step: the history never
    // holds a quantity the form corrects.
    QLineEdit *quantity = edit(form, "QntyEdit");
    quantity->setFocus();
    quantity->selectAll();
    QTest::keyClicks(quantity, u"0"_s);
    {
        Answers script;
        script.press(QMessageBox::Ok);
        form.loadFile(u"/nonexistent/q.cfg"_s);
    }
    QCOMPARE(form.questionnaire().quantity, u"1"_s);
    QTest::keyClick(firm, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.questionnaire().quantity, u"1"_s);
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
