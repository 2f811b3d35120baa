#include "gui/QuestionnaireWindow.h"

#include "gui/Accessibility.h"
#include "gui/FormStyle.h"
#include "gui/Hints.h"
#include "gui/ListChoice.h"
#include "gui/MessageBox.h"
#include "gui/QuestionnaireDocument.h"
#include "gui/QuestionnaireEditor.h"
#include "gui/RecentFiles.h"
#include "gui/ScreenFit.h"
#include "gui/UpDown.h"
#include "gui/WindowIcon.h"
#include "ui_QuestionnaireWindow.h"
#include "core/PathText.h"
#include "core/QuestionnaireRules.h"
#include "core/SafeRead.h"
#include "core/Texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QToolTip>
#include <QUndoStack>

#include <filesystem>

#include <limits>

using namespace Qt::StringLiterals;

QuestionnaireWindow::QuestionnaireWindow(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::QS_JUVForm>())
{
    qsjuv::installAccessibleFactory();
    setupLayout();
    m_editor = new QuestionnaireEditor(*m_ui, this);
    const qsjuv::Questionnaire start = qsjuv::defaultQuestionnaire();
    m_editor->setQuestionnaire(start);
    m_document = new QuestionnaireDocument(m_editor->questionnaire(), this);
    connect(m_editor, &QuestionnaireEditor::edited, this, &QuestionnaireWindow::noteEdit);
    connect(m_document, &QuestionnaireDocument::currentFileChanged, this, &QuestionnaireWindow::showModified);
    connect(m_document, &QuestionnaireDocument::restored, this, [this](const qsjuv::Questionnaire &value) {
        showValue(value);
        showModified();
    });
    // A typed field becomes one step of the history when it is left. A change noted while the
    // focus moved (a list left empty takes its entry) is no typing of the field that has only
    // now taken the focus: a step of its own, before anything typed there.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (m_typing && (old == m_typing || now == m_typing))
            commitTyping();
    });
    connect(m_ui->LoadButton, &QPushButton::clicked, this, &QuestionnaireWindow::load);
    connect(m_ui->SaveButton, &QPushButton::clicked, this, &QuestionnaireWindow::save);
    setupActions();
    setupMenu();
    showModified();
}

QuestionnaireWindow::~QuestionnaireWindow()
{
    // The controls lose the focus as they go: nothing may then act on them through the editor,
    // nor hear their keys through the window.
    qApp->removeEventFilter(this);
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    m_showing = true;
    delete m_editor;
}

namespace {
QString formFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : {u"Liberation Sans"_s, u"Arial"_s}) {
        if (installed.contains(family))
            return family;
    }
    return u"Liberation Sans"_s; // the desktop's fonts say what stands in for it
}
} // namespace

void QuestionnaireWindow::setupLayout()
{
    // The fixed layout needs its own metrics whatever style the desktop would pick.
    FormStyle::install();

    // The layout was drawn for MS Sans Serif, which no Linux desktop has: a face of Arial's widths
    // keeps the captions inside their fixed boxes, any sans-serif face after that. One family, and
    // one that is installed: a missing face sends every font load through the toolkit's alias
    // search, and a second family makes each face look up its fallbacks before any text needs one.
    QFont font(formFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);
    QToolTip::setFont(font);

    // A new edit lays out its empty text in the application's face before it takes its parent's:
    // while the controls are made, the two are one, so no face is loaded only for that. Set below
    // the widgets, which neither hear of it nor lose the fonts the desktop gives their classes.
    const QFont applicationFont = QGuiApplication::font();
    QGuiApplication::setFont(font.resolve(applicationFont));
    m_ui->setupUi(this);
    makeEditable(findChildren<QComboBox *>());
    QGuiApplication::setFont(applicationFont);
    setObjectName(u"QS_JUVForm"_s);
    m_caption = windowTitle();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(533, 590);
    setWindowIcon(qsjuv::programIcon());

    setCaptions();
    markOptionalRequisites();
    nameControls();
    setupEntries();
    setupStatusBar();
}

