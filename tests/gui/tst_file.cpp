// Saving and loading through the form, answering its dialogs as a user would.
#include "AsUser.h"
#include "KilledSave.h"
#include "SpecialFiles.h"
#include "Watchdog.h"
#include "FormDriver.h"
#include "Answers.h"
#include "ModalScript.h"
#include "Questionnaires.h"
#include "check/FileCheck.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/SafeRead.h"
#include "gui/FileDialog.h"
#include "gui/PrintDialog.h"
#include "gui/UserSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTranslator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <grp.h>
#include <memory>
#include <thread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace Qt::StringLiterals;
using qsjuv::testing::readAll;
using qsjuv::testing::writeAll;
using qsjuv::testing::defaultQuestionnaire;
using qsjuv::testing::resealed;
using qsjuv::testing::withValue;

namespace {
const QString kRangeRefused = u"Некорректно задан диапазон измерения. Для сохранения данных в файле диапазон "
                              "следует увеличить. Корректные значения диапазонов см. в подсказках к полям "
                              "границ диапазона."_s;

void fillRequisites(QuestionnaireWindow &form)
{
    edit(form, "FirmNameEdit")->setText(u"ACME"_s);
    edit(form, "MailEdit")->setText(u"a@b.cd"_s);
}

// The messages one save shows, the file dialog answered with path when it is reached.
std::vector<Answers::Message> save(QuestionnaireWindow &form, const QString &path,
                                       std::initializer_list<QMessageBox::StandardButton> answers = {QMessageBox::Ok})
{
    return writeThroughForm(form, path, answers).messages;
}

// Every box one load showed, unplanned ones included.
QStringList load(QuestionnaireWindow &form, const QString &path, QMessageBox::StandardButton unsavedAnswer = QMessageBox::Yes)
{
    QStringList texts = loadThroughForm(form, path, unsavedAnswer).boxes();
    if (form.isModified() && unsavedAnswer == QMessageBox::Yes)
        texts << u"(still modified)"_s;
    return texts;
}

QString panel1(const QuestionnaireWindow &form)
{
    return form.findChild<QLabel *>(u"StatusBarPanel1"_s)->text();
}

bool closesSilently(QuestionnaireWindow &form)
{
    bool canClose = false;
    Answers script;
    canClose = form.mayClose();
    return canClose && script.messages().empty();
}

} // namespace

class TestFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void saveTheWorkedExample();
    void refusals_data();
    void refusals();
    void inputsAndRanges();
    void replaceAndFailures();
    void roundTripTwoChannels();
    void sensor4AndSplitting();
    void repairBeforeSave();
    void loadDamaged();
    void loadCancelPaths();
    void loadSensorNotOffered();
    void specialTargets_data();
    void specialTargets();
    void specialTargetsAsUser();
    void savedFileKeepsItself_data();
    void savedFileKeepsItself();
    void fileIsTheUsers_data();
    void fileIsTheUsers();
    void newAndSaveAs();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestFile::saveTheWorkedExample()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    edit(form, "Ch1MaxEdit")->setText(u"300"_s);
    const auto messages = save(form, path(u"example.cfg"_s));
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, kSaved);
    QCOMPARE(messages[0].icon, QMessageBox::Information);
    QCOMPARE(messages[0].title, form.caption());
    QVERIFY(!form.isModified());
    // The bytes the Windows profile functions wrote for the same questionnaire.
    QCOMPARE(readAll(path(u"example.cfg"_s)), qsjuv::testing::referenceBytes());
    QVERIFY(closesSilently(form));

    QuestionnaireWindow other;
    QCOMPARE(load(other, path(u"example.cfg"_s)), QStringList());
    QCOMPARE(edit(other, "Ch1MaxEdit")->text(), u"300"_s);
    QCOMPARE(edit(other, "FirmNameEdit")->text(), u"ACME"_s);
    QCOMPARE(panel1(other), u"Версия данных: 4e"_s);
    QVERIFY(closesSilently(other));

    // In English the window speaks English, and the file holds the same bytes.
    QTranslator english;
    QVERIFY(english.load(u":/i18n/qs_juv_en.qm"_s));
    QApplication::installTranslator(&english);
    const auto removeEnglish = qScopeGuard([&english] { QApplication::removeTranslator(&english); });
    QuestionnaireWindow translated;
    QCOMPARE(translated.findChild<QComboBox *>(u"Ch1SensorCombo"_s)->itemText(0), u"RTD"_s);
    fillRequisites(translated);
    edit(translated, "Ch1MaxEdit")->setText(u"300"_s);
    QCOMPARE(save(translated, path(u"english.cfg"_s)).at(0).text, u"The file was saved."_s);
    QCOMPARE(readAll(path(u"english.cfg"_s)), qsjuv::testing::referenceBytes());
}

void TestFile::refusals_data()
{
    QTest::addColumn<QString>("firm");
    QTest::addColumn<QString>("mail");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("fault"); // after OK the focus is there, its text selected
    const QString missing = u"В разделе реквизитов не заполнено обязательное поле \"%1\". Для сохранения "
                            "данных в файле это поле необходимо заполнить."_s;
    const QString format = u"В разделе реквизитов указан адрес электронной почты в некорректном формате. "
                           "Для сохранения данных в файле необходимо указать актуальный адрес."_s;
    QTest::newRow("nothing filled") << QString() << QString() << QString() << missing.arg(u"Название фирмы"_s) << u"FirmNameEdit"_s;
    // Blanks are trimmed away before the test, as a reader of the file would drop them.
    QTest::newRow("firm of blanks") << u"   "_s << u"a@b.cd"_s << QString() << missing.arg(u"Название фирмы"_s) << u"FirmNameEdit"_s;
    QTest::newRow("firm of a tab and a line break") << u"\t\n "_s << u"a@b.cd"_s << QString()
                                                    << missing.arg(u"Название фирмы"_s) << u"FirmNameEdit"_s;
    QTest::newRow("mail empty") << u"ACME"_s << QString() << QString() << missing.arg(u"Адрес электронной почты"_s) << u"MailEdit"_s;
    QTest::newRow("mail of blanks") << u"ACME"_s << u"  "_s << QString() << missing.arg(u"Адрес электронной почты"_s) << u"MailEdit"_s;
    QTest::newRow("mail ending in Cyrillic") << u"ACME"_s << u"a@b.cд"_s << QString() << format << u"MailEdit"_s;
    // A character Windows-1251 cannot hold: named by its field.
    QTest::newRow("phone Windows-1251 lacks")
            << u"ACME"_s << u"a@b.cd"_s << u"☎ 123"_s
            << u"В разделе реквизитов поле \"Телефонный номер\" содержит символы, которые невозможно "
               "сохранить в файле. Для сохранения данных в файле эти символы необходимо удалить."_s << u"PhoneEdit"_s;
}

void TestFile::refusals()
{
    QFETCH(QString, firm);
    QFETCH(QString, mail);
    QFETCH(QString, phone);
    QFETCH(QString, message);
    QFETCH(QString, fault);
    QuestionnaireWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    edit(form, "FirmNameEdit")->setText(firm);
    edit(form, "MailEdit")->setText(mail);
    edit(form, "PhoneEdit")->setText(phone);
    edit(form, "BillEdit")->setText(u"№ 5 €"_s); // both exist in Windows-1251
    Answers script;
    script.press(QMessageBox::Ok);
    form.save();
    QVERIFY(script.unexpected().isEmpty());
    QCOMPARE(script.texts(), QStringList{message});
    QCOMPARE(script.messages().at(0).icon, QMessageBox::Warning);
    QLineEdit *faulty = edit(form, fault.toLatin1().constData());
    QTRY_COMPARE(QApplication::focusWidget(), faulty);
    QCOMPARE(faulty->selectedText(), faulty->text());
    QVERIFY(form.isModified());
}

