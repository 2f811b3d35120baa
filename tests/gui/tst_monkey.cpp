// Random sessions of a user on the shown form: picks, keys, typing and pasting, focus moves,
// spinner clicks, saves, loads of saved and altered files and closing, each delivered as the
// toolkit delivers it, with the invariants checked after every step.
//
// QS_JUV_MONKEY_SEED and QS_JUV_MONKEY_STEPS choose the session; QS_JUV_MONKEY_REPLAY names a file
// of recorded steps to run instead; QS_JUV_MONKEY_SHRINK=1 cuts a failing session down to a
// shortest sequence that fails the same way; QS_JUV_MONKEY_SKIP lists invariants left out;
// QS_JUV_MONKEY_TRACE=1 writes each step to standard error before it runs. tools/monkey.sh
// drives all of it.
#include "Questionnaires.h"
#include "Watchdog.h"
#include "FormAgreement.h"
#include "core/RangeRules.h"
#include "core/PathText.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <random>

using namespace Qt::StringLiterals;
using namespace qsjuv;
using namespace qsjuv::testing;

namespace {

const QString kCaption = u"Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720"_s;
const char *const kLocales[] = {"C", "sv_SE", "ru_RU", "fi_FI", "de_DE"};

struct Step
{
    int action;
    quint32 a, b; // what the action chooses, taken modulo what the form offers then
};

QString ofKinds(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += c.unicode() < 32 ? u"\\x%1"_s.arg(int(c.unicode()), 2, 16, QChar(u'0')) : QString(c);
    return u'«' + out + u'»';
}

// Keys go to the window's focus widget (a hidden dialog may still be the application's).
bool hasFocus(const QWidget *w)
{
    const QWidget *focus = w->window()->focusWidget();
    return focus && (focus == w || w->isAncestorOf(focus));
}

// The entry a combo's text names, ignoring letter case; -1 for none.
int entryNamed(const QComboBox *box, const QString &text)
{
    return box->findText(text, Qt::MatchFixedString);
}

bool showsEntry(const QComboBox *box)
{
    return box->currentIndex() >= 0 && box->currentText() == box->itemText(box->currentIndex());
}

QLineEdit *rangeEdit(const QWidget &form, int c, bool max)
{
    return edit(form, qPrintable(u"Ch%1%2Edit"_s.arg(c + 1).arg(max ? u"Max"_s : u"Min"_s)));
}

QColor shownColour(const QLineEdit *line)
{
    return line->palette().color(QPalette::Active, QPalette::Text);
}

class Monkey
{
public:
    Monkey(quint32 seed, QStringList skip)
        : m_seed(seed)
        , m_skip(std::move(skip))
    {
        // Settings of an earlier session must not decide this one.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, u"qs_juv"_s, u"qs_juv"_s).clear();
        newForm();
    }

    struct Failure
    {
        int step = -1; // index of the step after which an invariant failed
        QString invariant, message;
    };

    Failure run(const std::vector<Step> &steps, QStringList *descriptions = nullptr);
    int saves = 0, loads = 0, savedLoads = 0; // how much of the session reached the files

    // --- Actions --------------------------------------------------------------------------
    QString pick(quint32 a, quint32 b);
    QString key(quint32 a, quint32 b);
    QString type(quint32 a, quint32 b) { return enter(a, b, false); }
    QString paste(quint32 a, quint32 b) { return enter(a, b, true); }
    QString focus(quint32 a, quint32 b);
    QString spin(quint32 a, quint32 b);
    QString toggle(quint32 a, quint32 b);
    QString save(quint32 a, quint32 b);
    QString load(quint32 a, quint32 b);
    QString close(quint32 a, quint32 b);

    // --- Invariants: each reports what it finds to fail() --------------------------------------
    void lists() const;
    void locked() const;
    void bounds() const;
    void requisites() const;
    void typed() const;
    void modified() const;
    void saved() const;
    void dialogs() const;
    void title() const;

private:
    // Keeps the first problem of a step whose invariant is not left out.
    void fail(const char *name, const QString &message) const
    {
        if (m_failure.invariant.isEmpty() && !m_skip.contains(QLatin1StringView(name)))
            m_failure = {0, QString::fromLatin1(name), message};
    }
    mutable Failure m_failure;

    void newForm();
    bool activate();
    void settle(const QComboBox *box);
    QString enter(quint32 a, quint32 b, bool paste);
    void respond(QWidget *modal);
    void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void typeChar(QChar c);
    template <typename T>
    std::vector<T *> offered() const;
    QStringList savable(const QuestionnaireWindow &form) const;
    QStringList without(const QStringList &lines, const QString &name) const;

    quint32 m_seed;
    QStringList m_skip;
    bool m_trace = qEnvironmentVariableIntValue("QS_JUV_MONKEY_TRACE") != 0;
    int m_forms = 0;
    std::unique_ptr<QuestionnaireWindow> m_form;
    QTemporaryDir m_dir;
    QStringList m_savedFiles;
    QString m_currentFile; // the file last saved or loaded in this window
    mutable QStringList m_baseline;
    std::map<QString, QString> m_settled; // the entry each combo showed last

