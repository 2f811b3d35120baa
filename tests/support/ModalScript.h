#pragma once

#include "gui/MessageBox.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <deque>
#include <functional>

// Looks at the dialogs a handler opens, in order, as they are shown: what a file dialog offers,
// or a random user's answers. Boxes and file choices a test only answers go through Answers.
class ModalScript
{
public:
    ModalScript()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
        m_timer.start();
    }

    // Chooses path in an open file dialog as a user types it; false (the dialog closed as
    // cancelled) when it refused the name, so that a session never hangs on it.
    static bool chooseIn(QFileDialog *dialog, const QString &path)
    {
        const QFileInfo info(path);
        dialog->setDirectory(info.absolutePath());
        // A list selection left from an earlier run would override the typed name.
        for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>())
            if (view->selectionModel())
                view->clearSelection();
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(info.fileName());
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        if (!dialog->isVisible())
            return true;
        dialog->reject();
        return false;
    }

    static MessageBox::Said describe(const QMessageBox *box)
    {
        return {box->icon(), box->windowTitle(), box->text(), box->informativeText(),
                box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton};
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

    QStringList unexpected() const { return m_unexpected; }
    bool done() const { return m_actions.empty(); }

private:
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
    QStringList m_unexpected;
};