void QuestionnaireWindow::setCaptions()
{
    using namespace qsjuv::texts;
    Ui::QS_JUVForm &ui = *m_ui;
    ui.FirmNameLabel->setText(requisiteCaption(qsjuv::Requisite::Firm));
    ui.PhoneLabel->setText(requisiteCaption(qsjuv::Requisite::Phone));
    ui.MailLabel->setText(requisiteCaption(qsjuv::Requisite::Mail));
    ui.BillLabel->setText(requisiteCaption(qsjuv::Requisite::Bill));
    ui.DeviceLabel->setText(modelCaption());
    ui.QntyLabel->setText(quantityCaption());
    // The blank keeps the title off the frame's corner, as the layout was drawn.
    ui.Ch1GroupBox->setTitle(channelTitle(0) + u' ');
    ui.Ch2GroupBox->setTitle(channelTitle(1) + u' ');
    for (const auto &[sensor, characteristic, connection, nominalR, output] :
         {std::tuple{ui.Ch1SensorLabel, ui.Ch1CharLabel, ui.Ch1ConnLabel, ui.Ch1NomRLabel, ui.Ch1OutputLabel},
          std::tuple{ui.Ch2SensorLabel, ui.Ch2CharLabel, ui.Ch2ConnLabel, ui.Ch2NomRLabel, ui.Ch2OutputLabel}}) {
        sensor->setText(channelCaption(ChannelField::SensorType));
        characteristic->setText(channelCaption(ChannelField::Characteristic));
        connection->setText(channelCaption(ChannelField::Connection));
        nominalR->setText(channelCaption(ChannelField::NominalR));
        output->setText(channelCaption(ChannelField::Output));
    }
}

void QuestionnaireWindow::markOptionalRequisites()
{
    Ui::QS_JUVForm &ui = *m_ui;
    // Grey captions and button-face edits mark the optional requisites. The grey is darker than
    // that of disabled text, so the captions stay readable and the edits do not look switched off.
    const QColor greyText = secondaryTextColour(palette());
    for (QLabel *label : {ui.PhoneLabel, ui.BillLabel}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::Active, QPalette::WindowText, greyText);
        pal.setColor(QPalette::Inactive, QPalette::WindowText, greyText);
        label->setPalette(pal);
    }
    for (QLineEdit *edit : {ui.PhoneEdit, ui.BillEdit}) {
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        edit->setPalette(pal);
    }
    const std::pair<QWidget *, QString> requisiteHints[] = {
        {ui.FirmNameLabel, tr("Обязательно для заполнения")},
        {ui.FirmNameEdit, tr("Укажите здесь название вашей фирмы")},
        {ui.PhoneLabel, tr("Заполнять не обязательно")},
        {ui.PhoneEdit, tr("Здесь можно указать телефонный номер для связи с вами")},
        {ui.MailLabel, tr("Обязательно для заполнения")},
        {ui.MailEdit, tr("Укажите здесь адрес электронной почты для связи с вами")},
        {ui.BillLabel, tr("Заполнять не обязательно")},
        {ui.BillEdit, tr("Если счет еще не был выставлен нашей фирмой, оставьте это поле пустым")},
    };
    for (const auto &[control, hint] : requisiteHints) {
        setHint(control, hint);
        setHintShown(control, true);
    }
    for (QComboBox *output : {ui.Ch1OutputCombo, ui.Ch2OutputCombo})
        setHint(output, tr("Режимы работы выхода с релейным модулем ЖУВ-930 поверке не подлежат"));
}

