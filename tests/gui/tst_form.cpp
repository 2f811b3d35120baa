// The window as laid out and its start-up state, the modified flag and closing.
#include "gui/FormDriver.h"
#include "gui/ModalScript.h"
#include "gui/Application.h"

#include <QFileDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

using namespace Qt::StringLiterals;

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void windowAndLayout();
    void requisitesHints();
    void startUpState();
    void spinners();
    void fileDialogs();
    void closeQuery();
    void exceptionText();
};

void TestForm::windowAndLayout()
{
    TQS_JUVForm form;
    QCOMPARE(form.objectName(), u"QS_JUVForm"_s);
    QCOMPARE(form.windowTitle(), u"Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720"_s);
    QCOMPARE(form.size(), QSize(533, 590));
    QCOMPARE(form.minimumSize(), QSize(533, 590));
    QCOMPARE(form.maximumSize(), QSize(533, 590));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(form.font().pixelSize(), 11);
    form.show();
    const QPoint offCentre = form.frameGeometry().center() - form.screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2, "the window opens centred");

    // Spot checks of geometry relative to the parent, including the odd widths.
    const struct {
        const char *name;
        QRect geometry;
    } places[] = {
        {"FirmGroupBox", {8, 8, 513, 121}},     {"BillEdit", {200, 88, 305, 21}},
        {"DeviceCombo", {120, 144, 89, 21}},    {"QntyUpDown", {441, 144, 16, 21}},
        {"Ch2GroupBox", {272, 168, 249, 289}},  {"Ch1MaxUpDown", {217, 120, 17, 21}},
        {"Ch2MaxUpDown", {217, 120, 16, 21}},   {"Ch2NomRCombo", {184, 216, 49, 21}},
        {"LoadButton", {152, 472, 217, 33}},    {"SaveButton", {152, 520, 219, 33}},
        {"StatusBar", {0, 571, 533, 19}},
    };
    for (const auto &place : places)
        QCOMPARE(control<QWidget>(form, place.name)->geometry(), place.geometry);

    QVERIFY(label(form, "DeviceLabel")->font().bold());
    QVERIFY(label(form, "QntyLabel")->font().bold());
    QVERIFY(control<QPushButton>(form, "SaveButton")->font().bold());
    QVERIFY(!control<QPushButton>(form, "LoadButton")->font().bold());
    QCOMPARE(control<QGroupBox>(form, "FirmGroupBox")->title(), u" Реквизиты "_s);
    QCOMPARE(control<QGroupBox>(form, "Ch2GroupBox")->title(), u"2 канал "_s);

    // Optional requisites look optional.
    const QColor normal = label(form, "FirmNameLabel")->palette().color(QPalette::WindowText);
    QVERIFY(label(form, "PhoneLabel")->palette().color(QPalette::WindowText) != normal);
    QCOMPARE(edit(form, "BillEdit")->palette().color(QPalette::Base),
             edit(form, "BillEdit")->palette().color(QPalette::Button));

    // Tab order within the window and within a channel.
    const QStringList chain = {u"FirmNameEdit"_s, u"PhoneEdit"_s, u"MailEdit"_s, u"BillEdit"_s,
                               u"DeviceCombo"_s, u"QntyEdit"_s, u"Ch1InputCheck"_s, u"Ch1SensorCombo"_s,
                               u"Ch1CharCombo"_s, u"Ch1MaxEdit"_s, u"Ch1MinEdit"_s, u"Ch1ConnCombo"_s};
    QWidget *w = edit(form, "FirmNameEdit");
    for (qsizetype i = 1; i < chain.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || w->parentWidget()->inherits("QComboBox"));
        QCOMPARE(w->objectName(), chain[i]);
    }

    // No length limit on any edit.
    for (QLineEdit *e : form.findChildren<QLineEdit *>()) {
        if (!qobject_cast<QFileDialog *>(e->window()))
            QVERIFY(e->maxLength() > 1'000'000);
    }
}

void TestForm::requisitesHints()
{
    TQS_JUVForm form;
    QCOMPARE(label(form, "FirmNameLabel")->toolTip(), u"Обязательно для заполнения"_s);
    QCOMPARE(edit(form, "BillEdit")->toolTip(),
             u"Если счет еще не был выставлен нашей фирмой, оставьте это поле пустым"_s);
    QCOMPARE(label(form, "PhoneLabel")->toolTip(), u"Заполнять не обязательно"_s);
    // Outside the requisites only the cascade turns hints on.
    QVERIFY(label(form, "DeviceLabel")->toolTip().isEmpty());
    QVERIFY(edit(form, "QntyEdit")->toolTip().isEmpty());
    QVERIFY(check(form, "Ch1InputCheck")->toolTip().isEmpty());
}