    // What the current step did and expects.
    quint32 m_a = 0, m_b = 0;
    int m_dialogCount = 0;
    QString m_loadPath, m_chosen, m_savedPath;
    bool m_loaded = false, m_lostOnClose = false;
    QStringList m_unexpected, m_titles, m_before;
    QPointer<QComboBox> m_left; // a combo with text that named no entry when the step began
    QPointer<QWidget> m_leftFrom; // the control a focus move left
    struct Expect
    {
        const char *name = "typed-text"; // the invariant a mismatch fails
        QPointer<QWidget> target;
        QString text; // the text it must show
        QString alternative; // or this one (a maximum held to the limit)
        int entry = -2; // a combo: the entry it must select; -1: nothing may change but its text
        QStringList before = {}; // what the file keeps, once the focus was in the list
    } m_expect;
};

struct Action
{
    const char *name;
    int weight;
    QString (Monkey::*run)(quint32, quint32);
};

const Action kActions[] = {
    {"pick", 14, &Monkey::pick}, {"key", 8, &Monkey::key},     {"type", 16, &Monkey::type},
    {"paste", 5, &Monkey::paste}, {"focus", 8, &Monkey::focus}, {"spin", 8, &Monkey::spin},
    {"check", 4, &Monkey::toggle}, {"save", 7, &Monkey::save},  {"load", 4, &Monkey::load},
    {"close", 1, &Monkey::close},
};

// Each fault the invariants can find has its own name, so that a known one can be left out.
const char *const kInvariantNames[] = {
    "dialogs", "lists", "shows-entry", "list-empty", "locked", "bounds", "bounds-32bit", "requisites", "typed-bound",
    "typed-text", "typed-list", "list-left", "spinner", "focus", "saved-checker", "saved-reload", "modified", "title"};

// modified() last: it moves the baseline on.
void (Monkey::*const kInvariants[])() const = {
    &Monkey::dialogs, &Monkey::lists, &Monkey::locked, &Monkey::bounds, &Monkey::requisites,
    &Monkey::typed, &Monkey::saved, &Monkey::title, &Monkey::modified};

} // namespace

// --- The driver ------------------------------------------------------------------------------

void Monkey::newForm()
{
    m_form.reset();
    // The spinners write in the locale's digits: a new window may start in another one.
    const char *locale = kLocales[(m_seed + quint32(m_forms++)) % std::size(kLocales)];
    QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
    m_form = std::make_unique<QuestionnaireWindow>();
    m_form->show();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        qFatal("the form did not become active");
    m_settled.clear();
    m_currentFile.clear();
    for (QComboBox *box : m_form->findChildren<QComboBox *>())
        settle(box);
    m_baseline = savable(*m_form);
}

// As the window manager does when the user comes back to the window.
bool Monkey::activate()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        QCoreApplication::processEvents();
        if (m_form->isActiveWindow())
            return true;
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form.get()))
            return false;
    }
    return m_form->isActiveWindow();
}

// Remembers the entry a list selects: leaving it with text that names no entry puts that back.
void Monkey::settle(const QComboBox *box)
{
    if (box->currentIndex() >= 0 && entryNamed(box, box->currentText()) == box->currentIndex())
        m_settled[box->objectName()] = box->itemText(box->currentIndex());
}

template <typename T>
std::vector<T *> Monkey::offered() const
{
    std::vector<T *> list;
    for (T *w : m_form->findChildren<T *>())
        if (w->isVisible() && w->isEnabled() && w->window() == m_form.get())
            list.push_back(w);
    return list;
}

void Monkey::sendKey(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = m_form->focusWidget() ? m_form->focusWidget() : m_form.get();
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void Monkey::typeChar(QChar c)
{
    QWidget *target = m_form->focusWidget() ? m_form->focusWidget() : m_form.get();
    if (c.unicode() < 128)
        QTest::keyClick(target, c.toLatin1());
    else // QTest maps only Latin-1 to keys: the text is what typing delivers
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// What the file keeps, as the form shows it. A list being typed into counts with the entry it
// showed last: the text names no entry yet, and nothing has changed.
QStringList Monkey::savable(const QuestionnaireWindow &form) const
{
    QStringList lines;
    const auto add = [&](QWidget *w) {
        if (!w->isVisibleTo(&form))
            return;
        QString value;
        if (auto *box = qobject_cast<QComboBox *>(w)) {
            const auto settled = m_settled.find(box->objectName());
            value = box->currentIndex() >= 0 ? box->itemText(box->currentIndex())
                    : settled != m_settled.end() && &form == m_form.get() ? settled->second
                                                                            : u"(none)"_s;
        } else if (auto *line = qobject_cast<QLineEdit *>(w)) {
            value = line->text();
        } else if (auto *box = qobject_cast<QCheckBox *>(w)) {
            value = box->isChecked() ? u"on"_s : u"off"_s;
        }
        lines << w->objectName() + u'=' + value;
    };
    for (const char *name : {"DeviceCombo", "QntyEdit", "FirmNameEdit", "PhoneEdit", "MailEdit", "BillEdit"})
        add(form.findChild<QWidget *>(QString::fromLatin1(name)));
    for (int c = 0; c < 2; ++c) {
        if (c == 1 && !control<QGroupBox>(form, "Ch2GroupBox")->isVisibleTo(&form))
            break;
        for (const char *role : {"InputCheck", "SensorCombo", "CharCombo", "MaxEdit", "MinEdit", "ConnCombo",
                                 "NomRCombo", "OutputCombo"})
            add(form.findChild<QWidget *>(u"Ch%1%2"_s.arg(c + 1).arg(QLatin1StringView(role))));
    }
    return lines;
}

QStringList Monkey::without(const QStringList &lines, const QString &name) const
{
    QStringList rest;
    for (const QString &line : lines)
        if (!line.startsWith(name + u'='))
            rest << line;
    return rest;
}

Monkey::Failure Monkey::run(const std::vector<Step> &steps, QStringList *descriptions)
{
    for (int i = 0; i < int(steps.size()); ++i) {
        const Step &s = steps[std::size_t(i)];
        if (!activate())
            return {i, u"dialogs"_s, u"the form did not become active again"_s};
        // A crash or a hang leaves no report: the steps so far let a script shrink it all the same.
        if (m_trace)
            std::fprintf(stderr, "monkey-step %s %u %u\n", kActions[s.action].name, s.a, s.b);
        m_a = s.a;
        m_b = s.b;
        m_dialogCount = 0;
        m_loadPath.clear();
        m_chosen.clear();
        m_savedPath.clear();
        m_loaded = m_lostOnClose = false;
        m_unexpected.clear();
        m_titles.clear();
        m_expect = {};
        m_before = savable(*m_form);
        m_left = nullptr;
        m_leftFrom = nullptr;

        QString description;
        {
            const Watchdog watchdog(60); // a step that hangs ends the run
            ModalScript script;
            for (int d = 0; d < 8; ++d)
                script.look([this](QWidget *modal) { respond(modal); });
            description = (this->*kActions[s.action].run)(s.a, s.b);
            m_unexpected += script.unexpected();
        }
        QCoreApplication::processEvents();
        if (m_loaded) // the entries shown before the file are no one's to put back
            m_settled.clear();
        if (descriptions)
            descriptions->append(description);

        m_failure = {};
        for (const auto check : kInvariants)
            (this->*check)();
        if (!m_failure.invariant.isEmpty()) {
            m_failure.step = i;
            return m_failure;
        }
        for (QComboBox *box : m_form->findChildren<QComboBox *>())
            settle(box);
    }
    return {};
}

// Any dialog a step opens: message boxes are answered as the step chose, file dialogs get the
// file the step prepared.
void Monkey::respond(QWidget *modal)
{
    const bool yes = (m_b >> (8 + m_dialogCount++ % 16)) & 1;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        const ModalScript::Message message = ModalScript::describe(box);
        m_titles << message.title;
        if (message.text == kSaved) {
            ++saves;
            m_savedPath = m_currentFile = m_chosen;
            if (!m_savedFiles.contains(m_chosen))
                m_savedFiles << m_chosen;
        }
        QAbstractButton *button = box->button(QMessageBox::Yes) ? box->button(yes ? QMessageBox::Yes : QMessageBox::No)
                                                               : box->button(QMessageBox::Ok);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        if (box->isVisible()) {
            m_unexpected << u"a message box without the expected buttons: "_s + message.text;
            box->reject();
        }
        return;
    }
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        const bool saving = dialog->acceptMode() == QFileDialog::AcceptSave;
        const QString names[] = {u"a.cfg"_s, u"Ромашка.cfg"_s, u"b.cfg"_s};
        const QString path = saving ? m_dir.filePath(names[m_a % 3]) : m_loadPath;
        if (path.isEmpty() || (m_a >> 4) % 12 == 0) {
            dialog->reject();
            return;
        }
        m_chosen = path;
        if (!ModalScript::chooseIn(dialog, path))
            m_unexpected << u"the file dialog refused "_s + path;
        else if (!saving) {
            m_loaded = true;
            m_currentFile = path;
            ++loads;
            savedLoads += m_loadPath.endsWith(u"saved.cfg"_s);
        }
        return;
    }
    m_unexpected << QString::fromLatin1(modal->metaObject()->className());
    modal->close();
}

