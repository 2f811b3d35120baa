// Model -> channel reset -> sensor type -> characteristic: each level rebuilds everything below.
#include "gui/Hints.h"
#include "gui/Qs_juvunit.h"
#include "gui/UpDown.h"
#include "core/Questionnaire.h"
#include "core/QuestionnaireRules.h"
#include "core/Sensor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {
// Check state first, then the enabled flag: a changed state runs InputCheckClick at once.
void setInputCheck(QCheckBox *check, bool checked, bool enabled)
{
    check->setChecked(checked);
    check->setEnabled(enabled);
}
} // namespace

void TQS_JUVForm::DeviceComboChange(QObject *)
{
    const int position = DeviceCombo->currentIndex();
    const qsjuv::DeviceModel *model = currentModel();
    if (!model) // nothing selected while the user types: ComboExit repairs it
        return;

    m_shownModel = position;
    Ch2GroupBox->setVisible(qsjuv::channelCount(*model) == 2);

    const bool series610 = qsjuv::isSeries610(position);
    const auto checks = qsjuv::inputChecks(*model);
    for (int c = 0; c < 2; ++c)
        setInputCheck(m_channels[c].inputCheck, checks[c].checked, checks[c].enabled);

    for (const ChannelControls &ch : m_channels) {
        ch.sensorCombo->clear();
        for (int i = 0; i < qsjuv::offeredSensorTypeCount(position); ++i)
            ch.sensorCombo->addItem(QString::fromUtf8(qsjuv::sensorTypeEntryText(i)));

        ch.outputCombo->clear();
        if (!qsjuv::showsOutputs(*model)) {
            ch.outputCombo->hide();
            ch.outputLabel->hide();
            continue;
        }
        ch.outputCombo->show();
        ch.outputLabel->show();
        for (const char *mode : qsjuv::outputModeTexts(series610))
            ch.outputCombo->addItem(QString::fromUtf8(mode));
        ch.outputCombo->setCurrentIndex(qsjuv::defaultOutputPosition(*model, series610));
        // Only the 720 list holds relay modes worth a hint.
        setHintShown(ch.outputCombo, !series610);
    }

    ResetChannels();
}

void TQS_JUVForm::ResetChannels()
{
    for (const ChannelControls &ch : m_channels) {
        ch.sensorCombo->setCurrentIndex(0);
        SensorComboChange(ch.sensorCombo);
        ch.nomRCombo->setCurrentIndex(1);
    }
}

void TQS_JUVForm::SensorComboChange(QObject *Sender)
{
    auto *combo = qobject_cast<QComboBox *>(Sender);
    if (!combo)
        return;
    const int c = channelOf(Sender, m_channels[1].sensorCombo);
    const ChannelControls &ch = m_channels[c];

    for (QWidget *w : ch.sensorDependent())
        w->hide();
    setModified(true);

    const qsjuv::SensorType type = qsjuv::sensorTypeOfIndex(combo->currentIndex());
    for (QWidget *w : ch.characteristicAndRange())
        w->show();
    if (qsjuv::showsConnection(isSeries610(), type)) {
        ch.connLabel->show();
        ch.connCombo->show();
    }
    if (qsjuv::showsNominalR(type)) {
        ch.nomRLabel->show();
        ch.nomRCombo->show();
    }

    ch.charCombo->clear();
    m_charListType[c] = type;
    for (const qsjuv::SensorDescriptor *sensor : qsjuv::sensorsOfType(type))
        ch.charCombo->addItem(QString::fromStdString(qsjuv::displayName(sensor->name)));
    ch.charCombo->setCurrentIndex(0);

    ch.maxLabel->setText(QString::fromUtf8(qsjuv::maxCaption(type)));
    ch.minLabel->setText(QString::fromUtf8(qsjuv::minCaption(type)));
    // A spinner is announced as its edit is.
    ch.maxUpDown->setAccessibleName(ch.maxLabel->text());
    ch.minUpDown->setAccessibleName(ch.minLabel->text());

    CharComboChange(ch.charCombo);
}

