#include "gui/MessageBox.h"

#include <deque>

namespace {
std::deque<QMessageBox::StandardButton> &nextAnswers()
{
    static std::deque<QMessageBox::StandardButton> answers;
    return answers;
}
} // namespace

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswers().push_back(answer);
}

QMessageBox::StandardButton MessageBox::show(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                             const QString &text, const QString &informative,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    if (!nextAnswers().empty()) {
        const QMessageBox::StandardButton answer = nextAnswers().front();
        nextAnswers().pop_front();
        return answer;
    }
    QMessageBox box(icon, title, text, buttons, owner);
    box.setDefaultButton(defaultButton);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    return QMessageBox::StandardButton(box.exec());
}