// --- Actions ---------------------------------------------------------------------------------

QString Monkey::pick(quint32 a, quint32 b)
{
    std::vector<QComboBox *> boxes;
    for (QComboBox *box : offered<QComboBox>())
        if (box->count() > 0)
            boxes.push_back(box);
    if (boxes.empty())
        return u"pick: no list"_s;
    QComboBox *box = boxes[a % boxes.size()];
    const int index = int(b % quint32(box->count()));
    const QString entry = box->itemText(index);
    // The arrow opens the list.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 5, box->height() / 2));
    QAbstractItemView *view = box->view();
    if (!view->isVisible())
        return u"pick: the list of %1 did not open"_s.arg(box->objectName());
    // A click right after the list opened would be taken for the end of the opening click:
    // choose with the keys.
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QElapsedTimer wait; // the style may flash the chosen entry before the list closes
    wait.start();
    while (view->isVisible() && wait.elapsed() < 2000)
        QTest::qWait(1);
    // Closing the list's window passes the activation on later, to no window offscreen.
    if (!activate())
        return u"pick: the form did not become active again"_s;
    return u"pick %1 %2"_s.arg(box->objectName(), ofKinds(entry));
}

QString Monkey::key(quint32 a, quint32)
{
    const std::pair<int, const char *> keys[] = {
        {Qt::Key_Up, "Up"},          {Qt::Key_Down, "Down"},     {Qt::Key_PageUp, "PageUp"},
        {Qt::Key_PageDown, "PageDown"}, {Qt::Key_Home, "Home"},   {Qt::Key_End, "End"},
        {Qt::Key_Backspace, "Backspace"}, {Qt::Key_Delete, "Delete"}, {Qt::Key_Space, "Space"},
        {Qt::Key_Escape, "Escape"},  {Qt::Key_Return, "Return"}, {Qt::Key_Minus, "-"}};
    const auto &[code, name] = keys[a % std::size(keys)];
    const QString target = m_form->focusWidget() ? m_form->focusWidget()->objectName() : u"form"_s;
    sendKey(code);
    return u"key %1 in %2"_s.arg(QLatin1StringView(name), target);
}

