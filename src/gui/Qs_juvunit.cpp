#include "gui/Qs_juvunit.h"

#include "gui/Accessibility.h"
#include "gui/FormStyle.h"
#include "gui/FileDialogs.h"
#include "gui/Hints.h"
#include "gui/UpDown.h"
#include "ui_Qs_juvunit.h"
#include "core/SafeRead.h"
#include "core/Texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolTip>

#include <limits>

using namespace Qt::StringLiterals;

std::array<QWidget *, 8> ChannelControls::characteristicAndRange() const
{
    return {charLabel, charCombo, maxLabel, maxEdit, maxUpDown, minLabel, minEdit, minUpDown};
}

std::array<QWidget *, 4> ChannelControls::sensorDependent() const
{
    return {connLabel, connCombo, nomRLabel, nomRCombo};
}

std::array<QWidget *, 14> ChannelControls::inputDependent() const
{
    return {sensorLabel, sensorCombo, charLabel, charCombo, maxLabel, maxEdit, maxUpDown,
            minLabel, minEdit, minUpDown, connLabel, connCombo, nomRLabel, nomRCombo};
}

TQS_JUVForm::TQS_JUVForm(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::QS_JUVForm>())
{
    qsjuv::installAccessibleFactory();
    setupLayout();

    // Panel 0 shows the program version for good; panel 1 the data version of a load.
    StatusBarPanel0->setText(u"Версия: %1"_s.arg(QLatin1StringView(kVersion)));
    StatusBarPanel0->setFixedWidth(StatusBar->width() / 3);
    // Every model starts with one channel until the first model is applied.
    Ch2GroupBox->hide();
    m_selectedRange = {nullptr, nullptr};
    for (const auto &channel : m_channels)
        setHint(channel.outputCombo, u"Режимы работы выхода с релейным модулем ЖУВ-930 поверке не подлежат"_s);
    for (const auto &model : qsjuv::modelList())
        DeviceCombo->addItem(QString::fromStdString(qsjuv::modelListText(model)));

    bindEvents();
    bindDesktop();

    // The first model, as if the user had picked it; that is no change to save.
    DeviceCombo->setCurrentIndex(0);
    DeviceComboChange(nullptr);
    setModified(false);
}

TQS_JUVForm::~TQS_JUVForm()
{
    FormDestroy(this);
}

void TQS_JUVForm::setupLayout()
{
    // The fixed layout needs its own metrics whatever style the desktop would pick.
    TFormStyle::install();

    // Where MS Sans Serif is missing, a face of Arial's widths keeps the captions inside their
    // fixed boxes; any sans-serif face after that. Set before the controls exist, so that none of
    // them lays out its text in the default face first.
    QFont font(u"MS Sans Serif"_s);
    font.setFamilies({u"MS Sans Serif"_s, u"Liberation Sans"_s, u"Arial"_s});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);
    QToolTip::setFont(font);

    ui->setupUi(this);
    setObjectName(u"QS_JUVForm"_s);
    m_caption = windowTitle();

    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(533, 590);

    FirmGroupBox = ui->FirmGroupBox;
    FirmNameLabel = ui->FirmNameLabel;
    PhoneLabel = ui->PhoneLabel;
    MailLabel = ui->MailLabel;
    BillLabel = ui->BillLabel;
    FirmNameEdit = ui->FirmNameEdit;
    PhoneEdit = ui->PhoneEdit;
    MailEdit = ui->MailEdit;
    BillEdit = ui->BillEdit;
    DeviceLabel = ui->DeviceLabel;
    DeviceCombo = ui->DeviceCombo;
    QntyLabel = ui->QntyLabel;
    QntyEdit = ui->QntyEdit;
    QntyUpDown = ui->QntyUpDown;
    Ch1GroupBox = ui->Ch1GroupBox;
    Ch2GroupBox = ui->Ch2GroupBox;
    LoadButton = ui->LoadButton;
    SaveButton = ui->SaveButton;
    StatusBar = ui->StatusBar;

    m_channels[0] = {ui->Ch1InputCheck, ui->Ch1SensorLabel, ui->Ch1SensorCombo, ui->Ch1CharLabel,
                     ui->Ch1CharCombo, ui->Ch1MaxLabel, ui->Ch1MaxEdit, ui->Ch1MaxUpDown,
                     ui->Ch1MinLabel, ui->Ch1MinEdit, ui->Ch1MinUpDown, ui->Ch1ConnLabel,
                     ui->Ch1ConnCombo, ui->Ch1NomRLabel, ui->Ch1NomRCombo, ui->Ch1OutputLabel,
                     ui->Ch1OutputCombo};
    m_channels[1] = {ui->Ch2InputCheck, ui->Ch2SensorLabel, ui->Ch2SensorCombo, ui->Ch2CharLabel,
                     ui->Ch2CharCombo, ui->Ch2MaxLabel, ui->Ch2MaxEdit, ui->Ch2MaxUpDown,
                     ui->Ch2MinLabel, ui->Ch2MinEdit, ui->Ch2MinUpDown, ui->Ch2ConnLabel,
                     ui->Ch2ConnCombo, ui->Ch2NomRLabel, ui->Ch2NomRCombo, ui->Ch2OutputLabel,
                     ui->Ch2OutputCombo};

    setCaptions();
    markOptionalRequisites();
    nameControls();
    setupEntries();
    setupStatusBar();
}