void TestFile::inputsAndRanges()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-120"_s);
    check(form, "Ch1InputCheck")->click();
    {
        Answers script;
        script.press(QMessageBox::Ok);
        form.save();
        QCOMPARE(script.messages().at(0).text,
                 u"Опросный лист заполнен некорректно. Для сохранения данных в файле необходимо "
                 "включить хотя бы один вход изделия."_s);
    }
    // Channel 1 off, channel 2 on: saved, channel 1 written in full with input mode 0.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-220"_s);
    check(form, "Ch1InputCheck")->click();
    QCOMPARE(save(form, path(u"off.cfg"_s)).at(0).text, kSaved);
    const QByteArray bytes = readAll(path(u"off.cfg"_s));
    QVERIFY(bytes.contains("[Channel 1]\r\nInput mode=0\r\nSensor id=1\r\n"));
    QVERIFY(bytes.contains("[Channel 2]\r\nInput mode=1\r\n"));

    // A too-narrow range in a channel whose input is off is still refused; the box says which
    // channel and why, and OK leaves the focus on the channel's first bound, or on its input
    // while that is off.
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const struct {
        const char *bound;
        QString value;
        QString why;
        const char *fault;
    } narrow[] = {
        {"Ch1MinEdit", u"400"_s, u"1 канал. Ширина диапазона: 50 °С. Минимальная ширина диапазона: 100 °С"_s, "Ch1InputCheck"},
        {"Ch2MinEdit", u"400"_s, u"2 канал. Ширина диапазона: 50 °С. Минимальная ширина диапазона: 100 °С"_s, "Ch2MaxEdit"},
    };
    for (const auto &n : narrow) {
        edit(form, n.bound)->setText(n.value);
        if (QByteArray(n.bound).startsWith("Ch2"))
            edit(form, "Ch1MinEdit")->setText(u"-200"_s);
        edit(form, "FirmNameEdit")->setFocus();
        Answers script;
        script.press(QMessageBox::Ok);
        form.save();
        QCOMPARE(script.messages().at(0).text, kRangeRefused);
        QCOMPARE(script.messages().at(0).informativeText, n.why);
        QTRY_COMPARE(QApplication::focusWidget(), control<QWidget>(form, n.fault));
        QVERIFY(script.unexpected().isEmpty());
    }
    // Channel 2 is only checked on models that show it.
    edit(form, "Ch2MinEdit")->setText(u"-50"_s);
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-110"_s);
    edit(form, "Ch2MinEdit")->setText(u"400"_s);
    QCOMPARE(save(form, path(u"one.cfg"_s)).at(0).text, kSaved);
    QVERIFY(!readAll(path(u"one.cfg"_s)).contains("Channel 2"));
}

void TestFile::replaceAndFailures()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    const QString target = path(u"existing.cfg"_s);
    writeAll(target, "old bytes\r\n[Reqs]\r\nBill=old\r\n");

    // No: the old file stays byte for byte, and so does the flag.
    auto messages = save(form, target, {QMessageBox::No});
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, u"Указанный файл уже существует.\nВы действительно хотите заменить его содержимое новыми данными?"_s);
    QCOMPARE(messages[0].icon, QMessageBox::Question);
    QCOMPARE(messages[0].defaultButton, QMessageBox::No);
    QCOMPARE(readAll(target), QByteArray("old bytes\r\n[Reqs]\r\nBill=old\r\n"));
    QVERIFY(form.isModified());

    // Yes: only the new keys.
    messages = save(form, target, {QMessageBox::Yes, QMessageBox::Ok});
    QCOMPARE(messages.back().text, kSaved);
    QVERIFY(!readAll(target).contains("old bytes"));
    QVERIFY(!readAll(target).contains("Bill="));

    // A folder that cannot hold files: the error, no file, the flag kept.
    edit(form, "PhoneEdit")->setText(u"1"_s);
    writeAll(path(u"plain"_s), "x");
    Answers script;
    script.choose(path(u"plain/q.cfg"_s)).press(QMessageBox::Ok);
    form.save();
    QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'\n')));
    QCOMPARE(script.messages().size(), size_t(1));
    QCOMPARE(script.messages()[0].text, kWriteFailed);
    QCOMPARE(script.messages()[0].icon, QMessageBox::Critical);
    QCOMPARE(script.messages()[0].informativeText, fileFailure(path(u"plain/q.cfg"_s), qt_error_string(ENOTDIR)));
    QVERIFY(form.isModified());
    QCOMPARE(readAll(path(u"plain"_s)), QByteArray("x"));
}

void TestFile::roundTripTwoChannels()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    // Pasted text: quotes readers would strip, blanks at the ends, a line break, a tab and a NUL.
    edit(form, "FirmNameEdit")->setText(u"\"Ромашка\""_s);
    edit(form, "PhoneEdit")->setText(u" +7 (495)\t000 \r\n"_s);
    edit(form, "MailEdit")->setText(u"lab"_s + QChar(0) + u"x@example.ru"_s);
    edit(form, "BillEdit")->setText(u"Счет № 12\nот 01.02.2026, "_s + QString(150, u'ж'));
    edit(form, "QntyEdit")->setText(u"007"_s);
    fillTwoChannels(form);
    QCOMPARE(save(form, path(u"two.cfg"_s)).at(0).text, kSaved);
    const QStringList saved = snapshot(form);
    // The edits show what was saved, and the checker finds nothing wrong with it.
    QCOMPARE(edit(form, "FirmNameEdit")->text(), u"\"Ромашка\""_s);
    QCOMPARE(edit(form, "PhoneEdit")->text(), u"+7 (495) 000"_s);
    QCOMPARE(edit(form, "MailEdit")->text(), u"lab x@example.ru"_s);
    QCOMPARE(edit(form, "BillEdit")->text(), u"Счет № 12 от 01.02.2026, "_s + QString(150, u'ж'));
    const qsjuv::check::FileReport report = qsjuv::check::checkBytes(readAll(path(u"two.cfg"_s)));
    QVERIFY2(report.clean(), report.problems.empty() ? "" : report.problems[0].code);

    QuestionnaireWindow other;
    QCOMPARE(load(other, path(u"two.cfg"_s)), QStringList());
    QCOMPARE(snapshot(other), saved);
    QCOMPARE(edit(other, "BillEdit")->text().size(), 175); // not cut to 99
    QVERIFY(closesSilently(other));

    // Loading over unsaved changes asks first; No keeps everything.
    edit(other, "FirmNameEdit")->setText(u"Changed"_s);
    {
        Answers script;
        script.press(QMessageBox::No);
        other.load();
        QVERIFY(script.messages().at(0).text.startsWith(u"Внесенные вами изменения не сохранены в файле. При считывании"_s));
        QVERIFY(script.unexpected().isEmpty());
    }
    QCOMPARE(edit(other, "FirmNameEdit")->text(), u"Changed"_s);
    QVERIFY(other.isModified());
    QCOMPARE(load(other, path(u"two.cfg"_s)), QStringList());
    QCOMPARE(snapshot(other), saved);
}

