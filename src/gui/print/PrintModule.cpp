// The print dialog and the printer, in a module of their own: see gui/PrintJob.h.
#include "gui/PrintJob.h"

#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace {
class PrinterJob final : public PrintJob
{
public:
    PrinterJob(const QString &docName, const QString &fileName) : m_printer(QPrinter::HighResolution)
    {
        m_printer.setDocName(docName);
        m_printer.setOutputFileName(fileName);
    }

    bool ask(QWidget *owner, const QString &title) override
    {
        QPrintDialog dialog(&m_printer, owner);
        dialog.setObjectName(u"PrintDialog"_s);
        dialog.setWindowTitle(title);
        dialog.setMinMax(1, 2);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        return dialog.exec() == QDialog::Accepted;
    }

    void printInto(const QString &path) override
    {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(path);
    }

    QString outputFile() const override
    {
        return m_printer.outputFormat() == QPrinter::PdfFormat ? m_printer.outputFileName() : QString();
    }

    QPagedPaintDevice &device() override { return m_printer; }
    bool failed() const override { return m_printer.printerState() == QPrinter::Error; }

private:
    QPrinter m_printer;
};
} // namespace

extern "C" Q_DECL_EXPORT PrintJob *qsjuv_print_job(const QString &docName, const QString &fileName)
{
    return new PrinterJob(docName, fileName);
}
