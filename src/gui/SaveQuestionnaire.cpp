// Save: check the questionnaire, ask for a file, replace it only when the whole file was written.
#include "gui/Qs_juvunit.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/QuestionnaireFormat.h"
#include "core/Requisites.h"
#include "core/SafeRead.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

using namespace Qt::StringLiterals;

// A save with no selection in a combo it reads repairs it first, as leaving the combo would. A
// list a load left without a selection (a value the file has but the list lacks) gets what the
// cascade would have chosen: the file never gets a position the list does not offer.
void TQS_JUVForm::repairSelections()
{
    ComboExit(DeviceCombo);
    const int channelCount = Ch2GroupBox->isVisibleTo(this) ? 2 : 1;
    const qsjuv::DeviceModel *model = currentModel();
    for (int c = 0; c < channelCount; ++c) {
        const ChannelControls &ch = m_channels[c];
        ComboExit(ch.sensorCombo);
        ComboExit(ch.charCombo);
        for (QComboBox *combo : {ch.connCombo, ch.nomRCombo, ch.outputCombo}) {
            if (combo->property(kEntryBeforeTyping).isValid())
                ComboExit(combo); // typed over: the entry shown before
        }
        if (ch.connCombo->currentIndex() < 0)
            ch.connCombo->setCurrentIndex(0);
        if (ch.nomRCombo->currentIndex() < 0 && ch.nomRCombo->count() > 0 && m_selectedRange[c])
            ch.nomRCombo->setCurrentIndex(qsjuv::nominalResistanceList(*m_selectedRange[c]).selected);
        if (ch.outputCombo->currentIndex() < 0 && ch.outputCombo->count() > 0 && model)
            ch.outputCombo->setCurrentIndex(qsjuv::defaultOutputPosition(*model, isSeries610()));
    }
}

// What the save writes, as the form holds it; the printed summary takes its check code from here.
qsjuv::QuestionnaireSettings TQS_JUVForm::questionnaireSettings() const
{
    const int channelCount = Ch2GroupBox->isVisibleTo(this) ? 2 : 1;
    qsjuv::QuestionnaireSettings settings;
    settings.modelPosition = DeviceCombo->currentIndex();
    settings.modelName = qsjuv::toCp1251Lossy(DeviceCombo->currentText());
    for (int c = 0; c < channelCount; ++c) {
        const ChannelControls &ch = m_channels[c];
        qsjuv::ChannelSettings channel;
        channel.inputOn = ch.inputCheck->checkState() == Qt::Checked;
        const int charIndex = ch.charCombo->currentIndex();
        channel.sensorId = (m_charIndexMap[c] && charIndex >= 0 && charIndex < kCharMapSize)
                ? (*m_charIndexMap[c])[charIndex]
                : 0;
        channel.nomRPosition = ch.nomRCombo->currentIndex();
        channel.connPosition = ch.connCombo->currentIndex();
        channel.outputPosition = ch.outputCombo->currentIndex();
        channel.maxText = qsjuv::toCp1251Lossy(ch.maxEdit->text());
        channel.minText = qsjuv::toCp1251Lossy(ch.minEdit->text());
        settings.channels.push_back(channel);
    }
    settings.firm = qsjuv::toCp1251Lossy(FirmNameEdit->text());
    settings.phone = qsjuv::toCp1251Lossy(PhoneEdit->text());
    settings.mail = qsjuv::toCp1251Lossy(MailEdit->text());
    settings.bill = qsjuv::toCp1251Lossy(BillEdit->text());
    settings.quantity = qsjuv::toCp1251Lossy(QntyEdit->text());
    return settings;
}

