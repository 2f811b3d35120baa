#pragma once

#include "Answers.h"
#include "gui/QuestionnaireWindow.h"
#include "gui/UpDown.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Drives the form through its controls as the toolkit would deliver a user's actions.
template <typename T>
T *control(const QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

inline QComboBox *combo(const QWidget &form, const char *name) { return control<QComboBox>(form, name); }
inline QLineEdit *edit(const QWidget &form, const char *name) { return control<QLineEdit>(form, name); }
inline QCheckBox *check(const QWidget &form, const char *name) { return control<QCheckBox>(form, name); }
inline QLabel *label(const QWidget &form, const char *name) { return control<QLabel>(form, name); }

// Picks an entry from the drop-down list.
inline void pick(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

inline void pickText(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    if (index < 0)
        qFatal("no entry %s", qPrintable(text));
    pick(box, index);
}

// As the window manager does when the user comes back to the window.
inline bool activated(QWidget &window)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        QCoreApplication::processEvents();
        if (window.isActiveWindow())
            return true;
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
    }
    return window.isActiveWindow();
}

// The controls a user can reach: shown, enabled and in this window, not in one of its dialogs.
template <typename T>
std::vector<T *> offered(const QWidget &window)
{
    std::vector<T *> list;
    for (T *w : window.findChildren<T *>())
        if (w->isVisible() && w->isEnabled() && w->window() == &window)
            list.push_back(w);
    return list;
}

// A key goes to the window's focus widget, or to the window when none has the focus.
inline void pressKey(QWidget &window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key(key), modifiers);
}

inline void typeChar(QWidget &window, QChar c)
{
    QWidget *target = window.focusWidget() ? window.focusWidget() : &window;
    if (c.unicode() < 128)
        QTest::keyClick(target, c.toLatin1());
    else // QTest maps only Latin-1 to keys: the text is what typing delivers
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Opens the list with its arrow and chooses the entry with the keys; false when it did not open.
inline bool pickWithKeys(QComboBox *box, int index)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 5, box->height() / 2));
    QAbstractItemView *view = box->view();
    if (!view->isVisible())
        return false;
    // A click right after the list opened would be taken for the end of the opening click.
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QElapsedTimer wait; // the style may flash the chosen entry before the list closes
    wait.start();
    while (view->isVisible() && wait.elapsed() < 2000)
        QTest::qWait(1);
    return true;
}

// Replaces the text as typing would.
inline void typeText(QComboBox *box, const QString &text)
{
    // keyClicks knows no Cyrillic: deliver what typing produces.
    box->lineEdit()->setText(text);
    emit box->lineEdit()->textEdited(text);
}

inline void leave(QWidget *widget)
{
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &event);
}

inline QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// Whether the window's focus is in w; a hidden dialog may still be the application's focus.
inline bool holdsFocus(const QWidget *w)
{
    const QWidget *focus = w->window()->focusWidget();
    return focus && (focus == w || w->isAncestorOf(focus));
}

inline QColor textColour(const QLineEdit *edit)
{
    return edit->palette().color(QPalette::Text);
}

inline const QColor kRed(255, 0, 0);

// The form's own messages that tests wait for.
inline const QString kSaved = QStringLiteral("Файл успешно сохранен.");
inline const QString kDamaged = QStringLiteral(
    "Файл содержит некорректные данные!\nКонфигурация из файла считана, при этом некорректные данные, по "
    "возможности, исправлены.\nРекомендуется проверить, что опросный лист содержит данные, соответствующие "
    "вашему заказу, и сохранить файл заново.");
inline const QString kUnreadable = QStringLiteral("Указанный файл не удалось прочитать!");
inline const QString kWriteFailed = QStringLiteral("Не удалось сохранить данные в файле. Возможно, диск защищен от записи.");
inline const QString kReplace = QStringLiteral(
    "Указанный файл уже существует.\nВы действительно хотите заменить его содержимое новыми данными?");

// What an error box about a file says under its text.
inline QString fileFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Файл: ") + path + (reason.isEmpty() ? QString() : QStringLiteral("\nПричина: ") + reason);
}

// ЖУВ-720-221 with both channels set away from their defaults: a thermocouple N on 0..10 V and a
// switched-off voltage channel with its output off.
inline void fillTwoChannels(QWidget &form)
{
    pickText(combo(form, "DeviceCombo"), QStringLiteral("ЖУВ-720-221"));
    pickText(combo(form, "Ch1SensorCombo"), QStringLiteral("Термопара"));
    pickText(combo(form, "Ch1CharCombo"), QStringLiteral("N"));
    edit(form, "Ch1MaxEdit")->setText(QStringLiteral("900"));
    edit(form, "Ch1MinEdit")->setText(QStringLiteral("-100"));
    pickText(combo(form, "Ch1OutputCombo"), QStringLiteral("0..10 В"));
    pickText(combo(form, "Ch2SensorCombo"), QStringLiteral("Напряжение"));
    edit(form, "Ch2MinEdit")->setText(QStringLiteral("-20"));
    pickText(combo(form, "Ch2OutputCombo"), QStringLiteral("Отключен"));
    check(form, "Ch2InputCheck")->click();
}

// What one load through LoadButton showed, the unsaved-changes question left out.
struct LoadResult
{
    std::vector<Answers::Message> messages;
    QStringList unexpected; // dialogs nobody answered as planned

    // Every box seen: the messages' texts, then each dialog nobody planned for.
    QStringList boxes() const
    {
        QStringList texts;
        for (const auto &m : messages)
            texts << m.text;
        return texts + unexpected;
    }
};

// Runs a command that writes a file (the save, or the PDF), its dialog answered with path and
// then each box with the next answer: what it showed.
inline LoadResult writeThroughForm(QuestionnaireWindow &form, const QString &path,
                                   std::initializer_list<QMessageBox::StandardButton> answers = {QMessageBox::Ok},
                                   void (QuestionnaireWindow::*command)() = &QuestionnaireWindow::save)
{
    Answers script;
    script.choose(path);
    for (const auto answer : answers)
        script.press(answer);
    (form.*command)();
    return {script.messages(), script.unexpected()};
}

// Everything a load restores, as the controls show it.
inline QStringList snapshot(const QWidget &form)
{
    QStringList state;
    for (const QComboBox *box : form.findChildren<QComboBox *>())
        if (box->window() == &form)
            state << box->objectName() + u'=' + QString::number(box->currentIndex()) + u':' + box->currentText();
    for (const QLineEdit *e : form.findChildren<QLineEdit *>())
        if (e->window() == &form && !qobject_cast<QComboBox *>(e->parentWidget()))
            state << e->objectName() + u'=' + e->text();
    for (const QCheckBox *c : form.findChildren<QCheckBox *>())
        state << c->objectName() + (c->isChecked() ? QStringLiteral("=on") : QStringLiteral("=off"))
                        + (c->isEnabled() ? QString() : QStringLiteral(" locked"));
    return state;
}

// Loads path as a user would: answers the unsaved-changes question if it comes, chooses the file
// and acknowledges the one message a load may show.
inline LoadResult loadThroughForm(QuestionnaireWindow &form, const QString &path,
                                  QMessageBox::StandardButton unsavedAnswer = QMessageBox::Yes)
{
    Answers script;
    const bool asks = form.isModified();
    if (asks)
        script.press(unsavedAnswer);
    script.choose(path).press(QMessageBox::Ok);
    form.load();
    LoadResult result{script.messages(), script.unexpected()};
    if (asks && !result.messages.empty())
        result.messages.erase(result.messages.begin());
    return result;
}
