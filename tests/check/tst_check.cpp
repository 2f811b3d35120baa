// The bulk checker: verdicts, problems, what it shows, and its three output forms.
#include "Questionnaires.h"
#include "AsUser.h"
#include "KilledSave.h"
#include "SpecialFiles.h"
#include "Watchdog.h"
#include "core/RangeLimits.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/SafeRead.h"
#include "check/CheckCommand.h"
#include "check/FileCheck.h"
#include "check/ReportWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace qsjuv;
using namespace qsjuv::check;
using namespace qsjuv::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(qsjuv::check::Verdict)

namespace {

ChannelShown shown(const FileReport &report, int channel)
{
    return channelShown(report.loaded.value, channel);
}

QStringList problemCodes(const FileReport &report)
{
    QStringList codes;
    for (const Problem &p : report.problems)
        codes << QString::fromLatin1(p.code);
    codes.sort();
    return codes;
}

// The entries a walk visits, and what it says on err.
struct Walked
{
    QStringList paths; // as bytes decoded for comparison
    QString err;
    bool failed = false;
};

Walked walked(const QByteArray &dir, const WalkLimits &limits)
{
    Walked w;
    QTextStream err(&w.err);
    forEachQuestionnaireFile(
            std::string(dir), [&w](const std::filesystem::path &p) { w.paths << QString::fromUtf8(p.native()); }, err,
            w.failed, limits);
    err.flush();
    return w;
}

struct Run
{
    int status;
    QString out;
    QString err;
};

Run runRaw(const QByteArrayList &arguments)
{
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = runCheck(arguments, out, err);
    return r;
}

Run run(const QStringList &arguments)
{
    QByteArrayList raw;
    for (const QString &argument : arguments)
        raw << QFile::encodeName(argument);
    return runRaw(raw);
}

// RFC 4180: quoted fields may hold commas, doubled quotes and line ends.
QList<QStringList> parseCsv(const QString &text, bool *wellFormed)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    *wellFormed = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            *wellFormed = *wellFormed && field.isEmpty();
            quoted = true;
        } else if (c == u',') {
            row << std::exchange(field, QString());
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << std::exchange(field, QString());
            rows << std::exchange(row, QStringList());
            ++i;
        } else {
            *wellFormed = *wellFormed && c != u'\n' && c != u'\r';
            field += c;
        }
    }
    *wellFormed = *wellFormed && !quoted && field.isEmpty() && row.isEmpty();
    return rows;
}

} // namespace

class TestCheck : public QObject
{
    Q_OBJECT

private slots:
    void verdictsAndProblems_data();
    void verdictsAndProblems();
    void savedFilesOfEveryModelAreClean();
    void showsWhatTheFormShows();
    void junkNeverCrashes();
    void commandLine();
    void diffOfTwoFiles();
    void pointsOfFiles();
    void outputsParseBack();
    void hostilePaths_data();
    void hostilePaths();
    void pathDisplayIsUnambiguous();
    void rawArgumentsReachTheOpenCall();
    void permissionsAsUser();
    void oneFailureNeverEndsTheRun();
    void memoryDoesNotGrowWithTheTree();
};

