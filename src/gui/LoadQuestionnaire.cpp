// Load: show the value the core makes of the file (what the checker reports), through the cascade
// as a user would choose the model and the sensors.
#include "gui/Qs_juvunit.h"
#include "core/Sensor.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireLoad.h"
#include "core/SafeRead.h"
#include "core/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>


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

bool TQS_JUVForm::applyConfiguration(const qsjuv::QuestionnaireRead &read, const qsjuv::LoadedQuestionnaire &loaded)
{
    if (loaded.modelPosition) {
        DeviceCombo->setCurrentIndex(*loaded.modelPosition);
        DeviceComboChange(nullptr);
    }

    for (std::size_t c = 0; c < loaded.channels.size() && c < 2; ++c) {
        const qsjuv::LoadedChannel &loadedChannel = loaded.channels[c];
        const qsjuv::QuestionnaireChannel &value = loadedChannel.value;
        const ChannelControls &ch = m_channels[c];

        // A locked box shows the model's state, whatever the file says.
        if (ch.inputCheck->isEnabled())
            ch.inputCheck->setChecked(value.inputOn);
        // The file's own sensor, even one the model does not offer: the lists then show no
        // selection, as they would after a user typed it.
        if (const qsjuv::SensorDescriptor *sensor = loadedChannel.sensor) {
            ch.sensorCombo->setCurrentIndex(qsjuv::indexOfSensorType(sensor->type));
            SensorComboChange(ch.sensorCombo);
            const QString name = QString::fromStdString(qsjuv::displayName(sensor->name));
            ch.charCombo->setCurrentIndex(ch.charCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
            CharComboChange(ch.charCombo);
        }
        if (!loaded.modelPosition) {
            // Whatever model the form showed stays: only what the file names changes.
            showFileKeys(read.channels[c], int(c));
            continue;
        }
        ch.nomRCombo->setCurrentIndex(value.nomRPosition);
        ch.connCombo->setCurrentIndex(value.connPosition);
        ch.maxEdit->setText(value.maxText);
        ch.minEdit->setText(value.minText);
        // A bound that is no 32-bit number stops the range check before it colours anything,
        // which would show a loaded range the save refuses as if it were fine.
        if (!CheckChannelRange(int(c))) {
            showAsFailed(ch.maxEdit);
            showAsFailed(ch.minEdit);
        }
        ch.outputCombo->setCurrentIndex(value.outputPosition);
    }
    return read.accepted();
}

void TQS_JUVForm::showFileKeys(const qsjuv::ChannelRead &file, int c)
{
    const ChannelControls &ch = m_channels[c];
    if (file.nomRPosition)
        ch.nomRCombo->setCurrentIndex(*file.nomRPosition);
    if (file.connPosition)
        ch.connCombo->setCurrentIndex(*file.connPosition);
    if (file.maxValue)
        ch.maxEdit->setText(qsjuv::fromCp1251(*file.maxValue));
    if (file.minValue)
        ch.minEdit->setText(qsjuv::fromCp1251(*file.minValue));
    if ((file.maxValue || file.minValue) && !CheckChannelRange(c)) {
        showAsFailed(ch.maxEdit);
        showAsFailed(ch.minEdit);
    }
    if (file.outputPosition)
        ch.outputCombo->setCurrentIndex(*file.outputPosition);
}

bool TQS_JUVForm::ReadConfiguration(const QString &path)
{
    const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path));
    if (!bytes)
        return false;
    const qsjuv::QuestionnaireRead read = qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes));
    return applyConfiguration(read, qsjuv::loadedQuestionnaire(read));
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
    loadPath(path);
}

bool TQS_JUVForm::loadPath(const QString &path)
{
    // Only a regular file within the size limit is read, and nothing blocks.
    qsjuv::FileError failure;
    const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path), &failure);
    if (!bytes) {
        error(qsjuv::texts::fileUnreadable(), path, qsjuv::russianReason(failure));
        return false;
    }

    // Anything that fails from here on leaves what was applied and warns once.
    bool loaded = false;
    try {
        const qsjuv::QuestionnaireRead read = qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes));
        const qsjuv::LoadedQuestionnaire fromFile = qsjuv::loadedQuestionnaire(read);
        if (applyConfiguration(read, fromFile)) {
            const qsjuv::Questionnaire &value = fromFile.value;
            StatusBarPanel1->setText(qsjuv::texts::dataVersion(text(read.version)));
            FirmNameEdit->setText(value.firm);
            PhoneEdit->setText(value.phone);
            MailEdit->setText(value.mail);
            BillEdit->setText(value.bill);
            QntyEdit->setText(value.quantity);
            loaded = true;
        }
    } catch (...) {
        loaded = false;
    }

    if (!loaded)
        warning(u"Файл содержит некорректные данные!\nКонфигурация из файла считана, при этом "
                "некорректные данные, по возможности, исправлены.\nРекомендуется проверить, что "
                "опросный лист содержит данные, соответствующие вашему заказу, и сохранить файл заново."_s);

    // What is shown now is the file, whether or not it warned.
    setModified(false);
    setCurrentFile(path);
    return true;
}
