#include "gui/ChannelEditor.h"

#include "gui/FieldEvents.h"
#include "gui/Hints.h"
#include "gui/ListChoice.h"
#include "gui/UpDown.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"
#include "core/Sensor.h"
#include "core/Texts.h"
#include "core/Translation.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

using namespace Qt::StringLiterals;

namespace {
// A bound takes digits after an optional minus: anything else is refused keystroke by keystroke.
// A typographic minus or a dash, typed or pasted, is the minus.
class BoundValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = qsjuv::withAsciiMinus(input);
        const QStringView digits = QStringView(input).sliced(input.startsWith(u'-') ? 1 : 0);
        for (const QChar c : digits)
            if (c < u'0' || c > u'9')
                return Invalid;
        return digits.isEmpty() ? Intermediate : Acceptable;
    }
};

QStringList utf8List(std::span<const char *const> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << qsjuv::catalogueText(text);
    return list;
}

void setEditText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void setTextColour(QLineEdit *edit, const QColor &colour)
{
    QPalette pal = edit->palette();
    if (pal.color(QPalette::Active, QPalette::Text) == colour)
        return;
    pal.setColor(QPalette::Active, QPalette::Text, colour);
    pal.setColor(QPalette::Inactive, QPalette::Text, colour);
    edit->setPalette(pal);
}

// A screen reader names an edit after its caption, and keeps the name it last heard.
void setCaption(QLabel *caption, const QString &text)
{
    if (caption->text() == text)
        return;
    caption->setText(text);
    if (caption->buddy()) {
        QAccessibleEvent event(caption->buddy(), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QString unitOf(qsjuv::SensorType type)
{
    return qsjuv::catalogueText(qsjuv::unitText(type));
}
} // namespace

std::array<QWidget *, 8> ChannelControls::characteristicAndRange() const
{
    return {charLabel, charCombo, maxLabel, maxEdit, maxUpDown, minLabel, minEdit, minUpDown};
}

std::array<QWidget *, 14> ChannelControls::inputDependent() const
{
    return {sensorLabel, sensorCombo, charLabel, charCombo, maxLabel, maxEdit, maxUpDown,
            minLabel, minEdit, minUpDown, connLabel, connCombo, nomRLabel, nomRCombo};
}

ChannelEditor::ChannelEditor(const ChannelControls &controls, int index, QObject *parent)
    : QObject(parent)
    , m_ui(controls)
    , m_index(index)
    , m_sensor(new ListChoice(controls.sensorCombo, this))
    , m_characteristic(new ListChoice(controls.charCombo, this))
    , m_connection(new ListChoice(controls.connCombo, this))
    , m_nominalR(new ListChoice(controls.nomRCombo, this))
    , m_output(new ListChoice(controls.outputCombo, this))
{
    m_ui.maxUpDown->setAssociate(m_ui.maxEdit);
    m_ui.minUpDown->setAssociate(m_ui.minEdit);
    m_connection->show(utf8List(qsjuv::connectionTexts()), 0);
    bindEvents();
}

void ChannelEditor::bindEvents()
{
    connect(m_sensor, &ListChoice::chosen, this, &ChannelEditor::chooseSensorType);
    connect(m_characteristic, &ListChoice::chosen, this, &ChannelEditor::chooseCharacteristic);
    // A list left without an entry gets the first, as choosing it would.
    connect(m_sensor, &ListChoice::leftEmpty, this, [this] { chooseSensorType(0); });
    connect(m_characteristic, &ListChoice::leftEmpty, this, [this] { chooseCharacteristic(0); });
    for (ListChoice *leaf : {m_connection, m_nominalR, m_output}) {
        connect(leaf, &ListChoice::chosen, this, &ChannelEditor::edited);
        // A list a load left without an entry gets the one the save would write.
        connect(leaf, &ListChoice::leftEmpty, this, [this] {
            qsjuv::Questionnaire alone;
            alone.modelPosition = m_model;
            alone.channels = {channel()};
            setUserChannel(qsjuv::withDefaultEntries(alone).channels.front());
        });
    }
    connect(m_ui.inputCheck, &QCheckBox::clicked, this, [this](bool on) {
        showInput(on, m_ui.inputCheck->isEnabled());
        emit edited();
    });
    for (QLineEdit *edit : {m_ui.maxEdit, m_ui.minEdit}) {
        edit->setValidator(new BoundValidator(edit));
        edit->installEventFilter(this);
        // Any change of the text, typed or pasted, a step's or a test's: the colour follows it.
        connect(edit, &QLineEdit::textChanged, this, [this] {
            showRangeState();
            emit edited();
        });
    }
    // A step is no typing: its group separator goes and the limits hold before the edit
    // announces the new text.
    m_ui.maxUpDown->setWriteFilter([this](const QString &text) {
        const qsjuv::RangeLimits *range = row();
        return range ? qsjuv::checkRange(text, m_ui.minEdit->text(), *range).maxText : qsjuv::filterDigits(text);
    });
    m_ui.minUpDown->setWriteFilter([this](const QString &text) {
        const qsjuv::RangeLimits *range = row();
        const qsjuv::RangeCheck check = range ? qsjuv::checkRange(m_ui.maxEdit->text(), text, *range) : qsjuv::RangeCheck{};
        return check.max ? check.minText : qsjuv::filterDigits(text);
    });
}

bool ChannelEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *edit = qobject_cast<QLineEdit *>(watched); edit && finishesTyping(event))
        finishBound(edit);
    return QObject::eventFilter(watched, event);
}

