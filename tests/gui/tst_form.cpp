// The window as laid out and its start-up state, the modified flag and closing.
#include "FormDriver.h"
#include "Answers.h"
#include "Renderings.h"
#include "gui/Application.h"
#include "core/DeviceModel.h"
#include "core/Sensor.h"

#include <QAccessible>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyleOption>
#include <QScopeGuard>
#include <QToolTip>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
// WCAG 2 contrast ratio of two opaque colours.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// QLineEdit keeps this much room on each side of its text (a constant inside Qt).
constexpr int kLineEditMargin = 2;

// Where a text does not fit the box the style draws it in, one line per overrun.
QStringList overruns(const QuestionnaireWindow &form)
{
    QStringList found;
    // The text as drawn by w, in the box of the control named by named.
    const auto fits = [&found](const QWidget *named, const QWidget *w, const QString &text, double room) {
        const double width = QFontMetricsF(w->font(), w).horizontalAdvance(text);
        if (width > room)
            found << u"%1 \"%2\": %3 > %4"_s.arg(named->objectName(), text).arg(width).arg(room);
    };
    for (const QWidget *w : form.findChildren<QWidget *>()) {
        if (!w->isVisible() || w->window() != &form)
            continue;
        if (const auto *l = qobject_cast<const QLabel *>(w)) {
            fits(l, l, l->text(), l->contentsRect().width());
            if (QFontMetricsF(l->font(), l).height() > l->contentsRect().height())
                found << l->objectName() + u" is too low"_s;
        } else if (const auto *c = qobject_cast<const QComboBox *>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(c);
            option.editable = c->isEditable();
            option.frame = c->hasFrame();
            const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c);
            if (c->lineEdit()->geometry() != field)
                found << c->objectName() + u": the edit is not in the edit field"_s;
            QStringList texts = items(c);
            texts.append(c->currentText());
            for (const QString &text : std::as_const(texts))
                fits(c, c->lineEdit(), text, field.width() - 2 * kLineEditMargin);
        } else if (const auto *g = qobject_cast<const QGroupBox *>(w)) {
            QStyleOptionGroupBox option;
            option.initFrom(g);
            option.text = g->title();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect title = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
            const QRect frame = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, g);
            fits(g, g, g->title(), g->rect().contains(title) ? title.width() : 0);
            // On the frame line, not above it.
            if (!(title.top() < frame.top() && frame.top() < title.bottom()))
                found << g->objectName() + u": the title is not on the frame line"_s;
        } else if (const auto *e = qobject_cast<const QLineEdit *>(w); e && !e->parentWidget()->inherits("QComboBox")) {
            QStyleOptionFrame option;
            option.initFrom(e);
            option.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
            const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &option, e);
            fits(e, e, e->text(), contents.width() - 2 * kLineEditMargin);
        } else if (const auto *b = qobject_cast<const QCheckBox *>(w)) {
            QStyleOptionButton option;
            option.initFrom(b);
            option.text = b->text();
            fits(b, b, b->text(), b->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, b).width());
        }
    }
    return found;
}
} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    // The texts of the locale's language, as the program has them (tst_form_en: English).
    void initTestCase() { Application::installTranslations(*qApp); }
    void windowAndLayout();
    void requisitesHints();
    void everythingFits_data();
    void everythingFits();
    void focusShown();
    void renderingUnchanged_data();
    void renderingUnchanged();
    void smallScreen();
    void screenReaderNames();
    void startUpState();
    void spinners();
    void fileDialogs();
    void closeQuery();
    void exceptionText();
};