void QuestionnaireWindow::nameControls()
{
    Ui::QS_JUVForm &ui = *m_ui;
    // A caption names its control for screen readers: a buddy label names an edit (and follows
    // the range captions as they change); a combo would announce its value unless named.
    const std::pair<QLabel *, QWidget *> captions[] = {
        {ui.FirmNameLabel, ui.FirmNameEdit}, {ui.PhoneLabel, ui.PhoneEdit}, {ui.MailLabel, ui.MailEdit},
        {ui.BillLabel, ui.BillEdit}, {ui.DeviceLabel, ui.DeviceCombo}, {ui.QntyLabel, ui.QntyEdit},
        {ui.Ch1SensorLabel, ui.Ch1SensorCombo}, {ui.Ch1CharLabel, ui.Ch1CharCombo}, {ui.Ch1MaxLabel, ui.Ch1MaxEdit},
        {ui.Ch1MinLabel, ui.Ch1MinEdit}, {ui.Ch1ConnLabel, ui.Ch1ConnCombo}, {ui.Ch1NomRLabel, ui.Ch1NomRCombo},
        {ui.Ch1OutputLabel, ui.Ch1OutputCombo}, {ui.Ch2SensorLabel, ui.Ch2SensorCombo},
        {ui.Ch2CharLabel, ui.Ch2CharCombo}, {ui.Ch2MaxLabel, ui.Ch2MaxEdit}, {ui.Ch2MinLabel, ui.Ch2MinEdit},
        {ui.Ch2ConnLabel, ui.Ch2ConnCombo}, {ui.Ch2NomRLabel, ui.Ch2NomRCombo},
        {ui.Ch2OutputLabel, ui.Ch2OutputCombo}};
    for (const auto &[caption, control] : captions) {
        caption->setBuddy(control);
        if (auto *combo = qobject_cast<QComboBox *>(control)) {
            combo->setAccessibleName(caption->text());
            combo->lineEdit()->setAccessibleName(caption->text());
        }
    }
    ui.QntyUpDown->setAccessibleName(ui.QntyLabel->text());
    // The blanks that keep a group's caption off its frame are not part of its name.
    for (QGroupBox *group : findChildren<QGroupBox *>())
        group->setAccessibleName(group->title().trimmed());
    // The captions never take the focus: the edits say themselves whether they are required.
    const std::pair<QLineEdit *, QLabel *> descriptions[] = {
        {ui.FirmNameEdit, ui.FirmNameLabel}, {ui.PhoneEdit, ui.PhoneLabel}, {ui.MailEdit, ui.MailLabel},
        {ui.BillEdit, ui.BillLabel}};
    for (const auto &[edit, label] : descriptions)
        edit->setAccessibleDescription(label->toolTip() + u". "_s + edit->toolTip());
}

void QuestionnaireWindow::setupEntries()
{
    // Edits have no length limit.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(30);
    }
    m_ui->Ch1MaxUpDown->setThousands(false);
    // A Russian phone number with its blanks and brackets fits whole: the edit takes the free
    // space of its row up to the e-mail caption.
    m_ui->PhoneEdit->setFixedWidth(m_ui->MailLabel->x() - m_ui->PhoneEdit->x() - 5);
}

void QuestionnaireWindow::setupStatusBar()
{
    QStatusBar *bar = m_ui->StatusBar;
    bar->setSizeGripEnabled(false);
    bar->setAccessibleName(tr("Строка состояния"));
    // Panel 0 shows the program version for good; panel 1 the data version of a load.
    m_versionPanel = new QLabel(tr("Версия: %1").arg(QLatin1StringView(qsjuv::kProgramVersion)), bar);
    m_versionPanel->setObjectName(u"StatusBarPanel0"_s);
    m_versionPanel->setAlignment(Qt::AlignCenter);
    m_versionPanel->setFixedWidth(bar->width() / 3);
    m_dataPanel = new QLabel(bar);
    m_dataPanel->setObjectName(u"StatusBarPanel1"_s);
    m_dataPanel->setAlignment(Qt::AlignCenter);
    m_dataPanel->setFixedWidth(300);
    bar->addWidget(m_versionPanel);
    bar->addWidget(m_dataPanel);
}

qsjuv::Questionnaire QuestionnaireWindow::questionnaire() const
{
    return m_editor->questionnaire();
}

void QuestionnaireWindow::setQuestionnaire(const qsjuv::Questionnaire &questionnaire)
{
    if (!questionnaire.validModel())
        return;
    commitTyping();
    showValue(questionnaire);
    m_document->recordChange(m_editor->questionnaire());
    showModified();
}

void QuestionnaireWindow::showValue(const qsjuv::Questionnaire &value)
{
    const QScopedValueRollback showing(m_showing, true);
    m_editor->setQuestionnaire(value);
    m_typing = nullptr;
}