void TestCheck::verdictsAndProblems_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QStringList>("codes");

    const QByteArray ref = referenceBytes();
    QVERIFY(!ref.isEmpty());
    const auto edited = [&ref](const char *section, const char *key, const QByteArray &value) {
        return resealed(withValue(ref, section, key, value));
    };
    const auto row = [](const char *name, const QByteArray &file, Verdict verdict, QStringList codes = {}) {
        codes.sort();
        QTest::newRow(name) << file << verdict << codes;
    };
    const QByteArray noId = withValue(ref, "Device", "id", QByteArray());

    row("reference file", ref, Verdict::Ok);
    row("model name edited", withValue(ref, "Device", "name", "anything"), Verdict::Ok);
    row("no check code", withValue(ref, "Reqs", "CheckCode", QByteArray()), Verdict::NoCheckCode);
    row("summed value edited", withValue(ref, "Channel 1", "Temperature max", "200"), Verdict::CheckCodeMismatch);
    row("check code not a number", withValue(ref, "Reqs", "CheckCode", "abc"), Verdict::CheckCodeMismatch);
    // Without a model the window reads the sections of the channels its model shows: a new one
    // shows one, so the second section, which the file lacks, is no problem.
    row("no model id", noId, Verdict::NoModelId);
    row("no model id, code matches", resealed(noId), Verdict::NoModelId);
    row("no model id, no code", withValue(noId, "Reqs", "CheckCode", QByteArray()), Verdict::NoModelId);
    row("unknown model id", edited("Device", "id", "49"), Verdict::Ok, {u"unknown-model"_s});
    row("unknown model id, max beyond the shown model's limit",
        resealed(withValue(withValue(ref, "Device", "id", "49"), "Channel 1", "Temperature max", "400")), Verdict::Ok,
        {u"unknown-model"_s, u"range-max-corrected"_s});
    // A refused file shows its own requisites, and their refusals with them.
    row("summed value edited, no firm", withValue(withValue(ref, "Channel 1", "Temperature max", "200"), "Reqs", "Firm", ""),
        Verdict::CheckCodeMismatch, {u"missing-firm"_s});
    row("thermocouple on ЖУВ-610-111", writeQuestionnaire(defaultQuestionnaire(1, {12})).bytes, Verdict::Ok,
        {u"sensor-not-offered"_s});
    row("sensor id in no catalogue row", edited("Channel 1", "Sensor id", "33"), Verdict::Ok, {u"sensor-not-offered"_s});
    row("no sensor id", edited("Channel 1", "Sensor id", QByteArray()), Verdict::Ok, {u"sensor-missing"_s});
    row("sensor type disagrees", edited("Channel 1", "Sensor type", "3"), Verdict::Ok, {u"sensor-type-mismatch"_s});
    row("max beyond upper limit", edited("Channel 1", "Temperature max", "400"), Verdict::Ok, {u"range-max-corrected"_s});
    row("min below lower limit", edited("Channel 1", "Temperature min", "-250"), Verdict::Ok, {u"range-min-corrected"_s});
    row("bound with a stray character", edited("Channel 1", "Temperature max", "3 00"), Verdict::Ok,
        {u"range-max-corrected"_s});
    row("bound not a number", edited("Channel 1", "Temperature max", "abc"), Verdict::Ok, {u"range-not-number"_s});
    // The form's check stops at the max: the min below its limit stays as the file has it.
    row("min not reached after a max not a number",
        resealed(withValue(withValue(ref, "Channel 1", "Temperature max", "-"), "Channel 1", "Temperature min", "-250")),
        Verdict::Ok, {u"range-not-number"_s});
    // Without a sensor the channel keeps the first RTD characteristic, and its limits hold.
    row("no sensor id, max beyond the RTD limit",
        resealed(withValue(withValue(ref, "Channel 1", "Sensor id", QByteArray()), "Channel 1", "Temperature max", "400")),
        Verdict::Ok, {u"sensor-missing"_s, u"range-max-corrected"_s});
    row("switched-off channel's min beyond 32 bits",
        resealed(withValue(writeQuestionnaire(defaultQuestionnaire(12)).bytes, "Channel 2", "Temperature min",
                           "99999999999")),
        Verdict::Ok, {u"range-locked-replaced"_s});
    row("range below least width", edited("Channel 1", "Temperature min", "250"), Verdict::Ok, {u"range-too-narrow"_s});
    row("range exactly least width", edited("Channel 1", "Temperature min", "200"), Verdict::Ok);
    row("nominal resistance off the list", edited("Channel 1", "Sensor R", "5"), Verdict::Ok, {u"nominal-r-invalid"_s});
    row("connection off the list", edited("Channel 1", "Input connection", "3"), Verdict::Ok, {u"connection-invalid"_s});
    row("output off the list", edited("Channel 1", "Output direction", "2"), Verdict::Ok, {u"output-invalid"_s});
    row("output on a model without outputs",
        resealed(withValue(writeQuestionnaire(defaultQuestionnaire(10)).bytes, "Channel 1", "Output mode", "1")), Verdict::Ok,
        {u"output-invalid"_s});
    row("no firm", withValue(ref, "Reqs", "Firm", ""), Verdict::Ok, {u"missing-firm"_s});
    row("no mail", withValue(ref, "Reqs", "Mail", QByteArray()), Verdict::Ok, {u"missing-mail"_s});
    row("mail with a full stop after the at sign", withValue(ref, "Reqs", "Mail", "a@.cd"), Verdict::Ok,
        {u"mail-format"_s});
    row("quantity not a number", withValue(ref, "Reqs", "Quantity", "12a"), Verdict::Ok, {u"quantity-invalid"_s});
    row("quantity above 999", withValue(ref, "Reqs", "Quantity", "1000"), Verdict::Ok, {u"quantity-invalid"_s});
    row("no input on", resealed(withValue(writeQuestionnaire(defaultQuestionnaire(6)).bytes, "Channel 1", "Input mode", "0")),
        Verdict::Ok, {u"no-input"_s});
    // ЖУВ-610-101 locks its input on: the form shows it on whatever the file says.
    row("input off in a box the model locks", edited("Channel 1", "Input mode", "0"), Verdict::Ok);
    row("byte Windows-1251 lacks", withValue(ref, "Reqs", "Firm", "AC\x98ME"), Verdict::RequisiteUnreadable,
        {u"requisite-unreadable"_s});
    row("control character", withValue(ref, "Reqs", "Mail", "a@b.\x1b" "cd"), Verdict::Ok, {u"requisite-not-cp1251"_s});
    row("firm of blanks in quotes", withValue(ref, "Reqs", "Firm", "\"   \""), Verdict::Ok, {u"missing-firm"_s});
    row("mail of a tab in quotes", withValue(ref, "Reqs", "Mail", "\"\t\""), Verdict::Ok,
        {u"missing-mail"_s, u"requisite-not-cp1251"_s});
    row("tab inside a requisite", withValue(ref, "Reqs", "Phone", "1\t2"), Verdict::Ok, {u"requisite-not-cp1251"_s});
    // Saved again in UTF-8: read as such. Edited in Windows-1251 after that: each text as written.
    row("requisite in UTF-8", withValue(withValue(ref, "Reqs", "Phone", u"доб. 5"_s.toUtf8()), "Device", "name",
                                        u"ЖУВ-610-101"_s.toUtf8()),
        Verdict::Ok);
    row("UTF-8 requisite in a Windows-1251 edit",
        withValue(withValue(withValue(ref, "Reqs", "Phone", u"доб. 5"_s.toUtf8()), "Device", "name", u"ЖУВ-610-101"_s.toUtf8()),
                  "Reqs", "Firm", toCp1251Lossy(u"ООО «Ёлка»"_s)),
        Verdict::RequisiteUnreadable, {u"requisite-encoding"_s});
    row("character beyond Windows-1251 in UTF-8",
        withValue(withValue(ref, "Reqs", "Firm", u"Łódź ☺"_s.toUtf8()), "Device", "name", u"ЖУВ-610-101"_s.toUtf8()), Verdict::Ok,
        {u"requisite-not-cp1251"_s});
    // What the form saves reads back as it showed it, even where its bytes are UTF-8 too.
    row("Windows-1251 that would be valid UTF-8", withValue(ref, "Reqs", "Firm", toCp1251Lossy(u"ACME Р»"_s)),
        Verdict::Ok);
    row("Cyrillic in Windows-1251", withValue(ref, "Reqs", "Firm", toCp1251Lossy(u"ООО «Ёлка»"_s)), Verdict::Ok);
    row("empty file", QByteArray(), Verdict::NotQuestionnaire);
    row("junk", QByteArray("\x01\x02junk\r\n[x]\r\ny=1"), Verdict::NotQuestionnaire);
    row("cut, no code", ref.first(ref.indexOf("Temperature min")), Verdict::Incomplete,
        {u"keys-missing"_s, u"quantity-invalid"_s, u"missing-firm"_s, u"missing-mail"_s});
}

void TestCheck::verdictsAndProblems()
{
    QFETCH(QByteArray, file);
    QFETCH(Verdict, verdict);
    QFETCH(QStringList, codes);

    const FileReport report = checkBytes(file);
    QCOMPARE(verdictName(report.verdict), verdictName(verdict));
    QCOMPARE(problemCodes(report), codes);
    for (const Problem &p : report.problems)
        QVERIFY2(!p.text.isEmpty(), p.code);
    QCOMPARE(report.clean(), verdict == Verdict::Ok && codes.isEmpty());
}

void TestCheck::savedFilesOfEveryModelAreClean()
{
    for (int position = 0; position < kModelCount; ++position) {
        const Questionnaire s = defaultQuestionnaire(position, {1, 12});
        const FileReport report = checkBytes(writeQuestionnaire(s).bytes);
        const QString model = QString::fromStdString(modelListText(modelList()[std::size_t(position)]));
        // ЖУВ-610-111 and -211 take no thermocouple on channel 2.
        const bool offersAll = offersAllSensorTypes(position) || s.channels.size() == 1;
        QVERIFY2(report.verdict == Verdict::Ok, qPrintable(model));
        QCOMPARE(problemCodes(report), offersAll ? QStringList() : QStringList{u"sensor-not-offered"_s});
        QCOMPARE(report.model(), &modelList()[std::size_t(position)]);
        QCOMPARE(report.loaded.value.channels.size(), s.channels.size());
    }
}