void TestForm::windowAndLayout()
{
    const QFont applicationFont = QApplication::font();
    QuestionnaireWindow form;
    // Building the window leaves the application's font as it found it.
    QCOMPARE(QApplication::font(), applicationFont);
    QVERIFY(QApplication::font() != form.font());
    QCOMPARE(form.objectName(), u"QS_JUVForm"_s);
    QCOMPARE(form.windowTitle(), u"Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720"_s);
    QCOMPARE(form.size(), QSize(533, 590));
    QCOMPARE(form.minimumSize(), QSize(533, 590));
    QCOMPARE(form.maximumSize(), QSize(533, 590));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(form.font().pixelSize(), 11);
    // A second family, or one not installed, makes every face search for fallbacks at start.
    QCOMPARE(form.font().families().size(), 1);
    QVERIFY(QFontDatabase::families().contains(form.font().families().constFirst()));
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

    // Optional requisites look optional, yet neither disabled nor hard to read.
    const QColor window = form.palette().color(QPalette::Window);
    const QColor normal = label(form, "FirmNameLabel")->palette().color(QPalette::WindowText);
    for (const char *name : {"PhoneLabel", "BillLabel"}) {
        const QPalette pal = label(form, name)->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            const QColor grey = pal.color(group, QPalette::WindowText);
            QVERIFY2(contrast(grey, window) >= 4.5, name);
            QVERIFY2(contrast(grey, window) < contrast(normal, window), name);
            QVERIFY(grey != pal.color(QPalette::Disabled, QPalette::WindowText));
        }
    }
    for (const char *name : {"PhoneEdit", "BillEdit"}) {
        QCOMPARE(edit(form, name)->palette().color(QPalette::Base), edit(form, name)->palette().color(QPalette::Button));
        QCOMPARE(edit(form, name)->palette().color(QPalette::Text), edit(form, "MailEdit")->palette().color(QPalette::Text));
    }
    // Tooltips in the form's font, with no help from main().
    QCOMPARE(QToolTip::font(), form.font());

    // The window's icon is the installed artwork, drawn by the program: its shapes in its colours.
    const QImage icon = form.windowIcon().pixmap(128).toImage();
    QCOMPARE(icon.size(), QSize(128, 128));
    QFile svgFile(QStringLiteral(QS_JUV_SOURCE_DIR "/tools/qs_juv.svg"));
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(svgFile.readAll());
    const std::pair<QPoint, QString> artwork[] = {
        {{21, 60}, u"#7a5230"_s}, {{32, 100}, u"#fdfdf8"_s}, {{50, 12}, u"#9aa3ad"_s}, {{64, 15}, u"#5d6670"_s},
        {{60, 40}, u"#3f6fb5"_s}, {{64, 75}, u"#2d2d2d"_s}, {{71, 94}, u"#d0312d"_s}, {{64, 101}, u"#2d2d2d"_s},
        {{5, 5}, QString()}}; // transparent round the clipboard
    for (const auto &[at, colour] : artwork) {
        const QColor seen = icon.pixelColor(at);
        QVERIFY2(colour.isEmpty() ? seen.alpha() == 0 : seen.name() == colour && svg.contains(colour),
                 qPrintable(u"%1,%2: %3"_s.arg(at.x()).arg(at.y()).arg(seen.name(QColor::HexArgb))));
    }
    QVERIFY(!form.windowIcon().pixmap(16).isNull());
    // A window system that takes every size at once gets none above 64; larger ones are drawn.
    QCOMPARE(form.windowIcon().availableSizes().constLast(), QSize(64, 64));
    QCOMPARE(form.windowIcon().pixmap(256).size(), QSize(256, 256));

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
    QuestionnaireWindow form;
    QCOMPARE(label(form, "FirmNameLabel")->toolTip(), u"Обязательно для заполнения"_s);
    QCOMPARE(edit(form, "BillEdit")->toolTip(),
             u"Если счет еще не был выставлен нашей фирмой, оставьте это поле пустым"_s);
    QCOMPARE(label(form, "PhoneLabel")->toolTip(), u"Заполнять не обязательно"_s);
    // Outside the requisites only the cascade turns hints on.
    QVERIFY(label(form, "DeviceLabel")->toolTip().isEmpty());
    QVERIFY(edit(form, "QntyEdit")->toolTip().isEmpty());
    QVERIFY(check(form, "Ch1InputCheck")->toolTip().isEmpty());
}

