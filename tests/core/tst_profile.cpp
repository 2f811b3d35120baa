#include "core/AtomicFile.h"
#include "core/SafeRead.h"
#include "core/Cp1251.h"
#include "core/ProfileFile.h"
#include "core/ProfileNumber.h"
#include "Questionnaires.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qsjuv;
using namespace Qt::StringLiterals;
using namespace qsjuv::testing;

namespace {

// Keeps embedded NULs, which a plain literal conversion would stop at.
template<qsizetype N>
QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

private slots:
    void referenceCases_data();
    void referenceCases();
    void readerWholeValues();
    void readerSurvivesJunk();
    void writerReproducesReference();
    void writerEdgeCases();
    void cp1251MatchesCodec();
    void numbers();
    void atomicWrite();
    void atomicWriteWhenDiskFills();
};

void TestProfile::referenceCases_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<int>("ret");
    QTest::addColumn<QByteArray>("out");

    QFile cases(referenceFile("cases.jsonl"));
    QVERIFY(cases.open(QIODevice::ReadOnly));
    int count = 0;
    for (const QByteArray &line : cases.readAll().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const auto hex = [&o](const char *name) {
            return QByteArray::fromHex(o.value(QLatin1StringView(name)).toString().toLatin1());
        };
        QTest::newRow(o.value(QLatin1StringView("id")).toString().toUtf8().constData())
                << hex("file_hex") << hex("section_hex") << hex("key_hex")
                << o.value(QLatin1StringView("bufsize")).toInt(-1)
                << o.value(QLatin1StringView("ret")).toInt(-1) << hex("out_hex");
        ++count;
    }
    QCOMPARE(count, 93);
}

void TestProfile::referenceCases()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(int, bufferSize);
    QFETCH(int, ret);
    QFETCH(QByteArray, out);

    const ProfileReader reader(file);
    int gotRet = -1;
    QCOMPARE(reader.valueCut(section, key, bufferSize, &gotRet), out);
    QCOMPARE(gotRet, ret);
    // Reading whole must equal a buffer that can never be too small.
    QCOMPARE(reader.value(section, key).value_or(QByteArray()),
             reader.valueCut(section, key, INT_MAX));
}

void TestProfile::readerWholeValues()
{
    const QByteArray longValue(500, 'x');
    const ProfileReader r(QByteArray("top=1\r\n[Reqs]\nBill=\nJust text\nLong=\"") + longValue
                          + raw("\"\nFirm=AC\0ME\n  [Reqs\nafter=2\n[ Other ]\n")
                          + QByteArray("x=\"'\"\n"));
    QCOMPARE(r.value("Reqs", "Long"), longValue);
    QCOMPARE(r.value("reqs", "bill"), QByteArray(""));
    QVERIFY(!r.value("Reqs", "Just text"));
    QVERIFY(!r.value("Missing", "Bill"));
    QCOMPARE(r.value("Reqs", "Firm"), QByteArray("AC"));
    QCOMPARE(r.value("Reqs", "after"), QByteArray("2"));
    QCOMPARE(r.value("Other", "x"), QByteArray("'"));
    QVERIFY(!r.value("Reqs", "top"));
    QCOMPARE(r.value("", "top"), QByteArray("1"));
    // Lookup names reach Windows as C strings.
    QCOMPARE(r.value(raw("Reqs\0junk"), "after"), QByteArray("2"));

    // A quoted value meets a buffer with room for nothing.
    int ret = -1;
    QCOMPARE(r.valueCut("Other", "x", 1, &ret), QByteArray());
    QCOMPARE(ret, 0);
    QCOMPARE(ProfileReader(QByteArray("[a]\nk=\"\"")).valueCut("a", "k", 1), QByteArray());
    QCOMPARE(r.valueCut("Reqs", "after", 0, &ret), QByteArray());
}