void TestFile::sensor4AndSplitting()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-120"_s);
    pickText(combo(form, "Ch1CharCombo"), u"Cu a=0.00426"_s);
    QCOMPARE(save(form, path(u"s4.cfg"_s)).at(0).text, kSaved);
    QByteArray bytes = readAll(path(u"s4.cfg"_s));
    QVERIFY(bytes.contains("Sensor id=4\r\nSensor type=1\r\nSensor R=2\r\n"));
    QCOMPARE(bytes.count("Splitting=1"), 1);
    QVERIFY(bytes.indexOf("Splitting") < bytes.indexOf("[Channel 2]"));

    pickText(combo(form, "Ch1NomRCombo"), u"50"_s);
    QCOMPARE(save(form, path(u"s4.cfg"_s), {QMessageBox::Yes, QMessageBox::Ok}).back().text, kSaved);
    QVERIFY(readAll(path(u"s4.cfg"_s)).contains("Sensor R=0\r\n"));

    QuestionnaireWindow other;
    QCOMPARE(load(other, path(u"s4.cfg"_s)), QStringList());
    QCOMPARE(combo(other, "Ch1NomRCombo")->currentText(), u"50"_s);
    QVERIFY(!check(other, "Ch2InputCheck")->isChecked());
    QVERIFY(!check(other, "Ch2InputCheck")->isEnabled());
}

void TestFile::repairBeforeSave()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-220"_s);
    pickText(combo(form, "Ch2CharCombo"), u"Ni a=0.00617"_s);
    typeText(combo(form, "Ch2CharCombo"), u"Pt?"_s);
    typeText(combo(form, "DeviceCombo"), u"ЖУВ-720-2"_s);
    typeText(combo(form, "Ch1OutputCombo"), u"4..20 мА "_s);
    QCOMPARE(combo(form, "DeviceCombo")->currentIndex(), -1);
    QCOMPARE(save(form, path(u"repaired.cfg"_s)).at(0).text, kSaved);
    // Every list shows the entry it showed before the typing, as leaving it would give.
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-720-220"_s);
    QCOMPARE(combo(form, "Ch2CharCombo")->currentText(), u"Ni a=0.00617"_s);
    QCOMPARE(combo(form, "Ch1OutputCombo")->currentText(), u"4..20 мА"_s);
    const QByteArray bytes = readAll(path(u"repaired.cfg"_s));
    QVERIFY(bytes.contains("id=80\r\n"));
    QVERIFY(bytes.contains("[Channel 2]\r\nInput mode=1\r\nSensor id=5\r\n"));
    QVERIFY(bytes.contains("Output mode=1\r\n"));
    QVERIFY(!bytes.contains("Output mode=255\r\n"));

    // Lists a load left without a selection (values the lists lack) get the cascade's choice.
    QuestionnaireWindow other;
    fillRequisites(other);
    QByteArray damaged = writeQuestionnaire(defaultQuestionnaire(2)).bytes; // ЖУВ-610-201
    damaged.replace("Sensor R=1", "Sensor R=7").replace("Input connection=1", "Input connection=3");
    damaged.replace("Output direction=0", "Output direction=5");
    writeAll(path(u"lists.cfg"_s), resealed(damaged));
    QCOMPARE(load(other, path(u"lists.cfg"_s)), QStringList());
    QCOMPARE(combo(other, "Ch1NomRCombo")->currentIndex(), -1);
    // Leaving such a list gives it the entry the save would write, not its first one.
    leave(combo(other, "Ch2NomRCombo"));
    QCOMPARE(combo(other, "Ch2NomRCombo")->currentText(), u"100"_s);
    QCOMPARE(save(other, path(u"lists.cfg"_s), {QMessageBox::Yes, QMessageBox::Ok}).back().text, kSaved);
    const QByteArray saved = readAll(path(u"lists.cfg"_s));
    QCOMPARE(saved.count("Sensor R=1\r\nInput connection=1\r\n"), 2);
    QCOMPARE(saved.count("Output direction=0\r\n"), 2);
    QCOMPARE(combo(other, "Ch1NomRCombo")->currentText(), u"100"_s);
    QVERIFY(qsjuv::check::checkBytes(saved).clean());

    // Saved with the keys while still in a minimum typed below the limit: the limit is saved.
    QuestionnaireWindow typing;
    fillRequisites(typing);
    typing.show();
    QVERIFY(QTest::qWaitForWindowActive(&typing));
    QLineEdit *min = edit(typing, "Ch1MinEdit");
    min->setFocus();
    min->end(false);
    QTest::keyClicks(min, u"152"_s);
    QCOMPARE(min->text(), u"-200152"_s);
    QCOMPARE(save(typing, path(u"typing.cfg"_s)).at(0).text, kSaved);
    QVERIFY(readAll(path(u"typing.cfg"_s)).contains("Temperature min=-200\r\n"));
    QCOMPARE(min->text(), u"-200"_s);
}

