// Hundreds of damaged and hostile questionnaire files, each loaded through the form as a user
// would pick it. After every load the form must still be one the user can rely on, and whatever
// it lets the user save must load back without a warning and with the same settings.
#include "DamagedCorpus.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "FormDriver.h"
#include "core/DeviceModel.h"
#include "core/RangeLimits.h"
#include "core/Sensor.h"
#include "core/QuestionnaireFormat.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;
using namespace qsjuv;

namespace {

// --- What the user relies on ---------------------------------------------------------------

// A decimal integer of 32 bits, as the range edits hold one.
std::optional<int> integer(const QString &text)
{
    static const QRegularExpression pattern(u"^-?[0-9]{1,10}$"_s);
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    const qint64 value = text.toLongLong();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QStringList characteristicNames(SensorType type)
{
    QStringList names;
    for (const SensorDescriptor *sensor : sensorsOfType(type))
        names << QString::fromStdString(displayName(sensor->name));
    return names;
}

const SensorDescriptor *sensorByDisplayName(const QString &name)
{
    for (const SensorDescriptor &sensor : sensorList()) {
        if (QString::fromStdString(displayName(sensor.name)) == name)
            return &sensor;
    }
    return nullptr;
}

// Entries of the sensor-type list in their order.
constexpr SensorType kTypeOfEntry[] = {kSensorRtd, kSensorResistance, kSensorThermocouple, kSensorVoltage};

// Red as it shows while enabled: a disabled edit greys like any other.
bool isRed(const QLineEdit *e)
{
    return e->palette().color(QPalette::Active, QPalette::Text) == kRed;
}

QStringList channelProblems(const QuestionnaireWindow &form, int c)
{
    QStringList problems;
    const QByteArray p = "Ch" + QByteArray::number(c + 1);
    const auto name = [&p](const char *role) { return QByteArray(p + role); };
    const QComboBox *sensorBox = combo(form, name("SensorCombo").constData());
    const QComboBox *charBox = combo(form, name("CharCombo").constData());
    const QLineEdit *maxEdit = edit(form, name("MaxEdit").constData());
    const QLineEdit *minEdit = edit(form, name("MinEdit").constData());
    const auto *maxUpDown = control<TUpDown>(form, name("MaxUpDown").constData());

    const int sensorEntry = sensorBox->currentIndex();
    const QStringList chars = items(charBox);
    if (sensorEntry >= 0 && sensorEntry < 4) {
        if (chars != characteristicNames(kTypeOfEntry[sensorEntry]))
            problems << u"%1: characteristics %2 under sensor entry %3"_s.arg(QString::fromLatin1(p), chars.join(u','))
                                .arg(sensorEntry);
    } else if (std::none_of(std::begin(kTypeOfEntry), std::end(kTypeOfEntry),
                            [&](SensorType t) { return chars == characteristicNames(t); })) {
        problems << u"%1: characteristics %2 of no sensor type"_s.arg(QString::fromLatin1(p), chars.join(u','));
    }

    // The limits of the selected range: the characteristic's row, which the spinners follow.
    int lower = maxUpDown->minimum();
    int upper = maxUpDown->maximum();
    std::optional<float> minSpan;
    if (charBox->currentIndex() >= 0) {
        const SensorDescriptor *sensor = sensorByDisplayName(charBox->currentText());
        const RangeLimits *row = sensor ? rangeRow(isSeries610(combo(form, "DeviceCombo")->currentIndex()), sensor->id) : nullptr;
        if (!row) {
            problems << u"%1: no range row for %2"_s.arg(QString::fromLatin1(p), charBox->currentText());
            return problems;
        }
        if (truncatedLimit(row->lowerLimit) != lower || truncatedLimit(row->upperLimit) != upper)
            problems << u"%1: spinners %2..%3 but %4 has %5..%6"_s.arg(QString::fromLatin1(p)).arg(lower).arg(upper)
                                .arg(charBox->currentText()).arg(truncatedLimit(row->lowerLimit))
                                .arg(truncatedLimit(row->upperLimit));
        lower = truncatedLimit(row->lowerLimit);
        upper = truncatedLimit(row->upperLimit);
        minSpan = row->minSpan;
    }
    const auto max = integer(maxEdit->text());
    const auto min = integer(minEdit->text());
    const bool inLimits = max && min && *max >= lower && *max <= upper && *min >= lower && *min <= upper;
    const bool passes = inLimits && (!minSpan || double(qint64(*max) - *min) >= double(*minSpan));
    // Without a characteristic the least width is unknown here: only a failure is certain.
    const QString range = u"%1: range '%2'..'%3' in %4..%5"_s.arg(QString::fromLatin1(p), minEdit->text().left(20),
                                                                 maxEdit->text().left(20))
                                  .arg(lower)
                                  .arg(upper);
    if (!passes && !(isRed(maxEdit) && isRed(minEdit)))
        problems << range + u" not shown in red"_s;
    if (passes && minSpan && (isRed(maxEdit) || isRed(minEdit)))
        problems << range + u" passes but is shown in red"_s;
    return problems;
}

QStringList formProblems(const QuestionnaireWindow &form)
{
    QStringList problems;
    for (const QComboBox *box : form.findChildren<QComboBox *>()) {
        if (box->window() == &form && (box->currentIndex() < -1 || box->currentIndex() >= box->count()))
            problems << u"%1 at %2 of %3 entries"_s.arg(box->objectName()).arg(box->currentIndex()).arg(box->count());
    }
    const int model = combo(form, "DeviceCombo")->currentIndex();
    if (model < 0)
        problems << u"no model selected"_s;
    else if (control<QGroupBox>(form, "Ch2GroupBox")->isVisibleTo(&form) != showsChannel2(modelList()[model]))
        problems << u"channel 2 shown or hidden against the model"_s;
    for (int c = 0; c < 2; ++c)
        problems << channelProblems(form, c);
    if (form.isModified())
        problems << u"modified after a load"_s;
    return problems;
}

// What a save writes for the questionnaire the form holds, line by line: the file cannot tell
// "no selection" from the entry sharing its value (sensor 4's 50 ohm, the 720's "off").
QStringList savedSettings(const QuestionnaireWindow &form)
{
    return QString::fromLatin1(writeQuestionnaire(form.questionnaire()).bytes).split(u"\r\n"_s);
}

// Long texts shortened: a 1 MB edit must not flood the log.
QString firstDifference(const QStringList &before, const QStringList &after)
{
    for (qsizetype i = 0; i < qMax(before.size(), after.size()); ++i) {
        const QString a = before.value(i);
        const QString b = after.value(i);
        if (a != b)
            return u"setting %1 saved as '%2', loaded back as '%3'"_s.arg(i).arg(a.left(60), b.left(60));
    }
    return {};
}

} // namespace

class TestDamaged : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void corpusCoversTheDamage();
    void loadDamaged_data();
    void loadDamaged();
    void cleanupTestCase();

private:
    void saveAndLoadBack(const QByteArray &name);
    CorpusFolder m_corpus;
    std::unique_ptr<QuestionnaireWindow> m_form;
    int m_saved = 0;
};

