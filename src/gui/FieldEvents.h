#pragma once

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>

// Where a typed value is corrected: the field is left (to anything but its own pop-up, a
// drop-down list, a context menu or another window), or Return is pressed in it.
inline bool finishesTyping(const QEvent *event)
{
    // A message box or another window taking the focus is no leaving: the field is where the
    // user left it when the window comes back.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
        return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    return false;
}
