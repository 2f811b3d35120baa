#pragma once

#include "gui/ChannelControls.h"
#include "core/DeviceModel.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;

namespace qsjuv {
struct ChannelRead;
struct LoadedQuestionnaire;
struct Questionnaire;
struct QuestionnaireRead;
struct SaveRefusal;
struct Summary;
}

namespace Ui {
class QS_JUVForm;
}

// The questionnaire form. Every handler takes the control that raised the event, so tests can
// call them as the toolkit would.
class TQS_JUVForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *kVersion = qsjuv::kProgramVersion;

    explicit TQS_JUVForm(QWidget *parent = nullptr);
    ~TQS_JUVForm() override;

    // Window events
    void FormActivate(QObject *Sender);
    void FormCloseQuery(QObject *Sender, bool &CanClose);
    void FormDestroy(QObject *Sender);

    // Cascade
    void DeviceComboChange(QObject *Sender);
    void SensorComboChange(QObject *Sender);
    void CharComboChange(QObject *Sender);
    void InputCheckClick(QObject *Sender);
    void ComboExit(QObject *Sender);

    // Validation
    bool CheckChannelRange(int channel);
    static QString FilterDigits(const QString &text);
    static void SetIntText(QWidget *control, int value);
    void MinMaxEditChange(QObject *Sender);
    void MinMaxEditExit(QObject *Sender);
    void QntyEditChange(QObject *Sender);
    void SimpleEditChange(QObject *Sender);

    // File commands
    void SaveButtonClick(QObject *Sender);
    void LoadButtonClick(QObject *Sender);
    bool ReadConfiguration(const QString &path);
    // Loads path as the load command does once its dialog gave it: the command line and a drop
    // come in here too.
    void loadFile(const QString &path);

    // Printed summary (context menu)
    void PrintActionExecute(QObject *Sender);
    void PdfActionExecute(QObject *Sender);
    qsjuv::Summary summary() const;

    // Context menu
    void AboutActionExecute(QObject *Sender);

    bool isModified() const { return m_modified; }
    // The file last loaded or saved; empty for a new questionnaire.
    QString currentFile() const { return m_currentFile; }
    // The program's caption: the title of every message box, whatever file the window shows.
    QString caption() const { return m_caption; }

    // The questionnaire the widgets show; the save, the summary and the close question read it.
    qsjuv::Questionnaire questionnaire() const;

    // The file dialogs, built on first use and kept.
    QFileDialog *openDialog();
    QFileDialog *saveDialog();
    QFileDialog *pdfDialog();

    // The read error for a file whose name is not UTF-8 (command line, drop).
    void showNameNotUtf8();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setupLayout();
    void setCaptions();
    void markOptionalRequisites();
    void nameControls();
    void setupEntries();
    void setupStatusBar();
    void correctRangesAsTyped();
    void bindEvents();
    void ResetChannels();
    int channelOf(QObject *sender, QObject *channel2Control) const;
    bool isSeries610() const;
    const qsjuv::DeviceModel *currentModel() const;
    // Channels the current model shows.
    int channelCount() const;
    void comboTextEdited(QComboBox *combo, const QString &text);
    // Dynamic property of a combo: the entry it showed before typed text took its selection.
    static constexpr const char *kEntryBeforeTyping = "qs_juvEntryBeforeTyping";
    void repairSelections();
    // A connection, nominal-resistance or output list gets the entry the cascade would give it;
    // false for any other list.
    bool selectCascadeDefault(QComboBox *combo);
    bool applyConfiguration(const qsjuv::QuestionnaireRead &read, const qsjuv::LoadedQuestionnaire &loaded);
    // A file of an unknown model: its channel keys as it names them, on the model shown.
    void showFileKeys(const qsjuv::ChannelRead &file, int channel);
    // Asks before replacing, refuses what is not a file, writes atomically and reports failures;
    // true once the bytes are in place.
    // The success message, or nullopt when nothing was written (the user was told why).
    std::optional<QString> writeConfirmed(const QString &path, const std::function<QByteArray()> &content);
    bool mayDiscardChanges();
    void bindDesktop();
    // Runs a file dialog in the folder used last, or in the folder of offered (a path) with its
    // name selected; an accepted one remembers its folder.
    int execFileDialog(QFileDialog *dialog, bool remember = true, const QString &offered = QString());
    void setModified(bool modified);
    // After a load or a save: the title names the file and the recent files list it first.
    void setCurrentFile(const QString &path);
    void rebuildRecentMenu();
    void openRecent(const QString &path);
    // loadFile, telling whether the file could be read.
    bool loadPath(const QString &path);
    // What a refused range lacks, in the form's words; empty while the range passes.
    QString rangeRefusal(int channel) const;
    void describeRange(int channel);

    // Message boxes titled with the caption; the return is the QMessageBox::StandardButton.
    // An error about a file names it and the reason under the text, where the user looks.
    int question(const QString &text);
    void warning(const QString &text);
    void error(const QString &text, const QString &path = QString(), const QString &reason = QString());
    void information(const QString &text);
    // A refused save: the warning, the why as its informative text, then the focus on the field
    // at fault.
    void refuse(const QString &text, const QString &why, QWidget *fault);
    void showRefusal(const qsjuv::SaveRefusal &refusal);

    std::unique_ptr<Ui::QS_JUVForm> ui;

public:
    // Controls, named as in the layout.
    QGroupBox *FirmGroupBox = nullptr;
    QLabel *FirmNameLabel = nullptr, *PhoneLabel = nullptr, *MailLabel = nullptr, *BillLabel = nullptr;
    QLineEdit *FirmNameEdit = nullptr, *PhoneEdit = nullptr, *MailEdit = nullptr, *BillEdit = nullptr;
    QLabel *DeviceLabel = nullptr, *QntyLabel = nullptr;
    QComboBox *DeviceCombo = nullptr;
    QLineEdit *QntyEdit = nullptr;
    class TUpDown *QntyUpDown = nullptr;
    QGroupBox *Ch1GroupBox = nullptr, *Ch2GroupBox = nullptr;
    QPushButton *LoadButton = nullptr, *SaveButton = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusBarPanel0 = nullptr, *StatusBarPanel1 = nullptr;
    QAction *PrintAction = nullptr, *PdfAction = nullptr, *AboutAction = nullptr;
    // Kept for the form's life: a screen reader ties each action to the first menu it is seen in.
    QMenu *ContextMenu = nullptr, *RecentMenu = nullptr;

private:
    QFileDialog *m_openDialog = nullptr, *m_saveDialog = nullptr, *m_pdfDialog = nullptr;
    bool m_modified = false;
    bool m_activated = false;
    int m_shownModel = 0; // the model the channels were last laid out for
    // The sensor type whose characteristics a channel's list holds.
    std::array<qsjuv::SensorType, 2> m_charListType{qsjuv::kSensorRtd, qsjuv::kSensorRtd};
    std::array<const qsjuv::RangeLimits *, 2> m_selectedRange{};
    std::array<bool, 2> m_checkingRange{};
    // The min edit whose own keystroke is being checked: its minimum is not held to the limit yet.
    const QLineEdit *m_typedMinEdit = nullptr;
    std::array<ChannelControls, 2> m_channels;
    QString m_caption;
    QString m_currentFile;
};
