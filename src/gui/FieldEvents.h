#pragma once

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>

// Where a typed value is corrected: the field is left (to anything but its own pop-up, a
// drop-down list or a context menu), or Return is pressed in it.
inline bool finishesTyping(const QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        return static_cast<const QFocusEvent *>(event)->reason() != Qt::PopupFocusReason;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    return false;
}