void TestFile::loadDamaged()
{
    QuestionnaireWindow source;
    fillRequisites(source);
    edit(source, "Ch1MaxEdit")->setText(u"300"_s);
    const QString good = path(u"good.cfg"_s);
    QCOMPARE(save(source, good).at(0).text, kSaved);
    const QByteArray base = readAll(good);
    const auto variant = [&](const char *name, const QByteArray &from, const QByteArray &to) {
        QByteArray bytes = base;
        bytes.replace(from, to);
        writeAll(path(QString::fromLatin1(name)), bytes);
        return path(QString::fromLatin1(name));
    };

    // A changed summed value: applied and warned, the file's own requisites and quantity shown,
    // never those of the questionnaire before; panel 1 untouched, flag cleared.
    QuestionnaireWindow form;
    edit(form, "FirmNameEdit")->setText(u"Before"_s);
    edit(form, "QntyEdit")->setText(u"7"_s);
    QCOMPARE(load(form, variant("max.cfg", "Temperature max=300", "Temperature max=200")), QStringList{kDamaged});
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"200"_s);
    QCOMPARE(edit(form, "FirmNameEdit")->text(), u"ACME"_s);
    QCOMPARE(edit(form, "QntyEdit")->text(), u"1"_s);
    QVERIFY(panel1(form).isEmpty());
    QVERIFY(!form.isModified());

    // No check code but an id: trusted as it is.
    QCOMPARE(load(form, variant("nocode.cfg", "CheckCode=829\r\n", "")), QStringList());
    QCOMPARE(edit(form, "FirmNameEdit")->text(), u"ACME"_s);

    // No id: the model stays, two channel sections are read into it, a warning.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-221"_s);
    QCOMPARE(load(form, variant("noid.cfg", "id=50\r\n", "")), QStringList{kDamaged});
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-720-221"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"300"_s);

    // An id of no model: the same, with the outputs from "Output mode".
    // The same byte sum: no warning.
    QCOMPARE(load(form, variant("mode610.cfg", "Output direction=0", "Output mode=0")), QStringList());
    QCOMPARE(combo(form, "Ch1OutputCombo")->currentText(), u"20..4 мА"_s); // by the 720 rule: 0 -> entry 1
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-720-221"_s);
    QCOMPARE(load(form, variant("id49.cfg", "id=50", "id=49")), QStringList{kDamaged});
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-720-221"_s);

    // Out-of-limit bounds are corrected as they are set; a missing quantity becomes 1, and without
    // a check code a file lacking it is warned about.
    QByteArray bytes = base;
    bytes.replace("Temperature max=300", "Temperature max=99999999999").replace("Quantity=1\r\n", "");
    bytes.replace("CheckCode=829\r\n", "");
    writeAll(path(u"big.cfg"_s), bytes);
    QCOMPARE(load(form, path(u"big.cfg"_s)), QStringList{kDamaged});
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-610-101"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"99999999999"_s); // beyond 32 bits: left, unconverted
    QCOMPARE(edit(form, "QntyEdit")->text(), u"1"_s);
    bytes.replace("Temperature max=99999999999", "Temperature max=5000");
    writeAll(path(u"big.cfg"_s), bytes);
    QCOMPARE(load(form, path(u"big.cfg"_s)), QStringList{kDamaged});
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"350"_s);

    // A box the model locks shows the model's state, whatever the file says.
    QCOMPARE(load(form, variant("off.cfg", "Input mode=1", "Input mode=0")), QStringList{kDamaged});
    QVERIFY(check(form, "Ch1InputCheck")->isChecked());
    QVERIFY(edit(form, "Ch1MaxEdit")->isEnabled());
    const std::pair<int, std::array<const char *, 2>> locked[] = {
        {2, {"Input mode=0", "Input mode=0"}}, // ЖУВ-610-201: both locked on
        {12, {"Input mode=1", "Input mode=1"}}}; // ЖУВ-720-120: channel 2 locked off
    for (const auto &[position, modes] : locked) {
        QByteArray file = writeQuestionnaire(defaultQuestionnaire(position)).bytes;
        file.replace("[Channel 2]\r\nInput mode=1", QByteArray("[Channel 2]\r\n") + modes[1]);
        file.replace("[Channel 2]\r\nInput mode=0", QByteArray("[Channel 2]\r\n") + modes[1]);
        file.replace("[Channel 1]\r\nInput mode=1", QByteArray("[Channel 1]\r\n") + modes[0]);
        writeAll(path(u"locked.cfg"_s), resealed(file));
        QCOMPARE(load(form, path(u"locked.cfg"_s)), QStringList());
        const auto checks = qsjuv::inputChecks(qsjuv::modelList()[std::size_t(position)]);
        for (int c = 0; c < 2; ++c) {
            QCOMPARE(check(form, c == 0 ? "Ch1InputCheck" : "Ch2InputCheck")->isChecked(), checks[std::size_t(c)].checked);
            QCOMPARE(check(form, c == 0 ? "Ch1InputCheck" : "Ch2InputCheck")->isEnabled(), checks[std::size_t(c)].enabled);
        }
    }
    QCOMPARE(load(form, path(u"off.cfg"_s)), QStringList{kDamaged});

    // A range a switched-off channel could never put right is replaced, with a word; it saves.
    writeAll(path(u"lockedmin.cfg"_s), resealed(withValue(writeQuestionnaire(defaultQuestionnaire(12)).bytes,
                                                          "Channel 2", "Temperature min", "99999999999")));
    const QStringList lockedBoxes = load(form, path(u"lockedmin.cfg"_s));
    QCOMPARE(lockedBoxes.size(), 1);
    QVERIFY2(lockedBoxes[0].startsWith(u"Диапазон измерения выключенного канала"_s), qPrintable(lockedBoxes[0]));
    QCOMPARE(edit(form, "Ch2MinEdit")->text(), defaultQuestionnaire(12).channels[1].minText);
    fillRequisites(form);
    QCOMPARE(save(form, path(u"lockedmin.cfg"_s)).at(0).text, kSaved);

    // A load's warning that takes the focus from an empty list is no leaving it: the list stays
    // empty and the form unmodified.
    writeAll(path(u"nomr.cfg"_s), withValue(base, "Channel 1", "Sensor R", "99"));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(load(form, path(u"nomr.cfg"_s)), QStringList{kDamaged});
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    combo(form, "Ch1NomRCombo")->setFocus();
    QVERIFY(combo(form, "Ch1NomRCombo")->hasFocus() && combo(form, "Ch1NomRCombo")->currentText().isEmpty());
    {
        // The real box, not the seam's answer: it is its taking the focus that is tested.
        ModalScript script;
        QStringList texts;
        script.inspect([&texts](QWidget *modal) {
            if (const auto *box = qobject_cast<QMessageBox *>(modal))
                texts << box->text();
        });
        QVERIFY(form.loadFile(path(u"nomr.cfg"_s)));
        QCOMPARE(texts, QStringList{kDamaged});
    }
    QVERIFY(combo(form, "Ch1NomRCombo")->currentText().isEmpty());
    QVERIFY(!form.isModified());
    form.hide();

    // An empty file and binary junk are no questionnaire: refused, the form left as it was; a line
    // of nearly 1 MiB loads. Never a crash.
    const qsjuv::Questionnaire before = form.questionnaire();
    writeAll(path(u"empty.cfg"_s), QByteArray());
    QCOMPARE(load(form, path(u"empty.cfg"_s)), QStringList{kUnreadable});
    QCOMPARE(form.questionnaire(), before);
    QByteArray junk(4096, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) & 0xFF);
    writeAll(path(u"junk.cfg"_s), junk);
    QCOMPARE(load(form, path(u"junk.cfg"_s)), QStringList{kUnreadable});
    writeAll(path(u"long.cfg"_s), base + "[Reqs]\r\nFirm=" + QByteArray((1 << 20) - 4096, 'x') + "\r\n");
    QCOMPARE(load(form, path(u"long.cfg"_s)), QStringList());
    QCOMPARE(edit(form, "FirmNameEdit")->text(), u"ACME"_s); // the first [Reqs] wins

    // A folder cannot be read as a file.
    QuestionnaireWindow fresh;
    Answers script;
    script.press(QMessageBox::Yes).choose(m_dir.path()).press(QMessageBox::Ok);
    edit(fresh, "PhoneEdit")->setText(u"1"_s);
    fresh.load();
    QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'\n')));
    QCOMPARE(script.messages().size(), size_t(2));
    QCOMPARE(script.messages()[1].text, kUnreadable);
    QCOMPARE(script.messages()[1].icon, QMessageBox::Critical);
    QCOMPARE(script.messages()[1].informativeText, fileFailure(m_dir.path(), u"не обычный файл"_s));
    QCOMPARE(edit(fresh, "PhoneEdit")->text(), u"1"_s);
}

