#pragma once

#include <QMessageBox>
#include <QString>

#include <vector>

class QWidget;

// The window's message boxes, modal and titled with the program's caption. setNextAnswer()
// answers the next box without showing it: the one way tests and scripts answer them.
class MessageBox
{
public:
    static void setNextAnswer(QMessageBox::StandardButton answer);

    // What a box answered that way said, kept until taken.
    struct Said
    {
        QMessageBox::Icon icon;
        QString title, text, informativeText;
        QMessageBox::StandardButton defaultButton;
    };
    static std::vector<Said> takeAnswered();
    // Answers set and never asked for: dropped, and how many they were.
    static int dropNextAnswers();

    // The button pressed (or the scripted answer).
    static QMessageBox::StandardButton show(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                            const QString &text, const QString &informative = QString(),
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
    // A box built by the caller, answered the same way.
    static QMessageBox::StandardButton exec(QMessageBox &box);
};