const qsjuv::RangeLimits *ChannelEditor::row() const
{
    return qsjuv::rangeRow(qsjuv::isSeries610(m_model), m_sensorId);
}

qsjuv::SensorType ChannelEditor::shownType() const
{
    const qsjuv::SensorDescriptor *sensor = qsjuv::sensorById(m_sensorId);
    return sensor ? sensor->type : qsjuv::kSensorRtd;
}

void ChannelEditor::setUserChannel(const qsjuv::QuestionnaireChannel &channel)
{
    setChannel(m_model, channel);
    emit edited();
}

void ChannelEditor::chooseSensorType(int index)
{
    const auto sensors = qsjuv::sensorsOfType(qsjuv::sensorTypeOfIndex(index));
    if (!sensors.empty())
        chooseSensor(sensors.front()->id);
}

void ChannelEditor::chooseCharacteristic(int index)
{
    const auto sensors = qsjuv::sensorsOfType(shownType());
    if (index >= 0 && index < int(sensors.size()))
        chooseSensor(sensors[std::size_t(index)]->id);
}

void ChannelEditor::chooseSensor(std::uint8_t id)
{
    setUserChannel(qsjuv::withSensor(m_model, m_index, channel(), id));
}

void ChannelEditor::setChannel(int modelPosition, const qsjuv::QuestionnaireChannel &channel)
{
    m_model = modelPosition;
    m_sensorId = channel.sensorId;
    showLists(channel);
    showRows(shownType());
    showRange(channel);
    const auto checks = qsjuv::inputChecks(qsjuv::modelList()[std::size_t(modelPosition)]);
    showInput(channel.inputOn, checks[std::size_t(m_index)].enabled);
}

void ChannelEditor::showLists(const qsjuv::QuestionnaireChannel &channel)
{
    const bool series610 = qsjuv::isSeries610(m_model);
    const qsjuv::SensorType type = shownType();
    QStringList types;
    for (int i = 0; i < qsjuv::offeredSensorTypeCount(m_model); ++i)
        types << qsjuv::catalogueText(qsjuv::sensorTypeEntryText(i));
    m_sensor->show(types, qsjuv::indexOfSensorType(type));

    QStringList names;
    int selected = -1;
    for (const qsjuv::SensorDescriptor *sensor : qsjuv::sensorsOfType(type)) {
        if (sensor->id == m_sensorId)
            selected = int(names.size());
        names << QString::fromStdString(qsjuv::displayName(sensor->name));
    }
    m_characteristic->show(names, selected);

    QStringList resistances;
    if (const qsjuv::RangeLimits *range = row())
        for (const std::string &entry : qsjuv::nominalResistanceList(*range).entries)
            resistances << QString::fromStdString(entry);
    m_nominalR->show(resistances, row() ? qsjuv::nominalRPosition(*row(), channel.nominalR) : -1);
    m_connection->show(utf8List(qsjuv::connectionTexts()), qsjuv::connectionPosition(channel.connection));

    const qsjuv::DeviceModel &model = qsjuv::modelList()[std::size_t(m_model)];
    const bool outputs = qsjuv::showsOutputs(model);
    m_ui.outputLabel->setVisible(outputs);
    m_ui.outputCombo->setVisible(outputs);
    m_output->show(outputs ? utf8List(qsjuv::outputModeTexts(series610)) : QStringList(),
                   qsjuv::outputPosition(series610, channel.output));
    // Only the 720 list holds relay modes worth a hint.
    setHintShown(m_ui.outputCombo, outputs && !series610);
}

void ChannelEditor::showRows(qsjuv::SensorType type)
{
    for (QWidget *w : m_ui.characteristicAndRange())
        w->show();
    const bool connection = qsjuv::showsConnection(qsjuv::isSeries610(m_model), type);
    m_ui.connLabel->setVisible(connection);
    m_ui.connCombo->setVisible(connection);
    m_ui.nomRLabel->setVisible(qsjuv::showsNominalR(type));
    m_ui.nomRCombo->setVisible(qsjuv::showsNominalR(type));
    setCaption(m_ui.maxLabel, qsjuv::catalogueText(qsjuv::maxCaption(type)));
    setCaption(m_ui.minLabel, qsjuv::catalogueText(qsjuv::minCaption(type)));
    // A spinner is announced as its edit is.
    m_ui.maxUpDown->setAccessibleName(m_ui.maxLabel->text());
    m_ui.minUpDown->setAccessibleName(m_ui.minLabel->text());
}

