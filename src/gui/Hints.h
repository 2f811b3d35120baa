#pragma once

class QString;
class QWidget;

// A control's hint and whether it is shown. The tool tip carries the hint only while shown,
// so an unshown hint keeps its text for the moment it is switched on.
void setHint(QWidget *control, const QString &text);
void setHintShown(QWidget *control, bool shown);
bool hintShown(const QWidget *control);