void TestCheck::showsWhatTheFormShows()
{
    // Two channels of ЖУВ-720-220: sensor 4 with 100 ohms (stored as 2), thermocouple K on 0..5 В.
    Questionnaire s = defaultQuestionnaire(4, {4, 12});
    s.channels[0].nominalR = 2;
    s.channels[1].output = 2;
    s.channels[1].maxText = u"1000"_s;
    s.channels[1].minText = u"0"_s;
    s.firm = u"ООО «Ёлка»"_s;
    QByteArray file = withValue(writeQuestionnaire(s).bytes, "Device", "name", "something else");
    QVERIFY(file.contains("Sensor R=2\r\n"));
    FileReport r = checkBytes(file);
    QVERIFY(r.clean());
    QCOMPARE(QString::fromStdString(modelListText(*r.model())), u"ЖУВ-720-220"_s);
    QCOMPARE(r.firm, u"ООО «Ёлка»"_s);
    QCOMPARE(r.loaded.value, s); // the value saved is the value loaded
    QCOMPARE(shown(r, 0).nominalR, u"100"_s);
    QCOMPARE(shown(r, 0).connection, QString()); // the 720 series shows no connection list
    QCOMPARE(shown(r, 0).output, u"4..20 мА"_s);
    QCOMPARE(r.loaded.value.channels[1].sensorId, 12);
    QCOMPARE(shown(r, 1).nominalR, QString());
    QCOMPARE(shown(r, 1).output, u"0..5 В"_s);
    QCOMPARE(r.loaded.value.channels[1].max(), 1000);
    QCOMPARE(r.loaded.value.channels[1].min(), 0);
    QCOMPARE(shown(r, 1).unit, u"°С"_s);

    r = checkBytes(withValue(file, "Channel 1", "Sensor R", "0"));
    QCOMPARE(shown(r, 0).nominalR, u"50"_s);
    // Without "Output mode" the output keeps what choosing the model selected.
    r = checkBytes(withValue(file, "Channel 2", "Output mode", QByteArray()));
    QCOMPARE(shown(r, 1).output, u"4..20 мА"_s);

    // Corrected as the form's checks correct them; "007" is a valid quantity.
    const QByteArray ref = referenceBytes();
    r = checkBytes(resealed(withValue(withValue(ref, "Channel 1", "Temperature max", "400"), "Channel 1",
                                      "Temperature min", "-2x50")));
    QCOMPARE(r.loaded.value.channels[0].max(), 350);
    QCOMPARE(r.loaded.value.channels[0].min(), -200);
    QCOMPARE(checkBytes(withValue(ref, "Reqs", "Quantity", "1000")).quantity(), 999);
    r = checkBytes(withValue(ref, "Reqs", "Quantity", "007"));
    QCOMPARE(r.quantity(), 7);
    QCOMPARE(r.loaded.value.quantity, u"007"_s);
    QVERIFY(r.clean());

    // A thermocouple ЖУВ-610-111 does not offer: the bounds as the RTD range left by the model holds them.
    r = checkBytes(writeQuestionnaire(defaultQuestionnaire(1, {12})).bytes);
    QCOMPARE(r.loaded.value.channels[0], qsjuv::defaultChannel(1, 0, 1));
    r = checkBytes(resealed(withValue(withValue(ref, "Channel 1", "Temperature max", "x"), "Channel 1",
                                      "Temperature min", "-250")));
    QCOMPARE(r.loaded.value.channels[0].max(), std::nullopt);
    QCOMPARE(r.loaded.value.channels[0].min(), -250);

    // The loader keeps the low 8 bits of the id: 306 names ЖУВ-610-101 (50).
    r = checkBytes(resealed(withValue(ref, "Device", "id", "306")));
    QCOMPARE(r.modelId, 50);
    QCOMPARE(r.model(), &modelList()[0]);
    QVERIFY(r.clean());

    // A channel that is off does not count as an input.
    r = checkBytes(resealed(withValue(file, "Channel 1", "Input mode", "0")));
    QVERIFY(!r.loaded.value.channels[0].inputOn);
    QCOMPARE(problemCodes(r), QStringList());
}

void TestCheck::junkNeverCrashes()
{
    std::mt19937 rng(1251);
    const QByteArray ref = referenceBytes();
    for (int i = 0; i < 2000; ++i) {
        QByteArray file = ref;
        for (int k = std::uniform_int_distribution<int>(1, 8)(rng); k > 0; --k)
            file[std::uniform_int_distribution<qsizetype>(0, file.size() - 1)(rng)] = char(rng());
        const FileReport r = checkBytes(file);
        QVERIFY(r.loaded.value.channels.size() <= 2);
        QVERIFY(!reportToJson(r).isEmpty());
        QCOMPARE(csvRow(r).size(), csvHeader().size());
    }
}

void TestCheck::commandLine()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    const auto put = [&root](const QString &name, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(root + u'/' + name).path());
        QFile file(root + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const QByteArray ref = referenceBytes();
    put(u"b/good.cfg"_s, ref);
    put(u"a/z/deep.CFG"_s, ref);
    put(u"a/bad.cfg"_s, withValue(ref, "Channel 1", "Temperature max", "200"));
    put(u"a/notes.txt"_s, "not a questionnaire");
    put(u"good/only.cfg"_s, ref);
    QVERIFY(QFile::link(root, root + u"/a/loop"_s)); // a linked folder is not entered

    Run r = run({root + u"/good"_s});
    QCOMPARE(r.status, kExitClean);
    QVERIFY(r.err.isEmpty());
    QVERIFY(r.out.contains(u"Итого файлов: 1, без замечаний: 1,"_s));
    r = run({u"-q"_s, root + u"/good"_s});
    QCOMPARE(r.status, kExitClean);
    QVERIFY(r.out.isEmpty());

    // In English the report for people is English; the model's name, the verdicts and the codes
    // stay as they are.
    {
        QTranslator english;
        QVERIFY(english.load(u":/i18n/qs_juv_en.qm"_s));
        QCoreApplication::installTranslator(&english);
        const auto removeEnglish = qScopeGuard([&english] { QCoreApplication::removeTranslator(&english); });
        r = run({root + u"/a/bad.cfg"_s});
        QVERIFY2(r.out.contains(u"Result: check-code-mismatch — the check code does not match"_s), qPrintable(r.out));
        QVERIFY(r.out.contains(u"Device model: ЖУВ-610-101 (id 50)\n"_s));
        r = run({u"--json"_s, root + u"/a/bad.cfg"_s});
        const QJsonObject report = QJsonDocument::fromJson(r.out.toUtf8()).array().at(0).toObject();
        QCOMPARE(report[u"verdict"_s].toString(), u"check-code-mismatch"_s);
        QCOMPARE(report[u"model"_s][u"name"_s].toString(), u"ЖУВ-610-101"_s);
        QCOMPARE(run({u"--bogus"_s}).err.section(u'\n', 0, 0), u"qs_juv_check: unknown option “--bogus”"_s);
    }

    // Each folder's entries in name order, subfolders in place; other extensions skipped.
    r = run({u"--json"_s, root + u"/a"_s, root + u"/b"_s});
    QCOMPARE(r.status, kExitProblems);
    QStringList paths;
    for (const QJsonValue v : QJsonDocument::fromJson(r.out.toUtf8()).array())
        paths << v[u"path"].toString().mid(root.size() + 1);
    QCOMPARE(paths, (QStringList{u"a/bad.cfg"_s, u"a/z/deep.CFG"_s, u"b/good.cfg"_s}));
    // With no room to sort names, each folder is taken as listed: the same files, and err says so.
    Walked unsorted = walked(QFile::encodeName(root + u"/a"_s), {.nameBytes = 0});
    unsorted.paths.sort();
    QCOMPARE(unsorted.paths, (QStringList{root + u"/a/bad.cfg"_s, root + u"/a/z/deep.CFG"_s}));
    QVERIFY(!unsorted.failed);
    QCOMPARE(unsorted.err.count(u"записи взяты в порядке каталога\n"_s), 2);

    r = run({u"--quiet"_s, u"--csv"_s, root});
    QCOMPARE(r.status, kExitProblems);
    bool wellFormed = false;
    QCOMPARE(parseCsv(r.out.mid(1), &wellFormed).size(), 2); // header and a/bad.cfg
    QVERIFY(wellFormed);

    // A missing file is reported as unreadable, with the path on stderr, and wins over problems.
    const QString missing = root + u"/missing.cfg"_s;
    r = run({u"--json"_s, root + u"/a"_s, missing});
    QCOMPARE(r.status, kExitError);
    QVERIFY(r.err.contains(missing));
    const QJsonObject last = QJsonDocument::fromJson(r.out.toUtf8()).array().last().toObject();
    QCOMPARE(last[u"verdict"].toString(), u"unreadable"_s);
    QVERIFY(!last[u"reason"].toString().isEmpty());
    QVERIFY(!last[u"reason"].toString().contains(missing));

    // Usage errors: no output, a message on stderr.
    for (const QStringList &args : {QStringList{}, QStringList{u"--json"_s, u"--csv"_s, root},
                                    QStringList{u"--fast"_s, root}}) {
        r = run(args);
        QCOMPARE(r.status, kExitError);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(u"qs_juv_check"_s));
    }
    r = run({u"--help"_s});
    QCOMPARE(r.status, kExitClean);
    QVERIFY(r.out.contains(u"--quiet"_s));
    r = run({u"--version"_s});
    QCOMPARE(r.out, u"qs_juv_check 4e\n"_s); // the data version the form shows
    // After "--" a name that looks like an option is a path.
    r = run({u"--"_s, u"--json"_s});
    QCOMPARE(r.status, kExitError);
    QVERIFY(r.err.contains(u"--json: "_s));

    // An English desktop reads English text, but JSON and CSV keep their values for scripts.
    QTemporaryDir english;
    QVERIFY(english.isValid());
    writeAll(english.filePath(u"a.cfg"_s), referenceBytes());
    const auto checkInEnglish = [&english](const QStringList &options) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"LC_ALL"_s);
        environment.remove(u"LC_MESSAGES"_s);
        environment.insert(u"LANG"_s, u"en_US.UTF-8"_s);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QS_JUV_CHECK_BINARY), options + QStringList{english.filePath(u"a.cfg"_s)});
        return process.waitForFinished(20000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
    };
    QVERIFY(checkInEnglish({}).contains(u"Device model: "_s));
    for (const QString &format : {u"--json"_s, u"--csv"_s}) {
        const QString report = checkInEnglish({format});
        QVERIFY2(report.contains(u" мА"_s) && !report.contains(u" mA"_s), qPrintable(report));
    }

    // The system's reasons in the user's language: a Russian locale made for this run only.
    QTemporaryDir locales;
    QVERIFY(locales.isValid());
    const QString localedef = QStandardPaths::findExecutable(u"localedef"_s);
    if (localedef.isEmpty()
        || QProcess::execute(localedef, {u"-i"_s, u"ru_RU"_s, u"-f"_s, u"UTF-8"_s, locales.filePath(u"ru_RU.UTF-8"_s)}) != 0)
        QSKIP("localedef cannot make the ru_RU.UTF-8 locale here (package locales)");
    QProcess check;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LOCPATH"_s, locales.path());
    environment.insert(u"LC_ALL"_s, u"ru_RU.UTF-8"_s);
    check.setProcessEnvironment(environment);
    check.start(QStringLiteral(QS_JUV_CHECK_BINARY), {u"/etc/passwd/x.cfg"_s});
    QVERIFY(check.waitForFinished(20000));
    QCOMPARE(QString::fromUtf8(check.readAllStandardError()), u"qs_juv_check: /etc/passwd/x.cfg: Это не каталог\n"_s);
}