void TestFile::loadCancelPaths()
{
    {
        QuestionnaireWindow form;
        edit(form, "FirmNameEdit")->setText(u"Kept"_s);
        const QStringList before = snapshot(form);
        Answers script;
        script.press(QMessageBox::Yes).cancel();
        form.load();
        QVERIFY(script.done());
        QCOMPARE(snapshot(form), before);
        QVERIFY(form.isModified());
    }

    // The prefilled name of a file that appeared after the dialog was built can be opened at once.
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QFile::remove(path(u"qs_juv.cfg"_s));
    QuestionnaireWindow fresh;
    fresh.openDialog();
    writeAll(path(u"qs_juv.cfg"_s), "[Device]\r\nid=49\r\n");
    // A name the listing cannot show («Опрос.cfg» in Windows-1251) is said under it.
    const QByteArray cp1251Name = QFile::encodeName(m_dir.path()) + "/\xCE\xEF\xF0\xEE\xF1.cfg";
    const int fd = ::open(cp1251Name.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    // Opened in this folder whatever folder an earlier test left remembered.
    QVERIFY(qsjuv::storeUserSetting(u"dialogs/lastFolder"_s, m_dir.path()));
    bool openEnabled = false;
    QString skipped;
    ModalScript look;
    look.inspect([&openEnabled, &skipped](QWidget *modal) {
        const auto *buttons = modal->findChild<QDialogButtonBox *>();
        openEnabled = buttons && buttons->button(QDialogButtonBox::Open)
            && buttons->button(QDialogButtonBox::Open)->isEnabled();
        const auto *label = modal->findChild<QLabel *>(u"SkippedNames"_s);
        skipped = label && label->isVisible() ? label->text() : QString();
    });
    fresh.load();
    QDir::setCurrent(cwd);
    ::unlink(cp1251Name.constData()); // QTemporaryDir cannot remove it
    QVERIFY(look.done());
    QVERIFY(openEnabled);
    QVERIFY2(skipped.startsWith(u"Имена этих файлов записаны не в UTF-8"_s)
                     && skipped.endsWith(qsjuv::displayPath(cp1251Name.mid(cp1251Name.lastIndexOf('/') + 1))),
             qPrintable(skipped));
}

void TestFile::loadSensorNotOffered()
{
    // A thermocouple for a model that offers only RTD and resistance.
    const QByteArray file = "[Device]\r\nid=52\r\n[Channel 1]\r\nInput mode=1\r\nSensor id=12\r\nSensor type=2\r\n"
                            "Sensor R=-1\r\nTemperature max=1000\r\nTemperature min=0\r\n[Reqs]\r\nFirm=F\r\nMail=m@x.ru\r\n";
    writeAll(path(u"tc.cfg"_s), file);
    QuestionnaireWindow form;
    // Without a check code and without the keys every saved file has: shown, with the warning.
    QCOMPARE(load(form, path(u"tc.cfg"_s)), QStringList{kDamaged});
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-610-111"_s);
    // The channel shows what it holds: the first RTD at its full range, as the model starts it.
    QCOMPARE(combo(form, "Ch1SensorCombo")->currentText(), u"Термосопротивление"_s);
    QCOMPARE(combo(form, "Ch1CharCombo")->currentIndex(), 0);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"350"_s);
    // The save writes the sensor the window shows.
    QCOMPARE(save(form, path(u"tc-saved.cfg"_s)).at(0).text, kSaved);
    QVERIFY(readAll(path(u"tc-saved.cfg"_s)).contains("Sensor id=1\r\n"));
}

namespace {
enum class Target { Regular, AtLimit, OverLimit, LinkToRegular };
}

void TestFile::specialTargets_data()
{
    QTest::addColumn<int>("special"); // a Special, or -1 for a Target made here
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("loadReason"); // empty: loads without a message
    QTest::addColumn<QString>("saveReason"); // empty: the replace question

    const QString notRegular = u"не обычный файл"_s;
    const auto special = [&](const char *name, Special kind, const QString &load, const QString &save) {
        QTest::newRow(name) << int(kind) << -1 << load << save;
    };
    const auto target = [&](const char *name, Target kind, const QString &load) {
        QTest::newRow(name) << -1 << int(kind) << load << QString();
    };
    special("FIFO", Special::Fifo, notRegular, notRegular);
    special("socket", Special::Socket, notRegular, notRegular);
    special("folder", Special::Folder, notRegular, notRegular);
    special("link to an endless device", Special::DeviceLink, notRegular, notRegular);
    special("link to a FIFO", Special::FifoLink, notRegular, notRegular);
    special("link to a folder", Special::FolderLink, notRegular, notRegular);
    special("dangling link", Special::DanglingLink, u"ссылка никуда не ведёт"_s, QString());
    special("link to a file that hides its size", Special::UnsizedLink, u"файл больше 1 МиБ"_s, QString());
    // The system's reason in the user's language (gettext's LANGUAGE, set for this row).
    special("link to itself", Special::LinkLoop, u"Слишком много уровней символьных ссылок"_s, QString());
    target("questionnaire", Target::Regular, QString());
    target("link to a questionnaire", Target::LinkToRegular, QString());
    target("exactly the size limit", Target::AtLimit, QString());
    target("one byte over the size limit", Target::OverLimit, u"файл больше 1 МиБ"_s);
}

// Loading shows the read error with the system's reason; saving refuses what is not a file with
// the write error, and asks before replacing anything else. Nothing blocks, nothing is written.
void TestFile::specialTargets()
{
    QFETCH(int, special);
    QFETCH(int, target);
    QFETCH(QString, loadReason);
    QFETCH(QString, saveReason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = dir.filePath(u"target.cfg"_s);
    const QByteArray native = QFile::encodeName(name);
    if (Special(special) == Special::UnsizedLink && !unsizedHoldsMore(qsjuv::kQuestionnaireSizeLimit))
        QSKIP("no file here reports size 0 and holds more than 1 MiB");
    if (special >= 0) {
        QVERIFY(makeSpecial(Special(special), native));
    } else {
        QByteArray bytes = qsjuv::testing::referenceBytes();
        const qsizetype limit = qsizetype(qsjuv::kQuestionnaireSizeLimit);
        if (Target(target) != Target::Regular && Target(target) != Target::LinkToRegular)
            bytes += "[Padding]\r\n" + QByteArray(limit - bytes.size() - 11, 'p');
        if (Target(target) == Target::OverLimit)
            bytes += 'p';
        const bool linked = Target(target) == Target::LinkToRegular;
        writeAll(linked ? dir.filePath(u"real.cfg"_s) : name, bytes);
        if (linked)
            QVERIFY(QFile::link(dir.filePath(u"real.cfg"_s), name));
    }
    const QByteArray before = describeEntry(native);
    const Watchdog watchdog(30);
    qputenv("LANGUAGE", "ru");
    const auto english = qScopeGuard([] { qunsetenv("LANGUAGE"); });

    {
        QuestionnaireWindow form;
        Answers script;
        script.choose(name).press(QMessageBox::Ok);
        form.load();
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'\n')));
        if (loadReason.isEmpty()) {
            QCOMPARE(script.messages().size(), size_t(0));
            QCOMPARE(edit(form, "FirmNameEdit")->text(), u"ACME"_s);
        } else {
            QCOMPARE(script.messages().size(), size_t(1));
            QCOMPARE(script.messages()[0].text, kUnreadable);
            QCOMPARE(script.messages()[0].icon, QMessageBox::Critical);
            QCOMPARE(script.messages()[0].informativeText, fileFailure(name, loadReason));
        }
    }
    {
        QuestionnaireWindow form;
        fillRequisites(form);
        Answers script;
        script.choose(name).press(saveReason.isEmpty() ? QMessageBox::No : QMessageBox::Ok);
        form.save();
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'\n')));
        QCOMPARE(script.messages().size(), size_t(1));
        const Answers::Message &m = script.messages()[0];
        QCOMPARE(m.text, saveReason.isEmpty() ? kReplace : kWriteFailed);
        QCOMPARE(m.icon, saveReason.isEmpty() ? QMessageBox::Question : QMessageBox::Critical);
        QCOMPARE(m.informativeText, saveReason.isEmpty() ? QString() : fileFailure(name, saveReason));
        QVERIFY(form.isModified());
    }
    QCOMPARE(describeEntry(native), before);
}

