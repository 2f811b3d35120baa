#include "gui/QuestionnaireEditor.h"

#include "gui/ChannelEditor.h"
#include "gui/FieldEvents.h"
#include "gui/ListChoice.h"
#include "gui/UpDown.h"
#include "ui_QuestionnaireWindow.h"
#include "core/RangeRules.h"

#include <QValidator>

namespace {
// The quantity takes digits only; "" is on the way to one.
class QuantityValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (const QChar c : input)
            if (c < u'0' || c > u'9')
                return Invalid;
        return input.isEmpty() ? Intermediate : Acceptable;
    }
};

// Calls back where a typed value is corrected, for as long as owner lives.
class FieldFinished : public QObject
{
public:
    FieldFinished(QObject *owner, QWidget *widget, std::function<void()> left) : QObject(owner), m_left(std::move(left))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (finishesTyping(event))
            m_left();
        return false;
    }

private:
    std::function<void()> m_left;
};

QStringList modelNames()
{
    QStringList names;
    for (const auto &model : qsjuv::modelList())
        names << QString::fromStdString(qsjuv::modelListText(model));
    return names;
}
} // namespace

QuestionnaireEditor::QuestionnaireEditor(Ui::QS_JUVForm &ui, QObject *parent)
    : QObject(parent), m_ui(ui), m_model(new ListChoice(ui.DeviceCombo, this))
{
    m_model->show(modelNames(), 0);
    m_channels = {new ChannelEditor({ui.Ch1InputCheck, ui.Ch1SensorLabel, ui.Ch1SensorCombo, ui.Ch1CharLabel,
                                     ui.Ch1CharCombo, ui.Ch1MaxLabel, ui.Ch1MaxEdit, ui.Ch1MaxUpDown,
                                     ui.Ch1MinLabel, ui.Ch1MinEdit, ui.Ch1MinUpDown, ui.Ch1ConnLabel,
                                     ui.Ch1ConnCombo, ui.Ch1NomRLabel, ui.Ch1NomRCombo, ui.Ch1OutputLabel,
                                     ui.Ch1OutputCombo},
                                    0, this),
                  new ChannelEditor({ui.Ch2InputCheck, ui.Ch2SensorLabel, ui.Ch2SensorCombo, ui.Ch2CharLabel,
                                     ui.Ch2CharCombo, ui.Ch2MaxLabel, ui.Ch2MaxEdit, ui.Ch2MaxUpDown,
                                     ui.Ch2MinLabel, ui.Ch2MinEdit, ui.Ch2MinUpDown, ui.Ch2ConnLabel,
                                     ui.Ch2ConnCombo, ui.Ch2NomRLabel, ui.Ch2NomRCombo, ui.Ch2OutputLabel,
                                     ui.Ch2OutputCombo},
                                    1, this)};
    ui.QntyUpDown->setAssociate(ui.QntyEdit);
    ui.QntyUpDown->setRange(qsjuv::kQuantityMin, qsjuv::kQuantityMax);
    ui.QntyEdit->setValidator(new QuantityValidator(ui.QntyEdit));
    bindEvents();
}

void QuestionnaireEditor::bindEvents()
{
    connect(m_model, &ListChoice::chosen, this, &QuestionnaireEditor::chooseModel);
    connect(m_model, &ListChoice::leftEmpty, this, [this] { chooseModel(0); });
    for (ChannelEditor *channel : m_channels)
        connect(channel, &ChannelEditor::edited, this, &QuestionnaireEditor::edited);
    for (QLineEdit *edit : {m_ui.FirmNameEdit, m_ui.PhoneEdit, m_ui.MailEdit, m_ui.BillEdit})
        connect(edit, &QLineEdit::textChanged, this, &QuestionnaireEditor::edited);
    connect(m_ui.QntyEdit, &QLineEdit::textChanged, this, [this] {
        showQuantityState();
        emit edited();
    });
    new FieldFinished(this, m_ui.QntyEdit, [this] { finishQuantity(); });
}

void QuestionnaireEditor::chooseModel(int position)
{
    if (position < 0 || position >= qsjuv::kModelCount)
        return;
    setQuestionnaire(qsjuv::withModel(questionnaire(), position));
    emit edited();
}