QString Monkey::enter(quint32 a, quint32 b, bool paste)
{
    std::vector<QWidget *> targets;
    for (QLineEdit *line : offered<QLineEdit>())
        if (line->objectName().endsWith(u"Edit"_s))
            targets.push_back(line);
    for (QComboBox *box : offered<QComboBox>())
        targets.push_back(box);
    QWidget *target = targets[a % targets.size()];
    auto *box = qobject_cast<QComboBox *>(target);
    QLineEdit *line = box ? box->lineEdit() : static_cast<QLineEdit *>(target);
    const QString name = target->objectName();
    const bool range = name.endsWith(u"MaxEdit"_s) || name.endsWith(u"MinEdit"_s);

    QStringList pool;
    if (box) {
        for (int i = 0; i < box->count(); ++i)
            pool << box->itemText(i) << box->itemText(i).toLower() << box->itemText(i) + u' ';
        pool << box->currentText().left(3) << u"zz"_s << QString() << u"4-20 мА"_s;
    } else if (range) {
        pool << u"10"_s << u"500"_s << u"1310"_s << u"-"_s << u"-5"_s << u"abc12"_s << u"3502147483647"_s
             << u"0"_s << u"-200"_s << u"1 300"_s << u"\u22125"_s << QString()
             << QString::number(int(b >> 16) % 3000 - 1000) << QString::number(int(b >> 16) % 300);
    } else if (name == u"QntyEdit"_s) {
        pool << u"0"_s << u"1000"_s << u"007"_s << u"12a"_s << u"5"_s << QString();
    } else if (name == u"MailEdit"_s) {
        pool << u"lab@example.ru"_s << u"lab@example.ru"_s << u" lab@example.ru "_s << u"   "_s << u"@bad.ru"_s
             << u"\"lab@example.ru\""_s << QString();
    } else {
        pool << u"ACME"_s << u"ООО «Ромашка»"_s << u"   "_s << u"\"Ромашка\""_s << u"  ACME Р» "_s
             << u"+7 (495) 123-45-67"_s << QString();
    }
    if (paste) {
        pool << u"lab\nx"_s << u"a\tb"_s << u"lab"_s + QChar(0) + u"x@example.ru"_s << u"ACME\r\n"_s
             << u"3502147483647"_s << u"\u2212200"_s;
    }
    const QString text = pool[int((b >> 2) % quint32(pool.size()))];
    const bool append = (b & 3) == 1;

    QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
    if (!activate())
        return u"type: the form did not become active again"_s;
    const QString old = line->text();
    const QStringList before = savable(*m_form); // leaving the last control may change things
    sendKey(append ? Qt::Key_End : Qt::Key_A, append ? Qt::NoModifier : Qt::ControlModifier);
    const QString result = append ? old + text : text;
    bool passesAnEntry = false; // typing went through a text that names an entry
    if (paste) {
        QGuiApplication::clipboard()->setText(text);
        sendKey(Qt::Key_V, Qt::ControlModifier);
        if (box)
            settle(box);
    } else if (text.isEmpty()) {
        sendKey(Qt::Key_Delete);
    } else {
        for (int i = 0; i < text.size(); ++i) {
            typeChar(text[i]);
            if (box && i + 1 < text.size() && entryNamed(box, (append ? old : QString()) + text.left(i + 1)) >= 0)
                passesAnEntry = true;
            if (box)
                settle(box);
        }
    }

    if (!hasFocus(target)) {
        m_expect = {"focus", target, u"(focus kept)"_s, {}, -2};
    } else if (box && !passesAnEntry) {
        m_expect = {"typed-list", target, result, {}, entryNamed(box, result), before};
    } else if (range) {
        const QString filtered = filterDigits(result);
        const int c = name.startsWith(u"Ch2"_s) ? 1 : 0;
        const bool max = name.endsWith(u"MaxEdit"_s);
        const int limit = control<TUpDown>(*m_form, qPrintable(u"Ch%1MaxUpDown"_s.arg(c + 1)))->maximum();
        // Digits that go beyond the upper limit are held to it at once, also on their way to 33 bits.
        const bool beyond = !filtered.startsWith(u'-') && filtered.toDouble() > limit;
        // The range check stops at a maximum that is no number, before it filters the minimum.
        const bool unchecked = !max && !strictToInt(rangeEdit(*m_form, c, true)->text());
        m_expect = {"typed-bound", target, filtered,
                    max && beyond ? QString::number(limit) : unchecked ? result : QString(), -2};
    } else if (!box && name != u"QntyEdit"_s && !paste) {
        m_expect = {"typed-text", target, result, {}, -2};
    }
    return u"%1 %2 %3%4"_s.arg(paste ? u"paste"_s : u"type"_s, ofKinds(text),
                               append ? u"after the text of "_s : u"into "_s,
                               name);
}

QString Monkey::focus(quint32 a, quint32 b)
{
    const QString from = m_form->focusWidget() ? m_form->focusWidget()->objectName() : u"none"_s;
    // Only a plain focus move is expected to leave everything but that list as it was.
    auto *focused = qobject_cast<QComboBox *>(m_form->focusWidget());
    m_left = focused && !showsEntry(focused) ? focused : nullptr;
    m_leftFrom = m_form->focusWidget();
    if (a % 3 < 2) {
        sendKey(a % 3 ? Qt::Key_Backtab : Qt::Key_Tab, a % 3 ? Qt::ShiftModifier : Qt::NoModifier);
        return u"%1 from %2"_s.arg(a % 3 ? u"Shift+Tab"_s : u"Tab"_s, from);
    }
    std::vector<QLineEdit *> lines = offered<QLineEdit>();
    QLineEdit *line = lines[b % lines.size()];
    auto *box = qobject_cast<QComboBox *>(line->parentWidget());
    QWidget *target = box ? static_cast<QWidget *>(box) : line;
    QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
    m_expect = {"focus", target, u"(clicked)"_s, {}, -2};
    return u"click into %1 from %2"_s.arg(target->objectName(), from);
}

QString Monkey::spin(quint32 a, quint32 b)
{
    const std::vector<TUpDown *> spinners = offered<TUpDown>();
    TUpDown *spinner = spinners[a % spinners.size()];
    const bool up = b & 1;
    // The number the edit shows, as a person reads it; other text (left unfiltered behind a
    // maximum that is no number) says nothing about where the spinner steps from.
    const auto old = strictToInt(QString(spinner->associate()->text()).replace(QChar(0x2212), u'-'));
    QTest::mouseClick(spinner, Qt::LeftButton, {},
                      QPoint(spinner->width() / 2, up ? 2 : spinner->height() - 3));
    if (old) // the spinner steps from the number the edit shows
        m_expect = {"spinner", spinner->associate(),
                    QString::number(qBound(spinner->minimum(), *old + (up ? 1 : -1), spinner->maximum())), {}, -2};
    return u"click %1 on %2 at %3"_s.arg(up ? u"up"_s : u"down"_s, spinner->objectName(),
                                         QString::number(old.value_or(0)));
}

