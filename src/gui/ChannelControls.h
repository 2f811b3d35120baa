#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class TUpDown;

// The controls of one channel, and the groups the handlers show, hide or enable together.
struct ChannelControls
{
    QCheckBox *inputCheck = nullptr;
    QLabel *sensorLabel = nullptr;
    QComboBox *sensorCombo = nullptr;
    QLabel *charLabel = nullptr;
    QComboBox *charCombo = nullptr;
    QLabel *maxLabel = nullptr;
    QLineEdit *maxEdit = nullptr;
    TUpDown *maxUpDown = nullptr;
    QLabel *minLabel = nullptr;
    QLineEdit *minEdit = nullptr;
    TUpDown *minUpDown = nullptr;
    QLabel *connLabel = nullptr;
    QComboBox *connCombo = nullptr;
    QLabel *nomRLabel = nullptr;
    QComboBox *nomRCombo = nullptr;
    QLabel *outputLabel = nullptr;
    QComboBox *outputCombo = nullptr;

    // Shown for every sensor type.
    std::array<QWidget *, 8> characteristicAndRange() const;
    // Everything the input check box switches; the output stays usable with the input off.
    std::array<QWidget *, 14> inputDependent() const;
};