void QuestionnaireEditor::setQuestionnaire(const qsjuv::Questionnaire &q)
{
    m_modelPosition = q.modelPosition;
    m_model->show(modelNames(), q.modelPosition);
    const int count = qsjuv::channelCount(q.model());
    m_ui.Ch2GroupBox->setVisible(count == 2);
    for (int c = 0; c < 2; ++c) {
        // A channel the model does not show still holds what the model starts it with.
        const qsjuv::QuestionnaireChannel channel = c < int(q.channels.size())
                ? q.channels[std::size_t(c)]
                : qsjuv::defaultChannel(q.modelPosition, c, qsjuv::sensorsOfType(qsjuv::kSensorRtd).front()->id);
        m_channels[std::size_t(c)]->setChannel(q.modelPosition, channel);
    }
    for (const qsjuv::Requisite r : qsjuv::kRequisites) {
        QLineEdit *edit = requisiteEdit(r);
        if (edit->text() != qsjuv::requisiteText(q, r))
            edit->setText(qsjuv::requisiteText(q, r));
    }
    if (m_ui.QntyEdit->text() != q.quantity)
        m_ui.QntyEdit->setText(q.quantity);
    if (const auto value = qsjuv::strictToInt(q.quantity))
        m_ui.QntyUpDown->setValue(*value);
    showQuantityState();
}

qsjuv::Questionnaire QuestionnaireEditor::questionnaire() const
{
    qsjuv::Questionnaire q;
    q.modelPosition = m_modelPosition;
    for (int c = 0; c < qsjuv::channelCount(q.model()); ++c)
        q.channels.push_back(m_channels[std::size_t(c)]->channel());
    q.firm = m_ui.FirmNameEdit->text();
    q.phone = m_ui.PhoneEdit->text();
    q.mail = m_ui.MailEdit->text();
    q.bill = m_ui.BillEdit->text();
    q.quantity = m_ui.QntyEdit->text();
    return q;
}

QLineEdit *QuestionnaireEditor::requisiteEdit(qsjuv::Requisite requisite) const
{
    switch (requisite) {
    case qsjuv::Requisite::Phone:
        return m_ui.PhoneEdit;
    case qsjuv::Requisite::Mail:
        return m_ui.MailEdit;
    case qsjuv::Requisite::Bill:
        return m_ui.BillEdit;
    case qsjuv::Requisite::Firm:
        break;
    }
    return m_ui.FirmNameEdit;
}

void QuestionnaireEditor::showQuantityState()
{
    const bool valid = !qsjuv::checkQuantity(m_ui.QntyEdit->text(), qsjuv::kQuantityMin, qsjuv::kQuantityMax).rewrite;
    QPalette pal = m_ui.QntyEdit->palette();
    const QColor colour = valid ? m_ui.QntyEdit->parentWidget()->palette().color(QPalette::Text) : QColor(255, 0, 0);
    pal.setColor(QPalette::Active, QPalette::Text, colour);
    pal.setColor(QPalette::Inactive, QPalette::Text, colour);
    m_ui.QntyEdit->setPalette(pal);
}

void QuestionnaireEditor::finishQuantity()
{
    const qsjuv::QuantityCheck check =
            qsjuv::checkQuantity(m_ui.QntyEdit->text(), qsjuv::kQuantityMin, qsjuv::kQuantityMax);
    if (check.rewrite)
        m_ui.QntyEdit->setText(QString::number(check.value));
}

void QuestionnaireEditor::finishTyping()
{
    m_model->finishTyping();
    finishQuantity();
    for (int c = 0; c < qsjuv::channelCount(qsjuv::modelList()[std::size_t(m_modelPosition)]); ++c)
        m_channels[std::size_t(c)]->finishTyping();
}

QWidget *QuestionnaireEditor::focusFor(const qsjuv::SaveRefusal &refusal) const
{
    switch (refusal.kind) {
    case qsjuv::SaveRefusal::MissingFirm:
        return m_ui.FirmNameEdit;
    case qsjuv::SaveRefusal::MissingMail:
    case qsjuv::SaveRefusal::MailFormat:
        return m_ui.MailEdit;
    case qsjuv::SaveRefusal::RequisiteRefused:
        return requisiteEdit(refusal.requisite);
    case qsjuv::SaveRefusal::NoInput:
        return nullptr;
    case qsjuv::SaveRefusal::RangeNotNumber:
    case qsjuv::SaveRefusal::RangeTooNarrow:
        break;
    }
    return m_channels[std::size_t(refusal.channel)]->rangeFocus();
}
