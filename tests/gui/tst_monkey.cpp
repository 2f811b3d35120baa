// Random sessions of a user on the shown form: picks, keys, typing and pasting, focus moves,
// spinner clicks, saves, loads of saved and altered files and closing, each delivered as the
// toolkit delivers it, with the invariants checked after every step against the window's value.
//
// QS_JUV_MONKEY_SEED and QS_JUV_MONKEY_STEPS choose the session; QS_JUV_MONKEY_REPLAY names a file
// of recorded steps to run instead; QS_JUV_MONKEY_SHRINK=1 cuts a failing session down to a
// shortest sequence that fails the same way; QS_JUV_MONKEY_SKIP lists invariants left out;
// QS_JUV_MONKEY_TRACE=1 writes each step to standard error before it runs. tools/monkey.sh
// drives all of it.
#include "FormAgreement.h"
#include "ModalScript.h"
#include "Questionnaires.h"
#include "RandomSession.h"
#include "TypingRule.h"
#include "Watchdog.h"
#include "core/QuestionnaireLoad.h"

#include <QClipboard>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace qsjuv;
using namespace qsjuv::testing;

namespace {

const QString kCaption = u"Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720"_s;
const char *const kLocales[] = {"C", "sv_SE", "ru_RU", "fi_FI", "de_DE"};

QString ofKinds(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += c.unicode() < 32 ? u"\\x%1"_s.arg(int(c.unicode()), 2, 16, QChar(u'0')) : QString(c);
    return u'«' + out + u'»';
}

class Monkey
{
public:
    Monkey(quint32 seed, QStringList skip) : m_seed(seed), m_skip(std::move(skip))
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

    // Actions
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
    QString history(quint32 a, quint32 b);

    // Invariants: each reports what it finds to fail()
    void dialogs() const;
    void lists() const;
    void entries() const;
    void locked() const;
    void bounds() const;
    void requisites() const;
    void typed() const;
    void left() const;
    void saved() const;
    void loaded() const;
    void gate() const;
    void modified() const;
    void undone();
    std::optional<Questionnaire> finishedByLeaving(Questionnaire q) const;

private:
    // Keeps the first problem of a step whose invariant is not left out.
    void fail(const char *name, const QString &message) const
    {
        if (m_failure.invariant.isEmpty() && !m_skip.contains(QLatin1StringView(name)))
            m_failure = {0, QString::fromLatin1(name), message};
    }
    mutable Failure m_failure;

    void newForm();
    QString enter(quint32 a, quint32 b, bool paste);
    QStringList textsFor(const QWidget *target, quint32 b, bool paste) const;
    void respond(QWidget *modal);
    void respondFile(QFileDialog *dialog);
    bool activate() { return activated(*m_form); }
    void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { pressKey(*m_form, key, modifiers); }
    template <typename T>
    std::vector<T *> offered() const { return ::offered<T>(*m_form); }

    quint32 m_seed;
    QStringList m_skip;
    bool m_trace = qEnvironmentVariableIntValue("QS_JUV_MONKEY_TRACE") != 0;
    int m_forms = 0;
    std::unique_ptr<QuestionnaireWindow> m_form;
    QTemporaryDir m_dir;
    QStringList m_savedFiles;
    QString m_currentFile; // the file last saved or loaded in this window
    // The values the window's history holds, as its steps made them, and which one is shown.
    std::vector<Questionnaire> m_history;
    std::size_t m_at = 0;
    Questionnaire m_stored; // what that file holds, or what a new window started with