// What differs between two files as new windows show them, by the window's captions.
void TestCheck::diffOfTwoFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray ref = referenceBytes();
    const QString a = dir.filePath(u"a.cfg"_s), b = dir.filePath(u"b.cfg"_s), two = dir.filePath(u"two.cfg"_s);
    writeAll(a, ref);
    writeAll(b, resealed(withValue(withValue(ref, "Reqs", "Firm", "ACME Two"), "Channel 1", "Temperature max", "250")));
    writeAll(two, writeQuestionnaire(defaultQuestionnaire(2)).bytes);

    Run r = run({u"--diff"_s, a, a});
    QCOMPARE(r.status, kExitClean);
    QVERIFY(r.out.isEmpty() && r.err.isEmpty());
    r = run({u"--diff"_s, a, b});
    QCOMPARE(r.status, kExitProblems);
    QCOMPARE(r.out, u"Контрольный код: 829 → 833\nНазвание фирмы: ACME → ACME Two\n1 канал. T макс, °С: 300 → 250\n"_s);
    r = run({u"--json"_s, u"--diff"_s, a, b});
    QCOMPARE(r.status, kExitProblems);
    const QJsonArray fields = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(fields.size(), 3);
    QCOMPARE(fields[1].toObject(), (QJsonObject{{u"field"_s, u"Название фирмы"_s}, {u"channel"_s, 0},
                                                {u"from"_s, u"ACME"_s}, {u"to"_s, u"ACME Two"_s}}));
    QCOMPARE(fields[2][u"channel"].toInt(), 1);
    // Only the check code differs: what a damaged file shows is its own, quantity included.
    const QByteArray three = resealed(withValue(ref, "Reqs", "Quantity", "3"));
    writeAll(b, three);
    writeAll(two, withValue(three, "Reqs", "CheckCode", "830"));
    QCOMPARE(run({u"--diff"_s, b, two}).out, u"Контрольный код: 829 → 830\n"_s);
    // Each side's bound under its own caption and unit.
    writeAll(two, resealed(withValue(withValue(withValue(withValue(ref, "Channel 1", "Sensor id", "20"), "Channel 1",
                                                         "Sensor type", "4"), "Channel 1", "Resistance max", "260"),
                                     "Channel 1", "Resistance min", "100")));
    r = run({u"--diff"_s, a, two});
    QVERIFY2(r.out.contains(u"\n1 канал. T макс, °С: 300 → R макс, Ом: "_s), qPrintable(r.out));
    writeAll(two, writeQuestionnaire(defaultQuestionnaire(2)).bytes);
    // A model with a second channel: its fields come from nothing.
    r = run({u"--diff"_s, a, two});
    QCOMPARE(r.out.split(u'\n').at(1), u"Модель изделий: ЖУВ-610-101 → ЖУВ-610-201"_s);
    QVERIFY(r.out.contains(u"\n2 канал. НСХ: — → Pt a=0.00385\n"_s));

    // A file that cannot be read: the reason on stderr, nothing compared.
    const QString missing = dir.filePath(u"missing.cfg"_s);
    r = run({u"--diff"_s, a, missing});
    QCOMPARE(r.status, kExitError);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.startsWith(u"qs_juv_check: "_s + missing + u": "_s));
    for (const QStringList &args : {QStringList{u"--diff"_s, a}, QStringList{u"--diff"_s, u"--csv"_s, a, b}}) {
        r = run(args);
        QCOMPARE(r.status, kExitError);
        QVERIFY(r.out.isEmpty());
    }
}