void TestProfile::readerSurvivesJunk()
{
    // Shapes that would expose per-line rescans or out-of-range reads.
    const qsizetype mb = 1 << 20;
    QByteArray junk(mb, '\0');
    quint32 seed = 12345;
    for (char &c : junk) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 24);
    }
    QByteArray manySections;
    for (int i = 0; i < 100000; ++i)
        manySections += "[s" + QByteArray::number(i) + "]\n";
    manySections += "[end]\nk=v\n";
    const QList<QByteArray> files{
        junk,
        QByteArray("\xEF\xBB\xBF") + junk,
        QByteArray("\xFF\xFE") + junk,
        QByteArray("\xFE\xFF") + junk.left(mb - 1),
        QByteArray(mb, '['),
        QByteArray(mb, '='),
        QByteArray("[") + QByteArray(mb, 'a'),
    };
    for (const QByteArray &f : files) {
        const ProfileReader r(f);
        r.value("Reqs", "Firm");
        r.valueCut("", "", 100);
    }
    QCOMPARE(ProfileReader(manySections).value("END", "K"), QByteArray("v"));

    // A mark before what is no UTF-8 says nothing: the bytes stay Windows-1251, where 0x98 means
    // no character. Marked UTF-8 gives Windows' '?' for what Windows-1251 lacks, its text loses
    // nothing. A cut UTF-16 unit is dropped.
    const ProfileReader marked(QByteArray("\xEF\xBB\xBF[R]\nv=\xF0\x9F\x98\x80\xC6\xD3|\xEF\xBB\xBF"));
    QCOMPARE(marked.value("R", "v"), QByteArray("\xF0\x9F\x98\x80\xC6\xD3|\xEF\xBB\xBF"));
    QCOMPARE(marked.text("R", "v"), std::optional<QString>(fromCp1251("\xF0\x9F\x98\x80\xC6\xD3|\xEF\xBB\xBF")));
    const ProfileReader utf8(QByteArray("\xEF\xBB\xBF[R]\nv=\xF0\x9F\x98\x80\xD0\x96|\xEF\xBB\xBF"));
    QCOMPARE(utf8.value("R", "v"), QByteArray("?\xC6|?"));
    QCOMPARE(utf8.text("R", "v"), std::optional<QString>(u"\U0001F600Ж|\uFEFF"_s));
    // Without a mark: Windows' bytes, and the text of a file that is UTF-8 as UTF-8.
    const ProfileReader bare(QByteArray("[R]\nv=\xD0\x96\xD0\xA3\xD0\x92\n"));
    QCOMPARE(bare.value("R", "v"), QByteArray("\xD0\x96\xD0\xA3\xD0\x92"));
    QCOMPARE(bare.text("R", "v"), std::optional<QString>(u"ЖУВ"_s));
    QCOMPARE(ProfileReader(QByteArray("[R]\nv=\xC6\xD3\xC2\n")).text("R", "v"), std::optional<QString>(u"ЖУВ"_s));
    const ProfileReader utf16(raw("\xFF\xFE[\0R\0]\0\n\0v\0=\0\x16\x04\0\xD8!\0A"));
    QCOMPARE(utf16.value("R", "v"), QByteArray("\xC6?!"));
}

void TestProfile::writerReproducesReference()
{
    const QByteArray name("\xC6\xD3\xC2-610-101"); // ЖУВ-610-101
    const struct
    {
        const char *section;
        const char *key;
        QByteArray value;
    } calls[] = {
        {"Device", "id", "50"},
        {"Device", "name", name},
        {"Channel 1", "Input mode", "1"},
        {"Channel 1", "Sensor id", "1"},
        {"Channel 1", "Sensor type", "1"},
        {"Channel 1", "Sensor R", "1"},
        {"Channel 1", "Input connection", "1"},
        {"Channel 1", "Cold junction comp", "1"},
        {"Channel 1", "Cold junction temp", "0"},
        {"Channel 1", "Temperature max", "300"},
        {"Channel 1", "Temperature min", "-200"},
        {"Channel 1", "Output direction", "0"},
        {"Reqs", "Version", "4e"},
        {"Reqs", "Firm", "ACME"},
        {"Reqs", "Phone", ""},
        {"Reqs", "Mail", "a@b.cd"},
        {"Reqs", "Quantity", "1"},
        {"Reqs", "CheckCode", "829"},
    };
    ProfileWriter writer;
    for (const auto &c : calls)
        writer.writeString(c.section, c.key, c.value);

    const QByteArray expected = readAll(referenceFile("out1.cfg"));
    QCOMPARE(expected.size(), 308);
    QCOMPARE(writer.bytes(), expected);

    const ProfileReader reader(writer.bytes());
    for (const auto &c : calls)
        QCOMPARE(reader.value(c.section, c.key), std::optional<QByteArray>(c.value));
}

void TestProfile::writerEdgeCases()
{
    QCOMPARE(ProfileWriter().bytes(), QByteArray());

    ProfileWriter w;
    w.writeString("T", "k", " \t\x0b\x0c\r\n\x1a lead and trail  ");
    w.writeString("T", "nl", "line1\r\nline2\n[Evil]\rx=1");
    w.writeString("U", "A", "3");
    w.writeString("t", "late", "x");
    w.writeString("u", "a", "4");
    w.writeString("T", "nul", raw("ab\0[X]"));
    w.writeString("", "top", "v");
    QCOMPARE(w.bytes(),
             QByteArray("top=v\r\n"
                        "[T]\r\nk=lead and trail  \r\nnl=line1  line2 [Evil] x=1\r\n"
                        "late=x\r\nnul=ab\r\n"
                        "[U]\r\nA=4\r\n"));

    const ProfileReader r(w.bytes());
    QCOMPARE(r.value("T", "k"), QByteArray("lead and trail"));
    QCOMPARE(r.value("T", "nl"), QByteArray("line1  line2 [Evil] x=1"));
    QVERIFY(!r.value("T", "line2"));
    QVERIFY(!r.value("Evil", "x"));
    QVERIFY(!r.value("T", "x"));
    QCOMPARE(r.value("U", "A"), QByteArray("4"));
    QCOMPARE(r.value("", "top"), QByteArray("v"));
}

