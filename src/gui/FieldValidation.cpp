// Range, quantity and requisites edits: corrected as they are typed, never refused.
#include "gui/Qs_juvunit.h"
#include "gui/UpDown.h"
#include "core/RangeRules.h"

#include <QLineEdit>

namespace {
// Writes only a changed text: an unchanged one must neither notify nor move the cursor.
void setEditText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

// Red or black only while enabled: a disabled edit keeps the palette's disabled text.
void setTextColour(QLineEdit *edit, const QColor &colour)
{
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Active, QPalette::Text, colour);
    pal.setColor(QPalette::Inactive, QPalette::Text, colour);
    edit->setPalette(pal);
}

// The min edit the user is typing into, while the range check of that keystroke runs (its own
// rewrites included): its minimum is not held to the lower limit yet.
const QLineEdit *typedMinEdit = nullptr;
} // namespace

QString TQS_JUVForm::FilterDigits(const QString &text)
{
    return qsjuv::filterDigits(text);
}

void TQS_JUVForm::SetIntText(QWidget *control, int value)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        setEditText(edit, QString::number(value));
}

bool TQS_JUVForm::CheckChannelRange(int channel)
{
    if (channel < 0 || channel > 1)
        return false;
    const qsjuv::RangeLimits *range = m_selectedRange[channel];
    if (!range)
        return false;
    const ChannelControls &ch = m_channels[channel];

    // Each write below runs this check again from inside; it finds nothing left to correct.
    const qsjuv::RangeCheck check =
            qsjuv::checkRange(ch.maxEdit->text(), ch.minEdit->text(), *range, typedMinEdit != ch.minEdit);
    setEditText(ch.maxEdit, check.maxText);
    setEditText(ch.minEdit, check.minText);
    // A bound of digits beyond 32 bits is refused by the save: show it so.
    if (!check.complete && !check.beyond32Bits)
        return false;
    const bool passes = check.complete && check.passes;
    const QColor colour = passes ? palette().color(QPalette::WindowText) : QColor(255, 0, 0);
    setTextColour(ch.maxEdit, colour);
    setTextColour(ch.minEdit, colour);
    return passes;
}

void TQS_JUVForm::MinMaxEditChange(QObject *Sender)
{
    auto *edit = qobject_cast<QLineEdit *>(Sender);
    if (!edit)
        return;
    int channel = -1;
    for (int c = 0; c < 2; ++c) {
        if (edit == m_channels[c].maxEdit || edit == m_channels[c].minEdit)
            channel = c;
    }
    if (channel < 0)
        return;
    // A typed minimum is held to the limit only when the edit is left: "1" on the way to "10"
    // must not become the limit "5" with the next digit appended to it.
    const QLineEdit *outer = typedMinEdit;
    if (edit == m_channels[channel].minEdit && edit->isModified())
        typedMinEdit = edit;
    CheckChannelRange(channel);
    typedMinEdit = outer;
    m_modified = true;
}

void TQS_JUVForm::MinMaxEditExit(QObject *Sender)
{
    auto *edit = qobject_cast<QLineEdit *>(Sender);
    if (!edit)
        return;
    if (edit->text().isEmpty() || edit->text() == QLatin1String("-"))
        edit->setText(QStringLiteral("0"));
    for (int c = 0; c < 2; ++c) {
        if (edit == m_channels[c].minEdit)
            CheckChannelRange(c);
    }
}

void TQS_JUVForm::QntyEditChange(QObject *)
{
    const qsjuv::QuantityCheck check =
            qsjuv::checkQuantity(QntyEdit->text(), QntyUpDown->minimum(), QntyUpDown->maximum());
    if (check.rewrite)
        SetIntText(QntyEdit, check.value);
    m_modified = true;
}

void TQS_JUVForm::SimpleEditChange(QObject *)
{
    m_modified = true;
}
