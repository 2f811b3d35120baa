#pragma once

#include "core/Questionnaire.h"

#include <QJsonArray>
#include <QString>

#include <optional>

#include <vector>

namespace qsjuv::check {

// A field two values show differently, named by the caption the window shows it under. A text
// is empty where the window shows no such field.
struct FieldDifference
{
    QString field;
    int channel = 0; // 1 or 2; 0 for the questionnaire as a whole
    QString from, to;
    QString fromField; // the first side's caption where it differs ("T макс, °С" against "R макс, Ом")
};

// In the window's order: model, quantity, requisites, then each channel.
std::vector<FieldDifference> differences(const Questionnaire &from, const Questionnaire &to);

// The stored check codes ("—" for none), when they differ: the window shows no such field.
std::optional<FieldDifference> checkCodeDifference(const std::optional<qint32> &from, const std::optional<qint32> &to);

// One line each, "Название фирмы: ACME → ACME Two"; a channel's fields after its title.
QString differenceLine(const FieldDifference &difference);
QJsonArray differencesToJson(const std::vector<FieldDifference> &differences);

} // namespace qsjuv::check