void TestProfile::cp1251MatchesCodec()
{
    QVERIFY2(cp1251Available(), "Qt has no windows-1251 codec (built without ICU?)");
    QStringDecoder decoder("windows-1251", QStringDecoder::Flag::Stateless);
    QVERIFY(decoder.isValid());

    QByteArray allBytes;
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        const QString codec = decoder.decode(byte);
        QCOMPARE(fromCp1251(byte), codec);
        if (codec != QString(QChar::ReplacementCharacter))
            QCOMPARE(toCp1251(codec), std::optional<QByteArray>(byte));
        allBytes += byte;
    }
    QCOMPARE(toCp1251(fromCp1251(allBytes)), std::optional<QByteArray>(allBytes));

    for (char32_t u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u < 0xE000)
            continue;
        const QChar c{char16_t(u)};
        QStringEncoder encoder("windows-1251");
        const QByteArray codec = encoder.encode(QStringView(&c, 1));
        const std::optional<QByteArray> ours = toCp1251(QStringView(&c, 1));
        if (ours.has_value() == encoder.hasError() || (ours && *ours != codec))
            QFAIL(qPrintable(QStringLiteral("U+%1 differs from the codec").arg(uint(u), 4, 16)));
    }

    const QString mixed = QStringLiteral(u"Ж€\U0001F600x") + QChar(0xD800);
    QVERIFY(!toCp1251(mixed));
    QCOMPARE(toCp1251Lossy(mixed), QByteArray("\xC6\x88?x?"));
}

void TestProfile::numbers()
{
    const struct
    {
        QByteArray text;
        qint32 value;
    } cases[] = {
        {"-200", -200}, {"4e", 4}, {"  +7", 7}, {"abc", 0}, {"", 0}, {"00042", 42},
        {"\t\n\v\f\r-5", -5}, {"\x1a" "5", 0}, {"+-3", 0}, {"- 3", 0},
        {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"99999999999", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN}, {"-99999999999", INT32_MIN},
        {QByteArray(10000, '9'), INT32_MAX},
    };
    for (const auto &c : cases) {
        if (profileNumber(c.text) != c.value)
            QFAIL(qPrintable(QStringLiteral("profileNumber(\"%1\") = %2, want %3")
                                     .arg(QLatin1StringView(c.text.left(40)))
                                     .arg(profileNumber(c.text))
                                     .arg(c.value)));
    }
}

void TestProfile::atomicWrite()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("q.cfg"));
    QVERIFY(writeFileAtomically(path, "old"));
    QVERIFY(writeFileAtomically(path, "new\r\n"));
    QCOMPARE(readRegularFile(path.toStdString()), std::optional<QByteArray>("new\r\n"));

    SaveResult saved;
    QVERIFY(!writeFileAtomically(path + QStringLiteral("/under-a-file.cfg"), "x", &saved));
    QCOMPARE(saved.error.system, ENOTDIR);
    QVERIFY(!writeFileAtomically(dir.path(), "x"));
    QVERIFY(QFileInfo(dir.path()).isDir());
    QCOMPARE(readAll(path), QByteArray("new\r\n"));

    FileError error;
    QVERIFY(!readRegularFile(dir.path().toStdString(), &error));
    QCOMPARE(error.fault, FileFault::NotRegular);
    QVERIFY(!readRegularFile(dir.filePath(QStringLiteral("missing.cfg")).toStdString()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("q.cfg")});
}

void TestProfile::atomicWriteWhenDiskFills()
{
    // Below the device buffer the failure shows only at flush time; above it, in write().
    for (const qsizetype size : {qsizetype(100), qsizetype(100000)}) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("q.cfg"));
        const QByteArray old("[Reqs]\r\nFirm=OLD\r\n");
        QVERIFY(writeFileAtomically(path, old));

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // No signal is ignored here: the write itself must not let SIGXFSZ end the process.
            const rlimit limit{50, 50};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(2);
            // The reason is the system's, as a full disk would give "No space left on device".
            SaveResult saved;
            _exit(!writeFileAtomically(path, QByteArray(size, 'x'), &saved) && saved.error.system == EFBIG ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("q.cfg")});
    }
}

QTEST_APPLESS_MAIN(TestProfile)
#include "tst_profile.moc"