QString Monkey::toggle(quint32 a, quint32)
{
    const std::vector<QCheckBox *> boxes = offered<QCheckBox>();
    if (boxes.empty())
        return u"check: none enabled"_s;
    QCheckBox *box = boxes[a % boxes.size()];
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    return u"click %1"_s.arg(box->objectName());
}

QString Monkey::save(quint32 a, quint32)
{
    if (a & 1) {
        sendKey(Qt::Key_S, Qt::ControlModifier);
    } else {
        QTest::mouseClick(control<QPushButton>(*m_form, "SaveButton"), Qt::LeftButton);
    }
    return u"save (%1) as %2"_s.arg(a & 1 ? u"Ctrl+S"_s : u"button"_s,
                                    m_chosen.isEmpty() ? u"nothing"_s : QFileInfo(m_chosen).fileName());
}

// Files as a person or another program may have left them: each alters one value.
QString Monkey::load(quint32 a, quint32 b)
{
    struct Change
    {
        const char *section, *key, *value; // a null value drops the line
    };
    static const Change changes[] = {
        {"Channel 1", "Sensor R", "7"},          {"Channel 1", "Input connection", "3"},
        {"Channel 2", "Input mode", "1"},        {"Channel 1", "Input mode", "0"},
        {"Channel 2", "Input mode", "0"},        {"Channel 1", "Output mode", "255"},
        {"Channel 1", "Output mode", "9"},       {"Channel 1", "Output direction", "-1"},
        {"Channel 1", "Sensor id", "9"},         {"Channel 2", "Sensor id", "20"},
        {"Channel 1", "Temperature max", "99999999999"}, {"Channel 1", "Temperature min", "-5000"},
        {"Device", "id", "84"},                  {"Device", "id", "51"},
        {"Reqs", "Firm", "\"Ромашка\""},         {"Reqs", "Firm", "   "},
        {"Reqs", "Mail", " lab@example.ru "},    {"Reqs", "Quantity", "0"},
        {"Reqs", "CheckCode", nullptr},          {"Reqs", "Version", "4e"},
    };
    QByteArray bytes;
    QString from;
    if (m_savedFiles.isEmpty() || (a >> 8) % 3 == 0) {
        const int position = int(a % 14);
        bytes = writeQuestionnaire(defaultQuestionnaire(position)).bytes;
        from = QString::fromStdString(modelListText(modelList()[std::size_t(position)]));
    } else {
        from = m_savedFiles[int(a % quint32(m_savedFiles.size()))];
        bytes = readAll(from);
        from = QFileInfo(from).fileName();
    }
    const Change &change = changes[b % std::size(changes)];
    bytes = withValue(bytes, change.section, change.key,
                      change.value ? toCp1251Lossy(QString::fromUtf8(change.value)) : QByteArray());
    const bool reseal = (b >> 5) & 1;
    if (reseal)
        bytes = resealed(bytes);
    m_loadPath = m_dir.filePath(m_savedFiles.contains(m_dir.filePath(from)) ? u"saved.cfg"_s : u"loaded.cfg"_s);
    writeAll(m_loadPath, bytes);
    if (a & 1)
        sendKey(Qt::Key_O, Qt::ControlModifier);
    else
        QTest::mouseClick(control<QPushButton>(*m_form, "LoadButton"), Qt::LeftButton);
    return u"load %1 with [%2] %3=%4%5"_s.arg(from, QLatin1StringView(change.section), QLatin1StringView(change.key),
                                            change.value ? QString::fromUtf8(change.value) : u"(dropped)"_s,
                                            reseal ? u", check code made to match"_s : QString());
}

QString Monkey::close(quint32, quint32)
{
    const int dialogs = m_dialogCount;
    if (!m_form->close())
        return u"close: answered No"_s;
    m_lostOnClose = m_dialogCount == dialogs && m_before != m_baseline;
    newForm();
    return u"close, then start again in %1"_s.arg(QLocale().name());
}

// --- Invariants ------------------------------------------------------------------------------

namespace {
QString changes(const QStringList &from, const QStringList &to)
{
    QStringList lines;
    for (const QString &line : to)
        if (!from.contains(line))
            lines << line;
    return lines.join(u", "_s);
}

QStringList texts(std::span<const char *const> list)
{
    QStringList out;
    for (const char *text : list)
        out << QString::fromUtf8(text);
    return out;
}
} // namespace

// No dialog left open or unanswered; message boxes carry the program's caption.
void Monkey::dialogs() const
{
    for (const QString &u : m_unexpected)
        fail("dialogs", u);
    for (const QString &title : m_titles)
        if (title != kCaption)
            fail("dialogs", u"a message box titled "_s + ofKinds(title));
    if (QWidget *popup = QApplication::activePopupWidget())
        fail("dialogs", u"a popup stays open: "_s + QString::fromLatin1(popup->metaObject()->className())
                     + (popup->parentWidget() ? u" of "_s + popup->parentWidget()->objectName() : QString()));
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != m_form.get() && !w->inherits("QTipLabel"))
            fail("dialogs", u"a window stays open: "_s + QString::fromLatin1(w->metaObject()->className()));
}

