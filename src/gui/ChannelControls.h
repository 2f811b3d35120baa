#pragma once

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class TUpDown;

// The 17 controls of one channel. Positions matter: handlers enable positions 1..14 in order.
struct ChannelControls
{
    QCheckBox *inputCheck = nullptr; // 0
    QLabel *sensorLabel = nullptr; // 1
    QComboBox *sensorCombo = nullptr; // 2
    QLabel *charLabel = nullptr; // 3
    QComboBox *charCombo = nullptr; // 4
    QLabel *maxLabel = nullptr; // 5
    QLineEdit *maxEdit = nullptr; // 6
    TUpDown *maxUpDown = nullptr; // 7
    QLabel *minLabel = nullptr; // 8
    QLineEdit *minEdit = nullptr; // 9
    TUpDown *minUpDown = nullptr; // 10
    QLabel *connLabel = nullptr; // 11
    QComboBox *connCombo = nullptr; // 12
    QLabel *nomRLabel = nullptr; // 13
    QComboBox *nomRCombo = nullptr; // 14
    QLabel *outputLabel = nullptr; // 15
    QComboBox *outputCombo = nullptr; // 16

    static constexpr int kCount = 17;
    QWidget *at(int position) const;
};