    struct Expect
    {
        enum Kind { None, Shows, Clicked, FocusKept, List } kind = None;
        const char *name = "typed-text"; // the invariant a mismatch fails
        QPointer<QWidget> target;
        QString text; // the text it must show
        int named = -1; // List: the entry typing named last; -1: nothing may change but its text
        Questionnaire before = {}; // List: the value typing began with
    };
    // What the current step did and expects.
    struct StepState
    {
        quint32 a = 0, b = 0;
        int dialogs = 0;
        QString loadPath, chosen, savedPath;
        bool loaded = false, lostOnClose = false, gatePassed = false, finished = false;
        bool replaceAsked = false, replaceDeclined = false, targetExisted = false, targetCurrent = false;
        bool history = false, newForm = false; // the step went through the history, or closed the window
        QByteArray targetBytes;
        QStringList unexpected, titles, emptyBefore;
        Questionnaire before; // the value when the step began
        std::optional<Questionnaire> clicked; // after the click into a field, which left another one
        std::optional<Questionnaire> loadBase; // the value a load read its file over
        QPointer<QWidget> leftFrom; // the field a focus move left, or Return finished
        Expect expect;
    } m_step;
};

struct Action
{
    const char *name;
    int weight;
    QString (Monkey::*run)(quint32, quint32);
};

const Action kActionTable[] = {
    {"pick", 14, &Monkey::pick}, {"key", 8, &Monkey::key},     {"type", 16, &Monkey::type},
    {"paste", 5, &Monkey::paste}, {"focus", 8, &Monkey::focus}, {"spin", 8, &Monkey::spin},
    {"check", 4, &Monkey::toggle}, {"save", 7, &Monkey::save},  {"load", 4, &Monkey::load},
    {"close", 1, &Monkey::close}, {"undo", 6, &Monkey::history},
};
const std::span<const Action> kActions(kActionTable);

// Each fault the invariants can find has its own name, so that a known one can be left out.
const char *const kInvariantNames[] = {
    "dialogs", "lists", "shows-entry", "list-empty", "locked", "bounds", "bounds-32bit", "requisites",
    "typed-bound", "typed-text", "typed-list", "list-left", "bound-left", "return-left", "spinner", "focus",
    "saved-checker", "saved-reload", "replace", "loaded", "gate", "modified", "title", "undo", "redo"};

void (Monkey::*const kInvariants[])() const = {
    &Monkey::dialogs, &Monkey::lists, &Monkey::entries, &Monkey::locked, &Monkey::bounds, &Monkey::requisites,
    &Monkey::typed, &Monkey::left, &Monkey::saved, &Monkey::loaded, &Monkey::gate, &Monkey::modified};

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
    m_currentFile.clear();
    m_stored = m_form->questionnaire();
    m_history = {m_stored};
    m_at = 0;
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
        m_step = {};
        m_step.a = s.a;
        m_step.b = s.b;
        m_step.before = m_form->questionnaire();
        m_step.emptyBefore = emptyLists(m_step.before);
        QString description;
        {
            const Watchdog watchdog(60); // a step that hangs ends the run
            ModalScript script;
            for (int d = 0; d < 8; ++d)
                script.look([this](QWidget *modal) { respond(modal); });
            description = (this->*kActions[s.action].run)(s.a, s.b);
            m_step.unexpected += script.unexpected();
        }
        QCoreApplication::processEvents();
        if (descriptions)
            descriptions->append(description);

        m_failure = {};
        for (const auto check : kInvariants)
            (this->*check)();
        if (m_step.loaded) // what the window shows now is the file
            m_stored = m_form->questionnaire();
        if (m_failure.invariant.isEmpty())
            undone();
        if (!m_failure.invariant.isEmpty()) {
            m_failure.step = i;
            return m_failure;
        }
    }
    return {};
}

// Any dialog a step opens: message boxes are answered as the step chose, file dialogs get the
// file the step prepared.
void Monkey::respond(QWidget *modal)
{
    const bool yes = (m_step.b >> (8 + m_step.dialogs++ % 16)) & 1;
    if (auto *dialog = qobject_cast<QFileDialog *>(modal))
        return respondFile(dialog);
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!box) {
        m_step.unexpected << QString::fromLatin1(modal->metaObject()->className());
        modal->close();
        return;
    }
    const MessageBox::Said message = ModalScript::describe(box);
    m_step.titles << message.title;
    if (message.text == kSaved) {
        ++saves;
        m_step.savedPath = m_currentFile = m_step.chosen;
        m_stored = m_form->questionnaire();
        if (!m_savedFiles.contains(m_step.chosen))
            m_savedFiles << m_step.chosen;
    } else if (message.text == kReplace) {
        m_step.replaceAsked = true;
        m_step.replaceDeclined = !yes;
    }
    QAbstractButton *button = box->button(QMessageBox::Yes) ? box->button(yes ? QMessageBox::Yes : QMessageBox::No)
                                                           : box->button(QMessageBox::Ok);
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
    if (box->isVisible()) {
        m_step.unexpected << u"a message box without the expected buttons: "_s + message.text;
        box->reject();
    }
}

void Monkey::respondFile(QFileDialog *dialog)
{
    const bool saving = dialog->acceptMode() == QFileDialog::AcceptSave;
    if (saving) // the save's dialog comes only once the gate let the questionnaire out
        m_step.gatePassed = true;
    else
        m_step.loadBase = m_form->questionnaire();
    const QString names[] = {u"a.cfg"_s, u"Ромашка.cfg"_s, u"b.cfg"_s};
    const QString path = saving ? m_dir.filePath(names[m_step.a % 3]) : m_step.loadPath;
    if (path.isEmpty() || (m_step.a >> 4) % 12 == 0) {
        dialog->reject();
        return;
    }
    m_step.chosen = path;
    m_step.targetExisted = saving && QFileInfo::exists(path);
    m_step.targetCurrent = !m_currentFile.isEmpty()
            && QFileInfo(path).absoluteFilePath() == QFileInfo(m_currentFile).absoluteFilePath();
    m_step.targetBytes = m_step.targetExisted ? readAll(path) : QByteArray();
    if (!ModalScript::chooseIn(dialog, path)) {
        m_step.unexpected << u"the file dialog refused "_s + path;
    } else if (!saving) {
        m_step.loaded = true;
        m_currentFile = path;
        ++loads;
        savedLoads += m_step.loadPath.endsWith(u"saved.cfg"_s);
    }
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
    if (!pickWithKeys(box, index))
        return u"pick: the list of %1 did not open"_s.arg(box->objectName());
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
    QWidget *target = m_form->focusWidget();
    if (code == Qt::Key_Return && (qobject_cast<QLineEdit *>(target) || qobject_cast<QComboBox *>(target)))
        m_step.leftFrom = target; // Return ends the typing as leaving does
    m_step.finished = code == Qt::Key_Return;
    sendKey(code);
    return u"key %1 in %2"_s.arg(QLatin1StringView(name), target ? target->objectName() : u"form"_s);
}

