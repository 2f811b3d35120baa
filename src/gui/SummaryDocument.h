#pragma once

#include <QString>

#include <utility>
#include <vector>

class QByteArray;
class QPagedPaintDevice;

namespace qsjuv {

// A caption and the value the form shows for it.
using SummaryRow = std::pair<QString, QString>;

struct SummaryChannel
{
    QString title;
    std::vector<SummaryRow> rows;
};

// What a printed questionnaire shows, as texts the form already displays.
struct Summary
{
    QString title;
    QString date;
    std::vector<SummaryRow> device; // model and quantity
    std::vector<SummaryChannel> channels; // the shown channels only
    std::vector<SummaryRow> requisites;
    QString version;
    qint32 checkCode = 0;
};

// The summary on A4 pages of device, which must not be painted on yet: one page, its text
// shrunk a little if need be, or two for very long values. Every row shows at least the
// beginning of its value, long values wrapped. False when the device cannot be painted on (a
// printer that failed to start, say).
bool renderSummary(const Summary &summary, QPagedPaintDevice &device);

// The summary as the bytes of a PDF; empty when rendering failed.
QByteArray summaryPdf(const Summary &summary);

} // namespace qsjuv
