#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QComboBox;

// An editable list held to one of its entries. Typed text selects the entry it names (any letter
// case, blanks at the ends ignored) and is never rewritten while it is typed; text that names no
// entry shows red and keeps the entry held before. Leaving the list shows the held entry again.
class ListChoice : public QObject
{
    Q_OBJECT

public:
    // owner goes before the window's controls do, and takes this list's event filters with it.
    ListChoice(QComboBox *combo, QObject *owner);

    QComboBox *combo() const { return m_combo; }
    int held() const { return m_held; }
    // Program writes: fill and select without telling anyone; a list that already shows these
    // entries keeps them, and the text the user is typing.
    void show(const QStringList &entries, int selected);
    // What leaving the list does.
    void finishTyping();

signals:
    // The user picked an entry, or typed the name of another.
    void chosen(int index);
    // The list was left holding no entry (a load can leave one so).
    void leftEmpty();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void typed(const QString &text);
    void markUnnamed(bool unnamed);

    QComboBox *m_combo;
    QObject *m_edit; // the combo's line edit, compared but never called through here
    int m_held = -1;
};

// The entry of list that text names: any letter case, blanks at the ends ignored; -1 for none.
int namedEntry(const QComboBox *list, const QString &text);

// Makes each list editable with a line edit that completes nothing: typing never rewrites the text.
void makeEditable(const QList<QComboBox *> &lists);
