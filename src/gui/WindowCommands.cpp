// The window's commands: load, save, PDF and print through one gate, the file dialogs, the
// message boxes, the context menu and drops.
#include "gui/ChannelEditor.h"
#include "gui/FileDialogs.h"
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
#include "core/Texts.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>

#include <deque>

using namespace Qt::StringLiterals;

namespace {
constexpr char kLastFolderKey[] = "dialogs/lastFolder";
constexpr char kDialogSizeKey[] = "dialogs/size";

std::deque<QMessageBox::StandardButton> &nextAnswers()
{
    static std::deque<QMessageBox::StandardButton> answers;
    return answers;
}
} // namespace

void QuestionnaireWindow::setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswers().push_back(answer);
}

int QuestionnaireWindow::showBox(QMessageBox::Icon icon, const QString &text, const QString &informative,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    if (!nextAnswers().empty()) {
        const QMessageBox::StandardButton answer = nextAnswers().front();
        nextAnswers().pop_front();
        return answer;
    }
    QMessageBox box(icon, m_caption, text, buttons, this);
    box.setDefaultButton(defaultButton);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    return box.exec();
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

bool QuestionnaireWindow::mayDiscardChanges()
{
    return !isModified()
            || question(u"Внесенные вами изменения не сохранены в файле. При считывании данных из файла "
                        "эти изменения будут утеряны.\nВы действительно хотите считать данные из файла?"_s)
            == QMessageBox::Yes;
}

void QuestionnaireWindow::load()
{
    if (!mayDiscardChanges())
        return;
    // A kept dialog decides whether "Open" is enabled only when the typed name changes, so the
    // name of a file that has appeared since would stay greyed; setting the mode decides afresh.
    openDialog()->setFileMode(QFileDialog::ExistingFile);
    if (execFileDialog(openDialog(), true) != QDialog::Accepted)
        return;
    loadFile(openDialog()->selectedFiles().value(0));
}

bool QuestionnaireWindow::loadFile(const QString &path)
{
    // Whatever the file now holds, the user learns first where its old content is.
    if (const std::optional<QString> interrupted = QuestionnaireDocument::interruptedSave(path))
        showBox(QMessageBox::Warning, *interrupted, fileDetails(path, QString()));
    const QuestionnaireDocument::Opened opened = QuestionnaireDocument::open(path, m_editor->questionnaire());
    if (!opened.loaded) {
        error(qsjuv::texts::fileUnreadable(), path, opened.reason);
        return false;
    }
    m_editor->setQuestionnaire(opened.loaded->value);
    if (opened.loaded->accepted)
        m_dataPanel->setText(qsjuv::texts::dataVersion(opened.loaded->version));
    // What is shown now is the file, whether or not it warns.
    m_document->setStored(path, m_editor->questionnaire());
    showModified();
    if (!opened.loaded->accepted)
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
    m_editor->setQuestionnaire(value);
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
    const std::optional<qsjuv::Questionnaire> value = outputValue();
    if (!value)
        return;
    if (execFileDialog(saveDialog(), true, currentFile()) != QDialog::Accepted)
        return;
    const QString path = saveDialog()->selectedFiles().value(0);
    const std::optional<QString> saved = writeConfirmed(path, qsjuv::writeQuestionnaire(*value).bytes);
    if (!saved)
        return;
    m_document->setStored(path, *value);
    showModified();
    showBox(QMessageBox::Information, *saved);
}

std::optional<QString> QuestionnaireWindow::writeConfirmed(const QString &path, const QByteArray &bytes)
{
    const QString writeFailed = u"Не удалось сохранить данные в файле. Возможно, диск защищен от записи."_s;
    QString reason;
    switch (QuestionnaireDocument::probe(path, &reason)) {
    case QuestionnaireDocument::Target::NotRegular:
        error(writeFailed, path, reason);
        return std::nullopt;
    case QuestionnaireDocument::Target::Exists:
        // The file being edited is saved again without a question; any other is replaced only
        // after a Yes.
        if (QFileInfo(path).absoluteFilePath() != currentFile()
            && question(u"Указанный файл уже существует.\n"
                        "Вы действительно хотите заменить его содержимое новыми данными?"_s)
                    != QMessageBox::Yes) {
            m_ui->StatusBar->showMessage(u"Не записано"_s, 10000);
            return std::nullopt;
        }
        break;
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
    if (execFileDialog(pdfDialog(), false, pdfOffer()) != QDialog::Accepted)
        return;
    const QString path = pdfDialog()->selectedFiles().value(0);
    if (const std::optional<QString> saved = writeConfirmed(path, qsjuv::summaryPdf(m_document->summary(*value, m_caption))))
        showBox(QMessageBox::Information, *saved);
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
        dialog = qsjuv::makeFileDialog(owner, setup);
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

int QuestionnaireWindow::execFileDialog(QFileDialog *dialog, bool remember, const QString &offered)
{
    const std::unique_ptr<QSettings> settings = qsjuv::userSettings();
    const QString folder = settings ? settings->value(QLatin1StringView(kLastFolderKey)).toString() : QString();
    // A folder that cannot be listed would show as empty: it counts as gone.
    const QFileInfo remembered(folder);
    const bool usable = !folder.isEmpty() && remembered.isDir() && remembered.isReadable() && remembered.isExecutable();
    QDir start(usable ? folder : u"."_s);
    const QFileInfo offeredFile(offered);
    if (!offered.isEmpty() && offeredFile.absoluteDir().exists())
        start = offeredFile.absoluteDir();
    if (dialog->directory().absolutePath() != start.absolutePath())
        dialog->setDirectory(start);
    if (settings && settings->contains(QLatin1StringView(kDialogSizeKey)))
        dialog->resize(settings->value(QLatin1StringView(kDialogSizeKey)).toSize().expandedTo(QSize(720, 480)));
    else
        dialog->resize(720, 480);
    // The offered name, selected so that typing replaces it; nothing typed into a cancelled run
    // comes back, and a list selection left from the last run would win over the name.
    if (auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)) {
        for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>())
            if (view->selectionModel())
                view->clearSelection();
        name->setText(offered.isEmpty() ? dialog->property("qs_juvDefaultName").toString() : offeredFile.fileName());
        name->selectAll();
    }
    const int result = dialog->exec();
    // Its name-completion list would stay over the form and take the next keys.
    if (auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s); name && name->completer()
        && name->completer()->popup())
        name->completer()->popup()->hide();
    if (settings && dialog->size() != settings->value(QLatin1StringView(kDialogSizeKey)).toSize())
        qsjuv::storeUserSetting(QLatin1StringView(kDialogSizeKey), dialog->size());
    if (result == QDialog::Accepted && remember) {
        const QString chosen = dialog->selectedFiles().value(0);
        const QString used = QFileInfo(chosen).absolutePath();
        if (settings && !chosen.isEmpty() && used != folder)
            qsjuv::storeUserSetting(QLatin1StringView(kLastFolderKey), used);
    }
    return result;
}