void ChannelEditor::showRange(const qsjuv::QuestionnaireChannel &channel)
{
    if (const qsjuv::RangeLimits *range = row()) {
        const int up = qsjuv::truncatedLimit(range->upperLimit);
        const int lo = qsjuv::truncatedLimit(range->lowerLimit);
        for (TUpDown *upDown : {m_ui.maxUpDown, m_ui.minUpDown})
            upDown->setRange(lo, up);
        m_ui.maxUpDown->setValue(qsjuv::strictToInt(channel.maxText).value_or(up));
        m_ui.minUpDown->setValue(qsjuv::strictToInt(channel.minText).value_or(lo));
        const qsjuv::texts::RangeHints hints = qsjuv::texts::rangeHints(*range, unitOf(shownType()));
        setHint(m_ui.charCombo, hints.leastWidth);
        setHint(m_ui.maxEdit, hints.max);
        setHint(m_ui.minEdit, hints.min);
        for (QWidget *w : {static_cast<QWidget *>(m_ui.charCombo), static_cast<QWidget *>(m_ui.maxEdit),
                           static_cast<QWidget *>(m_ui.minEdit)})
            setHintShown(w, true);
    }
    setEditText(m_ui.maxEdit, channel.maxText);
    setEditText(m_ui.minEdit, channel.minText);
    showRangeState();
}

void ChannelEditor::showInput(bool on, bool enabled)
{
    m_ui.inputCheck->setChecked(on);
    m_ui.inputCheck->setEnabled(enabled);
    // The output stays usable: a channel whose input is off still offers its output.
    for (QWidget *w : m_ui.inputDependent())
        w->setEnabled(on);
}

qsjuv::QuestionnaireChannel ChannelEditor::channel() const
{
    qsjuv::QuestionnaireChannel ch;
    ch.inputOn = m_ui.inputCheck->isChecked();
    ch.sensorId = m_sensorId;
    ch.maxText = m_ui.maxEdit->text();
    ch.minText = m_ui.minEdit->text();
    if (const qsjuv::RangeLimits *range = row())
        ch.nominalR = qsjuv::nominalRValue(*range, m_nominalR->held());
    ch.connection = qsjuv::connectionValue(m_connection->held());
    ch.output = qsjuv::outputValue(qsjuv::isSeries610(m_model), m_output->held());
    return ch;
}

// Red while the bounds are not what the check would leave, or the range is too narrow; while
// refused, the edits and their arrows tell a screen reader why.
void ChannelEditor::showRangeState()
{
    const qsjuv::RangeLimits *range = row();
    if (!range)
        return;
    const QString max = m_ui.maxEdit->text(), min = m_ui.minEdit->text();
    const qsjuv::RangeCheck check = qsjuv::checkRange(max, min, *range);
    const bool valid = check.passes && check.maxText == max && check.minText == min;
    const QColor colour = valid ? m_ui.maxEdit->parentWidget()->palette().color(QPalette::WindowText) : QColor(255, 0, 0);
    setTextColour(m_ui.maxEdit, colour);
    setTextColour(m_ui.minEdit, colour);
    const QString why = rangeRefusal();
    const QString description = why.isEmpty() ? QString() : tr("Некорректно задан диапазон измерения. ") + why;
    for (QWidget *w : {static_cast<QWidget *>(m_ui.maxEdit), static_cast<QWidget *>(m_ui.minEdit),
                       static_cast<QWidget *>(m_ui.maxUpDown), static_cast<QWidget *>(m_ui.minUpDown)})
        if (w->accessibleDescription() != description)
            w->setAccessibleDescription(description);
}

void ChannelEditor::finishBound(QLineEdit *edit)
{
    const qsjuv::RangeLimits *range = row();
    if (edit->text().isEmpty() || edit->text() == u"-"_s)
        edit->setText(u"0"_s);
    if (range) {
        const qsjuv::RangeCheck check = qsjuv::checkRange(m_ui.maxEdit->text(), m_ui.minEdit->text(), *range);
        setEditText(m_ui.maxEdit, check.maxText);
        // A max that is no number ends the check before the min: the min stays as it is.
        if (check.max)
            setEditText(m_ui.minEdit, check.minText);
    }
    showRangeState();
}

void ChannelEditor::finishTyping()
{
    for (ListChoice *list : {m_sensor, m_characteristic, m_connection, m_nominalR, m_output})
        list->finishTyping();
    finishBound(m_ui.maxEdit);
    finishBound(m_ui.minEdit);
}

QString ChannelEditor::rangeRefusal() const
{
    const qsjuv::RangeLimits *range = row();
    if (!range)
        return {};
    const qsjuv::RangeCheck check = qsjuv::checkRange(m_ui.maxEdit->text(), m_ui.minEdit->text(), *range);
    if (check.passes)
        return {};
    const QString unit = unitOf(shownType());
    const QString least = qsjuv::texts::rangeHints(*range, unit).leastWidth;
    if (!check.complete)
        return tr("Граница диапазона не является целым числом. ") + least;
    const qint64 width = qint64(*check.max) - qint64(*check.min);
    return tr("Ширина диапазона: %1 %2. ").arg(width).arg(unit) + least;
}

QWidget *ChannelEditor::rangeFocus() const
{
    return m_ui.maxEdit->isEnabled() ? static_cast<QWidget *>(m_ui.maxEdit) : m_ui.inputCheck;
}
