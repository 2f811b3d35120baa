// Hundreds of damaged and hostile questionnaire files, each loaded through the form as a user
// would pick it. After every load the form must still be one the user can rely on, and whatever
// it lets the user save must load back without a warning and with the same settings.
#include "gui/FormDriver.h"
#include "gui/ModalScript.h"
#include "core/DeviceModel.h"
#include "core/RangeLimits.h"
#include "core/Sensor.h"
#include "core/Cp1251.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <QDir>

#include <algorithm>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;
using namespace qsjuv;

namespace {

const QString kSaved = u"Файл успешно сохранен."_s;

// --- Valid questionnaires ------------------------------------------------------------------

ChannelSettings channel(int sensorId, int nomR, int conn, int output, const char *max, const char *min,
                        bool on = true)
{
    ChannelSettings ch;
    ch.inputOn = on;
    ch.sensorId = sensorId;
    ch.nomRPosition = nomR;
    ch.connPosition = conn;
    ch.outputPosition = output;
    ch.maxText = max;
    ch.minText = min;
    return ch;
}

QByteArray questionnaire(int model, std::vector<ChannelSettings> channels, const QString &firm = u"ООО «Ромашка»"_s,
                         const char *bill = "")
{
    QuestionnaireSettings s;
    s.modelPosition = model;
    s.modelName = *toCp1251(QString::fromStdString(modelListText(modelList()[model])));
    s.channels = std::move(channels);
    s.firm = toCp1251Lossy(firm);
    s.phone = "+7 (495) 123-45-67";
    s.mail = "zakaz@example.ru";
    s.bill = bill;
    s.quantity = "3";
    return writeQuestionnaire(s).bytes;
}

// Every series, one- and two-channel models, each sensor type, outputs on and off.
std::vector<QByteArray> validFiles()
{
    return {
        questionnaire(0, {channel(1, 1, 0, 0, "300", "-200")}, u"ACME"_s, "17"),
        questionnaire(2, {channel(12, -1, 0, 1, "1000", "200"), channel(20, -1, 1, 0, "235", "5")}),
        questionnaire(3, {channel(4, 1, 1, 0, "200", "-50"), channel(5, 0, 0, 1, "180", "-69")}),
        questionnaire(4, {channel(19, -1, 0, 6, "140", "-140"), channel(9, -1, 0, 0, "1820", "300")}),
        questionnaire(12, {channel(2, 1, 0, 3, "440", "-200"), channel(4, 0, 0, 2, "200", "-50", false)}),
        questionnaire(10, {channel(14, -1, 0, -1, "100", "-200")}, u"ИП Иванов"_s, "Счёт 5"),
        questionnaire(8, {channel(3, 0, 0, -1, "150", "-30"), channel(16, -1, 0, -1, "1760", "-50")}),
    };
}

// --- Editing files -------------------------------------------------------------------------

QList<QByteArray> linesOf(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray joined(const QList<QByteArray> &lines, const QByteArray &end = "\r\n")
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + end;
    return out;
}

struct Section
{
    QByteArray header;
    QList<QByteArray> keys;
};

std::vector<Section> sectionsOf(const QByteArray &file)
{
    std::vector<Section> sections;
    for (const QByteArray &line : linesOf(file)) {
        if (line.startsWith('['))
            sections.push_back({line, {}});
        else if (!sections.empty())
            sections.back().keys << line;
    }
    return sections;
}

QByteArray fileOf(const std::vector<Section> &sections)
{
    QList<QByteArray> lines;
    for (const Section &s : sections)
        lines << s.header << s.keys;
    return joined(lines);
}

// The value of key in section replaced (the key line dropped for a null value).
QByteArray withValue(const QByteArray &file, const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    std::vector<Section> sections = sectionsOf(file);
    for (Section &s : sections) {
        if (s.header != '[' + section + ']')
            continue;
        for (qsizetype i = 0; i < s.keys.size(); ++i) {
            if (s.keys[i].startsWith(key + '=')) {
                if (value.isNull())
                    s.keys.removeAt(i);
                else
                    s.keys[i] = key + '=' + value;
                break;
            }
        }
    }
    return fileOf(sections);
}

// The check code made to match again, so the loader goes on to the requisites.
QByteArray resigned(const QByteArray &file)
{
    const QuestionnaireRead read = readQuestionnaire(ProfileReader(file));
    return withValue(file, "Reqs", "CheckCode", QByteArray::number(read.sum));
}

QByteArray encoded(const QByteArray &cp1251, QStringConverter::Encoding encoding, bool bom)
{
    QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(fromCp1251(cp1251));
}

// --- The corpus ----------------------------------------------------------------------------

struct Sample
{
    QByteArray name;
    QByteArray bytes;
};

class Corpus
{
public:
    void add(const QByteArray &name, const QByteArray &bytes) { m_samples.push_back({name, bytes}); }
    // Both with the check code left wrong and made to match again.
    void addSignedAndNot(const QByteArray &name, const QByteArray &bytes)
    {
        add(name, bytes);
        add(name + "-signed", resigned(bytes));
    }
    const std::vector<Sample> &samples() const { return m_samples; }

private:
    std::vector<Sample> m_samples;
};

void addCutsAndReorders(Corpus &corpus, const QByteArray &tag, const QByteArray &base, std::mt19937 &random)
{
    corpus.add(tag, base);
    for (int k = 1; k <= 8; ++k)
        corpus.add(tag + "-cut" + QByteArray::number(k), base.first(base.size() * k / 9));
    corpus.add(tag + "-cut-line-end", base.chopped(1));
    corpus.add(tag + "-cut-code", base.chopped(4));

    QList<QByteArray> lines = linesOf(base);
    std::reverse(lines.begin(), lines.end());
    corpus.add(tag + "-lines-reversed", joined(lines));
    std::vector<Section> sections = sectionsOf(base);
    std::reverse(sections.begin(), sections.end());
    corpus.add(tag + "-sections-reversed", fileOf(sections));
    sections = sectionsOf(base);
    for (Section &s : sections)
        std::shuffle(s.keys.begin(), s.keys.end(), random);
    corpus.add(tag + "-keys-shuffled", fileOf(sections));
    QByteArray swapped = base;
    swapped.replace("[Channel 1]", "[Channel X]").replace("[Channel 2]", "[Channel 1]").replace("[Channel X]", "[Channel 2]");
    corpus.addSignedAndNot(tag + "-channels-swapped", swapped);
}

void addDuplicates(Corpus &corpus, const QByteArray &tag, const QByteArray &base)
{
    // Every key twice, the copy with another value: once after, once before the original.
    QList<QByteArray> after;
    QList<QByteArray> before;
    QList<QByteArray> upper;
    for (const QByteArray &line : linesOf(base)) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            after << line;
            before << line;
            upper << line;
            continue;
        }
        const QByteArray other = line.first(eq + 1) + (line.endsWith('1') ? "0" : "1");
        after << line << other;
        before << other << line;
        upper << line << line.first(eq).toUpper() + "=7";
    }
    corpus.add(tag + "-keys-twice", joined(after));
    corpus.addSignedAndNot(tag + "-keys-twice-first-wrong", joined(before));
    corpus.add(tag + "-keys-twice-upper-case", joined(upper));

    // A second, different copy of every section: only the first of a name is read.
    QByteArray altered = base;
    altered.replace("Sensor id=", "Sensor id=1").replace("id=", "id=9");
    corpus.add(tag + "-sections-twice", base + altered);
    corpus.addSignedAndNot(tag + "-sections-twice-first-wrong", altered + base);
}

