// The questionnaire on paper or in a PDF: what the form shows, on one page as a rule, whether or
// not it could be saved as it stands.
#include "gui/Qs_juvunit.h"
#include "gui/FileDialogs.h"
#include "gui/SummaryDocument.h"
#include "core/AtomicFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/Sensor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

qsjuv::Summary TQS_JUVForm::summary() const
{
    qsjuv::Summary result;
    result.title = m_caption;
    result.date = QDate::currentDate().toString(u"dd.MM.yyyy"_s);
    result.device = {{DeviceLabel->text(), DeviceCombo->currentText()}, {QntyLabel->text(), QntyEdit->text()}};

    // Rows the form hides for this sensor or model have no value.
    const auto shownText = [](const QComboBox *combo) { return combo->isHidden() ? QString() : combo->currentText(); };
    const int channelCount = Ch2GroupBox->isVisibleTo(this) ? 2 : 1;
    for (int c = 0; c < channelCount; ++c) {
        const ChannelControls &ch = m_channels[c];
        const int typeIndex = ch.sensorCombo->currentIndex();
        const char *unit = typeIndex < 0 ? nullptr : qsjuv::unitText(qsjuv::sensorTypeOfIndex(typeIndex));
        const QString range = u"от %1 до %2 %3"_s.arg(ch.minEdit->text(), ch.maxEdit->text(),
                                                      unit ? QString::fromUtf8(unit) : QString());
        result.channels.push_back(
                {(c == 0 ? Ch1GroupBox : Ch2GroupBox)->title().trimmed(),
                 {{u"Вход"_s, ch.inputCheck->checkState() == Qt::Checked ? u"включен"_s : u"отключен"_s},
                  {ch.sensorLabel->text(), ch.sensorCombo->currentText()},
                  {ch.charLabel->text(), ch.charCombo->currentText()},
                  {u"Диапазон измерения"_s, range.trimmed()},
                  {ch.connLabel->text(), shownText(ch.connCombo)},
                  {ch.nomRLabel->text(), shownText(ch.nomRCombo)},
                  {ch.outputLabel->text(), shownText(ch.outputCombo)}}});
    }

    result.requisites = {{FirmNameLabel->text(), FirmNameEdit->text()},
                         {PhoneLabel->text(), PhoneEdit->text()},
                         {MailLabel->text(), MailEdit->text()},
                         {BillLabel->text(), BillEdit->text()}};
    result.version = QLatin1StringView(kVersion);
    result.checkCode = qsjuv::writeQuestionnaire(questionnaireSettings()).checkCode;
    return result;
}

QFileDialog *TQS_JUVForm::pdfDialog()
{
    if (!PdfDialog) {
        PdfDialog = qsjuv::makeFileDialog(this, {u"PdfDialog"_s, u"Сохранить опросный лист в PDF"_s,
                                                 QFileDialog::AcceptSave, u"pdf"_s, {u"Документы PDF (*.pdf)"_s},
                                                 u"qs_juv.pdf"_s});
    }
    PdfDialog->selectFile(u"qs_juv.pdf"_s);
    return PdfDialog;
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
    const QString path = PdfDialog->selectedFiles().value(0);

    if (!writeConfirmed(path, [this] { return qsjuv::summaryPdf(summary()); }))
        return;
    information(u"Файл успешно сохранен."_s);
}