void TestForm::everythingFits_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("sensorEntry");
    const auto models = qsjuv::modelList();
    for (int m = 0; m < int(models.size()); ++m) {
        for (int e = 0; e < (qsjuv::offersAllSensorTypes(m) ? 4 : 2); ++e)
            QTest::addRow("%s %s", qsjuv::modelListText(models[m]).c_str(), qsjuv::sensorTypeEntryText(e)) << m << e;
    }
}

// Every caption, title and combo text of every model and sensor type fits, at the scale factor
// CTest runs this with (1 and 2).
void TestForm::everythingFits()
{
    QFETCH(int, model);
    QFETCH(int, sensorEntry);
    QuestionnaireWindow form;
    form.show();
    QCOMPARE(form.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s).toDouble());
    pick(combo(form, "DeviceCombo"), model);
    for (const char *name : {"Ch1SensorCombo", "Ch2SensorCombo"})
        pick(combo(form, name), sensorEntry);
    // A Russian phone number, written the usual way, whole.
    edit(form, "PhoneEdit")->setText(u"+7 (495) 123-45-67"_s);
    const QStringList found = overruns(form);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u"; "_s)));
}

// Tabbing to a control changes how it looks, the spinners included.
void TestForm::focusShown()
{
    QuestionnaireWindow form;
    pick(combo(form, "DeviceCombo"), combo(form, "DeviceCombo")->findText(u"ЖУВ-720-220"_s));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.setAttribute(Qt::WA_KeyboardFocusChange); // as the Tab key sets it
    QWidget *elsewhere = control<QPushButton>(form, "LoadButton");
    for (QWidget *w : form.findChildren<QWidget *>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled()
            || w->parentWidget()->inherits("QComboBox") || w == elsewhere)
            continue;
        elsewhere->setFocus(Qt::TabFocusReason);
        const QImage before = w->grab().toImage();
        w->setFocus(Qt::TabFocusReason);
        QVERIFY2(w->hasFocus(), qPrintable(w->objectName()));
        QVERIFY2(w->grab().toImage() != before, qPrintable(w->objectName()));
    }
}

void TestForm::renderingUnchanged_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("start") << u"ЖУВ-610-101"_s;
    QTest::newRow("two channels") << u"ЖУВ-720-220"_s;
}

// The window and each list as it opens look as they did when the window was first built the
// plain way, whatever the program does to start faster.
void TestForm::renderingUnchanged()
{
    QFETCH(QString, model);
    // A face of its own for the application, so that a control left in the form's face shows;
    // a steady cursor, so that the blink cannot decide.
    const QFont applicationFont = QApplication::font();
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setFont(QFont(u"Liberation Serif"_s, 10));
    QApplication::setCursorFlashTime(0);
    const auto restore = qScopeGuard([&] {
        QApplication::setFont(applicationFont);
        QApplication::setCursorFlashTime(flashTime);
    });
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    QuestionnaireWindow form;
    if (model != combo(form, "DeviceCombo")->currentText())
        pickText(combo(form, "DeviceCombo"), model);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    edit(form, "FirmNameEdit")->setFocus();
    const QString row = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
    QStringList differences;
    const auto compare = [&differences](const QImage &image, const QString &name) {
        if (const QString difference = renderingDifference(image, name); !difference.isEmpty())
            differences << difference;
    };
    compare(form.grab().toImage(), row);
    for (QComboBox *box : offered<QComboBox>(form))
        compare(popupRendering(box), row + u'-' + box->objectName());
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u"; "_s)));
}

