#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The window's message boxes, modal and titled with the program's caption. setNextAnswer()
// answers the next box without showing it: the one way tests and scripts answer them.
class MessageBox
{
public:
    static void setNextAnswer(QMessageBox::StandardButton answer);

    // The button pressed (or the scripted answer).
    static QMessageBox::StandardButton show(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                            const QString &text, const QString &informative = QString(),
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
};