void TestForm::startUpState()
{
    TQS_JUVForm form;
    QCOMPARE(items(combo(form, "DeviceCombo")),
             QStringList({u"ЖУВ-610-101"_s, u"ЖУВ-610-111"_s, u"ЖУВ-610-201"_s, u"ЖУВ-610-211"_s,
                          u"ЖУВ-720-220"_s, u"ЖУВ-720-221"_s, u"ЖУВ-720-110"_s, u"ЖУВ-720-111"_s,
                          u"ЖУВ-720-200"_s, u"ЖУВ-720-201"_s, u"ЖУВ-720-100"_s, u"ЖУВ-720-101"_s,
                          u"ЖУВ-720-120"_s, u"ЖУВ-720-121"_s}));
    QCOMPARE(combo(form, "DeviceCombo")->currentIndex(), 0);
    QCOMPARE(combo(form, "DeviceCombo")->currentText(), u"ЖУВ-610-101"_s);
    QVERIFY(control<QGroupBox>(form, "Ch2GroupBox")->isHidden());

    QLabel *panel0 = control<QStatusBar>(form, "StatusBar")->findChild<QLabel *>(u"StatusBarPanel0"_s);
    QLabel *panel1 = control<QStatusBar>(form, "StatusBar")->findChild<QLabel *>(u"StatusBarPanel1"_s);
    QVERIFY(panel0 && panel1);
    QCOMPARE(panel0->text(), u"Версия: 4e"_s);
    QCOMPARE(panel0->width(), 533 / 3);
    QVERIFY(panel1->text().isEmpty());

    QVERIFY(check(form, "Ch1InputCheck")->isChecked());
    QVERIFY(!check(form, "Ch1InputCheck")->isEnabled());
    QCOMPARE(items(combo(form, "Ch1SensorCombo")),
             QStringList({u"Термосопротивление"_s, u"Сопротивление"_s, u"Термопара"_s, u"Напряжение"_s}));
    QCOMPARE(combo(form, "Ch1SensorCombo")->currentIndex(), 0);
    QCOMPARE(items(combo(form, "Ch1CharCombo")),
             QStringList({u"Pt a=0.00385"_s, u"Pt a=0.00391"_s, u"Cu a=0.00428"_s, u"Cu a=0.00426"_s,
                          u"Ni a=0.00617"_s}));
    QCOMPARE(combo(form, "Ch1CharCombo")->currentIndex(), 0);
    QCOMPARE(label(form, "Ch1MaxLabel")->text(), u"T макс, °С"_s);
    QCOMPARE(label(form, "Ch1MinLabel")->text(), u"T мин, °С"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"350"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"-200"_s);
    for (const char *name : {"Ch1MaxUpDown", "Ch1MinUpDown"}) {
        QCOMPARE(control<TUpDown>(form, name)->minimum(), -200);
        QCOMPARE(control<TUpDown>(form, name)->maximum(), 350);
    }
    QCOMPARE(control<TUpDown>(form, "Ch1MaxUpDown")->value(), 350);
    QCOMPARE(control<TUpDown>(form, "Ch1MinUpDown")->value(), -200);
    QVERIFY(!combo(form, "Ch1ConnCombo")->isHidden());
    QCOMPARE(combo(form, "Ch1ConnCombo")->currentText(), u"3-проводная"_s);
    QVERIFY(!combo(form, "Ch1NomRCombo")->isHidden());
    QCOMPARE(items(combo(form, "Ch1NomRCombo")), QStringList({u"50"_s, u"100"_s}));
    QCOMPARE(combo(form, "Ch1NomRCombo")->currentIndex(), 1);
    QCOMPARE(items(combo(form, "Ch1OutputCombo")), QStringList({u"4..20 мА"_s, u"20..4 мА"_s}));
    QCOMPARE(combo(form, "Ch1OutputCombo")->currentIndex(), 0);
    QVERIFY(combo(form, "Ch1OutputCombo")->toolTip().isEmpty());
    QCOMPARE(combo(form, "Ch1CharCombo")->toolTip(), u"Минимальная ширина диапазона: 100 °С"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->toolTip(),
             u"Минимальное значение: -200 °С\nМинимальная ширина диапазона: 100 °С"_s);
    QCOMPARE(edit(form, "Ch1MaxEdit")->toolTip(),
             u"Максимальное значение: 350 °С\nМинимальная ширина диапазона: 100 °С"_s);
    QCOMPARE(textColour(edit(form, "Ch1MaxEdit")), form.palette().color(QPalette::WindowText));
    QVERIFY(!form.isModified());
}

