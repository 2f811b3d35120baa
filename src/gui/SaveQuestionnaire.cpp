// Save: check the questionnaire, ask for a file, replace it only when the whole file was written.
#include "gui/Qs_juvunit.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/QuestionnaireFormat.h"
#include "core/Requisites.h"
#include "core/SafeRead.h"
#include "core/Texts.h"

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
    for (int c = 0; c < channelCount(); ++c) {
        const ChannelControls &ch = m_channels[c];
        // A list typed over gets the entry shown before; one a load left empty, the cascade's.
        for (QComboBox *combo : {ch.sensorCombo, ch.charCombo, ch.connCombo, ch.nomRCombo, ch.outputCombo})
            ComboExit(combo);
    }
}

qsjuv::Questionnaire TQS_JUVForm::questionnaire() const
{
    qsjuv::Questionnaire q;
    // While a typed model name matches no entry, the channels still show the last model.
    q.modelPosition = m_shownModel;
    for (int c = 0; c < channelCount(); ++c) {
        const ChannelControls &ch = m_channels[c];
        qsjuv::QuestionnaireChannel channel;
        channel.inputOn = ch.inputCheck->checkState() == Qt::Checked;
        const auto sensors = qsjuv::sensorsOfType(m_charListType[c]);
        const int charIndex = ch.charCombo->currentIndex();
        channel.sensorId = charIndex >= 0 && charIndex < int(sensors.size()) ? sensors[std::size_t(charIndex)]->id : 0;
        channel.nomRPosition = ch.nomRCombo->currentIndex();
        channel.connPosition = ch.connCombo->currentIndex();
        channel.outputPosition = ch.outputCombo->currentIndex();
        channel.maxText = ch.maxEdit->text();
        channel.minText = ch.minEdit->text();
        q.channels.push_back(channel);
    }
    q.firm = FirmNameEdit->text();
    q.phone = PhoneEdit->text();
    q.mail = MailEdit->text();
    q.bill = BillEdit->text();
    q.quantity = QntyEdit->text();
    return q;
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

    // A minimum still being typed is held to its limit now: the file holds what the check allows.
    for (int c = 0; c < channelCount(); ++c)
        CheckChannelRange(c);

    const qsjuv::Questionnaire q = questionnaire();
    const std::vector<qsjuv::SaveRefusal> refusals = qsjuv::saveRefusals(q);
    if (!refusals.empty()) {
        showRefusal(refusals.front());
        return;
    }

    if (execFileDialog(saveDialog(), true, m_currentFile) != QDialog::Accepted)
        return;
    const QString path = saveDialog()->selectedFiles().value(0);

    const std::optional<QString> saved = writeConfirmed(path, [&q] { return qsjuv::writeQuestionnaire(q).bytes; });
    if (!saved)
        return;
    setModified(false);
    setCurrentFile(path);
    information(*saved);
}

// The refusal's message, with focus on what the user has to change.
void TQS_JUVForm::showRefusal(const qsjuv::SaveRefusal &refusal)
{
    const QString text = qsjuv::texts::saveRefusal(refusal);
    QLineEdit *const requisiteEdits[] = {FirmNameEdit, PhoneEdit, MailEdit, BillEdit};
    switch (refusal.kind) {
    case qsjuv::SaveRefusal::MissingFirm:
        refuse(text, QString(), FirmNameEdit);
        return;
    case qsjuv::SaveRefusal::MissingMail:
    case qsjuv::SaveRefusal::MailFormat:
        refuse(text, QString(), MailEdit);
        return;
    case qsjuv::SaveRefusal::RequisiteRefused:
        refuse(text, QString(), requisiteEdits[int(refusal.requisite)]);
        return;
    case qsjuv::SaveRefusal::NoInput:
        warning(text);
        return;
    case qsjuv::SaveRefusal::RangeNotNumber:
    case qsjuv::SaveRefusal::RangeTooNarrow:
        break;
    }
    // The refused range shows in red, as the range check colours it; a bound of a channel
    // switched off is reached through its input first.
    const int c = refusal.channel;
    CheckChannelRange(c);
    const ChannelControls &ch = m_channels[c];
    refuse(text, u"%1 канал. "_s.arg(c + 1) + rangeRefusal(c),
           ch.maxEdit->isEnabled() ? static_cast<QWidget *>(ch.maxEdit) : ch.inputCheck);
}

std::optional<QString> TQS_JUVForm::writeConfirmed(const QString &path, const std::function<QByteArray()> &content)
{
    // Replace only after a Yes; never write into a FIFO, a device or a folder.
    const QString writeFailed = u"Не удалось сохранить данные в файле. Возможно, диск защищен от записи."_s;
    qsjuv::FileError refused;
    switch (qsjuv::probeSaveTarget(qsjuv::nativePath(path), &refused)) {
    case qsjuv::SaveTarget::NotRegular:
        error(writeFailed, path, qsjuv::russianReason(refused));
        return std::nullopt;
    case qsjuv::SaveTarget::Exists:
        if (question(u"Указанный файл уже существует.\n"
                     "Вы действительно хотите заменить его содержимое новыми данными?"_s)
            != QMessageBox::Yes)
            return std::nullopt;
        break;
    case qsjuv::SaveTarget::Missing:
        break;
    }

    // The whole file goes to a temporary file first: a failed write keeps the old one.
    const QByteArray bytes = content();
    if (bytes.isEmpty()) {
        error(writeFailed, path);
        return std::nullopt;
    }
    qsjuv::SaveResult saved;
    if (!qsjuv::writeFileAtomically(path, bytes, &saved)) {
        error(writeFailed, path, qsjuv::russianReason(saved));
        return std::nullopt;
    }
    return qsjuv::texts::fileSaved(saved.inPlace);
}
