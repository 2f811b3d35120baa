// Every damaged file through both readers: loaded into a fresh form as a user would pick it, and
// checked by qs_juv_check. What the checker says the form shows, the form must show.
#include "DamagedCorpus.h"
#include "FormAgreement.h"
#include "core/LockedChannels.h"
#include "core/PathText.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeRules.h"


using namespace Qt::StringLiterals;
using namespace qsjuv;
using qsjuv::check::FileReport;
using qsjuv::check::Verdict;
using qsjuv::check::checkFile;
using namespace qsjuv::testing;

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
    QuestionnaireWindow form;
    const auto [messages, unexpected] = loadThroughForm(form, path);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
    const FileReport report = checkFile(qsjuv::nativePath(path));

    const bool warned = !messages.empty() && messages[0].icon == QMessageBox::Warning;
    const bool refused = !messages.empty() && messages[0].icon == QMessageBox::Critical;
    QCOMPARE(warned, report.loaded.warning || qsjuv::lockedRangeReplacement(report.loaded.changes));
    QCOMPARE(refused, report.verdict == Verdict::NotQuestionnaire);
    QString diff = disagreement(form, report);
    m_fullyCompared += report.loaded.modelKnown;
    if (!warned && !refused && form.findChild<QLabel *>(u"StatusBarPanel1"_s)->text() != u"Версия данных: "_s + report.version)
        diff += u"\nversion: "_s + form.findChild<QLabel *>(u"StatusBarPanel1"_s)->text();
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestAgreement::cleanupTestCase()
{
    // Most files must name a model and sensors it offers, or the agreement above proves little.
    const int count = int(m_corpus.samples().size());
    qInfo("%d of %d files whose model the catalogue has", m_fullyCompared, count);
    QVERIFY(m_fullyCompared >= count / 2);
}

QTEST_MAIN(TestAgreement)
#include "tst_agreement.moc"
