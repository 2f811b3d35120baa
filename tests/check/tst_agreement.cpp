// Every damaged file through both readers: loaded into a fresh form as a user would pick it, and
// checked by qs_juv_check. What the checker says the form shows, the form must show.
#include "DamagedCorpus.h"
#include "FormDriver.h"
#include "check/FileCheck.h"
#include "core/PathText.h"
#include "core/Questionnaire.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeRules.h"


using namespace Qt::StringLiterals;
using namespace qsjuv;
using qsjuv::LoadedChannel;
using qsjuv::check::FileReport;
using qsjuv::Problem;
using qsjuv::check::Verdict;
using qsjuv::check::checkFile;

namespace {

QString utf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// The entry a combo shows, empty when it is hidden or shows none.
QString shown(const TQS_JUVForm &form, const QComboBox *box)
{
    return box->isVisibleTo(&form) && box->currentIndex() >= 0 ? box->currentText() : QString();
}

QString number(const std::optional<int> &value)
{
    return value ? QString::number(*value) : u"(no number)"_s;
}

bool hasProblem(const FileReport &report, int channel, std::initializer_list<const char *> codes)
{
    return std::any_of(report.problems.begin(), report.problems.end(), [&](const Problem &p) {
        return p.channel == channel
                && std::any_of(codes.begin(), codes.end(), [&](const char *code) { return qstrcmp(code, p.code) == 0; });
    });
}

QString describe(const QuestionnaireChannel &ch)
{
    return u"on %1, sensor %2, %3..%4, R %5, connection %6, output %7"_s.arg(
            QString::number(ch.inputOn), QString::number(ch.sensorId), ch.minText, ch.maxText,
            QString::number(ch.nomRPosition), QString::number(ch.connPosition), QString::number(ch.outputPosition));
}

class Differences
{
public:
    void compare(const QString &what, const QString &form, const QString &checker)
    {
        if (form != checker)
            m_list << u"%1: form shows '%2', checker says '%3'"_s.arg(what, form.left(90), checker.left(90));
    }
    QString text() const { return m_list.join(u'\n'); }

private:
    QStringList m_list;
};

// True when the checker claimed every value of the channel.
bool compareChannel(const TQS_JUVForm &form, const FileReport &report, const LoadedChannel &ch, Differences &diff)
{
    const QByteArray p = "Ch" + QByteArray::number(ch.number);
    const auto box = [&](const char *role) { return combo(form, (p + role).constData()); };
    const auto named = [&](const char *what) { return QString::fromLatin1(p) + u' ' + QLatin1StringView(what); };

    // Without a known model the form keeps the one it showed, and its locked inputs: the checker
    // claims nothing more.
    if (!report.model)
        return false;
    diff.compare(named("input"), ::check(form, (p + "InputCheck").constData())->isChecked() ? u"on"_s : u"off"_s,
                 ch.value.inputOn ? u"on"_s : u"off"_s);
    const int position = combo(form, "DeviceCombo")->currentIndex();
    const bool offered = ch.sensor && offersSensorType(position, ch.sensor->type);
    if (offered) {
        diff.compare(named("sensor type"), box("SensorCombo")->currentText(),
                     utf8(sensorTypeEntryText(indexOfSensorType(ch.sensor->type))));
        diff.compare(named("characteristic"), box("CharCombo")->currentText(),
                     QString::fromStdString(displayName(ch.sensor->name)));
        diff.compare(named("nominal resistance"), shown(form, box("NomRCombo")),
                     ch.nominalROhms ? QString::number(*ch.nominalROhms) : QString());
        diff.compare(named("connection"), shown(form, box("ConnCombo")), utf8(ch.connection));
    }
    diff.compare(named("max"), number(strictToInt(edit(form, (p + "MaxEdit").constData())->text())), number(ch.max));
    diff.compare(named("min"), number(strictToInt(edit(form, (p + "MinEdit").constData())->text())), number(ch.min));
    diff.compare(named("max caption"), label(form, (p + "MaxLabel").constData())->text(), utf8(maxCaption(ch.unitType)));
    diff.compare(named("output"), shown(form, box("OutputCombo")), utf8(ch.output));
    // A named sensor the model does not offer is replaced before a save: the checker leaves its
    // range alone.
    if (ch.rangeSaved) {
        // What the core says the form holds, the form holds.
        const QuestionnaireChannel value = form.questionnaire().channels.at(std::size_t(ch.number - 1));
        diff.compare(named("value"), describe(value), describe(ch.value));
        const bool red = textColour(edit(form, (p + "MaxEdit").constData())) == kRed;
        diff.compare(named("range refused"), red ? u"red"_s : u"normal"_s,
                     hasProblem(report, ch.number, {"range-too-narrow", "range-not-number"}) ? u"red"_s : u"normal"_s);
    }
    return offered;
}

} // namespace