// Every list holds what the catalogue offers for the model and the sensor, and shows one of its
// entries unless it is being typed into.
void Monkey::lists() const
{
    const QuestionnaireWindow &form = *m_form;
    QComboBox *device = combo(form, "DeviceCombo");
    QStringList models;
    for (const DeviceModel &model : modelList())
        models << QString::fromStdString(modelListText(model));
    if (items(device) != models)
        fail("lists", u"DeviceCombo lists "_s + items(device).join(u'|'));
    for (QComboBox *box : form.findChildren<QComboBox *>()) {
        if (box->isVisibleTo(&form) && box->count() > 0 && !hasFocus(box) && !showsEntry(box))
            fail(box->currentText().isEmpty() ? "list-empty" : "shows-entry",
                 box->objectName() + u" shows "_s + ofKinds(box->currentText()) + u", which is no entry"_s);
    }
    const int position = device->currentIndex();
    if (position < 0)
        return;
    const DeviceModel &model = modelList()[std::size_t(position)];
    const bool series610 = isSeries610(position);
    if (control<QGroupBox>(form, "Ch2GroupBox")->isVisibleTo(&form) != showsChannel2(model))
        fail("lists", u"channel 2 shown wrongly"_s);
    for (int c = 0; c < (showsChannel2(model) ? 2 : 1); ++c) {
        const auto box = [&](const char *role) {
            return combo(form, qPrintable(u"Ch%1%2"_s.arg(c + 1).arg(QLatin1StringView(role))));
        };
        QStringList types;
        for (int i = 0; i < offeredSensorTypeCount(position); ++i)
            types << QString::fromUtf8(sensorTypeEntryText(i));
        if (items(box("SensorCombo")) != types)
            fail("lists", box("SensorCombo")->objectName() + u" lists "_s + items(box("SensorCombo")).join(u'|'));
        const QStringList outputs = showsOutputs(model) ? texts(outputModeTexts(series610)) : QStringList();
        if (items(box("OutputCombo")) != outputs || box("OutputCombo")->isVisibleTo(&form) != showsOutputs(model))
            fail("lists", box("OutputCombo")->objectName() + u" lists "_s + items(box("OutputCombo")).join(u'|'));
        if (box("SensorCombo")->currentIndex() < 0)
            continue;
        const SensorType type = sensorTypeOfIndex(box("SensorCombo")->currentIndex());
        const auto sensors = sensorsOfType(type);
        QStringList names;
        for (const SensorDescriptor *sensor : sensors)
            names << QString::fromStdString(displayName(sensor->name));
        if (items(box("CharCombo")) != names)
            fail("lists", box("CharCombo")->objectName() + u" lists "_s + items(box("CharCombo")).join(u'|'));
        if (box("ConnCombo")->isVisibleTo(&form) != showsConnection(series610, type)
            || box("NomRCombo")->isVisibleTo(&form) != showsNominalR(type))
            fail("lists", u"channel %1 shows the wrong rows"_s.arg(c + 1));
        const int charIndex = box("CharCombo")->currentIndex();
        if (charIndex < 0 || charIndex >= int(sensors.size()))
            continue;
        const RangeLimits *row = rangeRow(series610, sensors[std::size_t(charIndex)]->id);
        QStringList resistances;
        for (const std::string &entry : nominalResistanceList(*row).entries)
            resistances << QString::fromStdString(entry);
        if (items(box("NomRCombo")) != resistances)
            fail("lists", box("NomRCombo")->objectName() + u" lists "_s + items(box("NomRCombo")).join(u'|'));
    }
}

// An input box the model locks shows the model's state; a channel's controls follow its box.
void Monkey::locked() const
{
    const QuestionnaireWindow &form = *m_form;
    const int position = combo(form, "DeviceCombo")->currentIndex();
    if (position < 0)
        return;
    const DeviceModel &model = modelList()[std::size_t(position)];
    const auto states = inputChecks(model);
    for (int c = 0; c < (showsChannel2(model) ? 2 : 1); ++c) {
        const QCheckBox *box = ::check(form, qPrintable(u"Ch%1InputCheck"_s.arg(c + 1)));
        if (box->isEnabled() != states[std::size_t(c)].enabled
            || (!states[std::size_t(c)].enabled && box->isChecked() != states[std::size_t(c)].checked))
            fail("locked", u"%1 is %2 and %3"_s.arg(box->objectName(), box->isChecked() ? u"ticked"_s : u"unticked"_s,
                                                 box->isEnabled() ? u"enabled"_s : u"locked"_s));
        if (combo(form, qPrintable(u"Ch%1SensorCombo"_s.arg(c + 1)))->isEnabled() != box->isChecked())
            fail("locked", u"channel %1's controls do not follow its input box"_s.arg(c + 1));
    }
}

// Bounds are filtered numbers within the limits, or the range shows red; the quantity is 1..999.
void Monkey::bounds() const
{
    const QuestionnaireWindow &form = *m_form;
    const int position = combo(form, "DeviceCombo")->currentIndex();
    const auto quantity = strictToInt(edit(form, "QntyEdit")->text());
    if (!quantity || *quantity < kQuantityMin || *quantity > kQuantityMax)
        fail("bounds", u"QntyEdit holds "_s + ofKinds(edit(form, "QntyEdit")->text()));
    if (position < 0)
        return;
    const bool series610 = isSeries610(position);
    for (int c = 0; c < (showsChannel2(modelList()[std::size_t(position)]) ? 2 : 1); ++c) {
        const QComboBox *sensor = combo(form, qPrintable(u"Ch%1SensorCombo"_s.arg(c + 1)));
        const QComboBox *characteristic = combo(form, qPrintable(u"Ch%1CharCombo"_s.arg(c + 1)));
        const auto sensors = sensorsOfType(sensorTypeOfIndex(sensor->currentIndex()));
        if (sensor->currentIndex() < 0 || characteristic->currentIndex() < 0
            || characteristic->currentIndex() >= int(sensors.size()))
            continue;
        const RangeLimits &row = *rangeRow(series610, sensors[std::size_t(characteristic->currentIndex())]->id);
        QLineEdit *max = rangeEdit(form, c, true), *min = rangeEdit(form, c, false);
        const auto maxValue = strictToInt(max->text()), minValue = strictToInt(min->text());
        const bool red = shownColour(max) == kRed;
        const QString range = u"channel %1 range %2..%3"_s.arg(c + 1).arg(ofKinds(min->text()), ofKinds(max->text()));
        for (QLineEdit *line : {max, min}) {
            // The check stops at a maximum that is no number and leaves the minimum as it is.
            if (line->text() != filterDigits(line->text()) && (line == max || maxValue))
                fail("bounds", line->objectName() + u" holds "_s + ofKinds(line->text()));
            if ((line->text().isEmpty() || line->text() == u"-"_s) && !hasFocus(line))
                fail("bounds", line->objectName() + u" left without a number"_s);
            if (!line->text().isEmpty() && line->text() != u"-"_s && !strictToInt(line->text()) && !red)
                fail("bounds-32bit", range + u" beyond 32 bits shown in black"_s);
        }
        if (shownColour(min) != shownColour(max))
            fail("bounds", range + u" in two colours"_s);
        if (maxValue && minValue) {
            const bool passes = *maxValue <= truncatedLimit(row.upperLimit)
                    && *minValue >= truncatedLimit(row.lowerLimit)
                    && spanPasses(*maxValue, *minValue, row.minSpan);
            if (passes == red)
                fail("bounds", range + (red ? u" passes but is red"_s : u" fails but is not red"_s));
        }
    }
}