// The reference file is ЖУВ-610-101 with Pt a=0.00385, 100 Ом, -200..300 °С and 4..20 мА.
void TestCheck::pointsOfFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString good = dir.path() + u"/good.cfg"_s;
    writeAll(good, referenceBytes());
    // Narrower than the least width of 100 °С: the save refuses it, so it has no points.
    const QString narrow = dir.path() + u"/sub/narrow.cfg"_s;
    QVERIFY(QDir().mkpath(dir.path() + u"/sub"_s));
    writeAll(narrow, resealed(withValue(referenceBytes(), "Channel 1", "Temperature max", "-150")));

    Run r = run({u"--points"_s, good});
    QCOMPARE(r.status, kExitClean);
    QVERIFY(r.err.isEmpty());
    // -200 and 300 °С are rows of the Pt100 table (18.52 and 212.05 Ом).
    for (const QString &line : {u"1 канал: Pt a=0.00385, R0 100 Ом, выход 4..20 мА"_s, u"     0 -200"_s, u"18.520"_s,
                                u"4.000"_s, u"    25 -75 "_s, u"8.000"_s, u"   100 300 "_s, u"212.05"_s, u"20.000"_s})
        QVERIFY2(r.out.contains(line), qPrintable(line + u"\n"_s + r.out));

    // A folder, JSON: one object per point, none for a channel without points.
    r = run({u"--points"_s, u"--json"_s, dir.path()});
    QCOMPARE(r.status, kExitClean);
    const QJsonArray points = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(points.size(), 5);
    QCOMPARE(points[0][u"file"].toString(), good);
    QCOMPARE(points[0][u"nominalR"].toDouble(), 100.0);
    QCOMPARE(points[0][u"outputMode"].toString(), u"4..20 мА"_s);
    QCOMPARE(points[4][u"value"].toDouble(), 300.0);
    QCOMPARE(points[4][u"output"].toDouble(), 20.0);
    QCOMPARE(points[1][u"percent"].toInt(), 25);
    r = run({u"--points"_s, narrow});
    QVERIFY2(r.out.contains(u"точек нет: диапазон измерения задан некорректно"_s), qPrintable(r.out));

    // CSV: a header and a row per point that parse back.
    r = run({u"--points"_s, u"--csv"_s, good, narrow});
    QCOMPARE(r.status, kExitClean);
    bool wellFormed = false;
    const QList<QStringList> rows = parseCsv(r.out.mid(1), &wellFormed);
    QVERIFY(wellFormed);
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[0].first(), u"file"_s);
    QCOMPARE(rows[1], (QStringList{good, u"1"_s, u"Pt a=0.00385"_s, u"100"_s, u"4..20 мА"_s, u"0"_s, u"-200"_s,
                                   u"°С"_s, u"18.520"_s, u"Ом"_s, u"4.000"_s, u"мА"_s}));

    // A path that cannot be read is an error; usage errors and --help as for the check.
    r = run({u"--points"_s, dir.path() + u"/missing.cfg"_s});
    QCOMPARE(r.status, kExitError);
    QVERIFY(r.err.contains(u"missing.cfg"_s));
    QCOMPARE(run({u"--points"_s, u"--quiet"_s, good}).status, kExitError);
    QCOMPARE(run({u"--points"_s, u"--diff"_s, good, good}).status, kExitError);
    QVERIFY(run({u"--help"_s}).out.contains(u"--points"_s));
}

void TestCheck::outputsParseBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray ref = referenceBytes();
    // Texts that need quoting or guarding in CSV, and control characters.
    const QByteArray files[] = {
        ref,
        withValue(ref, "Reqs", "Firm", toCp1251Lossy(u"=HYPERLINK(\"x\"), «Ёлка»"_s)),
        withValue(withValue(ref, "Reqs", "Phone", "+7 495\x1b[2J"), "Channel 1", "Temperature min", "250"),
        writeQuestionnaire(defaultQuestionnaire(4, {4, 12})).bytes,
        QByteArray("\xff\xfe junk"),
        withValue(withValue(ref, "Reqs", "Firm", toCp1251Lossy(u"ООО Рога; Копыта"_s)), "Reqs", "Phone", "7\x07"),
        withValue(ref, "Reqs", "Phone", "-2+3"),
        withValue(ref, "Reqs", "Phone", "'-2+3"),
    };
    int n = 0;
    for (const QByteArray &bytes : files) {
        QFile file(dir.filePath(u"f%1.cfg"_s.arg(n++)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const int count = int(std::size(files));

    // JSON: one array, an object per file with the documented keys.
    Run r = run({u"--json"_s, dir.path()});
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(doc.array().size(), count);
    const QJsonObject second = doc.array()[1].toObject();
    QCOMPARE(second.keys(), (QStringList{u"channels"_s, u"computedCode"_s, u"model"_s, u"path"_s, u"problems"_s,
                                         u"quantity"_s, u"reason"_s, u"requisites"_s, u"storedCode"_s, u"verdict"_s}));
    QCOMPARE(second[u"requisites"][u"firm"].toString(), u"=HYPERLINK(\"x\"), «Ёлка»"_s);
    QCOMPARE(second[u"model"][u"name"].toString(), u"ЖУВ-610-101"_s);
    QCOMPARE(second[u"channels"][0][u"range"][u"unit"].toString(), u"°С"_s);
    const QJsonArray problems = doc.array()[2][u"problems"].toArray();
    QCOMPARE(problems.size(), 2);
    QCOMPARE(problems[0][u"code"].toString(), u"range-too-narrow"_s);
    QCOMPARE(problems[0][u"channel"].toInt(), 1);
    QCOMPARE(problems[1][u"code"].toString(), u"requisite-not-cp1251"_s);
    QVERIFY(problems[1][u"channel"].isNull());

    // CSV: UTF-8 with a byte-order mark, a header and one row per file, all of the same width.
    r = run({u"--csv"_s, dir.path()});
    QVERIFY(r.out.startsWith(QChar(0xFEFF)));
    bool wellFormed = false;
    const QList<QStringList> rows = parseCsv(r.out.mid(1), &wellFormed);
    QVERIFY(wellFormed);
    QCOMPARE(rows.size(), count + 1);
    for (const QStringList &row : rows)
        QCOMPARE(row.size(), csvHeader().size());
    const qsizetype firm = rows[0].indexOf(u"firm"_s);
    const qsizetype phone = rows[0].indexOf(u"phone"_s);
    // A formula is guarded by a character that shows as nothing; an apostrophe is only text.
    QCOMPARE(rows[2][firm], u"\u2060=HYPERLINK(\"x\"), «Ёлка»"_s);
    QCOMPARE(rows[3][phone], u"\u2060+7 495\uFFFD[2J"_s);
    QCOMPARE(rows[count - 1][phone], u"\u2060-2+3"_s);
    QCOMPARE(rows[count][phone], u"'-2+3"_s);
    // Whichever separators an import takes (comma, semicolon, tab), a text holding one is quoted,
    // and no control character gets through.
    QVERIFY(r.out.contains(u",\"ООО Рога; Копыта\","_s));
    QCOMPARE(rows[count - 2][phone], u"7\uFFFD"_s);
    QVERIFY(!r.out.contains(QChar(0x1b)) && !r.out.contains(QChar(0x07)));
    QCOMPARE(rows[3][rows[0].indexOf(u"problem_codes"_s)], u"range-too-narrow requisite-not-cp1251"_s);

    // Text: a block per file, its verdict and problems recoverable line by line.
    r = run({dir.path()});
    QVERIFY(!r.out.contains(QChar(0x1b)));
    QStringList blocks = r.out.split(u"\n\n"_s);
    QVERIFY(blocks.takeLast().startsWith(u"Итого файлов: %1,"_s.arg(count)));
    QCOMPARE(blocks.size(), count);
    static const QRegularExpression verdictLine(u"^Результат: ([a-z-]+) — "_s, QRegularExpression::MultilineOption);
    static const QRegularExpression problemLine(u"^  \\[([a-z0-9-]+)\\] "_s, QRegularExpression::MultilineOption);
    for (int i = 0; i < count; ++i) {
        const QJsonObject object = doc.array()[i].toObject();
        QVERIFY(blocks[i].startsWith(u"Файл: "_s + object[u"path"].toString() + u'\n'));
        QCOMPARE(verdictLine.match(blocks[i]).captured(1), object[u"verdict"].toString());
        QStringList codes;
        for (auto it = problemLine.globalMatch(blocks[i]); it.hasNext();)
            codes << it.next().captured(1);
        QCOMPARE(codes.size(), object[u"problems"].toArray().size());
    }
}

namespace {

void putFile(const QByteArray &path, const QByteArray &bytes)
{
    QFile file;
    // QFile would lose the bytes of a name that is not UTF-8.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QVERIFY(file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray atTheLimit()
{
    QByteArray lines;
    for (qint64 i = 0; i < kQuestionnaireSizeLimit / 2; ++i)
        lines += "a\n";
    return lines;
}

// The one report of a run over dir, checked against what it must say on stdout and stderr.
void expectOneReport(const Run &r, const QString &shownPath, const QString &verdict, const QString &reason)
{
    const QJsonArray reports = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0][u"path"].toString(), shownPath);
    QCOMPARE(reports[0][u"verdict"].toString(), verdict);
    QCOMPARE(reports[0][u"reason"].toString(), reason);
    if (reason.isEmpty()) {
        QVERIFY(r.status != kExitError);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    } else {
        QCOMPARE(r.status, kExitError);
        QCOMPARE(r.err, u"qs_juv_check: %1: %2\n"_s.arg(shownPath, reason));
    }
}

// The bytes displayPath shows: \\ is a backslash, \xHH a byte, everything else UTF-8.
QByteArray undisplay(const QString &shown)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] != u'\\') {
            const qsizetype n = shown[i].isHighSurrogate() ? 2 : 1;
            bytes += shown.mid(i, n).toUtf8();
            i += n - 1;
        } else if (shown.mid(i + 1, 1) == u"\\"_s) {
            bytes += '\\';
            ++i;
        } else if (shown.mid(i + 1, 1) == u"x"_s) {
            bytes += char(shown.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            return "<a lone backslash>";
        }
    }
    return bytes;
}

} // namespace