// Where the screen has room the window is as designed; where not (twice the scale on the test
// screen) it fits the screen and every control can be scrolled to.
void TestForm::smallScreen()
{
    QuestionnaireWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect available = form.screen()->availableGeometry();
    auto *scroller = form.findChild<QScrollArea *>(u"FormScrollArea"_s);
    if (available.width() >= 533 && available.height() >= 590) {
        QVERIFY(!scroller);
        QCOMPARE(form.size(), QSize(533, 590));
        return;
    }
    QVERIFY(scroller);
    QVERIFY(available.contains(form.frameGeometry()));
    const QuestionnaireWindow designed; // never shown: as laid out
    QCOMPARE(combo(form, "Ch1SensorCombo")->geometry(), combo(designed, "Ch1SensorCombo")->geometry());
    for (const char *name : {"SaveButton", "FirmNameEdit", "StatusBar"}) {
        auto *w = control<QWidget>(form, name);
        if (w->focusPolicy() != Qt::NoFocus)
            w->setFocus();
        else
            scroller->ensureWidgetVisible(w);
        const QRect shown(w->mapTo(scroller->viewport(), QPoint()), w->size());
        const QRect viewport = scroller->viewport()->rect();
        QVERIFY2(viewport.intersects(shown) && shown.top() >= 0 && shown.bottom() <= viewport.bottom(), name);
    }
    // Tab still walks the controls in their order.
    const auto tabOrder = [](const QWidget &window) {
        QStringList order;
        for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
                order << w->objectName();
        return order;
    };
    QCOMPARE(tabOrder(form), tabOrder(designed));
}

void TestForm::screenReaderNames()
{
    QuestionnaireWindow form;
    pick(combo(form, "DeviceCombo"), combo(form, "DeviceCombo")->findText(u"ЖУВ-720-220"_s));
    pickText(combo(form, "Ch2SensorCombo"), u"Напряжение"_s);
    const auto name = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    // A plain top-level widget would be a "filler" to a screen reader.
    QCOMPARE(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Window);
    QCOMPARE(name(&form), form.windowTitle());
    const struct {
        const char *control;
        QString caption;
        QString described = {}; // how the description starts, where it matters
    } named[] = {
        {"FirmNameEdit", u"Название фирмы"_s, u"Обязательно для заполнения. Укажите"_s},
        {"PhoneEdit", u"Телефонный номер"_s, u"Заполнять не обязательно. Здесь"_s},
        {"MailEdit", u"Адрес электронной почты"_s, u"Обязательно для заполнения. Укажите"_s},
        {"BillEdit", u"Номер и дата выставленного счета"_s, u"Заполнять не обязательно. Если"_s},
        // Groups without the blanks that keep their captions off the frame.
        {"FirmGroupBox", u"Реквизиты"_s}, {"Ch1GroupBox", u"1 канал"_s}, {"Ch2GroupBox", u"2 канал"_s},
        {"StatusBar", u"Строка состояния"_s},
        {"DeviceCombo", u"Модель изделий"_s},     {"QntyEdit", u"Количество изделий"_s},
        {"QntyUpDown", u"Количество изделий"_s},  {"Ch1SensorCombo", u"Тип датчика"_s},
        {"Ch1CharCombo", u"НСХ"_s},               {"Ch1MaxEdit", u"T макс, °С"_s},
        {"Ch1MaxUpDown", u"T макс, °С"_s},        {"Ch1MinUpDown", u"T мин, °С"_s},
        {"Ch1ConnCombo", u"Схема подключения"_s}, {"Ch1NomRCombo", u"Номинальное сопротивление, Ом"_s},
        {"Ch1OutputCombo", u"Выход"_s},           {"Ch2MaxEdit", u"U макс, мВ"_s}, // follows the caption
        {"Ch2MinEdit", u"U мин, мВ"_s},           {"Ch2MinUpDown", u"U мин, мВ"_s},
        {"Ch2OutputCombo", u"Выход"_s},
    };
    for (const auto &n : named) {
        QWidget *w = control<QWidget>(form, n.control);
        if (auto *c = qobject_cast<QComboBox *>(w)) {
            // Linux reports a combo's value as its name: the caption comes as its label.
            QCOMPARE(c->accessibleName(), n.caption);
            QCOMPARE(name(c->lineEdit()), n.caption);
        } else {
            QCOMPARE(name(w), n.caption);
        }
        if (!n.described.isEmpty()) {
            const QString description = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
            QVERIFY2(description.startsWith(n.described), qPrintable(description));
        }
        // Each edit and list has its caption for a label; the spinners have none of their own.
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)) {
            const auto labels = QAccessible::queryAccessibleInterface(w)->relations(QAccessible::Label);
            QVERIFY2(!labels.isEmpty() && labels.first().first->text(QAccessible::Name) == n.caption, n.control);
        }
    }
}