// Control characters never reach a saved requisite: the save turns them into blanks, and the
// edits then show what it wrote.
void Monkey::requisites() const
{
    if (m_savedPath.isEmpty())
        return;
    for (const char *name : {"FirmNameEdit", "PhoneEdit", "MailEdit", "BillEdit"}) {
        const QString text = edit(*m_form, name)->text();
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
            fail("requisites", QString::fromLatin1(name) + u" holds "_s + ofKinds(text));
    }
}

// What was typed is what is shown; a spinner moves its number by one; a list typed into changes
// nothing until its text names an entry, and left with such text shows the entry it showed before.
void Monkey::typed() const
{
    if (m_left && !hasFocus(m_left)) {
        const auto settled = m_settled.find(m_left->objectName());
        if (settled != m_settled.end() && (m_left->currentText() != settled->second || !showsEntry(m_left)))
            fail("list-left", m_left->objectName() + u" left shows "_s + ofKinds(m_left->currentText()) + u", not "_s
                    + ofKinds(settled->second));
    }
    const Expect &e = m_expect;
    if (!e.target)
        return;
    auto *box = qobject_cast<QComboBox *>(e.target.data());
    const QString shown = box ? box->currentText() : static_cast<QLineEdit *>(e.target.data())->text();
    if (e.text == u"(clicked)"_s) {
        // The control clicked has the focus, unless leaving a list rebuilt the form and took the
        // control away: then the focus stays in that list.
        const QWidget *focus = m_form->focusWidget();
        const bool gone = !e.target->isVisible() || !e.target->isEnabled();
        if (!hasFocus(e.target) && !(gone && focus && focus == m_leftFrom))
            fail("focus", u"a click into "_s + e.target->objectName() + u" put the focus on "_s
                         + (focus ? focus->objectName() : u"nothing"_s));
    } else if (e.text == u"(focus kept)"_s) {
        const QWidget *focus = m_form->focusWidget();
        fail("focus", e.target->objectName() + u" lost the focus while typed into, to "_s
                     + (focus ? focus->objectName() : u"nothing"_s));
    } else if (box && e.entry >= 0) {
        if (box->currentIndex() != e.entry)
            fail("typed-list", box->objectName() + u" selects "_s + ofKinds(box->itemText(box->currentIndex()))
                    + u" for the typed "_s + ofKinds(e.text));
    } else if (box) {
        const QString changed =
                changes(without(e.before, box->objectName()), without(savable(*m_form), box->objectName()));
        if (shown != e.text || !changed.isEmpty())
            fail("typed-list", box->objectName() + u" typed "_s + ofKinds(e.text) + u" shows "_s + ofKinds(shown)
                    + (changed.isEmpty() ? QString() : u" and changed "_s + changed));
    } else if (shown != e.text && (e.alternative.isEmpty() || shown != e.alternative)) {
        fail(e.name, e.target->objectName() + u" shows "_s + ofKinds(shown) + u", not "_s + ofKinds(e.text));
    }
}

// A saved file is clean for the checker, which reads what the form shows, and loads back the same.
void Monkey::saved() const
{
    if (m_savedPath.isEmpty())
        return;
    const check::FileReport report = check::checkBytes(readAll(m_savedPath), m_savedPath);
    if (!report.clean()) {
        QString found = QString::fromLatin1(check::verdictName(report.verdict));
        for (const Problem &p : report.problems)
            found += u' ' + QString::fromLatin1(p.code) + u": "_s + p.text;
        fail("saved-checker", u"the checker finds "_s + found);
    }
    // A file saved from this window loads into a new one as this window shows it.
    if (const QString diff = disagreement(*m_form, report); !diff.isEmpty())
        fail("saved-checker", diff);

    QuestionnaireWindow other;
    const LoadResult reload = loadThroughForm(other, m_savedPath);
    for (const ModalScript::Message &m : reload.messages)
        fail("saved-reload", u"loading it back says "_s + m.text);
    for (const QString &u : reload.unexpected)
        fail("saved-reload", u);
    const QStringList shown = savable(*m_form), back = savable(other);
    if (shown != back)
        fail("saved-reload", u"loads back as "_s + changes(shown, back) + u" instead of "_s + changes(back, shown));
}

// The title names the file last saved or loaded and shows unsaved changes; a new questionnaire
// keeps the bare caption.
void Monkey::title() const
{
    if (!m_currentFile.isEmpty() && m_form->isWindowModified() != m_form->isModified())
        fail("title", m_form->isModified() ? u"changed, but the title does not show it"_s
                                           : u"the title shows changes where there are none"_s);
    if (!m_currentFile.isEmpty() && !m_form->windowTitle().contains(QFileInfo(m_currentFile).fileName()))
        fail("title", u"the title "_s + ofKinds(m_form->windowTitle()) + u" does not name "_s + m_currentFile);
}