void TestDamaged::initTestCase()
{
    const QString error = m_corpus.write();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // One form for the whole corpus: each load starts from whatever the last one left.
    m_form = std::make_unique<QuestionnaireWindow>();
}

void TestDamaged::corpusCoversTheDamage()
{
    const std::vector<Sample> &samples = m_corpus.samples();
    QVERIFY(samples.size() >= 300);
    QVERIFY(std::any_of(samples.begin(), samples.end(), [](const Sample &s) { return s.name.startsWith("fuzz-seed-"); }));
    const QStringList kinds = {u"-cut"_s, u"-reversed"_s, u"-shuffled"_s, u"-twice"_s, u"utf8"_s, u"utf16"_s,
                               u"99999999999"_s, u"610-111-sensor-9"_s, u"id-49"_s, u"huge-"_s, u"junk-"_s, u"nearly-empty-0"_s};
    for (const QString &kind : kinds) {
        QVERIFY2(std::any_of(samples.begin(), samples.end(),
                             [&](const Sample &s) { return QString::fromLatin1(s.name).contains(kind)
                                                           || QString::fromLatin1(s.bytes.left(200)).contains(kind); }),
                 qPrintable(kind));
    }
    QVERIFY(std::any_of(samples.begin(), samples.end(), [](const Sample &s) { return s.bytes.isEmpty(); }));
    QVERIFY(std::any_of(samples.begin(), samples.end(), [](const Sample &s) { return s.bytes.size() > 1'000'000; }));
}

void TestDamaged::loadDamaged_data()
{
    m_corpus.addTestRows();
}

void TestDamaged::loadDamaged()
{
    QFETCH(QByteArray, name);
    const auto [messages, unexpected] = loadThroughForm(*m_form, m_corpus.path(name));
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
    // At most the one warning about damaged data, never a second box; an error only for a file
    // that holds nothing of a questionnaire.
    QVERIFY(messages.size() <= 1);
    const Sample &sample = *std::find_if(m_corpus.samples().begin(), m_corpus.samples().end(),
                                         [&](const Sample &s) { return s.name == name; });
    const bool questionnaire = readQuestionnaire(ProfileReader(sample.bytes)).questionnaire();
    if (!messages.empty())
        QCOMPARE(messages[0].icon, questionnaire ? QMessageBox::Warning : QMessageBox::Critical);
    else
        QVERIFY(questionnaire);
    const QStringList problems = formProblems(*m_form);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    saveAndLoadBack(name);
}

// Completes the requisites as a user would, saves when the form lets it, and loads that file.
void TestDamaged::saveAndLoadBack(const QByteArray &name)
{
    QuestionnaireWindow &form = *m_form;
    if (edit(form, "FirmNameEdit")->text().isEmpty())
        edit(form, "FirmNameEdit")->setText(u"ООО Тест"_s);
    if (!mailFormatValid(edit(form, "MailEdit")->text()))
        edit(form, "MailEdit")->setText(u"test@example.com"_s);

    // The first box is either the refusal or the file dialog, which this probe cancels.
    {
        Answers probe;
        probe.press(QMessageBox::Ok).cancel();
        form.save();
        if (!probe.messages().empty()) {
            QCOMPARE(probe.messages()[0].icon, QMessageBox::Warning);
            return;
        }
        QVERIFY(probe.unexpected().isEmpty());
        QCOMPARE(FileDialog::dropNextFileNames(), 0);
    }

    const QStringList saved = savedSettings(form);
    const QString path = m_corpus.path(name, "saved.cfg");
    QCOMPARE(writeThroughForm(form, path).boxes(), QStringList{kSaved});
    ++m_saved;

    const auto [messages, unexpected] = loadThroughForm(*m_form, path);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
    QVERIFY2(messages.empty(), messages.empty() ? "" : qPrintable(messages[0].text));
    const QString difference = firstDifference(saved, savedSettings(form));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    const QStringList problems = formProblems(form);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TestDamaged::cleanupTestCase()
{
    // Most of the corpus must reach the save, or the round trip above proves little.
    qInfo("%d of %d loaded files were saved and loaded back", m_saved, int(m_corpus.samples().size()));
    QVERIFY(m_saved >= int(m_corpus.samples().size()) / 3);
}

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