void addEncodings(Corpus &corpus, const QByteArray &tag, const QByteArray &base)
{
    corpus.add(tag + "-lf", joined(linesOf(base), "\n"));
    corpus.add(tag + "-cr", joined(linesOf(base), "\r"));
    corpus.add(tag + "-blank-lines-and-spaces", joined(linesOf(base), "  \r\n\t\r\n").replace("=", " = "));
    corpus.add(tag + "-utf8-bom", encoded(base, QStringConverter::Utf8, true));
    corpus.add(tag + "-utf8", encoded(base, QStringConverter::Utf8, false));
    corpus.add(tag + "-utf16le-bom", encoded(base, QStringConverter::Utf16LE, true));
    corpus.add(tag + "-utf16be-bom", encoded(base, QStringConverter::Utf16BE, true));
    corpus.add(tag + "-utf16le", encoded(base, QStringConverter::Utf16LE, false));
    corpus.add(tag + "-utf16le-odd", encoded(base, QStringConverter::Utf16LE, true).chopped(1));
}

// Texts a number field may hold in a damaged file: wrong types and numbers beyond 32 bits.
const QList<QByteArray> kHostileNumbers = {
    "abc", "1.5", " 7 ", "+3", "-", "--3", "0x1F", "99999999999", "-99999999999", "2147483648",
    "4294967297", "-2147483649", "18446744073709551617", "0300", "-1", "255", "256", "\"2\"",
};

