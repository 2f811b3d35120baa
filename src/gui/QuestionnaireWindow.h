#pragma once

#include "core/Questionnaire.h"
#include "core/QuestionnaireSummary.h"

#include <QMessageBox>
#include <QByteArray>
#include <QWidget>

#include <QPointer>

#include <memory>

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QuestionnaireDocument;
class QuestionnaireEditor;
namespace Ui {
class QS_JUVForm;
}

// The program's one window: the questionnaire's controls (a QuestionnaireEditor over them), its
// file (a QuestionnaireDocument), and what a desktop window adds: file dialogs, message boxes,
// the context menu, shortcuts and drops. Every output — save, PDF, print — passes one gate.
class QuestionnaireWindow : public QWidget
{
    Q_OBJECT

public:
    explicit QuestionnaireWindow(QWidget *parent = nullptr);
    ~QuestionnaireWindow() override;

    qsjuv::Questionnaire questionnaire() const;
    void setQuestionnaire(const qsjuv::Questionnaire &questionnaire);
    // Loads path as the load command does once its dialog gave it: the command line, a drop and
    // the recent files come in here too. False when the file could not be read.
    bool loadFile(const QString &path);
    // Loads a file whose name is not UTF-8 by its bytes (command line, drop): QString cannot name
    // it, so the questionnaire shows unattached to a file and a save asks for another name.
    bool loadFileByName(const QByteArray &nativeName);

    // The commands of the buttons and the menu.
    void newQuestionnaire();
    void load();
    void save();
    void saveAs();
    void undo();
    void redo();
    void exportPdf();
    void print();
    void about();

    bool isModified() const;
    // The question before closing with unsaved changes; true when the window may close.
    bool mayClose();
    // The file last loaded or saved; empty for a new questionnaire.
    QString currentFile() const;
    // The program's caption: the title of every message box, whatever file the window shows.
    QString caption() const { return m_caption; }
    qsjuv::Summary summary() const;
    // The read error for a file whose name is not UTF-8 (command line, drop).
    void showNameNotUtf8();
    // At start: offers what a crashed window left unsaved; true when the user took it.
    bool offerRecovery();

    // The file dialogs, built on first use and kept.
    QFileDialog *openDialog();
    QFileDialog *saveDialog();
    QFileDialog *pdfDialog();
    QMenu *contextMenu() const { return m_contextMenu; }

    // The answer the next message box gives without being shown; for tests and scripts
    // (MessageBox::setNextAnswer).
    static void setNextAnswer(QMessageBox::StandardButton answer);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupLayout();
    void setCaptions();
    void markOptionalRequisites();
    void nameControls();
    void setupEntries();
    void setupStatusBar();
    void setupActions();
    void setupMenu();
    void showModified();
    // Program writes into the controls: no step of the history, no typing.
    void showValue(const qsjuv::Questionnaire &value);
    // The user changed something: a step now, or when the field being typed is finished.
    void noteEdit();
    void commitTyping();
    // The fields being typed finished, as leaving them would, and the value made a step: what a
    // command acts on and the history holds never has a number or list text the form corrects.
    void finishTyping();
    void saveTo(bool askForExisting);
    bool mayDiscardFor(const QString &question);
    // The gate every output passes: the corrections leaving each field makes, then the save's
    // refusals; nullopt (after the refusal's message) when the questionnaire cannot go out.
    std::optional<qsjuv::Questionnaire> outputValue();
    void showRefusal(const qsjuv::SaveRefusal &refusal);
    // Asks before replacing, refuses what is not a file, writes atomically and reports failures;
    // the success message once the bytes are in place.
    enum class Output { Save, SaveAs, Summary };
    std::optional<QString> writeConfirmed(const QString &path, const QByteArray &bytes, Output output);
    // Whether an output other than the questionnaire may go to path: never the questionnaire's
    // own file, an existing file only after a Yes.
    bool mayReplaceWithSummary(const QString &path);
    // Asked before a file's contents replace unsaved changes.
    bool mayDiscardChanges();
    QString pdfOffer() const;
    void rebuildRecentMenu();
    void openRecent(const QString &path);

    // Message boxes titled with the caption; the return is the QMessageBox::StandardButton.
    int showBox(QMessageBox::Icon icon, const QString &text, const QString &informative = QString(),
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
    int question(const QString &text);
    void error(const QString &text, const QString &path = QString(), const QString &reason = QString());

    std::unique_ptr<Ui::QS_JUVForm> m_ui;
    QuestionnaireEditor *m_editor = nullptr;
    QuestionnaireDocument *m_document = nullptr;
    QLabel *m_versionPanel = nullptr, *m_dataPanel = nullptr;
    QAction *m_printAction = nullptr, *m_pdfAction = nullptr, *m_aboutAction = nullptr, *m_helpAction = nullptr;
    QAction *m_newAction = nullptr, *m_saveAsAction = nullptr, *m_undoAction = nullptr, *m_redoAction = nullptr;
    QMenu *m_contextMenu = nullptr, *m_recentMenu = nullptr;
    QFileDialog *m_openDialog = nullptr, *m_saveDialog = nullptr, *m_pdfDialog = nullptr;
    QString m_caption;
    QPointer<QLineEdit> m_typing; // the field typed into whose change is not yet a step
    bool m_showing = false;
    bool m_commitQueued = false;
};