// What only permissions forbid, as a user without root's powers meets it.
void TestFile::specialTargetsAsUser()
{
    QS_JUV_RUN_AS_NOBODY("specialTargetsAsUser");
    const Watchdog watchdog(30);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    // Write-only: unreadable, yet it exists, so replacing it is asked first.
    const QString writeOnly = dir.filePath(u"write-only.cfg"_s);
    writeAll(writeOnly, "old");
    QVERIFY(QFile::setPermissions(writeOnly, QFileDevice::WriteOwner));
    {
        QuestionnaireWindow form;
        Answers script;
        script.choose(writeOnly).press(QMessageBox::Ok);
        form.load();
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, kUnreadable);
        QCOMPARE(script.messages()[0].informativeText, fileFailure(writeOnly, qt_error_string(EACCES)));
    }
    {
        QuestionnaireWindow form;
        fillRequisites(form);
        auto messages = save(form, writeOnly, {QMessageBox::No});
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].text, kReplace);
        messages = save(form, writeOnly, {QMessageBox::Yes, QMessageBox::Ok});
        QCOMPARE(messages.back().text, kSaved);
        QVERIFY(QFile::setPermissions(writeOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(readAll(writeOnly).startsWith("[Device]\r\n"));
    }

    // A folder that cannot take a new file: the write error says why.
    const QString locked = dir.filePath(u"locked"_s);
    QVERIFY(QDir().mkdir(locked));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        QuestionnaireWindow form;
        fillRequisites(form);
        Answers script;
        script.choose(locked + u"/q.cfg"_s).press(QMessageBox::Ok);
        form.save();
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'\n')));
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, kWriteFailed);
        QCOMPARE(script.messages()[0].informativeText, fileFailure(locked + u"/q.cfg"_s, qt_error_string(EACCES)));
        QVERIFY(form.isModified());
    }
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

namespace {
enum class Kept {
    LongName, HardLink, OwnerAndGroup, Xattr, GroupNotMine, OwnerNotMe, LockedFolder, StickyFolder, SizeLimit,
    KilledCopy, KilledRewrite, LinkInSticky, NoLocks, DeviceFails, DiskFull, LockedFolderNoState, PlantedCopy,
    SavedAtOnce,
};

// Rows whose file has a second name, so that it is rewritten in place.
bool hasHardLink(Kept kind)
{
    return kind == Kept::HardLink || kind == Kept::NoLocks || kind == Kept::DeviceFails || kind == Kept::DiskFull
            || kind == Kept::PlantedCopy || kind == Kept::SavedAtOnce;
}

// The system error a row's save must fail with, 0 where it must succeed.
int failureOf(Kept kind)
{
    return kind == Kept::SizeLimit ? EFBIG : kind == Kept::DeviceFails ? EIO : kind == Kept::DiskFull ? ENOSPC : 0;
}

// What a row's file system does wrong during the save, as platform::injectFault makes it.
void injectRowFault(Kept kind, bool on)
{
    using qsjuv::platform::Operation;
    if (kind == Kept::NoLocks)
        qsjuv::platform::injectFault(Operation::Lock, on ? ENOLCK : 0);
    if (kind == Kept::DeviceFails)
        qsjuv::platform::injectFault(Operation::Sync, on ? EIO : 0);
    if (kind == Kept::DiskFull)
        qsjuv::platform::injectFault(Operation::Write, on ? ENOSPC : 0);
}

// What belongs to a file beside its content.
QByteArray ownership(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (stat(native.constData(), &info) != 0)
        return "missing";
    QByteArray out = QByteArray::number(info.st_uid) + ':' + QByteArray::number(info.st_gid) + ' '
            + QByteArray::number(info.st_mode, 8) + " links " + QByteArray::number(qulonglong(info.st_nlink));
    char names[1024] = {};
    const ssize_t size = listxattr(native.constData(), names, sizeof names);
    for (const QByteArray &name : QByteArray(names, size > 0 ? size : 0).split('\0')) {
        char value[256] = {};
        if (!name.isEmpty() && getxattr(native.constData(), name.constData(), value, sizeof value) >= 0)
            out += ' ' + name + '=' + value;
    }
    return out;
}
} // namespace

void TestFile::savedFileKeepsItself_data()
{
    QTest::addColumn<int>("kept");
    QTest::addColumn<bool>("asNobody"); // what only permissions make hard needs a user without root's powers
    QTest::addColumn<bool>("inPlace"); // the success message says the file was rewritten in place
    QTest::newRow("name of 254 bytes") << int(Kept::LongName) << false << false;
    QTest::newRow("hard link") << int(Kept::HardLink) << false << true;
    QTest::newRow("owner and group of another user") << int(Kept::OwnerAndGroup) << false << false;
    QTest::newRow("user extended attribute") << int(Kept::Xattr) << false << false;
    QTest::newRow("group the saver is not in") << int(Kept::GroupNotMine) << true << true;
    QTest::newRow("another user's file in the saver's folder") << int(Kept::OwnerNotMe) << true << true;
    // The old content's copy goes to the user's private folder, and is gone after.
    QTest::newRow("writable file in a read-only folder") << int(Kept::LockedFolder) << true << true;
    QTest::newRow("sticky folder") << int(Kept::StickyFolder) << true << true;
    QTest::newRow("file-size limit") << int(Kept::SizeLimit) << false << false;
    // Owner-only while it is written, and removed by the next save in the folder.
    QTest::newRow("copy left by a killed save") << int(Kept::KilledCopy) << false << false;
    // The old content stays in a copy beside it until a save completes.
    QTest::newRow("rewrite in place killed") << int(Kept::KilledRewrite) << false << true;
    // The kernel refuses to follow it (fs.protected_symlinks), and the save says so.
    QTest::newRow("another user's link in a sticky folder") << int(Kept::LinkInSticky) << false << false;
    // Where the file system keeps no locks, the save goes on.
    QTest::newRow("file system without locks") << int(Kept::NoLocks) << false << true;
    QTest::newRow("failing device") << int(Kept::DeviceFails) << false << true;
    QTest::newRow("full disk") << int(Kept::DiskFull) << false << true;
    // The state folder's levels above it are made on the way.
    QTest::newRow("read-only folder, no state folder yet") << int(Kept::LockedFolderNoState) << true << true;
    // Somebody else's copy under the name the file's own would take: neither trusted nor in the way.
    QTest::newRow("another user's copy beside the file") << int(Kept::PlantedCopy) << false << true;
    // Another save rewrites the file through its other name meanwhile: the later save waits for it.
    QTest::newRow("two saves at once through two names") << int(Kept::SavedAtOnce) << false << true;
}