void addWrongValues(Corpus &corpus, const QByteArray &tag, const QByteArray &base, int salt)
{
    int n = salt;
    for (const Section &s : sectionsOf(base)) {
        const QByteArray section = s.header.sliced(1).chopped(1);
        for (const QByteArray &line : s.keys) {
            const QByteArray key = line.first(line.indexOf('='));
            if (key == "name" || key == "Version" || key == "Firm" || key == "Phone" || key == "Mail" || key == "Bill")
                continue;
            for (int i = 0; i < 2; ++i) {
                const QByteArray value = kHostileNumbers[n++ % kHostileNumbers.size()];
                const QByteArray name = tag + '-' + section + '-' + key + '-' + QByteArray::number(i);
                const QByteArray changed = withValue(base, section, key, value);
                if (key == "CheckCode")
                    corpus.add(name, changed);
                else if (i == 0)
                    corpus.add(name, resigned(changed));
                else
                    corpus.add(name, changed);
            }
        }
    }
}

void addCatalogueMisses(Corpus &corpus, const std::vector<QByteArray> &valid)
{
    // Sensors the model does not offer, ids of no sensor, and numbers whose low 8 bits name one.
    const QByteArray sensorIds[] = {"9", "19", "20", "0", "21", "255", "257", "-255", "65545"};
    for (const QByteArray &id : sensorIds) {
        QByteArray onlyRtd = withValue(valid[0], "Device", "id", "52"); // ЖУВ-610-111
        onlyRtd = withValue(onlyRtd, "Channel 1", "Sensor id", id);
        corpus.addSignedAndNot("610-111-sensor-" + id, onlyRtd);
        corpus.add("610-211-sensor-" + id,
                   resigned(withValue(withValue(valid[2], "Channel 2", "Sensor id", id), "Channel 2", "Sensor type", "2")));
    }
    // Ids of no model, and ids whose low 8 bits name one.
    const QByteArray modelIds[] = {"0", "1", "49", "54", "79", "90", "255", "336", "-176", "4294967376", "x"};
    for (const QByteArray &id : modelIds) {
        corpus.addSignedAndNot("id-" + id + "-one-channel", withValue(valid[0], "Device", "id", id));
        corpus.add("id-" + id + "-two-channels", resigned(withValue(valid[3], "Device", "id", id)));
    }
    // A one-channel model with a second channel section, a two-channel model without one.
    corpus.add("extra-channel", resigned(withValue(valid[1], "Device", "id", "50")));
    corpus.add("missing-channel", resigned(withValue(valid[0], "Device", "id", "51")));
    corpus.add("no-id", withValue(valid[3], "Device", "id", QByteArray()));
    corpus.add("no-id-no-code", withValue(withValue(valid[3], "Device", "id", QByteArray()), "Reqs", "CheckCode", QByteArray()));
    corpus.add("no-code", withValue(valid[4], "Reqs", "CheckCode", QByteArray()));
}

void addHugeAndJunk(Corpus &corpus, const QByteArray &base, std::mt19937 &random)
{
    const QByteArray mega(1 << 20, '7');
    corpus.add("huge-max", resigned(withValue(base, "Channel 1", "Temperature max", mega)));
    corpus.add("huge-min", resigned(withValue(base, "Channel 1", "Temperature min", '-' + mega)));
    corpus.add("huge-firm", withValue(base, "Reqs", "Firm", QByteArray(1 << 20, 'F')));
    corpus.add("huge-key-name", base + QByteArray(1 << 20, 'k') + "=1\r\n");
    corpus.add("huge-line-without-equals", QByteArray(1 << 20, 'z') + "\r\n" + base);
    corpus.add("huge-section-name", "[" + QByteArray(1 << 20, 's') + "]\r\n" + base);
    corpus.add("huge-blank-line", QByteArray(1 << 20, ' ') + "\r\n" + base);

    std::uniform_int_distribution<int> byte(0, 255);
    const auto junk = [&](int size) {
        QByteArray out(size, '\0');
        for (char &c : out)
            c = char(byte(random));
        return out;
    };
    for (const int size : {1, 2, 7, 64, 512, 4096, 65536})
        corpus.add("junk-" + QByteArray::number(size), junk(size));
    corpus.add("junk-then-file", junk(300) + "\r\n" + base);
    corpus.add("file-then-junk", base + junk(300));
    corpus.add("nul-inside-values", QByteArray(base).replace("=3", QByteArray("=3\0\0 9", 6)));
    corpus.add("eof-marks", QByteArray(base).replace("\r\n", "\x1a\r\n"));
    for (int i = 0; i < 12; ++i) {
        QByteArray flipped = base;
        for (int f = 0; f <= i; ++f)
            flipped[std::uniform_int_distribution<int>(0, int(base.size()) - 1)(random)] = char(byte(random));
        corpus.add("flipped-" + QByteArray::number(i + 1), flipped);
    }
}