void TQS_JUVForm::setCaptions()
{
    using namespace qsjuv::texts;
    FirmNameLabel->setText(requisiteCaption(qsjuv::Requisite::Firm));
    PhoneLabel->setText(requisiteCaption(qsjuv::Requisite::Phone));
    MailLabel->setText(requisiteCaption(qsjuv::Requisite::Mail));
    BillLabel->setText(requisiteCaption(qsjuv::Requisite::Bill));
    DeviceLabel->setText(modelCaption());
    QntyLabel->setText(quantityCaption());
    for (int c = 0; c < 2; ++c) {
        const ChannelControls &ch = m_channels[c];
        // The blank keeps the title off the frame's corner, as the layout was drawn.
        (c == 0 ? Ch1GroupBox : Ch2GroupBox)->setTitle(channelTitle(c) + u' ');
        ch.sensorLabel->setText(channelCaption(ChannelField::SensorType));
        ch.charLabel->setText(channelCaption(ChannelField::Characteristic));
        ch.connLabel->setText(channelCaption(ChannelField::Connection));
        ch.nomRLabel->setText(channelCaption(ChannelField::NominalR));
        ch.outputLabel->setText(channelCaption(ChannelField::Output));
    }
}

void TQS_JUVForm::markOptionalRequisites()
{
    // Grey captions and button-face edits mark the optional requisites. The grey is darker than
    // that of disabled text, so the captions stay readable and the edits do not look switched off.
    const QColor greyText = secondaryTextColour(palette());
    for (QLabel *label : {PhoneLabel, BillLabel}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::Active, QPalette::WindowText, greyText);
        pal.setColor(QPalette::Inactive, QPalette::WindowText, greyText);
        label->setPalette(pal);
    }
    for (QLineEdit *edit : {PhoneEdit, BillEdit}) {
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        edit->setPalette(pal);
    }

    // Requisites show their hints.
    const std::pair<QWidget *, QString> requisiteHints[] = {
        {FirmNameLabel, u"Обязательно для заполнения"_s},
        {FirmNameEdit, u"Укажите здесь название вашей фирмы"_s},
        {PhoneLabel, u"Заполнять не обязательно"_s},
        {PhoneEdit, u"Здесь можно указать телефонный номер для связи с вами"_s},
        {MailLabel, u"Обязательно для заполнения"_s},
        {MailEdit, u"Укажите здесь адрес электронной почты для связи с вами"_s},
        {BillLabel, u"Заполнять не обязательно"_s},
        {BillEdit, u"Если счет еще не был выставлен нашей фирмой, оставьте это поле пустым"_s},
    };
    for (const auto &[control, hint] : requisiteHints) {
        setHint(control, hint);
        setHintShown(control, true);
    }

}

