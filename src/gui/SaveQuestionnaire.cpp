// Save: check the questionnaire, ask for a file, replace it only when the whole file was written.
#include "gui/Qs_juvunit.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/QuestionnaireFormat.h"
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

// A save with no selection in a combo it reads repairs it first, as leaving the combo would.
void TQS_JUVForm::repairSelections()
{
    ComboExit(DeviceCombo);
    for (int c = 0; c < channelCount(); ++c)
        ComboExit(m_channels[c].charCombo);
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

    const qsjuv::Questionnaire q = questionnaire();
    const std::vector<qsjuv::SaveRefusal> refusals = qsjuv::saveRefusals(q);
    if (!refusals.empty()) {
        const qsjuv::SaveRefusal &first = refusals.front();
        // The refused range shows in red, as the range check colours it.
        if (first.channel >= 0)
            CheckChannelRange(first.channel);
        warning(qsjuv::texts::saveRefusal(first));
        return;
    }

    if (execFileDialog(saveDialog()) != QDialog::Accepted)
        return;
    const QString path = saveDialog()->selectedFiles().value(0);

    if (!writeConfirmed(path, [&q] { return qsjuv::writeQuestionnaire(q).bytes; }))
        return;
    information(qsjuv::texts::fileSaved());
    m_modified = false;
}

bool TQS_JUVForm::writeConfirmed(const QString &path, const std::function<QByteArray()> &content)
{
    // Replace only after a Yes; never write into a FIFO, a device or a folder.
    const QString writeFailed = u"Не удалось сохранить данные в файле. Возможно, диск защищен от записи."_s;
    QString reason;
    switch (qsjuv::probeSaveTarget(qsjuv::nativePath(path), &reason)) {
    case qsjuv::SaveTarget::NotRegular:
        error(writeFailed, reason);
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
        error(writeFailed);
        return false;
    }
    if (!qsjuv::writeFileAtomically(path, bytes, &reason)) {
        error(writeFailed, reason);
        return false;
    }
    return true;
}