void addNearlyEmpty(Corpus &corpus)
{
    const QByteArray files[] = {"", "\r\n", "   \t ", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "[Device]",
                                "[Device]\r\nid=50", "id=50\r\nCheckCode=101", "[]\r\n=\r\n", "=", "[Reqs]\r\nCheckCode=0",
                                "[Device]\r\nid=80\r\n[Reqs]\r\nCheckCode=104"};
    int i = 0;
    for (const QByteArray &file : files)
        corpus.add("nearly-empty-" + QByteArray::number(i++), file);
}

std::vector<Sample> damagedCorpus()
{
    std::mt19937 random(610720);
    const std::vector<QByteArray> valid = validFiles();
    Corpus corpus;
    for (size_t b = 0; b < valid.size(); ++b) {
        const QByteArray tag = "base" + QByteArray::number(qulonglong(b));
        addCutsAndReorders(corpus, tag, valid[b], random);
        addDuplicates(corpus, tag, valid[b]);
        addEncodings(corpus, tag, valid[b]);
        if (b < 4)
            addWrongValues(corpus, tag, valid[b], int(b) * 5);
    }
    addCatalogueMisses(corpus, valid);
    addHugeAndJunk(corpus, valid[1], random);
    addNearlyEmpty(corpus);
    return corpus.samples();
}

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

QStringList channelProblems(const TQS_JUVForm &form, int c)
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
        const RangeLimits *row = sensor ? rangeRow(combo(form, "DeviceCombo")->currentIndex() < 4, sensor->id) : nullptr;
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

QStringList formProblems(const TQS_JUVForm &form)
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

// What a saved file holds, as the controls show it. The file cannot tell "no selection" from
// the entry sharing its value (sensor 4's 50 ohm, the 720's "off"), and the sensor follows
// the characteristic.
QStringList savedSettings(const TQS_JUVForm &form)
{
    const int model = combo(form, "DeviceCombo")->currentIndex();
    QStringList s{combo(form, "DeviceCombo")->currentText()};
    const int channels = control<QGroupBox>(form, "Ch2GroupBox")->isVisibleTo(&form) ? 2 : 1;
    for (int c = 0; c < channels; ++c) {
        const QByteArray p = "Ch" + QByteArray::number(c + 1);
        const auto box = [&](const char *role) { return combo(form, (p + role).constData()); };
        const QString characteristic = box("CharCombo")->currentText();
        int nomR = box("NomRCombo")->currentIndex();
        if (characteristic == u"Cu a=0.00426"_s && nomR < 0)
            nomR = 0;
        int output = box("OutputCombo")->currentIndex();
        if (model >= 4 && output < 0)
            output = 0;
        s << QString::fromLatin1(p) << (check(form, (p + "InputCheck").constData())->isChecked() ? u"on"_s : u"off"_s)
          << characteristic << edit(form, (p + "MaxEdit").constData())->text()
          << edit(form, (p + "MinEdit").constData())->text() << QString::number(box("ConnCombo")->currentIndex())
          << QString::number(nomR) << QString::number(output);
    }
    for (const char *name : {"FirmNameEdit", "PhoneEdit", "MailEdit", "BillEdit", "QntyEdit"})
        s << edit(form, name)->text();
    return s;
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
    // The messages of one load; the unsaved-changes question is answered Yes.
    std::vector<ModalScript::Message> load(const QString &path, QStringList *unexpected);
    void saveAndLoadBack(const QByteArray &name);
    QString samplePath(const QByteArray &name, const char *file) const
    {
        return m_dir.filePath(QString::fromLatin1(name + '/' + file));
    }

    QTemporaryDir m_dir;
    std::vector<Sample> m_corpus;
    std::unique_ptr<TQS_JUVForm> m_form;
    int m_saved = 0;
};