void TQS_JUVForm::nameControls()
{
    // A caption names its control for screen readers: a buddy label names an edit (and follows
    // the range captions as they change); a combo would announce its value unless named.
    std::vector<std::pair<QLabel *, QWidget *>> captions = {
        {FirmNameLabel, FirmNameEdit}, {PhoneLabel, PhoneEdit}, {MailLabel, MailEdit},
        {BillLabel, BillEdit}, {DeviceLabel, DeviceCombo}, {QntyLabel, QntyEdit}};
    for (const ChannelControls &ch : m_channels) {
        captions.insert(captions.end(), {{ch.sensorLabel, ch.sensorCombo}, {ch.charLabel, ch.charCombo},
                                         {ch.maxLabel, ch.maxEdit}, {ch.minLabel, ch.minEdit},
                                         {ch.connLabel, ch.connCombo}, {ch.nomRLabel, ch.nomRCombo},
                                         {ch.outputLabel, ch.outputCombo}});
    }
    for (const auto &[caption, control] : captions) {
        caption->setBuddy(control);
        if (auto *combo = qobject_cast<QComboBox *>(control)) {
            combo->setAccessibleName(caption->text());
            combo->lineEdit()->setAccessibleName(caption->text());
        }
    }
    QntyUpDown->setAccessibleName(QntyLabel->text());
    // The blanks that keep a group's caption off its frame are not part of its name.
    for (QGroupBox *group : findChildren<QGroupBox *>())
        group->setAccessibleName(group->title().trimmed());
    // The captions never take the focus: the edits say themselves whether they are required.
    const std::pair<QLineEdit *, QLabel *> requisiteDescriptions[] = {
        {FirmNameEdit, FirmNameLabel}, {PhoneEdit, PhoneLabel}, {MailEdit, MailLabel}, {BillEdit, BillLabel}};
    for (const auto &[edit, label] : requisiteDescriptions)
        edit->setAccessibleDescription(label->toolTip() + u". "_s + edit->toolTip());

}

void TQS_JUVForm::setupEntries()
{
    // Edits have no length limit.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(30);
        // A text wider than a narrow combo shows its start, as a list entry would.
        connect(combo, &QComboBox::currentIndexChanged, combo, [combo] {
            if (!combo->lineEdit()->hasFocus())
                combo->lineEdit()->setCursorPosition(0);
        });
    }

    DeviceCombo->setEditText(u"ЖУВ-610-101"_s);
    QntyUpDown->setAssociate(QntyEdit);
    QntyUpDown->setRange(qsjuv::kQuantityMin, qsjuv::kQuantityMax);
    QntyUpDown->setValue(1);
    for (int c = 0; c < 2; ++c) {
        const ChannelControls &ch = m_channels[c];
        ch.maxUpDown->setAssociate(ch.maxEdit);
        ch.minUpDown->setAssociate(ch.minEdit);
        for (TUpDown *upDown : {ch.maxUpDown, ch.minUpDown}) {
            upDown->setRange(0, 100);
            upDown->setValue(0);
        }
        ch.nomRCombo->setCurrentIndex(-1);
        for (const char *connection : qsjuv::connectionTexts())
            ch.connCombo->addItem(QString::fromUtf8(connection));
        ch.connCombo->setCurrentIndex(0);
    }
    m_channels[0].maxUpDown->setThousands(false);
    correctRangesAsTyped();

}

void TQS_JUVForm::setupStatusBar()
{
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setAccessibleName(u"Строка состояния"_s);
    StatusBarPanel0 = new QLabel(StatusBar);
    StatusBarPanel0->setObjectName(u"StatusBarPanel0"_s);
    StatusBarPanel0->setAlignment(Qt::AlignCenter);
    StatusBarPanel1 = new QLabel(StatusBar);
    StatusBarPanel1->setObjectName(u"StatusBarPanel1"_s);
    StatusBarPanel1->setAlignment(Qt::AlignCenter);
    StatusBarPanel1->setFixedWidth(300);
    StatusBar->addWidget(StatusBarPanel0);
    StatusBar->addWidget(StatusBarPanel1);
}

