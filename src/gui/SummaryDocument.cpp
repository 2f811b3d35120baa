#include "gui/SummaryDocument.h"

#include "core/Texts.h"

#include <QCoreApplication>
#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

// Edits have no length limit; paper does. Longer values are cut with an ellipsis, so that the
// summary never needs more than two pages.
constexpr qsizetype kMaxValueLength = 1000;
// Smaller than this is hard to read on paper: the summary goes on to a second page instead.
constexpr qreal kLargestPointSize = 10;
constexpr qreal kSmallestPointSize = 8;

QString cell(const QString &text)
{
    const QString shown = text.size() > kMaxValueLength ? text.left(kMaxValueLength) + u'…' : text;
    return shown.isEmpty() ? u"—"_s : shown.toHtmlEscaped();
}

void appendRows(QString &html, const std::vector<SummaryRow> &rows)
{
    for (const auto &[caption, value] : rows)
        html += u"<tr><td width=\"40%\">%1</td><td>%2</td></tr>"_s.arg(caption.toHtmlEscaped(), cell(value));
}

void appendSection(QString &html, const QString &title, const std::vector<SummaryRow> &rows)
{
    html += u"<h3>%1</h3><table width=\"100%\" cellspacing=\"0\" cellpadding=\"3\" border=\"1\" "
            "style=\"border-collapse: collapse;\">"_s.arg(title.toHtmlEscaped());
    appendRows(html, rows);
    html += u"</table>"_s;
}

QString summaryHtml(const Summary &summary)
{
    QString html = QCoreApplication::translate("SummaryDocument", "<html><body><h2 align=\"center\">%1</h2><p align=\"right\">Дата: %2</p>").arg(
            summary.title.toHtmlEscaped(), summary.date.toHtmlEscaped());
    appendSection(html, QCoreApplication::translate("SummaryDocument", "Изделия"), summary.device);
    for (const SummaryChannel &channel : summary.channels)
        appendSection(html, channel.title, channel.rows);
    appendSection(html, QCoreApplication::translate("SummaryDocument", "Реквизиты"), summary.requisites);
    html += QCoreApplication::translate("SummaryDocument", "<p>Версия данных: %1<br>Контрольный код: %2</p></body></html>").arg(
            summary.version.toHtmlEscaped(), QString::number(summary.checkCode));
    return html;
}

// The lab's sheet: a table per channel, the last column left for the value measured.
QString pointsHtml(const Summary &summary)
{
    QString html = QCoreApplication::translate("SummaryDocument", "<html><body><h2 align=\"center\">Точки поверки</h2><p align=\"center\">%1</p>").arg(
            summary.device.empty() ? QString() : summary.device.front().second.toHtmlEscaped());
    for (const ChannelPoints &channel : summary.points) {
        QString title = texts::channelTitle(channel.channel) + u": "_s + channel.characteristic;
        if (channel.nominalR)
            title += QCoreApplication::translate("SummaryDocument", ", R0 = %1 Ом").arg(*channel.nominalR);
        if (!channel.outputMode.isEmpty())
            title += QCoreApplication::translate("SummaryDocument", ", выход %1").arg(channel.outputMode);
        html += u"<h3>%1</h3>"_s.arg(title.toHtmlEscaped());
        if (channel.points.empty()) {
            html += QCoreApplication::translate("SummaryDocument", "<p>Точек нет: %1.</p>").arg(missingPointsText(channel.missing).toHtmlEscaped());
            continue;
        }
        html += QCoreApplication::translate("SummaryDocument", "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"4\" border=\"1\" "
                "style=\"border-collapse: collapse;\"><tr><th>%</th><th>Значение, %1</th><th>Сигнал на входе, %2</th>"
                "<th>Ожидаемый выход, %3</th><th width=\"25%\">Измеренное значение, %3</th></tr>").arg(
                        channel.valueUnit.toHtmlEscaped(), channel.signalUnit.toHtmlEscaped(),
                        channel.outputUnit.toHtmlEscaped());
        for (const VerificationPoint &point : channel.points)
            html += u"<tr><td align=\"right\">%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td>"
                    "<td align=\"right\">%4</td><td></td></tr>"_s.arg(QString::number(point.percent),
                            pointValueText(point.value), signalText(point.signal), outputText(channel, point));
        html += u"</table>"_s;
    }
    return html + u"</body></html>"_s;
}

// A document laid out for the device's pages, its text at the largest size that keeps it on
// `pages` pages, down to the smallest readable one.
void layOut(QTextDocument &document, QPagedPaintDevice &device, const QString &html, int pages)
{
    // Laid out for the device's resolution, not the screen's: point sizes keep their size.
    document.documentLayout()->setPaintDevice(&device);
    // A value without blanks (a long name typed as one word) is broken anywhere rather than
    // widening the table past the page, which pushed the check code off it.
    QTextOption wrapping = document.defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(wrapping);
    document.setPageSize(device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    QFont font(u"Liberation Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    for (qreal size = kLargestPointSize; size >= kSmallestPointSize; size -= 0.5) {
        font.setPointSizeF(size);
        document.setDefaultFont(font);
        document.setHtml(html);
        if (document.pageCount() <= pages)
            break;
    }
}

// Draws every page of the document, the first on a new page unless it is the device's first.
bool draw(QTextDocument &document, QPainter &painter, QPagedPaintDevice &device, bool first)
{
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    bool drawn = true;
    for (int i = 0; i < document.pageCount() && drawn; ++i) {
        drawn = (first && i == 0) || device.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, i * page.height()), page.size()));
        painter.restore();
    }
    return drawn;
}

} // namespace

bool renderSummary(const Summary &summary, QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    QTextDocument document;
    layOut(document, device, summaryHtml(summary), 1);
    QTextDocument sheet;
    layOut(sheet, device, pointsHtml(summary), 1);
    const bool drawn = draw(document, painter, device, true) && draw(sheet, painter, device, false);
    return painter.end() && drawn;
}

QByteArray summaryPdf(const Summary &summary)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(summary.title);
        writer.setCreator(u"qs_juv"_s);
        if (!renderSummary(summary, writer))
            return {};
    }
    return buffer.data();
}

} // namespace qsjuv