void TestForm::startUpState()
{
    QuestionnaireWindow form;
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
    // Typing completes nothing, and no list builds its drop-down before it is first opened.
    for (QComboBox *box : form.findChildren<QComboBox *>()) {
        QVERIFY2(box->lineEdit() && !box->completer(), qPrintable(box->objectName()));
        QVERIFY2(box->findChildren<QCompleter *>().isEmpty(), qPrintable(box->objectName()));
        QVERIFY2(!box->findChild<QAbstractItemView *>(), qPrintable(box->objectName()));
    }
}

void TestForm::spinners()
{
    QuestionnaireWindow form;
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
    // every spinner but Ch1MaxUpDown; the range edits filter it away before anyone hears of it.
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-610-201"_s);
    for (const char *prefix : {"Ch1", "Ch2"}) {
        pickText(combo(form, (QByteArray(prefix) + "SensorCombo").constData()), u"Термопара"_s);
    }
    for (const char *prefix : {"Ch1", "Ch2"}) {
        for (const char *bound : {"Max", "Min"}) {
            QLineEdit *e = edit(form, (QByteArray(prefix) + bound + "Edit").constData());
            e->setText(u"999"_s);
            QSignalSpy heard(e, &QLineEdit::textChanged);
            control<TUpDown>(form, (QByteArray(prefix) + bound + "UpDown").constData())
                    ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(heard, QList<QVariantList>{{u"1000"_s}});
            control<TUpDown>(form, (QByteArray(prefix) + bound + "UpDown").constData())
                    ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(e->text(), u"1001"_s);
        }
    }
    // The Up key in the edit steps as well.
    QTest::keyClick(edit(form, "Ch1MaxEdit"), Qt::Key_Up);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"1002"_s);

    // To a screen reader a spinner's value is its edit's number, whoever wrote it, and setting
    // it, or its Increase action, writes the edit as a click does: the range check runs.
    const auto value = [&form](const char *upDown) {
        return QAccessible::queryAccessibleInterface(control<TUpDown>(form, upDown))->valueInterface();
    };
    edit(form, "QntyEdit")->setText(u"25"_s);
    QCOMPARE(value("QntyUpDown")->currentValue(), QVariant(25));
    edit(form, "Ch1MaxEdit")->setText(u"1200"_s); // as a load writes it
    QCOMPARE(value("Ch1MaxUpDown")->currentValue(), QVariant(1200));
    QCOMPARE(value("Ch1MaxUpDown")->maximumValue(), QVariant(1820));
    value("QntyUpDown")->setCurrentValue(30);
    QCOMPARE(edit(form, "QntyEdit")->text(), u"30"_s);
    value("QntyUpDown")->setCurrentValue(5000); // held to the limit, as a click would be
    QCOMPARE(edit(form, "QntyEdit")->text(), u"999"_s);
    value("Ch1MaxUpDown")->setCurrentValue(600);
    value("Ch1MinUpDown")->setCurrentValue(300);
    QCOMPARE(edit(form, "Ch1MaxEdit")->text(), u"600"_s);
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"300"_s);
    QCOMPARE(textColour(edit(form, "Ch1MinEdit")), kRed);
    auto *actions = QAccessible::queryAccessibleInterface(control<TUpDown>(form, "Ch1MinUpDown"))->actionInterface();
    actions->doAction(QAccessibleActionInterface::decreaseAction());
    QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"299"_s);
    QCOMPARE(value("Ch1MinUpDown")->currentValue(), QVariant(299));
    // Locales whose minus is U+2212: the edits get an ASCII one, which the digit filter keeps.
    pickText(combo(form, "Ch1SensorCombo"), u"Термосопротивление"_s); // -200..350
    for (const char *name : {"sv_SE", "fi_FI", "nb_NO", "lt_LT", "et_EE", "ru_RU"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        edit(form, "Ch1MinEdit")->setText(u"-200"_s);
        control<TUpDown>(form, "Ch1MinUpDown")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"-199"_s);
        QTest::keyClick(edit(form, "Ch1MinEdit"), Qt::Key_Up);
        QCOMPARE(edit(form, "Ch1MinEdit")->text(), u"-198"_s);
    }
    QLocale::setDefault(QLocale::c());
}

