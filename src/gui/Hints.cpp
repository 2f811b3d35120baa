#include "gui/Hints.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr char kHintProperty[] = "qsjuvHint";
constexpr char kShownProperty[] = "qsjuvHintShown";

void refresh(QWidget *control)
{
    control->setToolTip(hintShown(control) ? control->property(kHintProperty).toString() : QString());
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
