#include "gui/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"HelpWindow"_s);
    setWindowTitle(tr("Как заполнить опросный лист"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(u"HelpBrowser"_s);
    m_browser->setOpenLinks(false);
    m_browser->setSource(QUrl(u"qrc"_s + guidePath()));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 640);
}

HelpWindow *HelpWindow::showFor(QWidget *form)
{
    auto *window = form->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(form);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QString HelpWindow::guidePath()
{
    // The translation names the guide written in its language.
    return tr(":/help/guide.ru.html");
}
