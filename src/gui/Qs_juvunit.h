#pragma once

#include "gui/ChannelControls.h"
#include "core/DeviceModel.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeLimits.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace qsjuv {
struct QuestionnaireRead;
struct QuestionnaireSettings;
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
    static constexpr int kCharMapSize = 20;

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

    bool isModified() const { return m_modified; }

    // The file dialogs, built on first use (OpenDialog/SaveDialog stay null until then).
    QFileDialog *openDialog();
    QFileDialog *saveDialog();
    QFileDialog *pdfDialog();

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
    void bindEvents();
    void ResetChannels();
    int channelOf(QObject *sender, QObject *channel2Control) const;
    bool isSeries610() const;
    const qsjuv::DeviceModel *currentModel() const;
    void comboTextEdited(QComboBox *combo, const QString &text);
    // Dynamic property of a combo: the entry it showed before typed text took its selection.
    static constexpr const char *kEntryBeforeTyping = "qs_juvEntryBeforeTyping";
    void repairSelections();
    bool applyConfiguration(const qsjuv::QuestionnaireRead &read);
    qsjuv::QuestionnaireSettings questionnaireSettings() const;
    // Asks before replacing, refuses what is not a file, writes atomically and reports failures;
    // true once the bytes are in place.
    bool writeConfirmed(const QString &path, const std::function<QByteArray()> &content);
    bool mayDiscardChanges();
    void bindDesktop();
    // Runs a file dialog in the folder used last; an accepted one remembers its folder.
    int execFileDialog(QFileDialog *dialog, bool remember = true);

    // Message boxes titled with the caption; the return is the QMessageBox::StandardButton.
    // An error about a file names it and the reason under the text, where the user looks.
    int question(const QString &text);
    void warning(const QString &text);
    void error(const QString &text, const QString &path = QString(), const QString &reason = QString());
    void information(const QString &text);

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
    QFileDialog *OpenDialog = nullptr, *SaveDialog = nullptr, *PdfDialog = nullptr;
    QAction *PrintAction = nullptr, *PdfAction = nullptr;

private:
    bool m_modified = false;
    bool m_activated = false;
    std::unique_ptr<std::vector<qsjuv::DeviceModel>> m_models;
    std::array<std::unique_ptr<std::array<std::uint8_t, kCharMapSize>>, 2> m_charIndexMap;
    std::array<const qsjuv::RangeLimits *, 2> m_selectedRange{};
    std::array<QString, 2> m_channelSection;
    std::array<ChannelControls, 2> m_channels;
};