void TestCheck::hostilePaths_data()
{
    QTest::addColumn<QByteArray>("name");
    // A Special, -1 for a file with the contents below, -2 for one whose rewrite was killed, -3 for
    // one at the end of the path name, -4 for one beside a folder bind-mounted into its own.
    QTest::addColumn<int>("special");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("shown"); // of the one file reported
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("reason");

    const QByteArray ref = referenceBytes();
    const auto file = [](const char *row, const QByteArray &name, const QByteArray &contents, const QString &shown,
                         const QString &verdict) {
        QTest::newRow(row) << name << -1 << contents << shown << verdict << QString();
    };
    const auto special = [](const char *row, const QByteArray &name, Special kind, const QString &reason,
                            const QString &shown = QString()) {
        QTest::newRow(row) << name << int(kind) << QByteArray() << (shown.isNull() ? QString::fromUtf8(name) : shown)
                           << u"unreadable"_s << reason;
    };
    const QString notRegular = u"not a regular file"_s;

    // "Заказ" in Windows-1251, and a decoy whose name is what that used to turn into.
    file("Windows-1251 name", "\xc7\xe0\xea\xe0\xe7.cfg", ref, u"\\xc7\\xe0\\xea\\xe0\\xe7.cfg"_s, u"ok"_s);
    file("decoy of replacement characters", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd.cfg",
         "garbage", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD.cfg"_s, u"not-questionnaire"_s);
    file("cut UTF-8 sequence", "\xd0.cfg", ref, u"\\xd0.cfg"_s, u"ok"_s);
    file("upper-case extension", "Q.CFG", ref, u"Q.CFG"_s, u"ok"_s);
    file("backslash", "a\\xc7.cfg", ref, u"a\\\\xc7.cfg"_s, u"ok"_s);
    file("terminal control characters", "\x1b]0;owned\x07\n.cfg", ref, u"\\x1b]0;owned\\x07\\x0a.cfg"_s, u"ok"_s);
    file("C1 control and right-to-left override", "\xc2\x9b\xe2\x80\xaegfc.cfg", ref,
         u"\\xc2\\x9b\\xe2\\x80\\xaegfc.cfg"_s, u"ok"_s);
    file("byte-order mark", "\xef\xbb\xbfq.cfg", ref, u"\\xef\\xbb\\xbfq.cfg"_s, u"ok"_s);
    file("Hangul fillers that show as blanks", "\xe1\x85\x9f\xe1\x85\xa0\xe3\x85\xa4\xef\xbe\xa0.cfg", ref,
         u"\\xe1\\x85\\x9f\\xe1\\x85\\xa0\\xe3\\x85\\xa4\\xef\\xbe\\xa0.cfg"_s, u"ok"_s);
    file("exactly the size limit", "limit.cfg", atTheLimit(), u"limit.cfg"_s, u"not-questionnaire"_s);
    QTest::newRow("one byte over the size limit") << QByteArray("over.cfg") << -1 << atTheLimit() + 'a'
                                                  << u"over.cfg"_s << u"unreadable"_s << u"larger than 1 MiB"_s;
    special("FIFO", "fifo.cfg", Special::Fifo, notRegular);
    // On stderr too: no line of its own, no title, no cleared screen.
    special("FIFO named with control characters", "\x1b]0;x\x07\r\x1b[2J.cfg", Special::Fifo, notRegular,
            u"\\x1b]0;x\\x07\\x0d\\x1b[2J.cfg"_s);
    special("socket", "socket.cfg", Special::Socket, notRegular);
    special("link to an endless device", "zero.cfg", Special::DeviceLink, notRegular);
    special("link to a FIFO", "fifo-link.cfg", Special::FifoLink, notRegular);
    special("link to a folder", "folder-link.cfg", Special::FolderLink, notRegular);
    special("dangling link", "dangling.cfg", Special::DanglingLink, u"dangling symbolic link"_s);
    special("link to a file that hides its size", "unsized.cfg", Special::UnsizedLink, u"larger than 1 MiB"_s);
    // Before a rewrite in place (here for its hard link) the old content is copied beside it: while
    // that copy is there, the file may be a mix of old and new, whatever its content says.
    QTest::newRow("rewrite in place killed") << QByteArray("killed.cfg") << -2 << atTheLimit() << u"killed.cfg"_s
                                             << u"interrupted-save"_s << QString();
    // Longer than any path the system takes, walked with fewer descriptors than it has levels.
    const QByteArray deep = QByteArray("d/").repeated(3000) + "deep.cfg";
    QTest::newRow("3000 folders deep") << deep << -3 << ref << QString::fromLatin1(deep) << u"ok"_s << QString();
    QTest::newRow("folder bind-mounted into itself") << QByteArray("in.cfg") << -4 << ref << u"in.cfg"_s << u"ok"_s << QString();
    // A real folder is searched, whatever its name.
    QTest::newRow("folder named x.cfg") << QByteArray("x.cfg") << int(Special::Folder) << ref << u"x.cfg/in.cfg"_s
                                        << u"ok"_s << QString();
}

// Each name found by a folder scan and named on the command line: shown unambiguously, read
// only when it is a regular file within the limit, never blocking, and stderr as clean as stdout.
void TestCheck::hostilePaths()
{
    QFETCH(QByteArray, name);
    QFETCH(int, special);
    QFETCH(QByteArray, contents);
    QFETCH(QString, shown);
    QFETCH(QString, verdict);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray path = root + '/' + name;
    if (Special(special) == Special::UnsizedLink && !unsizedHoldsMore(kQuestionnaireSizeLimit))
        QSKIP("no file here reports size 0 and holds more than 1 MiB");
    if (special == -3) {
        // Made level by level: the whole path is longer than the system takes at once.
        int level = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < 3000 && level >= 0; ++i) {
            const int below = ::mkdirat(level, "d", 0755) == 0 ? ::openat(level, "d", O_RDONLY | O_DIRECTORY) : -1;
            ::close(level);
            level = below;
        }
        const int fd = level >= 0 ? ::openat(level, "deep.cfg", O_WRONLY | O_CREAT, 0644) : -1;
        QVERIFY(fd >= 0 && ::write(fd, contents.constData(), size_t(contents.size())) == contents.size());
        ::close(fd);
        ::close(level);
        rlimit descriptors {};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &descriptors), 0);
        const rlimit few{256, descriptors.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &few), 0);
        const Run r = runRaw({"--json", root});
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &descriptors), 0);
        QProcess::execute(u"rm"_s, {u"-rf"_s, dir.filePath(u"d"_s)}); // QDir cannot remove so deep a tree
        expectOneReport(r, dir.path() + u'/' + shown, verdict, reason);
        return;
    }
    if (special == -4) {
        putFile(path, contents);
        QVERIFY(QDir(dir.path()).mkdir(u"loop"_s));
        // In a mount namespace of its own, which goes with the checker.
        QProcess check;
        check.start(u"unshare"_s, {u"-rm"_s, u"sh"_s, u"-c"_s, u"mount --bind \"$1\" \"$1/loop\" || exit 97; exec \"$0\" --json \"$1\""_s,
                                   QStringLiteral(QS_JUV_CHECK_BINARY), dir.path()});
        const bool finished = check.waitForFinished(20000);
        if (check.error() == QProcess::FailedToStart || (finished && check.exitCode() == 97))
            QSKIP("needs a mount namespace of its own (unshare -rm) to bind-mount a folder");
        QVERIFY2(finished && check.exitStatus() == QProcess::NormalExit, "the checker did not end");
        const Run r{check.exitCode(), QString::fromUtf8(check.readAllStandardOutput()), QString()};
        expectOneReport(r, dir.path() + u'/' + shown, verdict, reason);
        QCOMPARE(QString::fromUtf8(check.readAllStandardError()),
                 u"qs_juv_check: %1/loop: каталог уже обходится выше по пути (смонтирован сам в себя), повторно не обходится\n"_s.arg(dir.path()));
        return;
    }
    if (special < 0)
        putFile(path, contents);
    else
        QVERIFY(makeSpecial(Special(special), path));
    if (special == -2) {
        QCOMPARE(::link(path.constData(), (path + ".link").constData()), 0);
        {
            // Killed after the new content is written, before it is synced and its copy removed.
            StoppedSave save(QFile::decodeName(path), QByteArray(512 << 10, 'n'), "sync:2");
            QVERIFY2(save.stopped(), "the save did not stop in its rewrite");
        }
        const QStringList copies = QDir(dir.path()).entryList({u".qs_juv-old-*"_s}, QDir::Files | QDir::Hidden);
        QCOMPARE(copies.size(), 1);
        const QString said = u"a save was interrupted; the old content is in "_s + dir.filePath(copies[0]);
        // Another checker reads it meanwhile, under a shared lock as a checker does.
        const int reader = ::open(path.constData(), O_RDONLY);
        QVERIFY(reader >= 0 && ::flock(reader, LOCK_SH) == 0);
        const auto closeReader = qScopeGuard([reader] { ::close(reader); });
        for (const QByteArray &named : {path, root}) {
            const Run r = runRaw({"--json", named});
            const QJsonObject report = QJsonDocument::fromJson(r.out.toUtf8()).array().at(0).toObject();
            QCOMPARE(report[u"verdict"].toString(), verdict);
            QCOMPARE(report[u"reason"].toString(), said);
            QCOMPARE(r.status, kExitProblems);
        }
        // Equal to itself as the form shows it, yet it may be a mix: never called equal.
        const Run diff = runRaw({"--diff", path, path});
        QCOMPARE(diff.status, kExitProblems);
        QCOMPARE(diff.err, (u"qs_juv_check: %1: %2\n"_s.arg(dir.filePath(shown), said)).repeated(2));
        return;
    }
    if (Special(special) == Special::Folder)
        putFile(path + "/in.cfg", contents);

    const Watchdog watchdog(30);
    expectOneReport(runRaw({"--json", root}), dir.path() + u'/' + shown, verdict, reason);
    // Where the listing gives no entry types, the file system is asked: the same entry is found.
    const Walked typed = walked(root, {});
    const Walked asked = walked(root, {.listingTypes = false});
    QCOMPARE(typed.paths.size(), 1);
    QCOMPARE(asked.paths, typed.paths);
    QCOMPARE(asked.failed, typed.failed);
    // Named on the command line, a link to a folder is a folder to search.
    if (Special(special) != Special::FolderLink)
        expectOneReport(runRaw({"--json", path}), dir.path() + u'/' + shown, verdict, reason);
    ::unlink(path.constData()); // QTemporaryDir cannot remove a name that is not UTF-8
}