void TestForm::fileDialogs()
{
    QuestionnaireWindow form;
    // Nothing costly is built before the first file command; then the dialogs stay for reuse.
    QVERIFY(!form.findChild<QFileDialog *>());
    QCOMPARE(form.openDialog(), form.openDialog());
    QCOMPARE(form.saveDialog(), form.saveDialog());
    const std::pair<const char *, QString> titles[] = {{"OpenDialog", u"Открыть опросный лист"_s},
                                                        {"SaveDialog", u"Сохранить опросный лист"_s}};
    for (const auto &[name, title] : titles) {
        auto *dialog = form.findChild<QFileDialog *>(QString::fromLatin1(name));
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), title);
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
    QuestionnaireWindow form;
    bool canClose = false;
    {
        Answers script;
        canClose = form.mayClose();
        QVERIFY(canClose); // the start-up cascade leaves nothing to save
        QVERIFY(script.messages().empty());
        QVERIFY(script.unexpected().isEmpty());
    }

    QTest::keyClicks(edit(form, "FirmNameEdit"), u"A"_s);
    {
        Answers script;
        script.press(QMessageBox::No);
        canClose = form.mayClose();
        QVERIFY(!canClose);
        QCOMPARE(script.messages().size(), size_t(1));
        const auto &m = script.messages().front();
        QCOMPARE(m.text, u"Внесенные вами изменения не сохранены в файле.\n"
                         "Вы действительно хотите завершить программу?"_s);
        QCOMPARE(m.icon, QMessageBox::Question);
        QCOMPARE(m.defaultButton, QMessageBox::No);
        QCOMPARE(m.title, form.caption()); // not the title with its modified mark
        QCOMPARE(edit(form, "FirmNameEdit")->text(), u"A"_s);
    }
    {
        Answers script;
        script.press(QMessageBox::Yes);
        form.show();
        QVERIFY(form.close());
        QVERIFY(script.done());
    }

    // A script answers the next question without a box being shown.
    {
        Answers script;
        QuestionnaireWindow::setNextAnswer(QMessageBox::No);
        QVERIFY(!form.mayClose());
        QuestionnaireWindow::setNextAnswer(QMessageBox::Yes);
        QVERIFY(form.mayClose());
        QCOMPARE(script.messages().size(), size_t(2));
        QVERIFY(script.unexpected().isEmpty());
    }

    // What was typed and taken back again leaves nothing to save.
    QuestionnaireWindow other;
    edit(other, "PhoneEdit")->setText(u"1"_s);
    edit(other, "PhoneEdit")->setText(QString());
    canClose = other.mayClose();
    QVERIFY(canClose);
}

void TestForm::exceptionText()
{
    QCOMPARE(Application::exceptionText(u"Ошибка"_s), u"Ошибка."_s);
    QCOMPARE(Application::exceptionText(u"done."_s), u"done."_s);
    QCOMPARE(Application::exceptionText(u"a!"_s), u"a!"_s); // '!' sorts before '.'
    QCOMPARE(Application::exceptionText(QString()), QString());
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