void TQS_JUVForm::CharComboChange(QObject *Sender)
{
    auto *combo = qobject_cast<QComboBox *>(Sender);
    if (!combo)
        return;
    const int c = channelOf(Sender, m_channels[1].charCombo);
    const ChannelControls &ch = m_channels[c];

    // No selection (the user is typing): nothing to lay out for.
    const auto sensors = qsjuv::sensorsOfType(m_charListType[c]);
    const int index = combo->currentIndex();
    if (index < 0 || index >= int(sensors.size()))
        return;
    const qsjuv::RangeLimits *range = qsjuv::rangeRow(isSeries610(), sensors[std::size_t(index)]->id);
    if (!range)
        return;

    // Before any edit changes: each edit change runs the range check against it.
    m_selectedRange[c] = range;
    const int up = qsjuv::truncatedLimit(range->upperLimit);
    const int lo = qsjuv::truncatedLimit(range->lowerLimit);

    ch.maxUpDown->setMaximum(up);
    ch.maxUpDown->setMinimum(lo);
    ch.maxUpDown->setValue(up);
    SetIntText(ch.maxEdit, up);
    ch.minUpDown->setMaximum(up);
    ch.minUpDown->setMinimum(lo);
    ch.minUpDown->setValue(lo);
    SetIntText(ch.minEdit, lo);

    ch.nomRCombo->clear();
    const qsjuv::NominalRList resistances = qsjuv::nominalResistanceList(*range);
    for (const std::string &entryText : resistances.entries)
        ch.nomRCombo->addItem(QString::fromStdString(entryText));
    ch.nomRCombo->setCurrentIndex(resistances.selected);

    const char *unitText = qsjuv::unitText(qsjuv::sensorTypeOfIndex(ch.sensorCombo->currentIndex()));
    const QString unit = QString::fromUtf8(unitText ? unitText : "");
    const QString width = QString::asprintf("Минимальная ширина диапазона: %.0f ", double(range->minSpan)) + unit;
    setHintShown(ch.charCombo, true);
    setHint(ch.charCombo, width);
    setHintShown(ch.maxEdit, true);
    setHint(ch.maxEdit, QString::asprintf("Максимальное значение: %.0f ", double(range->upperLimit)) + unit
                            + QLatin1Char('\n') + width);
    setHintShown(ch.minEdit, true);
    setHint(ch.minEdit, QString::asprintf("Минимальное значение: %.0f ", double(range->lowerLimit)) + unit
                            + QLatin1Char('\n') + width);

    setModified(true);
}

void TQS_JUVForm::InputCheckClick(QObject *Sender)
{
    auto *check = qobject_cast<QCheckBox *>(Sender);
    if (!check)
        return;
    const ChannelControls &ch = m_channels[channelOf(Sender, m_channels[1].inputCheck)];
    const bool on = check->checkState() != Qt::Unchecked;
    // The output stays usable: a channel whose input is off still offers its output.
    for (QWidget *w : ch.inputDependent())
        w->setEnabled(on);
}

void TQS_JUVForm::ComboExit(QObject *Sender)
{
    auto *combo = qobject_cast<QComboBox *>(Sender);
    if (!combo)
        return;
    const QVariant before = combo->property(kEntryBeforeTyping);
    combo->setProperty(kEntryBeforeTyping, QVariant());
    if (combo->currentIndex() >= 0)
        return;
    // Text that names no entry was a typo: the entry shown before it comes back, as it was.
    if (before.isValid() && before.toInt() < combo->count()) {
        combo->setCurrentIndex(before.toInt());
        return;
    }
    if (selectCascadeDefault(combo))
        return;
    combo->setCurrentIndex(0);
    if (combo == DeviceCombo)
        DeviceComboChange(Sender);
    else if (combo == m_channels[0].sensorCombo || combo == m_channels[1].sensorCombo)
        SensorComboChange(Sender);
    else if (combo == m_channels[0].charCombo || combo == m_channels[1].charCombo)
        CharComboChange(Sender);
}

bool TQS_JUVForm::selectCascadeDefault(QComboBox *combo)
{
    for (int c = 0; c < 2; ++c) {
        const ChannelControls &ch = m_channels[c];
        if (combo == ch.connCombo) {
            combo->setCurrentIndex(0);
        } else if (combo == ch.nomRCombo) {
            if (combo->count() > 0 && m_selectedRange[c])
                combo->setCurrentIndex(qsjuv::nominalResistanceList(*m_selectedRange[c]).selected);
        } else if (combo == ch.outputCombo) {
            const qsjuv::DeviceModel *model = currentModel();
            if (combo->count() > 0 && model)
                combo->setCurrentIndex(qsjuv::defaultOutputPosition(*model, isSeries610()));
        } else {
            continue;
        }
        return true;
    }
    return false;
}
