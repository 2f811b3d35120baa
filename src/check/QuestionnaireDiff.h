#pragma once

#include "core/Questionnaire.h"

#include <QJsonArray>
#include <QString>

#include <vector>

namespace qsjuv::check {

// A field two values show differently, named by the caption the window shows it under. A text
// is empty where the window shows no such field.
struct FieldDifference
{
    QString field;
    int channel = 0; // 1 or 2; 0 for the questionnaire as a whole
    QString from, to;
};

// In the window's order: model, quantity, requisites, then each channel.
std::vector<FieldDifference> differences(const Questionnaire &from, const Questionnaire &to);

// One line each, "Название фирмы: ACME → ACME Two"; a channel's fields after its title.
QString differenceLine(const FieldDifference &difference);
QJsonArray differencesToJson(const std::vector<FieldDifference> &differences);

} // namespace qsjuv::check
