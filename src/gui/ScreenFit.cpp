#include "gui/ScreenFit.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
// The focus chain through window, in order: moving the controls to another parent reorders it.
QList<QWidget *> focusChain(QWidget *window)
{
    QList<QWidget *> chain;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        chain << w;
    return chain;
}
} // namespace

void fitIntoScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen || window->findChild<QScrollArea *>(u"FormScrollArea"_s, Qt::FindDirectChildrenOnly))
        return;
    const QRect available = screen->availableGeometry();
    const QSize decorations = window->frameGeometry().size() - window->geometry().size();
    const QSize room = available.size() - decorations;
    const QSize designed = window->size();
    if (room.width() >= designed.width() && room.height() >= designed.height())
        return;

    const QList<QWidget *> chain = focusChain(window);
    auto *page = new QWidget;
    page->setFixedSize(designed);
    for (QObject *child : window->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isWindow())
            continue;
        const bool shown = !w->isHidden();
        const QPoint at = w->pos();
        w->setParent(page);
        w->move(at);
        w->setVisible(shown);
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        if (page->isAncestorOf(chain[i - 1]) && page->isAncestorOf(chain[i]))
            QWidget::setTabOrder(chain[i - 1], chain[i]);

    auto *scroller = new QScrollArea(window);
    scroller->setObjectName(u"FormScrollArea"_s);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus); // Tab goes from control to control, as before
    scroller->setWidget(page);
    const QSize fitted = designed.boundedTo(room);
    window->setFixedSize(fitted);
    scroller->setGeometry(0, 0, fitted.width(), fitted.height());
    scroller->show();
    // Whatever takes the focus, by Tab, a shortcut or a refusal pointing at it, is scrolled to.
    QObject::connect(qApp, &QApplication::focusChanged, scroller, [scroller, page](QWidget *, QWidget *now) {
        if (now && page->isAncestorOf(now))
            scroller->ensureWidgetVisible(now);
    });
}
