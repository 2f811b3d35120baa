// Load: replay the file through the cascade as a user would enter it, then the requisites.
#include "gui/Qs_juvunit.h"
#include "core/Sensor.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/SafeRead.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <exception>

using namespace Qt::StringLiterals;

namespace {
QString text(const std::optional<QByteArray> &value)
{
    return value ? qsjuv::fromCp1251(*value) : QString();
}

void showAsFailed(QLineEdit *edit)
{
    QPalette pal = edit->palette();
    // Red only while enabled, as the range check colours.
    pal.setColor(QPalette::Active, QPalette::Text, QColor(255, 0, 0));
    pal.setColor(QPalette::Inactive, QPalette::Text, QColor(255, 0, 0));
    edit->setPalette(pal);
}
} // namespace

bool TQS_JUVForm::applyConfiguration(const qsjuv::QuestionnaireRead &read)
{
    if (read.modelPosition) {
        DeviceCombo->setCurrentIndex(*read.modelPosition);
        DeviceComboChange(nullptr);
    }

    for (int c = 0; c < read.channelCount && c < 2; ++c) {
        const qsjuv::ChannelRead &file = read.channels[c];
        const ChannelControls &ch = m_channels[c];

        // A locked box shows the model's state, whatever the file says.
        if (ch.inputCheck->isEnabled()) {
            ch.inputCheck->setChecked(true);
            if (file.inputOn)
                ch.inputCheck->setChecked(*file.inputOn);
        }

        if (file.sensor) {
            ch.sensorCombo->setCurrentIndex(qsjuv::indexOfSensorType(file.sensor->type));
            SensorComboChange(ch.sensorCombo);
            const QString name = QString::fromStdString(qsjuv::displayName(file.sensor->name));
            ch.charCombo->setCurrentIndex(ch.charCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
            CharComboChange(ch.charCombo);
        }
        if (file.nomRPosition)
            ch.nomRCombo->setCurrentIndex(*file.nomRPosition);
        if (file.connPosition)
            ch.connCombo->setCurrentIndex(*file.connPosition);
        if (file.maxValue)
            ch.maxEdit->setText(qsjuv::fromCp1251(*file.maxValue));
        if (file.minValue)
            ch.minEdit->setText(qsjuv::fromCp1251(*file.minValue));
        // A bound that is no 32-bit number stops the range check before it colours anything,
        // which would show a loaded range the save refuses as if it were fine.
        if ((file.maxValue || file.minValue) && !CheckChannelRange(c)) {
            showAsFailed(ch.maxEdit);
            showAsFailed(ch.minEdit);
        }
        if (file.outputPosition)
            ch.outputCombo->setCurrentIndex(*file.outputPosition);
    }
    return read.accepted();
}

bool TQS_JUVForm::ReadConfiguration(const QString &path)
{
    const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path));
    if (!bytes)
        return false;
    return applyConfiguration(qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes)));
}

// Asked before anything replaces unsaved changes with a file's contents.
bool TQS_JUVForm::mayDiscardChanges()
{
    return !m_modified
            || question(u"Внесенные вами изменения не сохранены в файле. При считывании данных из файла "
                        "эти изменения будут утеряны.\nВы действительно хотите считать данные из файла?"_s)
            == QMessageBox::Yes;
}

void TQS_JUVForm::LoadButtonClick(QObject *)
{
    if (!mayDiscardChanges())
        return;

    // A kept dialog decides whether "Open" is enabled only when the typed name changes, so the
    // name of a file that has appeared since would stay greyed; setting the mode decides afresh.
    openDialog()->setFileMode(QFileDialog::ExistingFile);
    if (execFileDialog(openDialog()) != QDialog::Accepted)
        return;
    loadFile(openDialog()->selectedFiles().value(0));
}

void TQS_JUVForm::loadFile(const QString &path)
{
    // Only a regular file within the size limit is read, and nothing blocks.
    QString reason;
    const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path), &reason);
    if (!bytes) {
        error(u"Указанный файл не удалось прочитать!"_s, path, reason);
        return;
    }

    // Anything that fails from here on leaves what was applied and warns once.
    bool loaded = false;
    try {
        const qsjuv::QuestionnaireRead read = qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes));
        if (applyConfiguration(read)) {
            StatusBarPanel1->setText(u"Версия данных: %1"_s.arg(text(read.version)));
            FirmNameEdit->setText(text(read.firm));
            PhoneEdit->setText(text(read.phone));
            MailEdit->setText(text(read.mail));
            BillEdit->setText(text(read.bill));
            QntyEdit->setText(text(read.quantity));
            loaded = true;
        }
    } catch (const std::exception &) {
        loaded = false;
    } catch (...) {
        loaded = false;
    }

    if (!loaded)
        warning(u"Файл содержит некорректные данные!\nКонфигурация из файла считана, при этом "
                "некорректные данные, по возможности, исправлены.\nРекомендуется проверить, что "
                "опросный лист содержит данные, соответствующие вашему заказу, и сохранить файл заново."_s);

    // What is shown now is the file, whether or not it warned.
    m_modified = false;
}
