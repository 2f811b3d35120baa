#include "gui/ListChoice.h"

#include "gui/FieldEvents.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalBlocker>

int namedEntry(const QComboBox *list, const QString &text)
{
    // findText's fixed-string match ignores case but not blanks.
    return list->findText(text.trimmed(), Qt::MatchFixedString);
}

void makeEditable(const QList<QComboBox *> &lists)
{
    // A combo gives an edit that has no completer one of its own over its list (a proxy model and a
    // dozen string-based connections), and setEditable() builds the drop-down list at once: each
    // edit is handed over holding a placeholder that needs no list, taken away again right after.
    QCompleter placeholder;
    placeholder.setCompletionMode(QCompleter::InlineCompletion);
    for (QComboBox *list : lists) {
        if (list->isEditable())
            continue;
        auto *edit = new QLineEdit(list);
        edit->setPalette(list->palette()); // as setEditable() does
        edit->setCompleter(&placeholder);
        list->setLineEdit(edit);
        edit->setCompleter(nullptr);
    }
}

ListChoice::ListChoice(QComboBox *combo, QObject *owner) : QObject(owner), m_combo(combo), m_edit(combo->lineEdit())
{
    m_held = combo->currentIndex();
    // A pick runs the level below even for the entry shown, as it always has.
    connect(combo, &QComboBox::activated, this, [this](int index) {
        markUnnamed(false);
        m_held = index;
        emit chosen(index);
    });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, &ListChoice::typed);
    // A selection made by code (a script, a test) is held as a pick is.
    connect(combo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_held = index;
    });
    // A wheel turned over the window must not change a list the user is not in.
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(this);
    combo->lineEdit()->installEventFilter(this);
}

void ListChoice::show(const QStringList &entries, int selected)
{
    if (selected < -1 || selected >= int(entries.size()))
        selected = -1;
    QStringList current;
    for (int i = 0; i < m_combo->count(); ++i)
        current << m_combo->itemText(i);
    const QSignalBlocker blocker(m_combo);
    if (current != entries) {
        m_combo->clear();
        m_combo->addItems(entries);
    } else if (m_combo->currentIndex() == selected && selected == m_held) {
        return;
    }
    m_combo->setCurrentIndex(selected);
    m_held = selected;
    markUnnamed(false);
    if (!m_combo->lineEdit()->hasFocus())
        m_combo->lineEdit()->setCursorPosition(0);
}

void ListChoice::typed(const QString &text)
{
    const int match = namedEntry(m_combo, text);
    QLineEdit *edit = m_combo->lineEdit();
    const int cursor = edit->cursorPosition();
    if (match != m_combo->currentIndex()) {
        // Selecting writes the entry's text into the edit: the typed text stays as typed.
        const QSignalBlocker blocker(m_combo);
        const QSignalBlocker editBlocker(edit);
        m_combo->setCurrentIndex(match);
        edit->setText(text);
        edit->setCursorPosition(cursor);
    }
    markUnnamed(match < 0);
    const int before = m_held;
    if (match >= 0)
        m_held = match;
    if (match >= 0 && match != before)
        emit chosen(match);
}

void ListChoice::finishTyping()
{
    markUnnamed(false);
    const QSignalBlocker blocker(m_combo);
    if (m_combo->currentIndex() != m_held || (m_held >= 0 && m_combo->currentText() != m_combo->itemText(m_held)))
        m_combo->setCurrentIndex(m_held);
    if (m_held < 0 && !m_combo->currentText().isEmpty())
        m_combo->setEditText(QString());
    m_combo->lineEdit()->setCursorPosition(0);
}

void ListChoice::markUnnamed(bool unnamed)
{
    QLineEdit *edit = m_combo->lineEdit();
    QPalette pal = edit->palette();
    const QColor colour = unnamed ? QColor(255, 0, 0) : m_combo->palette().color(QPalette::Text);
    if (pal.color(QPalette::Active, QPalette::Text) == colour)
        return;
    pal.setColor(QPalette::Active, QPalette::Text, colour);
    pal.setColor(QPalette::Inactive, QPalette::Text, colour);
    edit->setPalette(pal);
}

bool ListChoice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_combo && event->type() == QEvent::Wheel && !m_combo->hasFocus())
        return true;
    // Leaving reaches the combo; Return the combo or its edit, depending on who sends it.
    // A list the window hides or disables while showing a value loses the focus, but nobody left it.
    const bool left = watched == m_combo && event->type() == QEvent::FocusOut && finishesTyping(event)
            && m_combo->isVisibleTo(m_combo->window()) && m_combo->isEnabled();
    const bool entered = (watched == m_combo || watched == m_edit) && event->type() == QEvent::KeyPress
            && finishesTyping(event);
    if (left || entered) {
        finishTyping();
        if (m_held < 0 && m_combo->count() > 0)
            emit leftEmpty();
    }
    return QObject::eventFilter(watched, event);
}