void TQS_JUVForm::SaveButtonClick(QObject *)
{
    repairSelections();

    // The edits show what the file will hold: no control characters, no blanks at the ends.
    for (QLineEdit *edit : {FirmNameEdit, PhoneEdit, MailEdit, BillEdit}) {
        const QString normalized = qsjuv::normalizedRequisite(edit->text());
        if (normalized != edit->text())
            edit->setText(normalized);
    }

    // Requisites, then inputs, then ranges: the first failure wins.
    const QString missingField = u"В разделе реквизитов не заполнено обязательное поле \"%1\". "
                                 "Для сохранения данных в файле это поле необходимо заполнить."_s;
    if (FirmNameEdit->text().isEmpty()) {
        warning(missingField.arg(FirmNameLabel->text()));
        return;
    }
    if (MailEdit->text().isEmpty()) {
        warning(missingField.arg(MailLabel->text()));
        return;
    }
    if (!qsjuv::mailFormatValid(MailEdit->text())) {
        warning(u"В разделе реквизитов указан адрес электронной почты в некорректном формате. "
                "Для сохранения данных в файле необходимо указать актуальный адрес."_s);
        return;
    }
    // A character Windows-1251 lacks would come back as another one.
    const std::pair<QLineEdit *, QLabel *> requisites[] = {
        {FirmNameEdit, FirmNameLabel}, {PhoneEdit, PhoneLabel}, {MailEdit, MailLabel}, {BillEdit, BillLabel}};
    for (const auto &[edit, label] : requisites) {
        if (!qsjuv::toCp1251(edit->text())) {
            warning(u"В разделе реквизитов поле \"%1\" содержит символы, которые невозможно сохранить "
                    "в файле. Для сохранения данных в файле эти символы необходимо удалить."_s.arg(label->text()));
            return;
        }
    }

    const int channelCount = Ch2GroupBox->isVisibleTo(this) ? 2 : 1;
    const auto isOn = [](const QCheckBox *check) { return check->checkState() == Qt::Checked; };
    if (!isOn(m_channels[0].inputCheck) && (channelCount == 1 || !isOn(m_channels[1].inputCheck))) {
        warning(u"Опросный лист заполнен некорректно. Для сохранения данных в файле необходимо "
                "включить хотя бы один вход изделия."_s);
        return;
    }

    // Ranges, whether the input is on or off.
    bool rangesPass = CheckChannelRange(0);
    if (rangesPass && channelCount == 2)
        rangesPass = CheckChannelRange(1);
    if (!rangesPass) {
        warning(u"Некорректно задан диапазон измерения. Для сохранения данных в файле диапазон "
                "следует увеличить. Корректные значения диапазонов см. в подсказках к полям границ "
                "диапазона."_s);
        return;
    }

    if (execFileDialog(saveDialog()) != QDialog::Accepted)
        return;
    const QString path = saveDialog()->selectedFiles().value(0);

    if (!writeConfirmed(path, [this] { return qsjuv::writeQuestionnaire(questionnaireSettings()).bytes; }))
        return;
    information(u"Файл успешно сохранен."_s);
    m_modified = false;
}

bool TQS_JUVForm::writeConfirmed(const QString &path, const std::function<QByteArray()> &content)
{
    // Replace only after a Yes; never write into a FIFO, a device or a folder.
    const QString writeFailed = u"Не удалось сохранить данные в файле. Возможно, диск защищен от записи."_s;
    QString reason;
    switch (qsjuv::probeSaveTarget(qsjuv::nativePath(path), &reason)) {
    case qsjuv::SaveTarget::NotRegular:
        error(writeFailed, path, reason);
        return false;
    case qsjuv::SaveTarget::Exists:
        if (question(u"Указанный файл уже существует.\n"
                     "Вы действительно хотите заменить его содержимое новыми данными?"_s)
            != QMessageBox::Yes)
            return false;
        break;
    case qsjuv::SaveTarget::Missing:
        break;
    }

    // The whole file goes to a temporary file first: a failed write keeps the old one.
    const QByteArray bytes = content();
    if (bytes.isEmpty()) {
        error(writeFailed, path);
        return false;
    }
    if (!qsjuv::writeFileAtomically(path, bytes, &reason)) {
        error(writeFailed, path, reason);
        return false;
    }
    return true;
}