// A save or a PDF over a file replaces its content and nothing else: links, owner, group, mode
// and attributes stay; what cannot be replaced by rename is rewritten. A size limit gives the
// write error with its reason and keeps the old file.
void TestFile::savedFileKeepsItself()
{
    QFETCH(int, kept);
    QFETCH(bool, asNobody);
    QFETCH(bool, inPlace);
    const Kept kind = Kept(kept);
    if (kind == Kept::LinkInSticky && readAll(u"/proc/sys/fs/protected_symlinks"_s) != "1\n")
        QSKIP("the kernel does not protect links in sticky folders here (fs.protected_symlinks)");
    QString folder = qEnvironmentVariable("QS_JUV_TEST_FOLDER");
    QTemporaryDir base;
    // Files of other users, and a folder made for nobody, only root can set up.
    const bool needsRoot = kind == Kept::OwnerAndGroup || kind == Kept::PlantedCopy || (asNobody && folder.isEmpty());
    if (needsRoot && geteuid() != 0)
        QSKIP("needs root to give files to another user (chown); the run as root covers this row");
    if (asNobody && geteuid() == 0) {
        // Root makes what nobody could not, then the row runs again as nobody.
        QVERIFY(base.isValid());
        folder = base.path() + u"/f"_s;
        QVERIFY(QDir().mkdir(folder));
        const QByteArray native = QFile::encodeName(folder);
        QCOMPARE(chmod(QFile::encodeName(base.path()).constData(), 0755), 0);
        const group *users = getgrnam("users");
        if (!users)
            QSKIP("needs the group users");
        for (const char *suffix : {".cfg", ".pdf"}) {
            const QByteArray file = native + "/q" + QByteArray::number(kept) + suffix;
            writeAll(QFile::decodeName(file), "old");
            const bool lockedFolder = kind == Kept::LockedFolder || kind == Kept::LockedFolderNoState;
            const bool mine = kind == Kept::GroupNotMine || lockedFolder;
            QCOMPARE(chown(file.constData(), mine ? 65534 : 0, kind == Kept::GroupNotMine ? users->gr_gid : 0), 0);
            QCOMPARE(chmod(file.constData(), kind == Kept::GroupNotMine ? 0660 : 0666), 0);
        }
        const bool lockedFolder = kind == Kept::LockedFolder || kind == Kept::LockedFolderNoState;
        QCOMPARE(chown(native.constData(), lockedFolder || kind == Kept::StickyFolder ? 0 : 65534, 0), 0);
        QCOMPARE(chmod(native.constData(), kind == Kept::StickyFolder ? 01777 : 0755), 0);
        // A fresh account's home has no ~/.local/state yet.
        const QByteArray home = QFile::encodeName(base.path()) + (kind == Kept::LockedFolderNoState ? "/home" : "/state");
        QCOMPARE(mkdir(home.constData(), 0700), 0);
        QCOMPARE(chown(home.constData(), 65534, 65534), 0);
        qputenv("QS_JUV_TEST_FOLDER", QFile::encodeName(folder));
        qputenv("XDG_STATE_HOME", kind == Kept::LockedFolderNoState ? home + "/.local/state" : home);
        const auto unset = qScopeGuard([] {
            qunsetenv("QS_JUV_TEST_FOLDER");
            qunsetenv("XDG_STATE_HOME");
        });
        QS_JUV_RUN_AS_NOBODY(QByteArray("savedFileKeepsItself:") + QTest::currentDataTag());
    }
    if (!asNobody) {
        folder = m_dir.filePath(u"kept-%1"_s.arg(kept));
        QVERIFY(QDir().mkpath(folder));
    }
    const Watchdog watchdog(30);

    for (const bool pdf : {false, true}) {
        // A name of each row's own: a dialog that remembers a selection must not offer another row's.
        QString name = u"q%1%2"_s.arg(kept).arg(pdf ? u".pdf"_s : u".cfg"_s);
        if (kind == Kept::LongName)
            name = QString(125, u'ж') + (pdf ? u".pdf"_s : u".cfg"_s);
        const QString target = folder + u'/' + name;
        const QByteArray native = QFile::encodeName(target);
        if (!asNobody)
            writeAll(target, "old");
        const QString other = folder + u"/other-name"_s;
        if (hasHardLink(kind)) {
            QFile::remove(other);
            QCOMPARE(link(native.constData(), QFile::encodeName(other).constData()), 0);
        }
        if (kind == Kept::OwnerAndGroup) {
            QCOMPARE(chown(native.constData(), 65534, 100), 0);
            QCOMPARE(chmod(native.constData(), 0640), 0);
        }
        if (kind == Kept::Xattr)
            QCOMPARE(setxattr(native.constData(), "user.origin", "mail", 4, 0), 0);
        const QString victim = folder + u"/victim"_s;
        if (kind == Kept::LinkInSticky) {
            writeAll(victim, "secret");
            QFile::remove(target);
            QCOMPARE(chmod(QFile::encodeName(folder).constData(), 01777), 0);
            QCOMPARE(symlink(QFile::encodeName(victim).constData(), native.constData()), 0);
            QCOMPARE(lchown(native.constData(), 65534, 65534), 0);
        }
        if (kind == Kept::PlantedCopy) {
            // A save stopped in its rewrite leaves its copy, which then passes to another user.
            { qsjuv::testing::StoppedSave stopped(target, "planted", "sync:2"); QVERIFY(stopped.stopped()); }
            const QStringList copies = QDir(folder).entryList({u".qs_juv-old-*"_s}, QDir::Files | QDir::Hidden);
            QCOMPARE(copies.size(), 1);
            QCOMPARE(chown(QFile::encodeName(folder + u'/' + copies[0]).constData(), 65534, 65534), 0);
            QVERIFY(!qsjuv::interruptedSave(native));
        }
        if (kind == Kept::KilledCopy || kind == Kept::KilledRewrite) {
            const bool rewrite = kind == Kept::KilledRewrite;
            if (rewrite) {
                writeAll(target, QByteArray(16 << 20, 'o'));
                QFile::remove(other);
                QCOMPARE(link(native.constData(), QFile::encodeName(other).constData()), 0);
            }
            const auto killed = qsjuv::testing::killSaveMidway(target, 64 << 20, folder, rewrite ? u".qs_juv-old-"_s : u".qs_juv-"_s);
            // Copying megabytes and syncing them takes far longer than the poll.
            QVERIFY2(!killed.copy.isEmpty(), "the save made no copy, or ended before it was seen");
            QCOMPARE(killed.mode, 0600u);
            QVERIFY(QFile::exists(QFile::decodeName(killed.copy)));
            const auto said = qsjuv::interruptedSave(native);
            QCOMPARE(said.has_value(), rewrite);
            if (rewrite) {
                QVERIFY2(said->contains(qsjuv::displayPath(killed.copy)), qPrintable(*said));
                // A load of that file tells it first, whatever it then makes of the file.
                QuestionnaireWindow reader;
                Answers told;
                told.press(QMessageBox::Ok).press(QMessageBox::Ok);
                reader.loadFile(target);
                QCOMPARE(told.texts().value(0), *said);
            }
        }
        // The user's own files of names like a save's are no save's.
        const QStringList ownNames{u".qs_juv-notes.txt"_s, u".qs_juv-new-notes.txt"_s};
        for (const QString &own : ownNames) {
            if (kind == Kept::KilledCopy)
                writeAll(folder + u'/' + own, "mine");
        }
        const QByteArray before = ownership(target);

        rlimit oldLimit {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        if (kind == Kept::SizeLimit) {
            const rlimit limit{100, oldLimit.rlim_max};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        }
        // An interrupted rewrite is told before the save that clears its copy.
        const std::optional<QString> interrupted = qsjuv::interruptedSave(native);
        const QByteArray planted = kind == Kept::PlantedCopy ? ownership(folder + u'/' + QDir(folder).entryList({u".qs_juv-old-*"_s}, QDir::Files | QDir::Hidden).value(0)) : QByteArray();
        // Stopped in its rewrite through the other name, holding the file, and resumed while the
        // form's save waits for it.
        std::unique_ptr<qsjuv::testing::StoppedSave> atOnce;
        std::thread resumer;
        if (kind == Kept::SavedAtOnce) {
            atOnce = std::make_unique<qsjuv::testing::StoppedSave>(other, QByteArray(100000, 'c'), "write:2");
            QVERIFY(atOnce->stopped());
            resumer = std::thread([pid = atOnce->pid()] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                ::kill(pid, SIGCONT);
            });
        }
        injectRowFault(kind, true);
        const auto noFault = qScopeGuard([kind] { injectRowFault(kind, false); });
        QuestionnaireWindow form;
        fillRequisites(form);
        Answers script;
        script.choose(target).press(QMessageBox::Yes);
        if (interrupted)
            script.press(QMessageBox::Ok);
        script.press(QMessageBox::Ok);
        if (pdf)
            form.exportPdf();
        else
            form.save();
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        injectRowFault(kind, false);
        if (atOnce) {
            resumer.join();
            QVERIFY2(atOnce->resume(), "the other save failed");
        }

        const QString what = pdf ? u"PDF "_s : u"save "_s;
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(what + script.unexpected().join(u'\n')));
        QCOMPARE(script.messages().size(), size_t(interrupted ? 3 : 2));
        if (interrupted)
            QCOMPARE(script.messages()[1].text, *interrupted);
        const Answers::Message &m = script.messages().back();
        if (kind == Kept::LinkInSticky) {
            QCOMPARE(m.text, kWriteFailed);
            QVERIFY2(m.informativeText.endsWith(u"Причина: "_s + qt_error_string(EACCES)), qPrintable(m.informativeText));
            QCOMPARE(readAll(victim), QByteArray("secret"));
            QFile::remove(target);
            continue;
        }
        if (const int failure = failureOf(kind)) {
            QCOMPARE(m.text, kWriteFailed);
            QVERIFY2(m.informativeText.endsWith(u"Причина: "_s + qt_error_string(failure)), qPrintable(m.informativeText));
            QCOMPARE(readAll(target), QByteArray("old"));
        } else {
            const QString saved = inPlace ? u"Файл успешно сохранен, но перезаписан на месте, а не заменен целиком."_s : kSaved;
            QVERIFY2(m.text == saved, qPrintable(what + m.text + u' ' + m.informativeText));
            QVERIFY(readAll(target).startsWith(pdf ? "%PDF" : "[Device]\r\n"));
        }
        QCOMPARE(ownership(target), before);
        if (hasHardLink(kind))
            QCOMPARE(readAll(other), readAll(target));
        for (const QString &own : ownNames) {
            if (kind == Kept::KilledCopy)
                QCOMPARE(readAll(folder + u'/' + own), QByteArray("mine"));
            QFile::remove(folder + u'/' + own);
        }
        if (kind == Kept::PlantedCopy) {
            const QString copy = folder + u'/' + QDir(folder).entryList({u".qs_juv-old-*"_s}, QDir::Files | QDir::Hidden).value(0);
            QCOMPARE(ownership(copy), planted);
            QCOMPARE(readAll(copy), QByteArray("old"));
            QFile::remove(copy);
        }
        // No copy is left behind but the one the user was told of: kept whole and read-only, so
        // that it no longer says the file is interrupted.
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        if (interrupted) {
            const QString kept = left.filter(u".qs_juv-old-"_s).value(0);
            QVERIFY2(interrupted->contains(kept) && !kept.isEmpty(), qPrintable(*interrupted));
            QCOMPARE(QFile::permissions(folder + u'/' + kept) & 0x7000, QFileDevice::ReadOwner);
            QCOMPARE(readAll(folder + u'/' + kept), QByteArray(16 << 20, 'o'));
            QVERIFY(!qsjuv::interruptedSave(native));
            left.removeAll(kept);
            QFile::remove(folder + u'/' + kept);
        }
        QVERIFY2(!left.join(u' ').contains(u".qs_juv"_s), qPrintable(left.join(u' ')));
        if (qEnvironmentVariableIsSet("XDG_STATE_HOME"))
            QCOMPARE(QDir(qEnvironmentVariable("XDG_STATE_HOME") + u"/qs_juv"_s).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}


// Nothing the window writes replaces the questionnaire's file behind the user's back: the PDF
// or a print into a file never takes it, and a file changed on disk since the load is replaced only
// after a Yes.
void TestFile::fileIsTheUsers_data()
{
    QTest::addColumn<bool>("print");
    QTest::newRow("PDF") << false;
    QTest::newRow("printed into a file") << true;
}

void TestFile::fileIsTheUsers()
{
    QFETCH(bool, print);
    const auto output = print ? &QuestionnaireWindow::print : &QuestionnaireWindow::exportPdf;
    const auto choose = print ? &PrintDialog::setNextOutputFile : &FileDialog::setNextFileName;
    QuestionnaireWindow form;
    fillRequisites(form);
    const QString own = path(print ? u"s1.cfg"_s : u"s0.cfg"_s);
    QCOMPARE(save(form, own).size(), size_t(1));
    const QByteArray saved = readAll(own);
    {
        Answers script;
        choose(own);
        script.press(QMessageBox::Ok);
        (form.*output)();
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].icon, QMessageBox::Critical);
        QCOMPARE(readAll(own), saved);
        QVERIFY(!form.isModified());
    }
    // Another file is replaced only after a Yes.
    const QString other = path(print ? u"printed.pdf"_s : u"other.pdf"_s);
    writeAll(other, "old");
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        Answers script;
        choose(other);
        script.press(answer).press(QMessageBox::Ok);
        (form.*output)();
        QCOMPARE(script.texts().value(0), kReplace);
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(readAll(other).startsWith("%PDF"), answer == QMessageBox::Yes);
    }

    // Saved again unchanged: no question. Changed on disk: a question naming it; No keeps both.
    edit(form, "PhoneEdit")->setText(u"1"_s);
    QCOMPARE(save(form, own).size(), size_t(1));
    writeAll(own, readAll(own) + "; edited elsewhere\r\n");
    const QByteArray changed = readAll(own);
    edit(form, "PhoneEdit")->setText(u"2"_s);
    std::vector<Answers::Message> asked = save(form, own, {QMessageBox::No});
    QCOMPARE(asked.size(), size_t(1));
    QCOMPARE(asked[0].icon, QMessageBox::Question);
    QVERIFY(asked[0].informativeText.contains(QDir::toNativeSeparators(own)));
    QCOMPARE(readAll(own), changed);
    QVERIFY(form.isModified());
    QCOMPARE(edit(form, "PhoneEdit")->text(), u"2"_s);
    asked = save(form, own, {QMessageBox::Yes, QMessageBox::Ok});
    QCOMPARE(asked.size(), size_t(2));
    QVERIFY(!form.isModified());
    QVERIFY(!readAll(own).contains("edited elsewhere"));
}

