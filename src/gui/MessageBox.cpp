#include "gui/MessageBox.h"

#include <QPushButton>

#include <deque>
#include <utility>

namespace {
std::deque<QMessageBox::StandardButton> &nextAnswers()
{
    static std::deque<QMessageBox::StandardButton> answers;
    return answers;
}

std::vector<MessageBox::Said> &answered()
{
    static std::vector<MessageBox::Said> said;
    return said;
}
} // namespace

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswers().push_back(answer);
}

std::vector<MessageBox::Said> MessageBox::takeAnswered()
{
    return std::exchange(answered(), {});
}

int MessageBox::dropNextAnswers()
{
    const int left = int(nextAnswers().size());
    nextAnswers().clear();
    return left;
}

QMessageBox::StandardButton MessageBox::show(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                             const QString &text, const QString &informative,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, owner);
    box.setDefaultButton(defaultButton);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    return exec(box);
}

QMessageBox::StandardButton MessageBox::exec(QMessageBox &box)
{
    if (!nextAnswers().empty()) {
        const QMessageBox::StandardButton answer = nextAnswers().front();
        nextAnswers().pop_front();
        answered().push_back({box.icon(), box.windowTitle(), box.text(), box.informativeText(),
                              box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::NoButton});
        return answer;
    }
    return QMessageBox::StandardButton(box.exec());
}
