#pragma once

#include "gui/FileDialog.h"
#include "gui/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <vector>

// Answers the window's message boxes and file dialogs through their seams, each kind in order,
// and keeps what the boxes said. A dialog that still opens (nobody answered it) is closed and
// recorded, so that a test never hangs on it; answers never asked for are dropped at the end.
class Answers
{
public:
    using Message = MessageBox::Said;

    Answers()
    {
        MessageBox::takeAnswered();
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { closeUnanswered(); });
        m_timer.start();
    }
    ~Answers()
    {
        MessageBox::dropNextAnswers();
        FileDialog::dropNextFileNames();
        MessageBox::takeAnswered();
    }
    Answers(const Answers &) = delete;
    Answers &operator=(const Answers &) = delete;

    Answers &press(QMessageBox::StandardButton button)
    {
        MessageBox::setNextAnswer(button);
        ++m_pressed;
        return *this;
    }
    // The next file dialog delivers path.
    Answers &choose(const QString &path)
    {
        FileDialog::setNextFileName(path);
        return *this;
    }
    // The next file dialog is cancelled.
    Answers &cancel() { return choose(QString()); }

    const std::vector<Message> &messages()
    {
        for (Message &m : MessageBox::takeAnswered())
            m_messages.push_back(std::move(m));
        return m_messages;
    }
    QStringList texts()
    {
        QStringList list;
        for (const Message &m : messages())
            list << m.text;
        return list;
    }
    QStringList unexpected() const { return m_unexpected; }
    // Every box pressed for and every file chosen was asked for.
    bool done()
    {
        m_filesLeft += FileDialog::dropNextFileNames();
        return int(messages().size()) >= m_pressed && m_filesLeft == 0;
    }

private:
    void closeUnanswered()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        const auto *box = qobject_cast<QMessageBox *>(modal);
        m_unexpected.append(QStringLiteral("unscripted ") + QString::fromLatin1(modal->metaObject()->className())
                            + (box ? QStringLiteral(": ") + box->text() : QString()));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }

    QTimer m_timer;
    int m_pressed = 0, m_filesLeft = 0;
    std::vector<Message> m_messages;
    QStringList m_unexpected;
};
