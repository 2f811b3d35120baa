#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <deque>
#include <functional>

// Answers the modal dialogs a handler opens, in order, as a user would. Records every message
// box it answered.
class ModalScript
{
public:
    struct Message
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
        QString detailedText;
        QString informativeText; // an error's file and reason, a refusal's channel
    };

    ModalScript()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
        m_timer.start();
    }

    // The next dialog must be a message box: press this button.
    ModalScript &press(QMessageBox::StandardButton button)
    {
        m_actions.push_back([this, button](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box) {
                m_unexpected.append(QString::fromLatin1(modal->metaObject()->className()));
                close(modal);
                return;
            }
            m_messages.push_back(describe(box));
            if (QAbstractButton *b = box->button(button))
                b->click();
            else
                box->done(button);
        });
        return *this;
    }

    // The next dialog must be a file dialog: choose this path.
    ModalScript &choose(const QString &path)
    {
        return onFileDialog([this, path](QFileDialog *dialog) {
            if (!chooseIn(dialog, path))
                m_unexpected.append(QStringLiteral("file dialog refused ") + path);
        });
    }

    // Chooses path in an open file dialog; false (the dialog closed as cancelled) when it refused
    // the name, so that a test never hangs on it.
    static bool chooseIn(QFileDialog *dialog, const QString &path)
    {
        const QFileInfo info(path);
        dialog->setDirectory(info.absolutePath());
        typeName(dialog, info.fileName());
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        if (!dialog->isVisible())
            return true;
        dialog->reject();
        return false;
    }

    static Message describe(const QMessageBox *box)
    {
        return {box->windowTitle(), box->text(), box->icon(),
                box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton,
                box->detailedText(), box->informativeText()};
    }

    // For paths the dialog cannot browse to (a missing or unusable folder, a folder to open as a
    // file): the full path typed into the name field, the dialog closed as accepted. selectFile()
    // is unreliable on the offscreen platform, so the path the dialog would deliver is checked
    // first: a test must never go on with another file than the one it names.
    ModalScript &choosePath(const QString &path)
    {
        return onFileDialog([this, path](QFileDialog *dialog) {
            typeName(dialog, path);
            const QStringList delivered = dialog->selectedFiles();
            if (delivered != QStringList{path}) {
                m_unexpected.append(QStringLiteral("file dialog would deliver ") + delivered.join(u';')
                                    + QStringLiteral(" instead of ") + path);
                dialog->reject();
                return;
            }
            static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        });
    }

    // The next dialog is looked at and left open for the next step.
    ModalScript &look(std::function<void(QWidget *)> check)
    {
        m_actions.push_back(std::move(check));
        return *this;
    }

    // The next dialog, whatever it is: look at it, then close it.
    ModalScript &inspect(std::function<void(QWidget *)> look)
    {
        m_actions.push_back([look](QWidget *modal) {
            look(modal);
            close(modal);
        });
        return *this;
    }

    ModalScript &cancel()
    {
        m_actions.push_back([](QWidget *modal) { close(modal); });
        return *this;
    }

    const std::vector<Message> &messages() const { return m_messages; }
    QStringList texts() const
    {
        QStringList list;
        for (const Message &m : m_messages)
            list << m.text;
        return list;
    }
    QStringList unexpected() const { return m_unexpected; }
    bool done() const { return m_actions.empty(); }

private:
    // The name typed as a user would; a list selection left from an earlier run would override it.
    // The next dialog must be a file dialog: act on it.
    ModalScript &onFileDialog(std::function<void(QFileDialog *)> act)
    {
        m_actions.push_back([this, act = std::move(act)](QWidget *modal) {
            if (QFileDialog *dialog = expectFileDialog(modal))
                act(dialog);
        });
        return *this;
    }

    static void typeName(QFileDialog *dialog, const QString &name)
    {
        for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>())
            if (view->selectionModel())
                view->clearSelection();
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(name);
    }

    QFileDialog *expectFileDialog(QWidget *modal)
    {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            m_unexpected.append(QString::fromLatin1(modal->metaObject()->className()));
            close(modal);
        }
        return dialog;
    }

    static void close(QWidget *modal)
    {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (m_actions.empty()) {
            m_unexpected.append(QStringLiteral("unscripted ") + QString::fromLatin1(modal->metaObject()->className())
                                + (qobject_cast<QMessageBox *>(modal)
                                       ? QStringLiteral(": ") + static_cast<QMessageBox *>(modal)->text()
                                       : QString()));
            close(modal);
            return;
        }
        auto action = std::move(m_actions.front());
        m_actions.pop_front();
        action(modal);
    }

    QTimer m_timer;
    std::deque<std::function<void(QWidget *)>> m_actions;
    std::vector<Message> m_messages;
    QStringList m_unexpected;
};
