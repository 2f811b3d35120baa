// The damaged corpus: valid questionnaires of every kind, cut, reordered, duplicated, re-encoded,
// given wrong values, or replaced by junk.
#include "DamagedCorpus.h"

#include "Questionnaires.h"
#include "core/ProfileFile.h"
#include "core/ProfileNumber.h"
#include "core/SafeRead.h"
#include "core/Sensor.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;
using namespace qsjuv;
using namespace qsjuv::testing;

namespace {

// --- Valid questionnaires ------------------------------------------------------------------

// As the form saves it, with a phone, a Cyrillic firm name and a quantity above 1.
QByteArray savedFile(int model, std::vector<QuestionnaireChannel> channels, const QString &firm = u"ООО «Ромашка»"_s,
                     const char *bill = "")
{
    Questionnaire s = questionnaire(model, std::move(channels));
    s.firm = firm;
    s.phone = u"+7 (495) 123-45-67"_s;
    s.mail = u"zakaz@example.ru"_s;
    s.bill = QString::fromUtf8(bill);
    s.quantity = u"3"_s;
    return writeQuestionnaire(s).bytes;
}

// Every series, one- and two-channel models, each sensor type, outputs on and off.
std::vector<QByteArray> validFiles()
{
    return {
        savedFile(0, {channel(1, 1, 1, 0, "300", "-200")}, u"ACME"_s, "17"),
        savedFile(2, {channel(12, {}, 1, 1, "1000", "200"), channel(20, {}, 2, 0, "235", "5")}),
        savedFile(3, {channel(4, 2, 2, 0, "200", "-50"), channel(5, 0, 1, 1, "180", "-69")}),
        savedFile(4, {channel(19, {}, 1, 5, "140", "-140"), channel(9, {}, 1, 255, "1820", "300")}),
        savedFile(12, {channel(2, 1, 1, 2, "440", "-200"), channel(4, 0, 1, 1, "200", "-50", false)}),
        savedFile(10, {channel(14, {}, 1, {}, "100", "-200")}, u"ИП Иванов"_s, "Счёт 5"),
        savedFile(8, {channel(3, 0, 1, {}, "150", "-30"), channel(16, {}, 1, {}, "1760", "-50")}),
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

QByteArray encoded(const QByteArray &cp1251, QStringConverter::Encoding encoding, bool bom)
{
    QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(fromCp1251(cp1251));
}

// --- The corpus ----------------------------------------------------------------------------

class Corpus
{
public:
    void add(const QByteArray &name, const QByteArray &bytes) { m_samples.push_back({name, bytes}); }
    // Both with the check code left wrong and made to match again.
    void addSignedAndNot(const QByteArray &name, const QByteArray &bytes)
    {
        add(name, bytes);
        add(name + "-signed", resealed(bytes));
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
                    corpus.add(name, resealed(changed));
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
                   resealed(withValue(withValue(valid[2], "Channel 2", "Sensor id", id), "Channel 2", "Sensor type", "2")));
    }
    // Ids of no model, and ids whose low 8 bits name one.
    const QByteArray modelIds[] = {"0", "1", "49", "54", "79", "90", "255", "336", "-176", "4294967376", "x"};
    for (const QByteArray &id : modelIds) {
        corpus.addSignedAndNot("id-" + id + "-one-channel", withValue(valid[0], "Device", "id", id));
        corpus.add("id-" + id + "-two-channels", resealed(withValue(valid[3], "Device", "id", id)));
    }
    // A one-channel model with a second channel section, a two-channel model without one.
    corpus.add("extra-channel", resealed(withValue(valid[1], "Device", "id", "50")));
    corpus.add("missing-channel", resealed(withValue(valid[0], "Device", "id", "51")));
    corpus.add("no-id", withValue(valid[3], "Device", "id", QByteArray()));
    corpus.add("no-id-no-code", withValue(withValue(valid[3], "Device", "id", QByteArray()), "Reqs", "CheckCode", QByteArray()));
    corpus.add("no-code", withValue(valid[4], "Reqs", "CheckCode", QByteArray()));
    // A range the model's switched-off channel could never put right.
    corpus.addSignedAndNot("locked-off-min-beyond", withValue(valid[4], "Channel 2", "Temperature min", "99999999999"));
    // The range check stops at a max that is no number and leaves the min as the file has it.
    corpus.addSignedAndNot("max-no-number-min-beyond",
                           withValue(withValue(valid[0], "Channel 1", "Temperature max", "-"), "Channel 1",
                                     "Temperature min", "-999"));
}

void addHugeAndJunk(Corpus &corpus, const QByteArray &base, std::mt19937 &random)
{
    // As long as lines get in a file under the size limit.
    const qsizetype huge = qsizetype(kQuestionnaireSizeLimit) - 4096;
    const QByteArray mega(huge, '7');
    corpus.add("huge-max", resealed(withValue(base, "Channel 1", "Temperature max", mega)));
    corpus.add("huge-min", resealed(withValue(base, "Channel 1", "Temperature min", '-' + mega)));
    corpus.add("huge-firm", withValue(base, "Reqs", "Firm", QByteArray(huge, 'F')));
    corpus.add("huge-key-name", base + QByteArray(huge, 'k') + "=1\r\n");
    corpus.add("huge-line-without-equals", QByteArray(huge, 'z') + "\r\n" + base);
    corpus.add("huge-section-name", "[" + QByteArray(huge, 's') + "]\r\n" + base);
    corpus.add("huge-blank-line", QByteArray(huge, ' ') + "\r\n" + base);

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

// Files received from customers: re-encoded, edited in another encoding, cut, off by one.
void addReceived(Corpus &corpus, const std::vector<QByteArray> &valid)
{
    const QByteArray &two = valid[3];
    corpus.add("received-bom-on-cp1251", "\xEF\xBB\xBF" + two);
    corpus.add("received-utf8-then-cp1251",
               withValue(encoded(two, QStringConverter::Utf8, false), "Reqs", "Firm", toCp1251Lossy(u"ООО «Рога; Копыта»"_s)));
    corpus.add("received-cp1251-valid-utf8", withValue(two, "Reqs", "Firm", toCp1251Lossy(u"ACME Р»"_s)));
    corpus.add("received-firm-beyond-cp1251",
               encoded(withValue(two, "Reqs", "Firm", "F"), QStringConverter::Utf8, false).replace("Firm=F", u"Firm=Łódź ☺"_s.toUtf8()));
    corpus.add("received-undefined-byte", withValue(two, "Reqs", "Phone", "12\x98" "3"));
    const qint32 code = profileNumber(*ProfileReader(two).value("Reqs", "CheckCode"));
    corpus.add("received-code-off-by-one", withValue(two, "Reqs", "CheckCode", QByteArray::number(code + 1)));
    const QByteArray noCode = withValue(two, "Reqs", "CheckCode", QByteArray());
    corpus.add("received-no-code-no-quantity", withValue(noCode, "Reqs", "Quantity", QByteArray()));
    corpus.add("received-no-code-no-channel-2", QByteArray(noCode).replace("[Channel 2]", "[Kanal 2]"));
    corpus.add("received-no-code-half", noCode.first(noCode.size() / 2));
    corpus.add("received-text", "Опросный лист во вложении\r\n");
}

} // namespace

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
    addReceived(corpus, valid);
    return corpus.samples();
}

std::vector<Sample> fuzzInputs()
{
    std::vector<Sample> samples;
    for (const auto &[folder, prefix] : {std::pair{"/fuzz/corpus", "fuzz-seed-"},
                                         std::pair{"/tests/data/fuzz-regressions", "fuzz-regression-"}}) {
        const QDir dir(QStringLiteral(QS_JUV_SOURCE_DIR) + QLatin1StringView(folder));
        for (const QFileInfo &info : dir.entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(info.filePath()));
            samples.push_back({prefix + info.fileName().toLatin1(), file.readAll()});
        }
    }
    return samples;
}

QString CorpusFolder::write()
{
    if (!m_dir.isValid())
        return m_dir.errorString();
    m_samples = damagedCorpus();
    const std::vector<Sample> fuzz = fuzzInputs();
    m_samples.insert(m_samples.end(), fuzz.begin(), fuzz.end());
    for (const Sample &sample : m_samples) {
        if (!QDir(m_dir.path()).mkdir(QString::fromLatin1(sample.name)))
            return u"cannot create a folder for "_s + QString::fromLatin1(sample.name);
        QFile file(path(sample.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(sample.bytes) != sample.bytes.size())
            return file.fileName() + u": "_s + file.errorString();
    }
    return {};
}

void CorpusFolder::addTestRows() const
{
    QTest::addColumn<QByteArray>("name");
    for (const Sample &sample : m_samples)
        QTest::newRow(sample.name.constData()) << sample.name;
}
