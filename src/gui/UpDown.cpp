#include "gui/UpDown.h"

#include "core/RangeRules.h"


#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TUpDown::TUpDown(QWidget *parent)
    : QAbstractSlider(parent)
{
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::TabFocus);
    setRange(0, 100);
    setSingleStep(1);
    setPageStep(1);
    // triggerAction steps from the slider's own position; we step from the edit's number instead.
    connect(this, &QAbstractSlider::actionTriggered, this, &TUpDown::step);
}

void TUpDown::setAssociate(QLineEdit *edit)
{
    if (m_edit)
        m_edit->removeEventFilter(this);
    disconnect(m_editChanged);
    m_edit = edit;
    if (!m_edit)
        return;
    m_edit->installEventFilter(this);
    // The spinner's value is the edit's number: a screen reader hears it change with the edit.
    m_editChanged = connect(m_edit, &QLineEdit::textChanged, this, [this] {
        bool ok = false;
        const int number = editValue(&ok);
        QAccessibleValueChangeEvent event(this, ok ? QVariant(number) : QVariant());
        QAccessible::updateAccessibility(&event);
    });
}

QSize TUpDown::sizeHint() const
{
    return {16, 21};
}

int TUpDown::editValue(bool *ok) const
{
    *ok = false;
    if (!m_edit)
        return 0;
    QString text = m_edit->text();
    const QLocale locale;
    text.remove(locale.groupSeparator());
    text.remove(QLatin1Char(','));
    text.remove(QChar(0x00A0));
    text.remove(QChar(0x202F));
    text.remove(QLatin1Char(' '));
    return qsjuv::withAsciiMinus(text).toInt(ok);
}

void TUpDown::step(int action)
{
    int delta = 0;
    if (action == SliderSingleStepAdd || action == SliderPageStepAdd)
        delta = 1;
    else if (action == SliderSingleStepSub || action == SliderPageStepSub)
        delta = -1;
    else
        return;

    bool ok = false;
    int current = editValue(&ok);
    if (!ok)
        current = value();
    writeValue(int(qBound<qint64>(qint64(minimum()), qint64(current) + delta, qint64(maximum()))));
}

void TUpDown::writeValue(int value)
{
    const int next = qBound(minimum(), value, maximum());
    setSliderPosition(next);
    if (!m_edit)
        return;
    QLocale locale;
    locale.setNumberOptions(m_thousands ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    // Some locales write U+2212 for the minus; the edits take only '-'.
    QString text = locale.toString(int(next < 0 ? -next : next));
    if (next < 0)
        text.prepend(u'-');
    m_edit->setText(m_writeFilter ? m_writeFilter(text) : text);
}

void TUpDown::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int half = height() / 2;
    const QRect rects[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = rects[i];
        if ((i == 0 && m_pressed > 0) || (i == 1 && m_pressed < 0))
            button.state |= QStyle::State_Sunken;
        else
            button.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = rects[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &painter, this);
    }
    // Only the Tab key reaches a spinner. The style's focus rectangle is too faint on arrows this
    // small: the outline a focused edit has.
    if (hasFocus()) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TUpDown::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    const bool up = event->position().y() < height() / 2;
    m_pressed = up ? 1 : -1;
    const SliderAction action = up ? SliderSingleStepAdd : SliderSingleStepSub;
    triggerAction(action);
    setRepeatAction(action);
    update();
}

void TUpDown::mouseReleaseEvent(QMouseEvent *)
{
    m_pressed = 0;
    setRepeatAction(SliderNoAction);
    update();
}

// The wheel would move the position without writing the edit.
void TUpDown::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

bool TUpDown::eventFilter(QObject *watched, QEvent *event)
{
    // The event type first: the edit's destructor still sends events here, and comparing with
    // m_edit then casts a half-destroyed object to QLineEdit.
    if (event->type() == QEvent::KeyPress && watched == m_edit && isEnabled()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            triggerAction(key->key() == Qt::Key_Up ? SliderSingleStepAdd : SliderSingleStepSub);
            return true;
        }
    }
    return QAbstractSlider::eventFilter(watched, event);
}
