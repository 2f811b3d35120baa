#pragma once

#include "gui/ChannelControls.h"
#include "core/Questionnaire.h"

#include <QObject>

class ListChoice;
namespace qsjuv {
struct RangeLimits;
}

// One channel's controls as a view over one QuestionnaireChannel: setChannel() shows a value,
// channel() reads back what is shown. A user's choice of sensor type or characteristic sets the
// channel to what that choice gives and shows it; typed bounds are corrected only when their
// edit is left, or by finishTyping() before anything is written or printed.
class ChannelEditor : public QObject
{
    Q_OBJECT

public:
    ChannelEditor(const ChannelControls &controls, int index, QObject *parent);

    const ChannelControls &controls() const { return m_ui; }
    void setChannel(int modelPosition, const qsjuv::QuestionnaireChannel &channel);
    qsjuv::QuestionnaireChannel channel() const;
    // What leaving every field would do: held list entries back, bounds held to the limits.
    void finishTyping();
    // What a refused range lacks, in the window's words; empty while the range passes.
    QString rangeRefusal() const;
    // Where the user changes a refused range: its max edit, or the input box that locks it.
    QWidget *rangeFocus() const;

signals:
    // Something the user did changed what the channel shows.
    void edited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindEvents();
    void setUserChannel(const qsjuv::QuestionnaireChannel &channel);
    void chooseSensorType(int index);
    void chooseCharacteristic(int index);
    void chooseSensor(std::uint8_t id);
    void showLists(const qsjuv::QuestionnaireChannel &channel);
    void showRows(qsjuv::SensorType type);
    void showRange(const qsjuv::QuestionnaireChannel &channel);
    void showInput(bool on, bool enabled);
    void showRangeState();
    void finishBound(QLineEdit *edit);
    const qsjuv::RangeLimits *row() const;
    qsjuv::SensorType shownType() const;

    ChannelControls m_ui;
    int m_index;
    int m_model = 0;
    std::uint8_t m_sensorId = 1; // the characteristic the lists below were laid out for
    ListChoice *m_sensor, *m_characteristic, *m_connection, *m_nominalR, *m_output;
};
