#pragma once

#include "core/QuestionnaireSummary.h"

class QByteArray;
class QPagedPaintDevice;

namespace qsjuv {

// The summary on A4 pages of device, which must not be painted on yet: one page, its text
// shrunk a little if need be, or two for very long values; then the verification points of
// every channel on a page of their own. Every row shows at least the
// beginning of its value, long values wrapped. False when the device cannot be painted on (a
// printer that failed to start, say).
bool renderSummary(const Summary &summary, QPagedPaintDevice &device);

// The summary as the bytes of a PDF; empty when rendering failed.
QByteArray summaryPdf(const Summary &summary);

} // namespace qsjuv
