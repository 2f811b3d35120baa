#include "gui/Accessibility.h"
#include "gui/UpDown.h"
#include "gui/UpDown.h"

#include <QAccessibleWidget>

using namespace Qt::StringLiterals;

namespace {

// The slider's own position is only where the last step left it; what is heard and what an
// assistive technology sets is the edit's number, through the same write as a click.
class UpDownAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit UpDownAccessible(TUpDown *upDown)
        : QAccessibleWidget(upDown, QAccessible::Slider)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return upDown()->associate() ? upDown()->associate()->text() : QString();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override
    {
        bool ok = false;
        const int value = upDown()->editValue(&ok);
        return ok ? QVariant(value) : QVariant();
    }
    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (ok && upDown()->isEnabled())
            upDown()->writeValue(number);
    }
    QVariant maximumValue() const override { return upDown()->maximum(); }
    QVariant minimumValue() const override { return upDown()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (!upDown()->isEnabled())
            return;
        if (name == increaseAction())
            upDown()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        else if (name == decreaseAction())
            upDown()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            QAccessibleWidget::doAction(name);
    }

private:
    TUpDown *upDown() const { return static_cast<TUpDown *>(widget()); }
};

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == "TUpDown"_L1)
        return new UpDownAccessible(static_cast<TUpDown *>(object));
    if (className == "QuestionnaireWindow"_L1)
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

namespace qsjuv {

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
}

} // namespace qsjuv
