#pragma once

#include "core/Questionnaire.h"
#include "core/QuestionnaireSummary.h"

#include <QMessageBox>
#include <QWidget>

#include <memory>

class QAction;
class QFileDialog;
class QLabel;
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

    // The commands of the buttons and the menu.
    void load();
    void save();
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

    // The file dialogs, built on first use and kept.
    QFileDialog *openDialog();
    QFileDialog *saveDialog();
    QFileDialog *pdfDialog();
    QMenu *contextMenu() const { return m_contextMenu; }

    // The answer the next message box gives without being shown; for tests and scripts.
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
    // The gate every output passes: the corrections leaving each field makes, then the save's
    // refusals; nullopt (after the refusal's message) when the questionnaire cannot go out.
    std::optional<qsjuv::Questionnaire> outputValue();
    void showRefusal(const qsjuv::SaveRefusal &refusal);
    // Asks before replacing, refuses what is not a file, writes atomically and reports failures;
    // the success message once the bytes are in place.
    std::optional<QString> writeConfirmed(const QString &path, const QByteArray &bytes);
    // Asked before a file's contents replace unsaved changes.
    bool mayDiscardChanges();
    int execFileDialog(QFileDialog *dialog, bool remember, const QString &offered = QString());
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
    QMenu *m_contextMenu = nullptr, *m_recentMenu = nullptr;
    QFileDialog *m_openDialog = nullptr, *m_saveDialog = nullptr, *m_pdfDialog = nullptr;
    QString m_caption;
};
