#pragma once

#include "core/QuestionnaireSummary.h"

class QByteArray;
class QPagedPaintDevice;

namespace qsjuv {

// The summary on one A4 page of device, which must not be painted on yet. False when the
// device cannot be painted on (a printer that failed to start, say).
bool renderSummary(const Summary &summary, QPagedPaintDevice &device);

// The summary as the bytes of a one-page PDF; empty when rendering failed.
QByteArray summaryPdf(const Summary &summary);

} // namespace qsjuv