// The dialogs cost more to build than the rest of the form (icons, the MIME database, a folder
// watcher), so they wait for the first file command and are kept for the next.
QFileDialog *TQS_JUVForm::openDialog()
{
    if (!m_openDialog) {
        m_openDialog = qsjuv::makeFileDialog(this, {u"OpenDialog"_s, u"Открыть опросный лист"_s, QFileDialog::AcceptOpen,
                                                  u"cfg"_s, {u"Опросные листы (*.cfg)"_s, u"Все файлы (*)"_s},
                                                  u"qs_juv.cfg"_s});
    }
    return m_openDialog;
}

QFileDialog *TQS_JUVForm::saveDialog()
{
    if (!m_saveDialog) {
        m_saveDialog = qsjuv::makeFileDialog(this, {u"SaveDialog"_s, u"Сохранить опросный лист"_s, QFileDialog::AcceptSave,
                                                  u"cfg"_s, {u"Опросные листы (*.cfg)"_s}, u"qs_juv.cfg"_s});
    }
    return m_saveDialog;
}

void TQS_JUVForm::bindEvents()
{
    for (QLineEdit *edit : {FirmNameEdit, PhoneEdit, MailEdit, BillEdit})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { SimpleEditChange(edit); });
    connect(QntyEdit, &QLineEdit::textChanged, this, [this] { QntyEditChange(QntyEdit); });

    // Only what the user causes runs a combo's change handler; program writes run none. Typed
    // text runs it only once it names an entry: a typo must not rebuild the channel.
    const auto bindCombo = [this](QComboBox *combo, void (TQS_JUVForm::*handler)(QObject *)) {
        connect(combo, &QComboBox::activated, this, [this, combo, handler] { (this->*handler)(combo); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, combo, handler](const QString &text) {
            const int before = combo->currentIndex();
            comboTextEdited(combo, text);
            if (combo->currentIndex() >= 0 && combo->currentIndex() != before)
                (this->*handler)(combo);
        });
    };
    bindCombo(DeviceCombo, &TQS_JUVForm::DeviceComboChange);
    DeviceCombo->installEventFilter(this);
    for (const ChannelControls &ch : m_channels) {
        bindCombo(ch.sensorCombo, &TQS_JUVForm::SensorComboChange);
        bindCombo(ch.charCombo, &TQS_JUVForm::CharComboChange);
        // These have no level below them, but the file keeps their choice.
        for (QComboBox *combo : {ch.connCombo, ch.nomRCombo, ch.outputCombo}) {
            connect(combo, &QComboBox::activated, this, [this] { setModified(true); });
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString &text) {
                const int before = combo->currentIndex();
                comboTextEdited(combo, text);
                if (combo->currentIndex() >= 0 && combo->currentIndex() != before)
                    setModified(true);
            });
        }
        for (QComboBox *combo : {ch.sensorCombo, ch.charCombo, ch.connCombo, ch.nomRCombo, ch.outputCombo})
            combo->installEventFilter(this);
        QCheckBox *check = ch.inputCheck;
        connect(check, &QCheckBox::toggled, this, [this, check] { InputCheckClick(check); });
        // Only a click is the user's; the file keeps the state.
        connect(check, &QCheckBox::clicked, this, [this] { setModified(true); });
        for (QLineEdit *edit : {ch.maxEdit, ch.minEdit}) {
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { MinMaxEditChange(edit); });
            edit->installEventFilter(this);
        }
    }
    connect(LoadButton, &QPushButton::clicked, this, [this] { LoadButtonClick(LoadButton); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(SaveButton); });
}

// While the user types, the selection follows the text: the entry it names in any letter case
// (its text then in the entry's spelling), or none. The entry shown before the typing is kept
// for the exit to put back.
void TQS_JUVForm::comboTextEdited(QComboBox *combo, const QString &text)
{
    const int match = combo->findText(text, Qt::MatchFixedString);
    QLineEdit *edit = combo->lineEdit();
    const int cursor = edit->cursorPosition();
    if (match < 0 && combo->currentIndex() >= 0)
        combo->setProperty(kEntryBeforeTyping, combo->currentIndex());
    if (match != combo->currentIndex()) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(match);
    }
    const QString shown = match < 0 ? text : combo->itemText(match);
    if (edit->text() != shown) {
        // Clearing the selection clears the text of an editable combo: the typed text stays.
        const QSignalBlocker editBlocker(edit);
        edit->setText(shown);
    }
    edit->setCursorPosition(cursor);
}

