// The window's commands: load, save, PDF and print through one gate, the file dialogs, the
// message boxes, the context menu and drops.
#include "gui/ChannelEditor.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/PrintDialog.h"
#include "gui/PrintJob.h"
#include "gui/Hints.h"
#include "gui/QuestionnaireDocument.h"
#include "gui/QuestionnaireEditor.h"
#include "gui/QuestionnaireWindow.h"
#include "gui/SummaryDocument.h"
#include "gui/UserSettings.h"
#include "ui_QuestionnaireWindow.h"
#include "core/LockedChannels.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireLoad.h"
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
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QUndoStack>

#include <filesystem>

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
        lines << QCoreApplication::translate("QuestionnaireWindow", "Файл: %1").arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        lines << QCoreApplication::translate("QuestionnaireWindow", "Причина: %1").arg(reason);
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
    finishTyping();
    return !isModified() || question(text) == QMessageBox::Yes;
}

bool QuestionnaireWindow::mayDiscardChanges()
{
    return mayDiscardFor(tr("Внесенные вами изменения не сохранены в файле. При считывании данных из файла "
                         "эти изменения будут утеряны.\nВы действительно хотите считать данные из файла?"));
}

void QuestionnaireWindow::newQuestionnaire()
{
    if (!mayDiscardFor(tr("Внесенные вами изменения не сохранены в файле. При создании нового опросного листа "
                       "эти изменения будут утеряны.\nВы действительно хотите начать новый опросный лист?")))
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
    finishTyping();
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
        m_ui->StatusBar->showMessage(tr("Этот опросный лист уже открыт в другом окне программы"), 30000);
    if (opened.loaded->warning)
        showBox(QMessageBox::Warning,
                tr("Файл содержит некорректные данные!\nКонфигурация из файла считана, при этом некорректные "
                "данные, по возможности, исправлены.\nРекомендуется проверить, что опросный лист содержит "
                "данные, соответствующие вашему заказу, и сохранить файл заново."),
                fileDetails(path, QString()));
    else if (const qsjuv::Problem *locked = qsjuv::lockedRangeReplacement(opened.loaded->changes))
        showBox(QMessageBox::Warning,
                tr("Диапазон измерения выключенного канала, который нельзя изменить в форме, был некорректен и "
                "заменен.\nРекомендуется проверить опросный лист и сохранить файл заново."),
                fileDetails(path, tr("%1 канал. %2").arg(locked->channel).arg(locked->text)));
    return true;
}

bool QuestionnaireWindow::loadFileByName(const QByteArray &nativeName)
{
    finishTyping();
    const QString shown = qsjuv::displayPath(nativeName);
    qsjuv::FileError failure;
    const auto bytes = qsjuv::readRegularFile(std::filesystem::path(nativeName.toStdString()), &failure);
    if (!bytes) {
        error(qsjuv::texts::fileUnreadable(), shown, qsjuv::russianReason(failure));
        return false;
    }
    const qsjuv::LoadedQuestionnaire loaded =
            qsjuv::loadedQuestionnaire(qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes)), m_editor->questionnaire());
    showValue(loaded.value);
    m_document->setUnsaved(QString(), m_editor->questionnaire());
    m_document->recordChange(m_editor->questionnaire());
    m_dataPanel->clear();
    if (loaded.accepted)
        m_dataPanel->setText(qsjuv::texts::dataVersion(loaded.version));
    showModified();
    showBox(QMessageBox::Warning,
            tr("Опросный лист считан, но имя файла записано не в кодировке UTF-8, и сохранить его под этим "
            "именем нельзя: при сохранении укажите другое имя.")
                    + (loaded.accepted ? QString() : u"\n"_s + tr("Файл содержит некорректные данные, они по возможности исправлены.")),
            fileDetails(shown, QString()));
    return true;
}

std::optional<qsjuv::Questionnaire> QuestionnaireWindow::outputValue()
{
    finishTyping();
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
        why = tr("%1 канал. ").arg(refusal.channel + 1) + m_editor->channel(refusal.channel).rangeRefusal();
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
    const QString writeFailed = tr("Не удалось сохранить данные в файле. Возможно, диск защищен от записи.");
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
        const QString text = own ? tr("Файл изменен на диске после того, как был открыт или записан в этом окне "
                                   "(другой программой или другим окном).\nВы действительно хотите заменить "
                                   "его содержимое данными этого окна?")
                                 : tr("Указанный файл уже существует.\n"
                                   "Вы действительно хотите заменить его содержимое новыми данными?");
        if (asked && showBox(QMessageBox::Question, text, own ? fileDetails(path, QString()) : QString(),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                    != QMessageBox::Yes) {
            m_ui->StatusBar->showMessage(tr("Не записано"), 10000);
            return std::nullopt;
        }
        break;
    }
    case QuestionnaireDocument::Target::Missing:
        break;
    }
    // The copy an interrupted save left is kept read-only by the next one: the user hears where first.
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
        error(tr("Указанный файл — открытый в этом окне опросный лист, и документ для печати его не заменит. "
              "Укажите другое имя файла."),
              path);
        return false;
    }
    QString reason;
    if (QuestionnaireDocument::probe(path, &reason) == QuestionnaireDocument::Target::Exists
        && question(tr("Указанный файл уже существует.\n"
                    "Вы действительно хотите заменить его содержимое новыми данными?"))
                != QMessageBox::Yes) {
        m_ui->StatusBar->showMessage(tr("Не записано"), 10000);
        return false;
    }
    return true;
}

void QuestionnaireWindow::print()
{
    const std::optional<qsjuv::Questionnaire> value = outputValue();
    if (!value)
        return;
    const QString offer = pdfOffer();
    QString why;
    const std::unique_ptr<PrintJob> job = makePrintJob(
        u"qs_juv"_s, offer.isEmpty() ? QDir::current().filePath(u"qs_juv.pdf"_s) : offer, why);
    if (!job) {
        error(tr("Печать недоступна: не загружен модуль печати (%1).").arg(why));
        return;
    }
    if (const std::optional<QString> answer = PrintDialog::takeNextOutputFile()) {
        if (answer->isEmpty())
            return;
        job->printInto(*answer);
    } else if (!job->ask(this, tr("Печать опросного листа"))) {
        return;
    }
    // Printing to a file writes it directly: asked first, as the PDF is.
    if (!job->outputFile().isEmpty() && !mayReplaceWithSummary(job->outputFile()))
        return;
    if (!qsjuv::renderSummary(m_document->summary(*value, m_caption), job->device()) || job->failed())
        error(tr("Не удалось напечатать опросный лист: принтер не принял задание."));
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
    return kept(m_openDialog, this, {u"OpenDialog"_s, tr("Открыть опросный лист"), QFileDialog::AcceptOpen, u"cfg"_s,
                                     {tr("Опросные листы (*.cfg)"), tr("Все файлы (*)")}, u"qs_juv.cfg"_s});
}

QFileDialog *QuestionnaireWindow::saveDialog()
{
    return kept(m_saveDialog, this, {u"SaveDialog"_s, tr("Сохранить опросный лист"), QFileDialog::AcceptSave, u"cfg"_s,
                                     {tr("Опросные листы (*.cfg)")}, u"qs_juv.cfg"_s});
}

QFileDialog *QuestionnaireWindow::pdfDialog()
{
    return kept(m_pdfDialog, this, {u"PdfDialog"_s, tr("Сохранить опросный лист в PDF"), QFileDialog::AcceptSave,
                                    u"pdf"_s, {tr("Документы PDF (*.pdf)")}, u"qs_juv.pdf"_s});
}