void TestForm::spinners()
{
    TQS_JUVForm form;
    auto *qnty = control<TUpDown>(form, "QntyUpDown");
    QCOMPARE(qnty->minimum(), 1);
    QCOMPARE(qnty->maximum(), 999);
    edit(form, "QntyEdit")->setText(u"998"_s);
    qnty->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    qnty->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(edit(form, "QntyEdit")->text(), u"999"_s);
    edit(form, "QntyEdit")->setText(u"2"_s);
    qnty->triggerAction(QAbstractSlider::SliderSingleStepSub);
    qnty->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(edit(form, "QntyEdit")->text(), u"1"_s);

    // Thermocouple B on a 610: limits 200..1820. Steps past 999 write a group separator on
    // every spinner but Ch1MaxUpDown; the range edits filter it away again.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-610-201"_s);
    for (const char *prefix : {"Ch1", "Ch2"}) {
        pickText(combo(form, (QByteArray(prefix) + "SensorCombo").constData()), u"Термопара"_s);
    }
    const QString separator = QLocale().groupSeparator();
    struct Step {
        const char *upDown;
        const char *edit;
        bool grouped;
    } steps[] = {{"Ch1MaxUpDown", "Ch1MaxEdit", false}, {"Ch1MinUpDown", "Ch1MinEdit", true},
                 {"Ch2MaxUpDown", "Ch2MaxEdit", true}, {"Ch2MinUpDown", "Ch2MinEdit", true}};
    for (const Step &step : steps) {
        QLineEdit *e = edit(form, step.edit);
        e->blockSignals(true); // see what the spinner itself writes
        e->setText(u"999"_s);
        control<TUpDown>(form, step.upDown)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(e->text(), step.grouped ? u"1"_s + separator + u"000"_s : u"1000"_s);
        e->blockSignals(false);
        // Through the change handler the range edit ends as plain digits.
        control<TUpDown>(form, step.upDown)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(e->text(), u"1001"_s);
    }
    // The Up key in the edit steps as well.
    QTest::keyClick(edit(form, "Ch1MaxEdit"), Qt::Key_Up);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"1002"_s);
}

void TestForm::fileDialogs()
{
    TQS_JUVForm form;
    // Nothing costly is built before the first file command; then the dialogs stay for reuse.
    QVERIFY(!form.findChild<QFileDialog *>());
    QCOMPARE(form.openDialog(), form.openDialog());
    QCOMPARE(form.saveDialog(), form.saveDialog());
    for (const char *name : {"OpenDialog", "SaveDialog"}) {
        auto *dialog = form.findChild<QFileDialog *>(QString::fromLatin1(name));
        QVERIFY(dialog);
        QCOMPARE(dialog->defaultSuffix(), u"cfg"_s);
        QCOMPARE(dialog->nameFilters().first(), u"Опросные листы (*.cfg)"_s);
    }
    auto *save = form.findChild<QFileDialog *>(u"SaveDialog"_s);
    QVERIFY(save->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(form.findChild<QFileDialog *>(u"OpenDialog"_s)->nameFilters().size(), 2);
}

void TestForm::closeQuery()
{
    TQS_JUVForm form;
    bool canClose = false;
    {
        ModalScript script;
        form.FormCloseQuery(&form, canClose);
        QVERIFY(canClose); // the start-up cascade leaves nothing to save
        QVERIFY(script.messages().empty());
        QVERIFY(script.unexpected().isEmpty());
    }

    QTest::keyClicks(edit(form, "FirmNameEdit"), u"A"_s);
    {
        ModalScript script;
        script.press(QMessageBox::No);
        form.FormCloseQuery(&form, canClose);
        QVERIFY(!canClose);
        QCOMPARE(script.messages().size(), size_t(1));
        const auto &m = script.messages().front();
        QCOMPARE(m.text, u"Внесенные вами изменения не сохранены в файле.\n"
                         "Вы действительно хотите завершить программу?"_s);
        QCOMPARE(m.icon, QMessageBox::Question);
        QCOMPARE(m.defaultButton, QMessageBox::No);
        QCOMPARE(m.title, form.windowTitle());
        QCOMPARE(edit(form, "FirmNameEdit")->text(), u"A"_s);
    }
    {
        ModalScript script;
        script.press(QMessageBox::Yes);
        form.show();
        QVERIFY(form.close());
        QVERIFY(script.done());
    }

    // Activation clears the flag once: the start-up state is "nothing to save".
    TQS_JUVForm other;
    edit(other, "PhoneEdit")->setText(u"1"_s);
    other.FormActivate(&other);
    other.FormCloseQuery(&other, canClose);
    QVERIFY(canClose);
}

void TestForm::exceptionText()
{
    QCOMPARE(TApplication::exceptionText(u"Ошибка"_s), u"Ошибка."_s);
    QCOMPARE(TApplication::exceptionText(u"done."_s), u"done."_s);
    QCOMPARE(TApplication::exceptionText(u"a!"_s), u"a!"_s); // '!' sorts before '.'
    QCOMPARE(TApplication::exceptionText(QString()), QString());
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