// Save as writes under the name chosen and asks before replacing any file, the open one too;
// New asks before it drops changes and leaves no file behind the window; the title follows.
void TestFile::newAndSaveAs()
{
    QuestionnaireWindow form;
    fillRequisites(form);
    const QString first = path(u"first.cfg"_s), second = path(u"second.cfg"_s);
    QCOMPARE(save(form, first).size(), size_t(1));
    edit(form, "PhoneEdit")->setText(u"1"_s);
    for (const auto &[target, answers, said] :
         {std::tuple{second, std::vector{QMessageBox::Ok}, QStringList{kSaved}},
          std::tuple{second, std::vector{QMessageBox::No}, QStringList{kReplace}}}) {
        Answers script;
        script.choose(target);
        for (const auto answer : answers)
            script.press(answer);
        form.saveAs();
        QCOMPARE(script.texts(), said);
    }
    QCOMPARE(form.currentFile(), second);
    QCOMPARE(form.windowTitle(), u"second.cfg — "_s + form.caption());
    QVERIFY(readAll(second).contains("Phone=1") && !readAll(first).contains("Phone=1"));

    edit(form, "PhoneEdit")->setText(u"2"_s);
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        Answers script;
        script.press(answer);
        form.newQuestionnaire();
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(edit(form, "PhoneEdit")->text(), answer == QMessageBox::No ? u"2"_s : QString());
    }
    QCOMPARE(form.currentFile(), QString());
    QCOMPARE(form.windowTitle(), form.caption());
    QVERIFY(edit(form, "FirmNameEdit")->text().isEmpty());
}

QTEST_MAIN(TestFile)
#include "tst_file.moc"