void TestCheck::pathDisplayIsUnambiguous()
{
    std::mt19937 rng(1251);
    const char pieces[][5] = {"\\", "x", "4", "a", "\xd0", "\x97", "\xd0\x97", "\xe2\x80\xae", "\xef\xbb\xbf",
                              "\x1b", "\n", "\xff", "\xc2\x85", "\xf0\x9f\x98\x80", "\xed\xa0\x80"};
    for (int i = 0; i < 20000; ++i) {
        QByteArray name;
        for (int k = std::uniform_int_distribution<int>(0, 6)(rng); k > 0; --k)
            name += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(rng)];
        const QString shown = displayPath(name);
        QCOMPARE(undisplay(shown), name);
        for (const QChar c : shown)
            QVERIFY2(c.category() != QChar::Other_Control && c.category() != QChar::Other_Format, name.toHex().constData());
    }
}

// main() hands argv on as bytes: a Windows-1251 name is found, not the decoy its decoded text
// names, and a FIFO does not block.
void TestCheck::rawArgumentsReachTheOpenCall()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray cp1251 = root + "/\xc7\xe0\xea\xe0\xe7.cfg";
    putFile(cp1251, referenceBytes());
    putFile(root + "/\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd.cfg", "garbage");
    QVERIFY(makeSpecial(Special::Fifo, root + "/fifo.cfg"));

    // Both found by a scan, each as itself.
    Run scan = runRaw({"--csv", root});
    bool wellFormed = false;
    const QList<QStringList> rows = parseCsv(scan.out.mid(1), &wellFormed);
    QVERIFY(wellFormed);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[2].mid(0, 2), (QStringList{dir.path() + u"/\\xc7\\xe0\\xea\\xe0\\xe7.cfg"_s, u"ok"_s}));
    QCOMPARE(rows[3].mid(0, 2), (QStringList{dir.path() + u"/\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD.cfg"_s, u"not-questionnaire"_s}));

    QProcess check;
    // QProcess would encode the arguments as UTF-8; the shell passes the bytes printf makes.
    check.start(u"/bin/sh"_s, {u"-c"_s, u"exec \"$0\" --json \"$(printf '%s/\\307\\340\\352\\340\\347.cfg' \"$1\")\" \"$1/fifo.cfg\""_s,
                               QStringLiteral(QS_JUV_CHECK_BINARY), dir.path()});
    const bool finished = check.waitForFinished(20000);
    if (!finished)
        check.kill();
    QVERIFY2(finished, "qs_juv_check blocked");
    QCOMPARE(check.exitCode(), kExitError);
    const QJsonArray reports = QJsonDocument::fromJson(check.readAllStandardOutput()).array();
    QCOMPARE(reports.size(), 2);
    QCOMPARE(reports[0][u"path"].toString(), dir.path() + u"/\\xc7\\xe0\\xea\\xe0\\xe7.cfg"_s);
    QCOMPARE(reports[0][u"verdict"].toString(), u"ok"_s);
    QCOMPARE(reports[1][u"reason"].toString(), u"not a regular file"_s);
    QCOMPARE(check.readAllStandardError(), "qs_juv_check: " + root + "/fifo.cfg: not a regular file\n");
    ::unlink(cp1251.constData());
}

