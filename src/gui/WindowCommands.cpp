// The window's commands: load, save, PDF and print through one gate, the file dialogs, the
// message boxes, the context menu and drops.
#include "gui/ChannelEditor.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/Hints.h"
#include "gui/QuestionnaireDocument.h"
#include "gui/QuestionnaireEditor.h"
#include "gui/QuestionnaireWindow.h"
#include "gui/SummaryDocument.h"
#include "gui/UserSettings.h"
#include "ui_QuestionnaireWindow.h"
#include "core/QuestionnaireFormat.h"
#include "core/Requisites.h"
#include "core/SafeRead.h"
#include "core/PathText.h"
#include "core/Texts.h"
#include "core/UserState.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QUndoStack>

using namespace Qt::StringLiterals;

void QuestionnaireWindow::setNextAnswer(QMessageBox::StandardButton answer)
{
    MessageBox::setNextAnswer(answer);
}

int QuestionnaireWindow::showBox(QMessageBox::Icon icon, const QString &text, const QString &informative,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return MessageBox::show(this, icon, m_caption, text, informative, buttons, defaultButton);
}

int QuestionnaireWindow::question(const QString &text)
{
    return showBox(QMessageBox::Question, text, QString(), QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

namespace {
// What an error about a file says under its text, where the user looks.
QString fileDetails(const QString &path, const QString &reason)
{
    QStringList lines;
    if (!path.isEmpty())
        lines << u"Файл: %1"_s.arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        lines << u"Причина: %1"_s.arg(reason);
    return lines.join(u'\n');
}
} // namespace

void QuestionnaireWindow::error(const QString &text, const QString &path, const QString &reason)
{
    showBox(QMessageBox::Critical, text, fileDetails(path, reason));
}

void QuestionnaireWindow::showNameNotUtf8()
{
    error(qsjuv::texts::fileNameNotUtf8());
}

bool QuestionnaireWindow::mayDiscardFor(const QString &text)
{
    commitTyping();
    return !isModified() || question(text) == QMessageBox::Yes;
}

bool QuestionnaireWindow::mayDiscardChanges()
{
    return mayDiscardFor(u"Внесенные вами изменения не сохранены в файле. При считывании данных из файла "
                         "эти изменения будут утеряны.\nВы действительно хотите считать данные из файла?"_s);
}

void QuestionnaireWindow::newQuestionnaire()
{
    if (!mayDiscardFor(u"Внесенные вами изменения не сохранены в файле. При создании нового опросного листа "
                       "эти изменения будут утеряны.\nВы действительно хотите начать новый опросный лист?"_s))
        return;
    showValue(qsjuv::defaultQuestionnaire());
    m_document->setUnsaved(QString(), m_editor->questionnaire());
    m_document->recordChange(m_editor->questionnaire());
    m_dataPanel->clear();
    showModified();
}

void QuestionnaireWindow::load()
{
    if (!mayDiscardChanges())
        return;
    // A kept dialog decides whether "Open" is enabled only when the typed name changes, so the
    // name of a file that has appeared since would stay greyed; setting the mode decides afresh.
    openDialog()->setFileMode(QFileDialog::ExistingFile);
    if (const std::optional<QString> path = FileDialog::run(openDialog(), true, currentFile()))
        loadFile(*path);
}

bool QuestionnaireWindow::loadFile(const QString &path)
{
    commitTyping();
    // Whatever the file now holds, the user learns first where its old content is.
    if (const std::optional<QString> interrupted = QuestionnaireDocument::interruptedSave(path))
        showBox(QMessageBox::Warning, *interrupted, fileDetails(path, QString()));
    const QuestionnaireDocument::Opened opened = QuestionnaireDocument::open(path, m_editor->questionnaire());
    if (!opened.loaded) {
        error(qsjuv::texts::fileUnreadable(), path, opened.reason);
        return false;
    }
    showValue(opened.loaded->value);
    if (!opened.loaded->warning)
        m_dataPanel->setText(qsjuv::texts::dataVersion(opened.loaded->version));
    // What is shown now is the file, whether or not it warns; the load is one step.
    m_document->setStored(path, m_editor->questionnaire());
    m_document->recordChange(m_editor->questionnaire());
    showModified();
    // Said where it does not stop the user: each window asks before saving over the other's save.
    if (m_document->openElsewhere())
        m_ui->StatusBar->showMessage(u"Этот опросный лист уже открыт в другом окне программы"_s, 30000);
    if (opened.loaded->warning)
        showBox(QMessageBox::Warning,
                u"Файл содержит некорректные данные!\nКонфигурация из файла считана, при этом некорректные "
                "данные, по возможности, исправлены.\nРекомендуется проверить, что опросный лист содержит "
                "данные, соответствующие вашему заказу, и сохранить файл заново."_s,
                fileDetails(path, QString()));
    return true;
}

std::optional<qsjuv::Questionnaire> QuestionnaireWindow::outputValue()
{
    m_editor->finishTyping();
    commitTyping();
    qsjuv::Questionnaire value = m_editor->questionnaire();
    // What the file will hold: no control characters, no blanks at the ends of a requisite.
    for (const qsjuv::Requisite r : qsjuv::kRequisites) {
        QString &text = r == qsjuv::Requisite::Firm ? value.firm
                : r == qsjuv::Requisite::Phone      ? value.phone
                : r == qsjuv::Requisite::Mail       ? value.mail
                                                    : value.bill;
        text = qsjuv::normalizedRequisite(text);
    }
    const std::vector<qsjuv::SaveRefusal> refusals = qsjuv::saveRefusals(value);
    if (!refusals.empty()) {
        showModified();
        showRefusal(refusals.front());
        return std::nullopt;
    }
    value = qsjuv::withDefaultEntries(value);
    showValue(value);
    m_document->recordChange(value);
    showModified();
    return value;
}

void QuestionnaireWindow::showRefusal(const qsjuv::SaveRefusal &refusal)
{
    QString why;
    if (refusal.kind == qsjuv::SaveRefusal::RangeNotNumber || refusal.kind == qsjuv::SaveRefusal::RangeTooNarrow)
        why = u"%1 канал. "_s.arg(refusal.channel + 1) + m_editor->channel(refusal.channel).rangeRefusal();
    showBox(QMessageBox::Warning, qsjuv::texts::saveRefusal(refusal), why);
    QWidget *fault = m_editor->focusFor(refusal);
    if (fault && fault->isEnabled()) {
        // Where no window manager hands the focus back once the box is gone.
        activateWindow();
        fault->setFocus(Qt::OtherFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(fault))
            edit->selectAll();
    }
}

void QuestionnaireWindow::save()
{
    saveTo(false);
}

void QuestionnaireWindow::saveAs()
{
    saveTo(true);
}

void QuestionnaireWindow::saveTo(bool askForExisting)
{
    const std::optional<qsjuv::Questionnaire> value = outputValue();
    if (!value)
        return;
    const std::optional<QString> chosen = FileDialog::run(saveDialog(), true, currentFile());
    if (!chosen)
        return;
    const QString path = *chosen;
    const std::optional<QString> saved = writeConfirmed(path, qsjuv::writeQuestionnaire(*value).bytes,
                                                        askForExisting ? Output::SaveAs : Output::Save);
    if (!saved)
        return;
    m_document->setStored(path, *value);
    showModified();
    showBox(QMessageBox::Information, *saved);
}

std::optional<QString> QuestionnaireWindow::writeConfirmed(const QString &path, const QByteArray &bytes, Output output)
{
    const QString writeFailed = u"Не удалось сохранить данные в файле. Возможно, диск защищен от записи."_s;
    QString reason;
    switch (QuestionnaireDocument::probe(path, &reason)) {
    case QuestionnaireDocument::Target::NotRegular:
        error(writeFailed, path, reason);
        return std::nullopt;
    case QuestionnaireDocument::Target::Exists: {
        // The file being edited is saved again without a question unless another program or
        // window changed it since; any other is replaced only after a Yes.
        const bool own = output == Output::Save && m_document->isCurrentFile(path);
        const bool asked = own ? m_document->changedOnDisk() : output != Output::Summary;
        const QString text = own ? u"Файл изменен на диске после того, как был открыт или записан в этом окне "
                                   "(другой программой или другим окном).\nВы действительно хотите заменить "
                                   "его содержимое данными этого окна?"_s
                                 : u"Указанный файл уже существует.\n"
                                   "Вы действительно хотите заменить его содержимое новыми данными?"_s;
        if (asked && showBox(QMessageBox::Question, text, own ? fileDetails(path, QString()) : QString(),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                    != QMessageBox::Yes) {
            m_ui->StatusBar->showMessage(u"Не записано"_s, 10000);
            return std::nullopt;
        }
        break;
    }
    case QuestionnaireDocument::Target::Missing:
        break;
    }
    // The copy an interrupted save left goes with the next one: the user hears of it first.
    if (const std::optional<QString> interrupted = QuestionnaireDocument::interruptedSave(path))
        showBox(QMessageBox::Warning, *interrupted, fileDetails(path, QString()));
    const QuestionnaireDocument::Written written = QuestionnaireDocument::write(path, bytes);
    if (!written.saved) {
        error(writeFailed, path, written.reason);
        return std::nullopt;
    }
    return qsjuv::texts::fileSaved(written.inPlace);
}

// The open file's name with .pdf, in its folder; a new questionnaire is offered qs_juv.pdf.
QString QuestionnaireWindow::pdfOffer() const
{
    if (currentFile().isEmpty())
        return QString();
    const QFileInfo file(currentFile());
    return file.absoluteDir().filePath(file.completeBaseName() + u".pdf"_s);
}

void QuestionnaireWindow::exportPdf()
{
    const std::optional<qsjuv::Questionnaire> value = outputValue();
    if (!value)
        return;
    // The PDF starts where questionnaires are kept but does not move that folder.
    const std::optional<QString> path = FileDialog::run(pdfDialog(), false, pdfOffer());
    if (!path || !mayReplaceWithSummary(*path))
        return;
    if (const std::optional<QString> saved =
                writeConfirmed(*path, qsjuv::summaryPdf(m_document->summary(*value, m_caption)), Output::Summary))
        showBox(QMessageBox::Information, *saved);
}

bool QuestionnaireWindow::mayReplaceWithSummary(const QString &path)
{
    if (m_document->isCurrentFile(path)) {
        error(u"Указанный файл — открытый в этом окне опросный лист, и документ для печати его не заменит. "
              "Укажите другое имя файла."_s,
              path);
        return false;
    }
    QString reason;
    if (QuestionnaireDocument::probe(path, &reason) == QuestionnaireDocument::Target::Exists
        && question(u"Указанный файл уже существует.\n"
                    "Вы действительно хотите заменить его содержимое новыми данными?"_s)
                != QMessageBox::Yes) {
        m_ui->StatusBar->showMessage(u"Не записано"_s, 10000);
        return false;
    }
    return true;
}

void QuestionnaireWindow::print()
{
    const std::optional<qsjuv::Questionnaire> value = outputValue();
    if (!value)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(u"qs_juv"_s);
    const QString offer = pdfOffer();
    printer.setOutputFileName(offer.isEmpty() ? QDir::current().filePath(u"qs_juv.pdf"_s) : offer);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(u"PrintDialog"_s);
    dialog.setWindowTitle(u"Печать опросного листа"_s);
    dialog.setMinMax(1, 2);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Printing to a file writes it directly: asked first, as the PDF is.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()
        && !mayReplaceWithSummary(printer.outputFileName()))
        return;
    if (!qsjuv::renderSummary(m_document->summary(*value, m_caption), printer)
        || printer.printerState() == QPrinter::Error)
        error(u"Не удалось напечатать опросный лист: принтер не принял задание."_s);
}

// The dialogs cost more to build than the rest of the form (icons, the MIME database, a folder
// watcher), so they wait for the first file command and are kept for the next.
namespace {
QFileDialog *kept(QFileDialog *&dialog, QWidget *owner, const qsjuv::FileDialogSetup &setup)
{
    if (!dialog)
        dialog = FileDialog::make(owner, setup);
    return dialog;
}
} // namespace

QFileDialog *QuestionnaireWindow::openDialog()
{
    return kept(m_openDialog, this, {u"OpenDialog"_s, u"Открыть опросный лист"_s, QFileDialog::AcceptOpen, u"cfg"_s,
                                     {u"Опросные листы (*.cfg)"_s, u"Все файлы (*)"_s}, u"qs_juv.cfg"_s});
}

QFileDialog *QuestionnaireWindow::saveDialog()
{
    return kept(m_saveDialog, this, {u"SaveDialog"_s, u"Сохранить опросный лист"_s, QFileDialog::AcceptSave, u"cfg"_s,
                                     {u"Опросные листы (*.cfg)"_s}, u"qs_juv.cfg"_s});
}

QFileDialog *QuestionnaireWindow::pdfDialog()
{
    return kept(m_pdfDialog, this, {u"PdfDialog"_s, u"Сохранить опросный лист в PDF"_s, QFileDialog::AcceptSave,
                                    u"pdf"_s, {u"Документы PDF (*.pdf)"_s}, u"qs_juv.pdf"_s});
}
