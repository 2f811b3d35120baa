#pragma once

#include "core/Questionnaire.h"
#include "core/RangeLimits.h"

#include <QString>

// Texts the program shows in more than one place: the form, main() and the checker's reports
// take them from here, so that they cannot drift apart.
namespace qsjuv::texts {

// The requisites' captions, as the form labels them (indexed by the enumerations' order).
QString requisiteCaption(Requisite requisite);

// The other captions the form and the printed summary share.
QString modelCaption();
QString quantityCaption();
QString channelTitle(int channel); // "1 канал" for channel 0
enum class ChannelField { SensorType, Characteristic, Connection, NominalR, Output, Input };
QString channelCaption(ChannelField field);

// Why the save refuses, with what to do: the window's message box and the checker's problem.
QString saveRefusal(const SaveRefusal &refusal);

// The hints a characteristic's range gives: its list, the max edit and the min edit. The unit
// is the sensor type's.
struct RangeHints
{
    QString leastWidth, max, min;
};
RangeHints rangeHints(const RangeLimits &row, const QString &unit);

// A file that could not be read; its reason goes into the box's details.
QString fileUnreadable();
// Why a file of neither a model nor channel settings is not shown.
QString notQuestionnaire();
// The same for a name that is not UTF-8, which no file name of Qt's can carry unchanged.
QString fileNameNotUtf8();

// A save that had to rewrite the file in place says so: a crash meanwhile would have mixed it.
QString fileSaved(bool inPlace = false);
QString dataVersion(const QString &version); // "Версия данных: 4e"

} // namespace qsjuv::texts