class TestAgreement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void formAndCheckerAgree_data();
    void formAndCheckerAgree();
    void cleanupTestCase();

private:
    CorpusFolder m_corpus;
    int m_fullyCompared = 0;
};

void TestAgreement::initTestCase()
{
    const QString error = m_corpus.write();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(std::any_of(m_corpus.samples().begin(), m_corpus.samples().end(),
                        [](const Sample &s) { return s.name.startsWith("fuzz-"); }));
}

void TestAgreement::formAndCheckerAgree_data()
{
    m_corpus.addTestRows();
}

void TestAgreement::formAndCheckerAgree()
{
    QFETCH(QByteArray, name);
    const QString path = m_corpus.path(name);
    // A fresh form each time: what a form keeps from an earlier file, no checker can know.
    TQS_JUVForm form;
    const auto [messages, unexpected] = loadThroughForm(form, path);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
    const FileReport report = checkFile(qsjuv::nativePath(path));

    Differences diff;
    const bool warned = !messages.empty() && messages[0].icon == QMessageBox::Warning;
    // Without a model id the form takes the file only when the check code matches, and an absent
    // code counts as 1 there.
    const bool rejected = report.verdict == Verdict::CheckCodeMismatch
            || (report.verdict == Verdict::NoModelId && report.computedCode != report.storedCode.value_or(1));
    diff.compare(u"warning"_s, warned ? u"warned"_s : u"silent"_s, rejected ? u"warned"_s : u"silent"_s);
    if (report.model)
        diff.compare(u"model"_s, combo(form, "DeviceCombo")->currentText(),
                     QString::fromStdString(modelListText(*report.model)));
    bool full = !report.channels.empty();
    for (const LoadedChannel &ch : report.channels)
        full = compareChannel(form, report, ch, diff) && full;
    m_fullyCompared += full;
    if (!warned) {
        diff.compare(u"firm"_s, edit(form, "FirmNameEdit")->text(), report.firm);
        diff.compare(u"phone"_s, edit(form, "PhoneEdit")->text(), report.phone);
        diff.compare(u"mail"_s, edit(form, "MailEdit")->text(), report.mail);
        diff.compare(u"bill"_s, edit(form, "BillEdit")->text(), report.bill);
        diff.compare(u"quantity"_s, number(strictToInt(edit(form, "QntyEdit")->text())), number(report.quantity));
        diff.compare(u"version"_s, form.findChild<QLabel *>(u"StatusBarPanel1"_s)->text(),
                     u"Версия данных: "_s + report.version);
    }
    QVERIFY2(diff.text().isEmpty(), qPrintable(diff.text()));
}

void TestAgreement::cleanupTestCase()
{
    // Most files must name a model and sensors it offers, or the agreement above proves little.
    const int count = int(m_corpus.samples().size());
    qInfo("%d of %d files compared in every channel value", m_fullyCompared, count);
    QVERIFY(m_fullyCompared >= count / 2);
}

QTEST_MAIN(TestAgreement)
#include "tst_agreement.moc"