bool TQS_JUVForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // A drop-down list or a context menu does not leave the control.
        if (reason != Qt::PopupFocusReason) {
            if (auto *combo = qobject_cast<QComboBox *>(watched)) {
                // A rebuild may hide the control the focus went to, and Qt would pass it on to
                // whatever comes next (a button a blank would press): back to the list left.
                QWidget *next = QApplication::focusWidget();
                ComboExit(watched);
                if (next && next != combo && QApplication::focusWidget() != next && combo->isVisible()
                    && combo->isEnabled())
                    combo->setFocus(Qt::OtherFocusReason);
            } else if (qobject_cast<QLineEdit *>(watched))
                MinMaxEditExit(watched);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TQS_JUVForm::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(this, canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TQS_JUVForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated) {
        m_activated = true;
        FormActivate(this);
    }
    QWidget::changeEvent(event);
}

void TQS_JUVForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (const QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

void TQS_JUVForm::FormActivate(QObject *)
{
    setModified(false);
}

void TQS_JUVForm::FormCloseQuery(QObject *, bool &CanClose)
{
    CanClose = true;
    if (!m_modified)
        return;
    CanClose = question(u"Внесенные вами изменения не сохранены в файле.\n"
                        "Вы действительно хотите завершить программу?"_s)
            == QMessageBox::Yes;
}

// Nothing is left to free by hand: the widgets belong to the form.
void TQS_JUVForm::FormDestroy(QObject *)
{
}

int TQS_JUVForm::channelOf(QObject *sender, QObject *channel2Control) const
{
    return sender == channel2Control ? 1 : 0;
}

const qsjuv::DeviceModel *TQS_JUVForm::currentModel() const
{
    const int position = DeviceCombo->currentIndex();
    if (position < 0 || position >= qsjuv::kModelCount)
        return nullptr;
    return &qsjuv::modelList()[std::size_t(position)];
}

int TQS_JUVForm::channelCount() const
{
    return qsjuv::channelCount(qsjuv::modelList()[std::size_t(m_shownModel)]);
}

void TQS_JUVForm::showNameNotUtf8()
{
    error(qsjuv::texts::fileNameNotUtf8());
}

bool TQS_JUVForm::isSeries610() const
{
    return qsjuv::isSeries610(DeviceCombo->currentIndex());
}

namespace {
int showBox(TQS_JUVForm *owner, QMessageBox::Icon icon, const QString &text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
            const QString &informative = QString())
{
    QMessageBox box(icon, owner->caption(), text, buttons, owner);
    box.setDefaultButton(defaultButton);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    return box.exec();
}
} // namespace

int TQS_JUVForm::question(const QString &text)
{
    return showBox(this, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

void TQS_JUVForm::warning(const QString &text)
{
    showBox(this, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void TQS_JUVForm::error(const QString &text, const QString &path, const QString &reason)
{
    QStringList informative;
    if (!path.isEmpty())
        informative << u"Файл: %1"_s.arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        informative << u"Причина: %1"_s.arg(reason);
    showBox(this, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok, informative.join(u'\n'));
}

void TQS_JUVForm::information(const QString &text)
{
    showBox(this, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void TQS_JUVForm::refuse(const QString &text, const QString &why, QWidget *fault)
{
    showBox(this, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok, why);
    if (fault && fault->isEnabled()) {
        // Where no window manager hands the focus back once the box is gone.
        activateWindow();
        fault->setFocus(Qt::OtherFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(fault))
            edit->selectAll();
    }
}

void TQS_JUVForm::setModified(bool modified)
{
    m_modified = modified;
    // Shown in the title only once it names a file: a bare caption has no place for the mark.
    if (!m_currentFile.isEmpty())
        setWindowModified(modified);
}