// Texts a person types or pastes into the field.
QStringList Monkey::textsFor(const QWidget *target, quint32 b, bool paste) const
{
    const QString name = target->objectName();
    QStringList pool;
    if (auto *box = qobject_cast<const QComboBox *>(target)) {
        for (int i = 0; i < box->count(); ++i)
            pool << box->itemText(i) << box->itemText(i).toLower() << box->itemText(i) + u' ';
        pool << box->currentText().left(3) << u"zz"_s << QString() << u"4-20 мА"_s;
    } else if (name.endsWith(u"MaxEdit"_s) || name.endsWith(u"MinEdit"_s)) {
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
    if (paste || text.isEmpty())
        return {text};
    QStringList keys;
    for (QChar c : text)
        keys << QString(c);
    return keys;
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
    const QStringList keys = textsFor(target, b, paste);
    const bool append = (b & 3) == 1;

    QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
    if (!activate())
        return u"type: the form did not become active again"_s;
    const QString old = line->text();
    const Questionnaire before = m_form->questionnaire(); // the click may have left another field
    m_step.clicked = before;
    sendKey(append ? Qt::Key_End : Qt::Key_A, append ? Qt::NoModifier : Qt::ControlModifier);
    int named = -1; // the entry the typing named last
    if (paste) {
        QGuiApplication::clipboard()->setText(keys.front());
        sendKey(Qt::Key_V, Qt::ControlModifier);
    } else if (keys.front().isEmpty()) {
        sendKey(Qt::Key_Delete);
    }
    for (int i = 0; i < int(keys.size()); ++i) {
        if (!paste && !keys.front().isEmpty())
            typeChar(*m_form, keys[i].front());
        const int entry = box ? entryNamed(box, typedInto(old, !append, keys.mid(0, i + 1), {})) : -1;
        named = entry >= 0 ? entry : named;
    }
    const std::optional<bool> number = range ? std::optional(true)
            : name == u"QntyEdit"_s             ? std::optional(false)
                                                 : std::nullopt;
    const QString shown = typedInto(old, !append, keys, number); // Delete takes a selection as "" would
    if (!holdsFocus(target))
        m_step.expect = {Expect::FocusKept, "focus", target, {}};
    else if (box)
        m_step.expect = {Expect::List, "typed-list", target, shown, named, before};
    else
        m_step.expect = {Expect::Shows, range ? "typed-bound" : "typed-text", target, shown};
    return u"%1 %2 %3%4"_s.arg(paste ? u"paste"_s : u"type"_s, ofKinds(keys.join(QString())),
                               append ? u"after the text of "_s : u"into "_s, name);
}

QString Monkey::focus(quint32 a, quint32 b)
{
    const QString from = m_form->focusWidget() ? m_form->focusWidget()->objectName() : u"none"_s;
    m_step.leftFrom = m_form->focusWidget();
    if (a % 3 < 2) {
        sendKey(a % 3 ? Qt::Key_Backtab : Qt::Key_Tab, a % 3 ? Qt::ShiftModifier : Qt::NoModifier);
        return u"%1 from %2"_s.arg(a % 3 ? u"Shift+Tab"_s : u"Tab"_s, from);
    }
    std::vector<QLineEdit *> lines = offered<QLineEdit>();
    QLineEdit *line = lines[b % lines.size()];
    QWidget *target = listOf(line) ? static_cast<QWidget *>(listOf(line)) : line;
    QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
    m_step.expect = {Expect::Clicked, "focus", target, {}};
    return u"click into %1 from %2"_s.arg(target->objectName(), from);
}

QString Monkey::spin(quint32 a, quint32 b)
{
    const std::vector<TUpDown *> spinners = offered<TUpDown>();
    TUpDown *spinner = spinners[a % spinners.size()];
    const bool up = b & 1;
    // The edit's number; other text says nothing about where the spinner steps from.
    const auto old = strictToInt(spinner->associate()->text());
    QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, up ? 2 : spinner->height() - 3));
    if (old) // a step writes no group separator, and the limits hold
        m_step.expect = {Expect::Shows, "spinner", spinner->associate(),
                    QString::number(qBound(spinner->minimum(), *old + (up ? 1 : -1), spinner->maximum()))};
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
    if (a & 1)
        sendKey(Qt::Key_S, Qt::ControlModifier);
    else
        QTest::mouseClick(control<QPushButton>(*m_form, "SaveButton"), Qt::LeftButton);
    return u"save (%1) as %2"_s.arg(a & 1 ? u"Ctrl+S"_s : u"button"_s,
                                    m_step.chosen.isEmpty() ? u"nothing"_s : QFileInfo(m_step.chosen).fileName());
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
        bytes = writeQuestionnaire(testing::defaultQuestionnaire(position)).bytes;
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
    m_step.loadPath = m_dir.filePath(m_savedFiles.contains(m_dir.filePath(from)) ? u"saved.cfg"_s : u"loaded.cfg"_s);
    writeAll(m_step.loadPath, bytes);
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
    const int dialogs = m_step.dialogs;
    const bool changed = m_form->questionnaire() != m_stored;
    if (!m_form->close())
        return u"close: answered No"_s;
    m_step.lostOnClose = m_step.dialogs == dialogs && changed;
    m_step.newForm = true;
    newForm();
    return u"close, then start again in %1"_s.arg(QLocale().name());
}