// Every change the file keeps marks the questionnaire changed; a save or a load ends unchanged;
// no close loses a change without asking.
void Monkey::modified() const
{
    const QStringList now = savable(*m_form);
    if (m_lostOnClose)
        fail("modified", u"closed without a question, losing "_s + changes(m_baseline, m_before));
    else if ((!m_savedPath.isEmpty() || m_loaded) && m_form->isModified())
        fail("modified", u"still marked changed after a save or a load"_s);
    else if (m_savedPath.isEmpty() && !m_loaded && !m_form->isModified() && now != m_baseline) {
        // A list a load left empty that gets an entry: the empty list is the fault.
        const bool wasEmpty = std::all_of(now.begin(), now.end(), [&](const QString &line) {
            return m_baseline.contains(line) || m_baseline.contains(line.section(u'=', 0, 0) + u"=(none)"_s);
        });
        fail(wasEmpty ? "list-empty" : "modified", u"not marked changed after "_s + changes(m_baseline, now));
    }
    if (!m_form->isModified())
        m_baseline = now;
}

// --- Sessions --------------------------------------------------------------------------------

namespace {

std::vector<Step> generate(quint32 seed, int count)
{
    std::mt19937 random(seed);
    int total = 0;
    for (const Action &action : kActions)
        total += action.weight;
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        int pick = int(random() % quint32(total)), action = 0;
        while (pick >= kActions[action].weight)
            pick -= kActions[action++].weight;
        const quint32 a = random(), b = random();
        steps.push_back({action, a, b});
    }
    return steps;
}

// Lines "name a b", as failures print them; '#' starts a comment.
std::vector<Step> parse(const QByteArray &text)
{
    std::vector<Step> steps;
    for (QByteArray line : text.split('\n')) {
        if (line.contains('#'))
            line.truncate(line.indexOf('#'));
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() != 3)
            continue;
        for (int i = 0; i < int(std::size(kActions)); ++i)
            if (words[0] == kActions[i].name)
                steps.push_back({i, words[1].toUInt(), words[2].toUInt()});
    }
    return steps;
}

QString listing(const std::vector<Step> &steps, const QStringList &descriptions)
{
    QString out;
    for (std::size_t i = 0; i < steps.size(); ++i)
        out += u"%1 %2 %3  # %4\n"_s.arg(QLatin1StringView(kActions[steps[i].action].name))
                       .arg(steps[i].a)
                       .arg(steps[i].b)
                       .arg(descriptions.value(int(i)));
    return out;
}

// Delta debugging: the shortest subsequence found that still fails the same invariant.
std::vector<Step> shrink(std::vector<Step> steps, const QString &invariant, quint32 seed, const QStringList &skip)
{
    const auto fails = [&](const std::vector<Step> &candidate) {
        Monkey monkey(seed, skip);
        const Monkey::Failure failure = monkey.run(candidate);
        return failure.invariant == invariant;
    };
    std::size_t parts = 2;
    while (steps.size() >= 2) {
        const std::size_t chunk = (steps.size() + parts - 1) / parts;
        bool reduced = false;
        for (std::size_t start = 0; start < steps.size() && !reduced; start += chunk) {
            std::vector<Step> complement(steps.begin(), steps.begin() + std::ptrdiff_t(start));
            complement.insert(complement.end(), steps.begin() + std::ptrdiff_t(std::min(steps.size(), start + chunk)),
                              steps.end());
            if (fails(complement)) {
                steps = std::move(complement);
                parts = std::max<std::size_t>(parts - 1, 2);
                reduced = true;
            }
        }
        if (!reduced) {
            if (parts >= steps.size())
                break;
            parts = std::min(steps.size(), parts * 2);
        }
    }
    return steps;
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

private slots:
    void randomSessions();
};

void TestMonkey::randomSessions()
{
    const quint32 seed = qEnvironmentVariableIsSet("QS_JUV_MONKEY_SEED")
            ? quint32(qEnvironmentVariableIntValue("QS_JUV_MONKEY_SEED"))
            : 17;
    const int count = qEnvironmentVariableIsSet("QS_JUV_MONKEY_STEPS")
            ? qEnvironmentVariableIntValue("QS_JUV_MONKEY_STEPS")
            : 300;
    const QStringList skip = qEnvironmentVariable("QS_JUV_MONKEY_SKIP").split(u',', Qt::SkipEmptyParts);
    for (const QString &name : skip)
        QVERIFY2(std::any_of(std::begin(kInvariantNames), std::end(kInvariantNames),
                             [&](const char *known) { return name == QLatin1StringView(known); }),
                 qPrintable(u"no invariant is named "_s + name));
    const bool shrinking = qEnvironmentVariableIntValue("QS_JUV_MONKEY_SHRINK") != 0;
    std::vector<Step> steps = generate(seed, count);
    if (const QString replay = qEnvironmentVariable("QS_JUV_MONKEY_REPLAY"); !replay.isEmpty())
        steps = parse(readAll(replay));
    QVERIFY2(!steps.empty(), "no steps to run");

    QStringList descriptions;
    auto monkey = std::make_unique<Monkey>(seed, skip);
    Monkey::Failure failure = monkey->run(steps, &descriptions);
    qInfo("seed %u, %d steps, %d saves, %d loads, %d of them of saved files: %s", seed, int(steps.size()),
          monkey->saves, monkey->loads, monkey->savedLoads,
          failure.step < 0 ? "every invariant held" : qPrintable(u"invariant \"%1\" failed"_s.arg(failure.invariant)));
    monkey.reset(); // its window must not be open beside those of the shrinking runs
    if (failure.step < 0)
        return;
    steps.resize(std::size_t(failure.step) + 1);
    if (shrinking) {
        steps = shrink(steps, failure.invariant, seed, skip);
        descriptions.clear();
        failure = Monkey(seed, skip).run(steps, &descriptions);
    }
    const QString message = u"invariant \"%1\" failed after step %2 (seed %3): %4\n%5"_s.arg(failure.invariant)
                                    .arg(failure.step + 1)
                                    .arg(seed)
                                    .arg(failure.message, listing(steps, descriptions));
    QFAIL(qPrintable(message));
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
