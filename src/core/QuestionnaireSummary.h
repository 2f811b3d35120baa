#pragma once

#include "core/Questionnaire.h"
#include "core/VerificationPoints.h"

#include <QString>

#include <utility>
#include <vector>

namespace qsjuv {

// A caption and the value shown for it.
using SummaryRow = std::pair<QString, QString>;

struct SummaryChannel
{
    QString title;
    std::vector<SummaryRow> rows;
};

// What a printed questionnaire shows.
struct Summary
{
    QString title;
    QString date;
    std::vector<SummaryRow> device; // model and quantity
    std::vector<SummaryRow> requisites;
    std::vector<SummaryChannel> channels; // the model's channels only
    QString version;
    qint32 checkCode = 0;
    std::vector<ChannelPoints> points; // the lab's sheet, one entry per channel
};

// The summary of a questionnaire, with the check code its save would write. A row that the form
// hides for the sensor or the model has no value.
Summary questionnaireSummary(const Questionnaire &questionnaire, const QString &title, const QString &date);

} // namespace qsjuv
