#pragma once

#include "core/Questionnaire.h"

#include <QObject>

#include <array>

class ChannelEditor;
class ListChoice;
class QGroupBox;
class QLineEdit;
class TUpDown;
namespace Ui {
class QS_JUVForm;
}

// The window's controls as a view over one Questionnaire: setQuestionnaire() shows a value,
// questionnaire() reads back what is shown. Choosing a model gives every channel what that
// model starts with; the requisites and the quantity stay as typed.
class QuestionnaireEditor : public QObject
{
    Q_OBJECT

public:
    QuestionnaireEditor(Ui::QS_JUVForm &ui, QObject *parent);

    void setQuestionnaire(const qsjuv::Questionnaire &questionnaire);
    qsjuv::Questionnaire questionnaire() const;
    // What leaving every field would do; the one step before anything is written or printed.
    void finishTyping();
    // Where the user mends a refusal.
    QWidget *focusFor(const qsjuv::SaveRefusal &refusal) const;
    const ChannelEditor &channel(int index) const { return *m_channels[std::size_t(index)]; }
    QLineEdit *requisiteEdit(qsjuv::Requisite requisite) const;

signals:
    // The user changed something the questionnaire holds.
    void edited();

private:
    void bindEvents();
    void chooseModel(int position);
    void showQuantityState();
    void finishQuantity();

    Ui::QS_JUVForm &m_ui;
    ListChoice *m_model;
    int m_modelPosition = 0;
    std::array<ChannelEditor *, 2> m_channels{};
};
