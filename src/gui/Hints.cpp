#include "gui/Hints.h"

#include <QAccessible>
#include <QVariant>
#include <QWidget>

namespace {
constexpr char kHintProperty[] = "qsjuvHint";
constexpr char kShownProperty[] = "qsjuvHintShown";

void refresh(QWidget *control)
{
    const QString tip = hintShown(control) ? control->property(kHintProperty).toString() : QString();
    if (control->toolTip() == tip)
        return;
    control->setToolTip(tip);
    // The tool tip is the description a screen reader reads, and it keeps the one it last heard.
    QAccessibleEvent event(control, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
} // namespace

void setHint(QWidget *control, const QString &text)
{
    control->setProperty(kHintProperty, text);
    refresh(control);
}

void setHintShown(QWidget *control, bool shown)
{
    control->setProperty(kShownProperty, shown);
    refresh(control);
}

bool hintShown(const QWidget *control)
{
    return control->property(kShownProperty).toBool();
}