// Entries that only permissions make unreadable are reported with the system's reason.
void TestCheck::permissionsAsUser()
{
    QS_JUV_RUN_AS_NOBODY("permissionsAsUser");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    putFile(QFile::encodeName(root + u"/locked.cfg"_s), referenceBytes());
    QVERIFY(QFile::setPermissions(root + u"/locked.cfg"_s, {}));
    QVERIFY(QDir().mkdir(root + u"/closed"_s));
    putFile(QFile::encodeName(root + u"/closed/in.cfg"_s), referenceBytes());
    QVERIFY(QFile::link(root + u"/closed/in.cfg"_s, root + u"/through.cfg"_s));
    QVERIFY(QFile::setPermissions(root + u"/closed"_s, {}));

    const Run r = run({u"--csv"_s, root});
    const QString denied = qt_error_string(EACCES);
    // Also where the listing gives no entry types: the folder is reported, not passed by.
    const Walked asked = walked(QFile::encodeName(root), {.listingTypes = false});
    QVERIFY(QFile::setPermissions(root + u"/closed"_s, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(asked.failed);
    QCOMPARE(asked.err, u"qs_juv_check: "_s + root + u"/closed: не удалось прочитать каталог: "_s + denied + u'\n');
    QCOMPARE(asked.paths.size(), 2);
    QCOMPARE(r.status, kExitError);
    QVERIFY2(r.err.contains(root + u"/closed: не удалось прочитать каталог: "_s + denied), qPrintable(r.err));
    QVERIFY2(r.err.contains(root + u"/locked.cfg: "_s + denied + u'\n'), qPrintable(r.err));
    QVERIFY2(r.err.contains(root + u"/through.cfg: "_s + denied + u'\n'), qPrintable(r.err));
    bool wellFormed = false;
    const QList<QStringList> rows = parseCsv(r.out.mid(1), &wellFormed);
    QCOMPARE(rows.size(), 3);
    for (const QStringList &row : rows.mid(1))
        QCOMPARE(row.mid(1, 2), (QStringList{u"unreadable"_s, denied}));

    // A folder that can be listed but not entered: where the listing gives no types, none can be
    // asked either. A *.cfg entry is checked (and found unreadable), anything else is reported.
    const QString listOnly = root + u"/list-only"_s;
    QVERIFY(QDir().mkpath(listOnly + u"/sub"_s));
    putFile(QFile::encodeName(listOnly + u"/n.cfg"_s), referenceBytes());
    QVERIFY(QFile::setPermissions(listOnly, QFileDevice::ReadOwner));
    const Walked untyped = walked(QFile::encodeName(listOnly), {.listingTypes = false});
    QVERIFY(QFile::setPermissions(listOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(untyped.failed);
    QCOMPARE(untyped.paths, QStringList{listOnly + u"/n.cfg"_s});
    QCOMPARE(untyped.err, u"qs_juv_check: "_s + listOnly + u"/sub: не удалось узнать тип записи: "_s + denied + u'\n');
}

// Out of memory while checking one file, as under a limit on address space: that file is
// unreadable, the others are checked and reported. With room for 64 MB more, it is checked.
// Each limit is tried in a fresh run of this test program, whose heap holds nothing to reuse.
void TestCheck::oneFailureNeverEndsTheRun()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer ends the process on any failed allocation instead of throwing bad_alloc");
#endif
    const QByteArray room = qgetenv("QS_JUV_TEST_ROOM_MB");
    if (room.isEmpty()) {
        for (const char *megabytes : {"16", "64"}) {
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(u"QS_JUV_TEST_ROOM_MB"_s, QString::fromLatin1(megabytes));
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(), {u"oneFailureNeverEndsTheRun"_s});
            const bool finished = child.waitForFinished(60000);
            if (!finished)
                child.kill();
            QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                     child.readAll().constData());
        }
        return;
    }

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    putFile(root + "/a.cfg", referenceBytes());
    putFile(root + "/b.cfg", atTheLimit());
    putFile(root + "/c.cfg", referenceBytes());
    QVERIFY(checkFile(std::string(root + "/a.cfg")).clean()); // lazy tables are built before the limit
    QFile statm(u"/proc/self/statm"_s);
    QVERIFY(statm.open(QIODevice::ReadOnly));
    const rlim_t limit = rlim_t(statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE)
                                + room.toLongLong() * 1024 * 1024);
    const rlimit addressSpace{limit, limit};
    QCOMPARE(setrlimit(RLIMIT_AS, &addressSpace), 0);

    const Run r = runRaw({"--json", root + "/a.cfg", root + "/b.cfg", root + "/c.cfg"});
    const QJsonArray reports = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(reports.size(), 3);
    QCOMPARE(reports[0][u"verdict"].toString(), u"ok"_s);
    QCOMPARE(reports[2][u"verdict"].toString(), u"ok"_s);
    if (room == "16") {
        QCOMPARE(r.status, kExitError);
        QCOMPARE(reports[1][u"verdict"].toString(), u"unreadable"_s);
        QCOMPARE(reports[1][u"reason"].toString(), qt_error_string(ENOMEM));
    } else {
        QCOMPARE(r.status, kExitProblems);
        QCOMPARE(reports[1][u"verdict"].toString(), u"not-questionnaire"_s);
    }
}

// Files deep in a tree cost a path of hundreds of components each: checked as they are found,
// they never pile up. The growth of peak memory is measured in a child, whose start is the floor.
void TestCheck::memoryDoesNotGrowWithTheTree()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer holds freed memory in quarantine: peak memory says nothing here");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray ref = referenceBytes();
    QByteArray folder = QFile::encodeName(dir.path());
    for (int depth = 0; depth < 300; ++depth) {
        folder += "/d";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        for (int i = 0; i < 10; ++i)
            putFile(folder + "/f" + QByteArray::number(i) + ".cfg", ref);
    }
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        rusage before {};
        getrusage(RUSAGE_SELF, &before);
        const Run r = run({u"--quiet"_s, dir.path()});
        rusage after {};
        getrusage(RUSAGE_SELF, &after);
        const long grownKb = after.ru_maxrss - before.ru_maxrss;
        std::fprintf(stderr, "status %d, peak memory grew by %ld kB\n", r.status, grownKb);
        _exit(r.status == kExitClean && r.out.isEmpty() && grownKb < 16 * 1024 ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