// The history's keys, wherever the focus is.
QString Monkey::history(quint32 a, quint32)
{
    m_step.history = true;
    const std::tuple<int, Qt::KeyboardModifiers, const char *> keys[] = {
            {Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"},
            {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Z"},
            {Qt::Key_Y, Qt::ControlModifier, "Ctrl+Y"}};
    const auto &[code, modifiers, name] = keys[a % std::size(keys)];
    const QWidget *target = m_form->focusWidget();
    sendKey(code, modifiers);
    // A value taken back may hold a list without an entry, as its file did.
    m_step.emptyBefore += emptyLists(m_form->questionnaire());
    return u"%1 in %2"_s.arg(QLatin1StringView(name), target ? target->objectName() : u"form"_s);
}

// --- Invariants ------------------------------------------------------------------------------

// No dialog left open or unanswered; message boxes carry the program's caption.
void Monkey::dialogs() const
{
    for (const QString &u : m_step.unexpected)
        fail("dialogs", u);
    for (const QString &title : m_step.titles)
        if (title != kCaption)
            fail("dialogs", u"a message box titled "_s + ofKinds(title));
    if (QWidget *popup = QApplication::activePopupWidget())
        fail("dialogs", u"a popup stays open: "_s + QString::fromLatin1(popup->metaObject()->className())
                     + (popup->parentWidget() ? u" of "_s + popup->parentWidget()->objectName() : QString()));
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != m_form.get() && !w->inherits("QTipLabel"))
            fail("dialogs", u"a window stays open: "_s + QString::fromLatin1(w->metaObject()->className()));
}

// Every list holds what the catalogue offers for the model and the sensor the value holds.
void Monkey::lists() const
{
    const QuestionnaireWindow &form = *m_form;
    const Questionnaire q = form.questionnaire();
    QStringList models;
    for (const DeviceModel &model : modelList())
        models << QString::fromStdString(modelListText(model));
    if (items(combo(form, "DeviceCombo")) != models)
        fail("lists", u"DeviceCombo lists "_s + items(combo(form, "DeviceCombo")).join(u'|'));
    const int count = channelCount(q.model());
    if (int(q.channels.size()) != count || control<QGroupBox>(form, "Ch2GroupBox")->isVisibleTo(&form) != (count == 2))
        fail("lists", u"channel 2 shown wrongly"_s);
    for (int c = 0; c < std::min(count, int(q.channels.size())); ++c) {
        const auto box = [&](const char *role) {
            return combo(form, qPrintable(u"Ch%1%2"_s.arg(c + 1).arg(QLatin1StringView(role))));
        };
        const auto expect = [&](const char *role, const QStringList &entries) {
            if (items(box(role)) != entries)
                fail("lists", box(role)->objectName() + u" lists "_s + items(box(role)).join(u'|'));
        };
        QStringList types, names, resistances, outputs;
        for (int i = 0; i < offeredSensorTypeCount(q.modelPosition); ++i)
            types << QString::fromUtf8(sensorTypeEntryText(i));
        const SensorDescriptor *sensor = q.channels[std::size_t(c)].sensor();
        for (const SensorDescriptor *s : sensorsOfType(sensor->type))
            names << QString::fromStdString(displayName(s->name));
        if (const RangeLimits *row = rangeRow(q.series610(), sensor->id))
            for (const std::string &entry : nominalResistanceList(*row).entries)
                resistances << QString::fromStdString(entry);
        const bool outputShown = showsOutputs(q.model());
        for (const char *text : outputShown ? outputModeTexts(q.series610()) : std::span<const char *const>())
            outputs << QString::fromUtf8(text);
        expect("SensorCombo", types);
        expect("CharCombo", names);
        expect("NomRCombo", resistances);
        expect("OutputCombo", outputs);
        if (box("ConnCombo")->isVisibleTo(&form) != showsConnection(q.series610(), sensor->type)
            || box("NomRCombo")->isVisibleTo(&form) != showsNominalR(sensor->type)
            || box("OutputCombo")->isVisibleTo(&form) != outputShown)
            fail("lists", u"channel %1 shows the wrong rows"_s.arg(c + 1));
    }
}

// A list shows the entry the value holds, in black, unless it is being typed into: then it
// selects the entry its text names and shows red while the text names none. A list shows no
// entry only where a file named none, until it is left or the questionnaire goes out.
void Monkey::entries() const
{
    const QuestionnaireWindow &form = *m_form;
    const Questionnaire q = form.questionnaire();
    QComboBox *typing = listOf(form.focusWidget());
    Differences diff;
    for (int c = 0; c < int(q.channels.size()); ++c)
        compareShown(form, q, c, diff, typing, false);
    if (typing != combo(form, "DeviceCombo"))
        diff.compare(u"model"_s, shownEntry(form, combo(form, "DeviceCombo")), entryShown(q, u"DeviceCombo"_s));
    if (!diff.text().isEmpty())
        fail("shows-entry", diff.text());
    for (QComboBox *box : form.findChildren<QComboBox *>()) {
        if (!box->isVisibleTo(&form))
            continue;
        const bool red = shownColour(box->lineEdit()) == kRed;
        const int named = entryNamed(box, box->currentText());
        if (box == typing && (box->currentIndex() != named || (!box->currentText().isEmpty() && red != (named < 0))))
            fail("typed-list", box->objectName() + u" typed "_s + ofKinds(box->currentText()) + u" selects "_s
                    + QString::number(box->currentIndex()) + (red ? u" in red"_s : QString()));
        const bool entry = box->currentIndex() < 0 || box->currentText() == box->itemText(box->currentIndex());
        if (box != typing && (red || !entry))
            fail("shows-entry", box->objectName() + u" shows "_s + ofKinds(box->currentText()) + u", no entry"_s);
    }
    for (const QString &name : emptyLists(q))
        if (!m_step.loaded && (m_step.gatePassed || !m_step.emptyBefore.contains(name)))
            fail("list-empty", name + (m_step.gatePassed ? u" passed the save's checks"_s : QString()) + u" empty"_s);
}

// An input box the model locks shows the model's state; a channel's controls follow its box.
void Monkey::locked() const
{
    const QuestionnaireWindow &form = *m_form;
    const DeviceModel &model = form.questionnaire().model();
    const auto states = inputChecks(model);
    for (int c = 0; c < channelCount(model); ++c) {
        const QCheckBox *box = ::check(form, qPrintable(u"Ch%1InputCheck"_s.arg(c + 1)));
        if (box->isEnabled() != states[std::size_t(c)].enabled
            || (!states[std::size_t(c)].enabled && box->isChecked() != states[std::size_t(c)].checked))
            fail("locked", u"%1 is %2 and %3"_s.arg(box->objectName(), box->isChecked() ? u"ticked"_s : u"unticked"_s,
                                                 box->isEnabled() ? u"enabled"_s : u"locked"_s));
        if (combo(form, qPrintable(u"Ch%1SensorCombo"_s.arg(c + 1)))->isEnabled() != box->isChecked())
            fail("locked", u"channel %1's controls do not follow its input box"_s.arg(c + 1));
    }
}

// Number fields hold numbers or their beginnings, a number once left; they show red exactly
// while their text is not what the checks would leave: a quantity beyond 1..999, a bound beyond
// its limit or 32 bits, a range too narrow.
void Monkey::bounds() const
{
    const QuestionnaireWindow &form = *m_form;
    const Questionnaire q = form.questionnaire();
    QLineEdit *quantity = edit(form, "QntyEdit");
    const auto number = strictToInt(quantity->text());
    const bool valid = number && *number >= kQuantityMin && *number <= kQuantityMax;
    if (!numberText(quantity->text(), false) || (!valid && !holdsFocus(quantity))
        || valid == (shownColour(quantity) == kRed))
        fail("bounds", u"QntyEdit holds "_s + ofKinds(quantity->text()));
    for (int c = 0; c < int(q.channels.size()); ++c) {
        const RangeLimits *row = rangeRow(q.series610(), q.channels[std::size_t(c)].sensorId);
        QLineEdit *max = edit(form, qPrintable(u"Ch%1MaxEdit"_s.arg(c + 1)));
        QLineEdit *min = edit(form, qPrintable(u"Ch%1MinEdit"_s.arg(c + 1)));
        const auto maxValue = strictToInt(max->text()), minValue = strictToInt(min->text());
        const bool red = shownColour(max) == kRed;
        const QString range = u"channel %1 range %2..%3"_s.arg(c + 1).arg(ofKinds(min->text()), ofKinds(max->text()));
        for (QLineEdit *line : {max, min}) {
            if (!numberText(line->text(), true))
                fail("bounds", line->objectName() + u" holds "_s + ofKinds(line->text()));
            if ((line->text().isEmpty() || line->text() == u"-"_s) && !holdsFocus(line))
                fail("bounds", line->objectName() + u" left without a number"_s);
            if (line->text().size() > 1 && !strictToInt(line->text()) && !red)
                fail("bounds-32bit", range + u" beyond 32 bits shown in black"_s);
        }
        if (shownColour(min) != shownColour(max))
            fail("bounds", range + u" in two colours"_s);
        const bool passes = row && maxValue && minValue && *maxValue <= truncatedLimit(row->upperLimit)
                && *minValue >= truncatedLimit(row->lowerLimit) && spanPasses(*maxValue, *minValue, row->minSpan);
        if (passes == red)
            fail("bounds", range + (red ? u" passes but is red"_s : u" fails but is not red"_s));
    }
}

// Control characters never reach a saved requisite: the save turns them into blanks, and the
// edits then show what it wrote.
void Monkey::requisites() const
{
    if (m_step.savedPath.isEmpty())
        return;
    for (const char *name : {"FirmNameEdit", "PhoneEdit", "MailEdit", "BillEdit"}) {
        const QString text = edit(*m_form, name)->text();
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
            fail("requisites", QString::fromLatin1(name) + u" holds "_s + ofKinds(text));
    }
}

// What was typed is what is shown, less the keys a number field refuses; a spinner moves its
// number by one; a list typed into keeps its text, and changes the value only by the entries
// the text named on the way.
void Monkey::typed() const
{
    const Expect &e = m_step.expect;
    if (!e.target)
        return;
    const QWidget *focus = m_form->focusWidget();
    const QString focused = focus ? focus->objectName() : u"nothing"_s;
    auto *box = qobject_cast<QComboBox *>(e.target.data());
    const QString shown = box ? box->currentText() : static_cast<QLineEdit *>(e.target.data())->text();
    const Questionnaire q = m_form->questionnaire();
    if (e.kind == Expect::Clicked) {
        // Leaving a list may rebuild the form and take the clicked control away.
        const bool gone = !e.target->isVisible() || !e.target->isEnabled();
        if (!holdsFocus(e.target) && !(gone && focus && focus == m_step.leftFrom))
            fail("focus", u"a click into "_s + e.target->objectName() + u" put the focus on "_s + focused);
    } else if (e.kind == Expect::FocusKept) {
        fail("focus", e.target->objectName() + u" lost the focus while typed into, to "_s + focused);
    } else if (shown != e.text) {
        fail(e.name, e.target->objectName() + u" shows "_s + ofKinds(shown) + u", not "_s + ofKinds(e.text));
    } else if (e.kind == Expect::List && e.named < 0 && q != e.before) {
        fail("typed-list", box->objectName() + u" typed "_s + ofKinds(shown) + u": "_s + valueChanges(e.before, q));
    } else if (e.kind == Expect::List && e.named >= 0 && entryShown(q, box->objectName()) != box->itemText(e.named)) {
        fail("typed-list", box->objectName() + u" typed through "_s + ofKinds(box->itemText(e.named)) + u" holds "_s
                + ofKinds(entryShown(q, box->objectName())));
    }
}

// A field left, or finished with Return, shows what the checks make of its text: a list its
// entry (the cascade's where it held none), a bound its number held to the limits, the quantity
// one within 1..999.
void Monkey::left() const
{
    QWidget *from = m_step.leftFrom;
    if (!from || (!m_step.finished && holdsFocus(from)) || !from->isVisible())
        return;
    const char *name = m_step.finished ? "return-left" : "list-left";
    const Questionnaire q = m_form->questionnaire();
    if (QComboBox *box = listOf(from)) {
        const QString held = entryShown(withDefaultEntries(m_step.before), box->objectName());
        const bool empty = entryShown(m_step.before, box->objectName()).isEmpty();
        if (box->currentText() != held && !(m_step.finished && empty && box->currentText().isEmpty()))
            fail(name, box->objectName() + u" left shows "_s + ofKinds(box->currentText()) + u", not "_s
                               + ofKinds(held));
        return;
    }
    const QString field = from->objectName();
    name = field == u"QntyEdit"_s && m_step.finished ? "return-left" : "bound-left";
    if (field == u"QntyEdit"_s) {
        const QuantityCheck check = checkQuantity(m_step.before.quantity, kQuantityMin, kQuantityMax);
        const QString expected = check.rewrite ? QString::number(check.value) : m_step.before.quantity;
        if (q.quantity != expected)
            fail(name, u"QntyEdit left shows "_s + ofKinds(q.quantity) + u", not "_s + ofKinds(expected));
    } else if (field.endsWith(u"MaxEdit"_s) || field.endsWith(u"MinEdit"_s)) {
        const int c = field.mid(2, 1).toInt() - 1;
        const QuestionnaireChannel &was = m_step.before.channels[std::size_t(c)], &now = q.channels[std::size_t(c)];
        const RangeLimits *row = rangeRow(m_step.before.series610(), was.sensorId);
        const auto held = heldBounds(was.maxText, was.minText, field.endsWith(u"MaxEdit"_s), *row);
        if (std::pair(now.maxText, now.minText) != held)
            fail(name, u"channel %1 left at %2..%3, not %4..%5"_s.arg(c + 1).arg(now.minText, now.maxText, held.second,
                                                                             held.first));
    }
}

// A saved file is clean for the checker, which reports what the window shows, replaces another
// file only after a Yes and loads back the same; the open file is saved again without a question.
void Monkey::saved() const
{
    if (m_step.targetExisted && m_step.targetCurrent == m_step.replaceAsked)
        fail("replace", m_step.replaceAsked ? u"saving the open file again asked to replace it"_s
                                       : u"replaced "_s + m_step.chosen + u" without asking"_s);
    if (m_step.replaceDeclined
        && (readAll(m_step.chosen) != m_step.targetBytes
            || control<QStatusBar>(*m_form, "StatusBar")->currentMessage() != u"Не записано"_s))
        fail("replace", u"a declined replace wrote the file or did not say so"_s);
    if (m_step.savedPath.isEmpty())
        return;
    const check::FileReport report = check::checkBytes(readAll(m_step.savedPath), m_step.savedPath);
    if (!report.clean()) {
        QString found = QString::fromLatin1(check::verdictName(report.verdict));
        for (const Problem &p : report.problems)
            found += u' ' + QString::fromLatin1(p.code) + u": "_s + p.text;
        fail("saved-checker", u"the checker finds "_s + found);
    }
    if (const QString diff = disagreement(*m_form, report); !diff.isEmpty())
        fail("saved-checker", diff);

    QuestionnaireWindow other;
    const LoadResult reload = loadThroughForm(other, m_step.savedPath);
    for (const QString &box : reload.boxes())
        fail("saved-reload", u"loading it back shows "_s + box);
    if (other.questionnaire() != m_form->questionnaire())
        fail("saved-reload", u"loads back as "_s + valueChanges(m_form->questionnaire(), other.questionnaire()));
    else if (snapshot(other) != snapshot(*m_form))
        fail("saved-reload", u"loads back into controls that show "_s + snapshot(other).join(u", "_s));
}

// A load shows the file over what the window showed: loadedQuestionnaire's value.
void Monkey::loaded() const
{
    if (!m_step.loaded || !m_step.loadBase)
        return;
    const QuestionnaireRead read = readQuestionnaire(ProfileReader(readAll(m_step.loadPath)));
    const Questionnaire expected = loadedQuestionnaire(read, *m_step.loadBase).value;
    if (const Questionnaire q = m_form->questionnaire(); q != expected)
        fail("loaded", u"the window shows "_s + valueChanges(expected, q));
}

// What passed the save's checks is finished: no refusal left, no list without an entry, every
// number as leaving its field would leave it.
void Monkey::gate() const
{
    if (!m_step.gatePassed)
        return;
    const Questionnaire q = m_form->questionnaire();
    if (!saveRefusals(q).empty())
        fail("gate", u"passed the save's checks with a refusal left"_s);
    if (checkQuantity(q.quantity, kQuantityMin, kQuantityMax).rewrite)
        fail("gate", u"passed with the quantity "_s + ofKinds(q.quantity));
    for (const QuestionnaireChannel &ch : q.channels) {
        const RangeLimits *row = rangeRow(q.series610(), ch.sensorId);
        if (heldBounds(ch.maxText, ch.minText, true, *row) != std::pair(ch.maxText, ch.minText)
            || heldBounds(ch.maxText, ch.minText, false, *row) != std::pair(ch.maxText, ch.minText))
            fail("gate", u"passed with the range "_s + ch.minText + u".."_s + ch.maxText);
    }
}

// Changed means the value differs from what was last loaded or saved, whatever was typed on the
// way; the title marks it and names the file; no close loses a change without asking.
void Monkey::modified() const
{
    const bool changed = m_form->questionnaire() != m_stored && !m_step.loaded;
    if (m_step.lostOnClose)
        fail("modified", u"closed without a question, losing a change"_s);
    else if (m_form->isModified() != changed)
        fail("modified", changed ? u"not marked changed after "_s + valueChanges(m_stored, m_form->questionnaire())
                                 : u"marked changed, but the value is what was loaded or saved"_s);
    const QString file = m_currentFile.isEmpty() ? QString() : QFileInfo(m_currentFile).fileName() + u" — "_s;
    const QString title = (m_form->isModified() ? u"*"_s : QString()) + file + kCaption;
    if (m_form->windowTitle() != title)
        fail("title", u"the title "_s + ofKinds(m_form->windowTitle()) + u" is not "_s + ofKinds(title));
}

// What leaving the focused field makes of q; nullopt where that is not known here (a list
// without an entry takes the cascade's).
std::optional<Questionnaire> Monkey::finishedByLeaving(Questionnaire q) const
{
    QWidget *focus = m_form->focusWidget();
    const QString field = focus ? focus->objectName() : QString();
    if (QComboBox *box = listOf(focus))
        return entryShown(q, box->objectName()).isEmpty() ? std::nullopt : std::optional(q);
    if (field == u"QntyEdit"_s) {
        const QuantityCheck check = checkQuantity(q.quantity, kQuantityMin, kQuantityMax);
        if (check.rewrite)
            q.quantity = QString::number(check.value);
    } else if (field.endsWith(u"MaxEdit"_s) || field.endsWith(u"MinEdit"_s)) {
        const std::size_t c = std::size_t(field.mid(2, 1).toInt() - 1);
        const RangeLimits *row = c < q.channels.size() ? rangeRow(q.series610(), q.channels[c].sensorId) : nullptr;
        if (!row)
            return std::nullopt;
        QuestionnaireChannel &ch = q.channels[c];
        std::tie(ch.maxText, ch.minText) = heldBounds(ch.maxText, ch.minText, field.endsWith(u"MaxEdit"_s), *row);
    }
    return q;
}

// Undo after any step restores the value before it and redo the value after it, the mark
// following; the history's own keys move along the values the steps left, as far as there are.
void Monkey::undone()
{
    if (m_step.newForm || !m_step.unexpected.isEmpty())
        return;
    const auto shows = [this](const char *name, const Questionnaire &expected, const QString &after) {
        const Questionnaire q = m_form->questionnaire();
        if (q != expected)
            fail(name, after + u" shows "_s + valueChanges(expected, q));
        else if (m_form->isModified() != (q != m_stored))
            fail(name, after + (m_form->isModified() ? u" is marked changed"_s : u" is not marked changed"_s));
    };
    if (m_step.history) {
        const bool back = m_step.a % 3 == 0;
        if (back && m_at > 0)
            --m_at;
        else if (!back && m_at + 1 < m_history.size())
            ++m_at;
        return shows(back ? "undo" : "redo", m_history[m_at], u"the step"_s);
    }
    // The history's keys finish the field being typed first, as leaving it would.
    const std::optional<Questionnaire> finished = finishedByLeaving(m_form->questionnaire());
    if (!finished) { // what the window finished is taken as the step's value
        sendKey(Qt::Key_Z, Qt::ControlModifier);
        sendKey(Qt::Key_Y, Qt::ControlModifier);
    }
    const Questionnaire after = finished ? *finished : m_form->questionnaire();
    // Leaving a field by the click that began the typing is a change of its own.
    std::vector<Questionnaire> values{m_step.before};
    for (const Questionnaire &q : {m_step.clicked.value_or(m_step.before), after})
        if (q != values.back())
            values.push_back(q);
    if (values.size() == 1 && m_at == 0)
        return;
    if (values.size() > 1) {
        m_history.resize(m_at + 1);
        m_history.insert(m_history.end(), values.begin() + 1, values.end());
        // The window keeps the last thousand steps.
        while (m_history.size() > 1001)
            m_history.erase(m_history.begin());
        m_at = m_history.size() - 1;
    }
    sendKey(Qt::Key_Z, Qt::ControlModifier);
    shows("undo", m_history[m_at - 1], u"Ctrl+Z after the step"_s);
    const bool y = m_step.b & 1;
    sendKey(y ? Qt::Key_Y : Qt::Key_Z, y ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
    shows("redo", after, y ? u"Ctrl+Y after that"_s : u"Ctrl+Shift+Z after that"_s);
}

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
    std::vector<Step> steps = randomSteps(kActions, seed, count);
    if (const QString replay = qEnvironmentVariable("QS_JUV_MONKEY_REPLAY"); !replay.isEmpty())
        steps = parsedSteps(kActions, readAll(replay));
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
        steps = shrunk(steps, [&](const std::vector<Step> &candidate) {
            return Monkey(seed, skip).run(candidate).invariant == failure.invariant;
        });
        descriptions.clear();
        failure = Monkey(seed, skip).run(steps, &descriptions);
    }
    const QString message = u"invariant \"%1\" failed after step %2 (seed %3): %4\n%5"_s.arg(failure.invariant)
                                    .arg(failure.step + 1)
                                    .arg(seed)
                                    .arg(failure.message, listing(kActions, steps, descriptions));
    QFAIL(qPrintable(message));
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