void TestDamaged::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_corpus = damagedCorpus();
    // The fuzzer's seeds, and every input it ever crashed on, go through the form as well.
    for (const auto &[folder, prefix] : {std::pair{"/fuzz/corpus", "fuzz-seed-"},
                                         std::pair{"/tests/data/fuzz-regressions", "fuzz-regression-"}}) {
        const QDir dir(QStringLiteral(QS_JUV_SOURCE_DIR) + QLatin1StringView(folder));
        for (const QFileInfo &info : dir.entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(info.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            m_corpus.push_back({prefix + info.fileName().toLatin1(), file.readAll()});
        }
    }
    for (const Sample &sample : m_corpus) {
        // A folder each: the file dialog lists the whole folder it opens.
        QVERIFY(QDir(m_dir.path()).mkdir(QString::fromLatin1(sample.name)));
        QFile file(samplePath(sample.name, "damaged.cfg"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(sample.bytes), sample.bytes.size());
    }
    // One form for the whole corpus: each load starts from whatever the last one left.
    m_form = std::make_unique<TQS_JUVForm>();
}

void TestDamaged::corpusCoversTheDamage()
{
    QVERIFY(m_corpus.size() >= 300);
    QVERIFY(std::any_of(m_corpus.begin(), m_corpus.end(), [](const Sample &s) { return s.name.startsWith("fuzz-seed-"); }));
    const QStringList kinds = {u"-cut"_s, u"-reversed"_s, u"-shuffled"_s, u"-twice"_s, u"utf8"_s, u"utf16"_s,
                               u"99999999999"_s, u"610-111-sensor-9"_s, u"id-49"_s, u"huge-"_s, u"junk-"_s, u"nearly-empty-0"_s};
    for (const QString &kind : kinds) {
        QVERIFY2(std::any_of(m_corpus.begin(), m_corpus.end(),
                             [&](const Sample &s) { return QString::fromLatin1(s.name).contains(kind)
                                                           || QString::fromLatin1(s.bytes.left(200)).contains(kind); }),
                 qPrintable(kind));
    }
    QVERIFY(std::any_of(m_corpus.begin(), m_corpus.end(), [](const Sample &s) { return s.bytes.isEmpty(); }));
    QVERIFY(std::any_of(m_corpus.begin(), m_corpus.end(), [](const Sample &s) { return s.bytes.size() > 1'000'000; }));
}

void TestDamaged::loadDamaged_data()
{
    QTest::addColumn<QByteArray>("name");
    for (const Sample &sample : m_corpus)
        QTest::newRow(sample.name.constData()) << sample.name;
}

std::vector<ModalScript::Message> TestDamaged::load(const QString &path, QStringList *unexpected)
{
    ModalScript script;
    const bool asks = m_form->isModified();
    if (asks)
        script.press(QMessageBox::Yes);
    script.choose(path).press(QMessageBox::Ok);
    m_form->LoadButtonClick(control<QPushButton>(*m_form, "LoadButton"));
    *unexpected = script.unexpected();
    std::vector<ModalScript::Message> messages = script.messages();
    if (asks && !messages.empty())
        messages.erase(messages.begin());
    return messages;
}

void TestDamaged::loadDamaged()
{
    QFETCH(QByteArray, name);
    QStringList unexpected;
    const auto messages = load(samplePath(name, "damaged.cfg"), &unexpected);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
    // At most the one warning about damaged data: never an error, never a second box.
    QVERIFY(messages.size() <= 1);
    if (!messages.empty())
        QCOMPARE(messages[0].icon, QMessageBox::Warning);
    const QStringList problems = formProblems(*m_form);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    saveAndLoadBack(name);
}

// Completes the requisites as a user would, saves when the form lets it, and loads that file.
void TestDamaged::saveAndLoadBack(const QByteArray &name)
{
    TQS_JUVForm &form = *m_form;
    if (edit(form, "FirmNameEdit")->text().isEmpty())
        edit(form, "FirmNameEdit")->setText(u"ООО Тест"_s);
    if (!mailFormatValid(edit(form, "MailEdit")->text()))
        edit(form, "MailEdit")->setText(u"test@example.com"_s);

    // The first box is either the refusal or the file dialog, which this probe cancels.
    {
        ModalScript probe;
        probe.press(QMessageBox::Ok);
        form.SaveButtonClick(control<QPushButton>(form, "SaveButton"));
        if (!probe.messages().empty()) {
            QCOMPARE(probe.messages()[0].icon, QMessageBox::Warning);
            return;
        }
        QCOMPARE(probe.unexpected(), QStringList{u"QFileDialog"_s});
    }

    const QStringList saved = savedSettings(form);
    const QString path = samplePath(name, "saved.cfg");
    {
        ModalScript script;
        script.choose(path).press(QMessageBox::Ok);
        form.SaveButtonClick(control<QPushButton>(form, "SaveButton"));
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'\n')));
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, kSaved);
    }
    ++m_saved;

    QStringList unexpected;
    const auto messages = load(path, &unexpected);
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
    qInfo("%d of %d loaded files were saved and loaded back", m_saved, int(m_corpus.size()));
    QVERIFY(m_saved >= int(m_corpus.size()) / 3);
}

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