void QuestionnaireWindow::noteEdit()
{
    if (m_showing)
        return;
    auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (edit && edit->window() == this && !qobject_cast<QComboBox *>(edit->parentWidget())) {
        m_typing = edit;
        showModified();
        return;
    }
    // A choice cascades through many controls within one event: the step is what it leaves.
    if (!m_commitQueued) {
        m_commitQueued = true;
        QMetaObject::invokeMethod(
                this, [this] {
                    m_commitQueued = false;
                    commitTyping();
                },
                Qt::QueuedConnection);
    }
    showModified();
}

void QuestionnaireWindow::commitTyping()
{
    m_typing = nullptr;
    m_document->recordChange(m_editor->questionnaire());
    showModified();
}

void QuestionnaireWindow::finishTyping()
{
    m_editor->finishTyping();
    commitTyping();
}

void QuestionnaireWindow::undo()
{
    finishTyping();
    m_document->undoStack()->undo();
}

void QuestionnaireWindow::redo()
{
    finishTyping();
    m_document->undoStack()->redo();
}

bool QuestionnaireWindow::offerRecovery()
{
    for (const QByteArray &path : QuestionnaireDocument::recoveries()) {
        const auto bytes = qsjuv::readRegularFile(std::filesystem::path(path.toStdString()));
        const auto recovery = bytes ? qsjuv::readRecovery(*bytes) : std::nullopt;
        if (!recovery) {
            QuestionnaireDocument::discardRecovery(path);
            continue;
        }
        const QString origin = recovery->origin.isEmpty()
                ? tr("новый опросный лист, не записанный в файл")
                : tr("файл %1").arg(qsjuv::displayPath(QFile::encodeName(recovery->origin)));
        const int answer = showBox(
                QMessageBox::Question,
                tr("Найден несохраненный опросный лист: работа программы была прервана, и изменения в нем не "
                "были сохранены в файле.\nОткуда: %1\nКогда: %2\nВосстановить его?").arg(
                        origin, recovery->written.toString(u"dd.MM.yyyy HH:mm:ss"_s)),
                QString(), QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        QuestionnaireDocument::discardRecovery(path);
        if (answer != QMessageBox::Yes)
            return false;
        // Modified against what its file holds now, or against a new questionnaire.
        const QuestionnaireDocument::Opened file = recovery->origin.isEmpty()
                ? QuestionnaireDocument::Opened{}
                : QuestionnaireDocument::open(recovery->origin, qsjuv::defaultQuestionnaire());
        m_document->setUnsaved(recovery->origin,
                               file.loaded ? file.loaded->value : qsjuv::defaultQuestionnaire());
        showValue(recovery->value);
        m_document->recordChange(m_editor->questionnaire());
        showModified();
        return true;
    }
    return false;
}

bool QuestionnaireWindow::isModified() const
{
    return m_document->differsFrom(m_editor->questionnaire());
}

QString QuestionnaireWindow::currentFile() const
{
    return m_document->currentFile();
}

qsjuv::Summary QuestionnaireWindow::summary() const
{
    return m_document->summary(m_editor->questionnaire(), m_caption);
}

// The mark stands first, where a title cut short for the title bar keeps it.
void QuestionnaireWindow::showModified()
{
    const QString mark = isModified() ? u"*"_s : QString();
    const QString file = currentFile();
    setWindowTitle(file.isEmpty() ? mark + m_caption
                                  : u"%1%2 — %3"_s.arg(mark, qsjuv::titleFileName(file), m_caption));
    if (m_undoAction) {
        m_undoAction->setEnabled(m_document->undoStack()->canUndo() || m_typing);
        m_redoAction->setEnabled(m_document->undoStack()->canRedo());
    }
    m_document->showing(m_editor->questionnaire());
}

bool QuestionnaireWindow::mayClose()
{
    finishTyping();
    return !isModified()
            || question(tr("Внесенные вами изменения не сохранены в файле.\n"
                        "Вы действительно хотите завершить программу?"))
            == QMessageBox::Yes;
}

void QuestionnaireWindow::closeEvent(QCloseEvent *event)
{
    if (mayClose())
        event->accept();
    else
        event->ignore();
}

void QuestionnaireWindow::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        fitIntoScreen(this);
        if (const QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}
