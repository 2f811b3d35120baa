// Range, quantity and requisites edits: corrected as they are typed, never refused.
#include "gui/Qs_juvunit.h"
#include "gui/UpDown.h"
#include "core/RangeRules.h"
#include "core/Sensor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

using namespace Qt::StringLiterals;

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
// Corrects a range bound inside its edit, before the edit announces the change: every listener,
// the form's handler first, then hears the corrected text, once. The same range check as
// CheckChannelRange, so the two never disagree. A minimum is not held to the lower limit while
// the user is in its edit: "1" on the way to "10" must not become the limit.
class RangeBoundValidator : public QValidator
{
public:
    RangeBoundValidator(QLineEdit *edit, QLineEdit *other, bool isMax, const qsjuv::RangeLimits *const *row)
        : QValidator(edit), m_edit(edit), m_other(other), m_isMax(isMax), m_row(row)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        if (!*m_row)
            return Acceptable;
        const qsjuv::RangeCheck check = m_isMax ? qsjuv::checkRange(input, m_other->text(), **m_row, false)
                                                : qsjuv::checkRange(m_other->text(), input, **m_row,
                                                                    !m_edit->hasFocus());
        const QString &corrected = m_isMax ? check.maxText : check.minText;
        if (corrected != input) {
            input = corrected;
            pos = int(input.size());
        }
        return Acceptable;
    }

private:
    QLineEdit *m_edit;
    QLineEdit *m_other;
    bool m_isMax;
    const qsjuv::RangeLimits *const *m_row; // the channel's selected range, as it changes
};
} // namespace

void TQS_JUVForm::correctRangesAsTyped()
{
    for (int c = 0; c < 2; ++c) {
        const ChannelControls &ch = m_channels[c];
        ch.maxEdit->setValidator(new RangeBoundValidator(ch.maxEdit, ch.minEdit, true, &m_selectedRange[c]));
        ch.minEdit->setValidator(new RangeBoundValidator(ch.minEdit, ch.maxEdit, false, &m_selectedRange[c]));
    }
}

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
    const ChannelControls &ch = m_channels[channel];

    const qsjuv::RangeCheck check = qsjuv::checkRange(ch.maxEdit->text(), ch.minEdit->text(),
                                                      *m_selectedRange[channel], m_typedMinEdit != ch.minEdit);
    // A min left as typed while the max was no number is corrected now; that write must not run
    // this check again from inside.
    if (!m_checkingRange[channel]) {
        m_checkingRange[channel] = true;
        setEditText(ch.maxEdit, check.maxText);
        setEditText(ch.minEdit, check.minText);
        m_checkingRange[channel] = false;
    }
    describeRange(channel);
    // A bound of digits beyond 32 bits is refused by the save: show it so.
    if (!check.complete && !check.beyond32Bits)
        return false;
    const bool passes = check.complete && check.passes;
    const QColor colour = passes ? palette().color(QPalette::WindowText) : QColor(255, 0, 0);
    setTextColour(ch.maxEdit, colour);
    setTextColour(ch.minEdit, colour);
    return passes;
}

QString TQS_JUVForm::rangeRefusal(int channel) const
{
    const qsjuv::RangeLimits *range = m_selectedRange[channel];
    if (!range)
        return {};
    const ChannelControls &ch = m_channels[channel];
    const qsjuv::RangeCheck check = qsjuv::checkRange(ch.maxEdit->text(), ch.minEdit->text(), *range);
    if (check.passes)
        return {};
    const char *unitText = qsjuv::unitText(qsjuv::sensorTypeOfIndex(ch.sensorCombo->currentIndex()));
    const QString unit = QString::fromUtf8(unitText ? unitText : "");
    const QString least = QString::asprintf("Минимальная ширина диапазона: %.0f ", double(range->minSpan)) + unit;
    if (!check.complete)
        return u"Граница диапазона не является целым числом. "_s + least;
    const qint64 width = qint64(*check.max) - qint64(*check.min);
    return u"Ширина диапазона: %1 %2. "_s.arg(width).arg(unit) + least;
}

// While refused, the edits tell a screen reader why; once the range passes, their hints again.
void TQS_JUVForm::describeRange(int channel)
{
    const QString why = rangeRefusal(channel);
    const QString description = why.isEmpty() ? QString() : u"Некорректно задан диапазон измерения. "_s + why;
    for (QLineEdit *edit : {m_channels[channel].maxEdit, m_channels[channel].minEdit}) {
        if (edit->accessibleDescription() != description)
            edit->setAccessibleDescription(description);
    }
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
    const QLineEdit *outer = m_typedMinEdit;
    // The edit's own correction of a typed character resets its modified flag: its focus tells.
    if (edit == m_channels[channel].minEdit && edit->hasFocus())
        m_typedMinEdit = edit;
    CheckChannelRange(channel);
    m_typedMinEdit = outer;
    setModified(true);
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
    setModified(true);
}

void TQS_JUVForm::SimpleEditChange(QObject *)
{
    setModified(true);
}
