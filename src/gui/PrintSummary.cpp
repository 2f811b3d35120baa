// The questionnaire on paper or in a PDF: what the form shows, on one page as a rule, whether or
// not it could be saved as it stands.
#include "gui/Qs_juvunit.h"
#include "gui/FileDialogs.h"
#include "gui/SummaryDocument.h"
#include "core/AtomicFile.h"
#include "core/Texts.h"

#include <QDate>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

qsjuv::Summary TQS_JUVForm::summary() const
{
    return qsjuv::questionnaireSummary(questionnaire(), m_caption, QDate::currentDate().toString(u"dd.MM.yyyy"_s));
}

QFileDialog *TQS_JUVForm::pdfDialog()
{
    if (!m_pdfDialog) {
        m_pdfDialog = qsjuv::makeFileDialog(this, {u"PdfDialog"_s, u"Сохранить опросный лист в PDF"_s,
                                                 QFileDialog::AcceptSave, u"pdf"_s, {u"Документы PDF (*.pdf)"_s},
                                                 u"qs_juv.pdf"_s});
    }
    m_pdfDialog->selectFile(u"qs_juv.pdf"_s);
    return m_pdfDialog;
}

void TQS_JUVForm::PrintActionExecute(QObject *)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(u"qs_juv"_s);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(u"PrintDialog"_s);
    dialog.setWindowTitle(u"Печать опросного листа"_s);
    dialog.setMinMax(1, 2);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!qsjuv::renderSummary(summary(), printer) || printer.printerState() == QPrinter::Error)
        error(u"Не удалось напечатать опросный лист: принтер не принял задание."_s);
}

void TQS_JUVForm::PdfActionExecute(QObject *)
{
    // The PDF starts where questionnaires are kept but does not move that folder.
    if (execFileDialog(pdfDialog(), false) != QDialog::Accepted)
        return;
    const QString path = m_pdfDialog->selectedFiles().value(0);

    const std::optional<QString> saved = writeConfirmed(path, [this] { return qsjuv::summaryPdf(summary()); });
    if (saved)
        information(*saved);
}
