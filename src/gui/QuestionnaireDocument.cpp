#include "gui/QuestionnaireDocument.h"

#include "gui/RecentFiles.h"
#include "core/AtomicFile.h"
#include "core/PathText.h"
#include "core/Platform.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/SafeRead.h"
#include "core/Texts.h"

#include <QDate>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {
QByteArray native(const QString &path)
{
    return QByteArray(qsjuv::nativePath(path).native().c_str());
}

// A history that no session fills in a day, and that does not grow without end.
constexpr int kUndoLimit = 1000;
} // namespace

// One whole change of the value; pushing it does not show it again.
class ValueChange : public QUndoCommand
{
public:
    ValueChange(QuestionnaireDocument *document, qsjuv::Questionnaire before, qsjuv::Questionnaire after)
        : m_document(document), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_document->restore(m_before); }
    void redo() override
    {
        if (m_pushed)
            m_document->restore(m_after);
        m_pushed = true;
    }

private:
    QuestionnaireDocument *m_document;
    qsjuv::Questionnaire m_before, m_after;
    bool m_pushed = false;
};

QuestionnaireDocument::QuestionnaireDocument(const qsjuv::Questionnaire &start, QObject *parent)
    : QObject(parent), m_stored(start), m_current(start), m_shown(start), m_undo(new QUndoStack(this))
{
    m_undo->setUndoLimit(kUndoLimit);
    // Within two seconds of a change, however fast the user goes on typing.
    m_autosave.setSingleShot(true);
    m_autosave.setInterval(1000);
    connect(&m_autosave, &QTimer::timeout, this, &QuestionnaireDocument::writeRecovery);
}

QuestionnaireDocument::~QuestionnaireDocument()
{
    removeRecovery();
}

void QuestionnaireDocument::setFile(const QString &path)
{
    const QString absolute = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    const bool changed = absolute != m_currentFile;
    m_currentFile = absolute;
    if (changed) {
        m_openLock.release();
        if (!absolute.isEmpty())
            m_openLock.take(qsjuv::openFileLockName(native(absolute)));
    }
    m_identity = absolute.isEmpty() ? std::nullopt : qsjuv::fileIdentity(native(absolute));
    if (changed)
        emit currentFileChanged();
}

void QuestionnaireDocument::setStored(const QString &path, const qsjuv::Questionnaire &value)
{
    m_stored = value;
    setFile(path);
    qsjuv::rememberRecentFile(m_currentFile);
    removeRecovery();
}

void QuestionnaireDocument::setUnsaved(const QString &path, const qsjuv::Questionnaire &stored)
{
    m_stored = stored;
    setFile(path);
}

bool QuestionnaireDocument::changedOnDisk() const
{
    if (m_currentFile.isEmpty())
        return false;
    return qsjuv::fileIdentity(native(m_currentFile)) != m_identity;
}

bool QuestionnaireDocument::isCurrentFile(const QString &path) const
{
    if (m_currentFile.isEmpty())
        return false;
    if (QFileInfo(path).absoluteFilePath() == m_currentFile)
        return true;
    qsjuv::platform::Status target, current;
    return !qsjuv::platform::status(native(path), &target) && !qsjuv::platform::status(native(m_currentFile), &current)
            && target.sameFile(current);
}

void QuestionnaireDocument::recordChange(const qsjuv::Questionnaire &value)
{
    if (value == m_current)
        return;
    m_undo->push(new ValueChange(this, m_current, value));
    m_current = value;
}

void QuestionnaireDocument::restore(const qsjuv::Questionnaire &value)
{
    m_current = value;
    emit restored(value);
}

void QuestionnaireDocument::showing(const qsjuv::Questionnaire &shown)
{
    m_shown = shown;
    if (!m_autosave.isActive())
        m_autosave.start();
}

void QuestionnaireDocument::writeRecovery()
{
    if (!differsFrom(m_shown)) {
        removeRecovery();
        return;
    }
    if (m_recoveryPath.isEmpty()) {
        const quint64 id = QRandomGenerator::system()->generate64();
        m_recoveryPath = qsjuv::windowsFolder() + "/autosave-" + QByteArray::number(id, 16) + ".json";
    }
    // Held first, so that no window starting meanwhile takes the copy for a crash's.
    if (!m_recoveryLock.held() && !m_recoveryLock.take(qsjuv::recoveryLockName(m_recoveryPath)))
        return;
    m_recoveryWritten = qsjuv::writePrivateFile(
            m_recoveryPath, qsjuv::recoveryBytes({m_shown, m_currentFile, QDateTime::currentDateTime()}));
}

void QuestionnaireDocument::removeRecovery()
{
    m_autosave.stop();
    if (m_recoveryWritten)
        qsjuv::platform::remove(m_recoveryPath);
    m_recoveryWritten = false;
    m_recoveryLock.release();
}

void QuestionnaireDocument::discardRecovery(const QByteArray &path)
{
    qsjuv::platform::remove(path);
}

QuestionnaireDocument::Opened QuestionnaireDocument::open(const QString &path, const qsjuv::Questionnaire &base)
{
    // Only a regular file within the size limit is read, and nothing blocks.
    Opened opened;
    qsjuv::FileError failure;
    const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path), &failure);
    if (!bytes) {
        opened.reason = qsjuv::russianReason(failure);
        return opened;
    }
    const qsjuv::QuestionnaireRead read = qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes));
    // Nothing of a questionnaire: nothing to show, as for a file that cannot be read.
    if (!read.questionnaire()) {
        opened.reason = qsjuv::texts::notQuestionnaire();
        return opened;
    }
    opened.loaded = qsjuv::loadedQuestionnaire(read, base);
    return opened;
}

QuestionnaireDocument::Target QuestionnaireDocument::probe(const QString &path, QString *reason)
{
    qsjuv::FileError refused;
    switch (qsjuv::probeSaveTarget(qsjuv::nativePath(path), &refused)) {
    case qsjuv::SaveTarget::NotRegular:
        *reason = qsjuv::russianReason(refused);
        return Target::NotRegular;
    case qsjuv::SaveTarget::Exists:
        return Target::Exists;
    case qsjuv::SaveTarget::Missing:
        break;
    }
    return Target::Missing;
}

QuestionnaireDocument::Written QuestionnaireDocument::write(const QString &path, const QByteArray &bytes)
{
    // An empty PDF is a rendering that failed: nothing of it replaces a file.
    if (bytes.isEmpty())
        return {};
    qsjuv::SaveResult result;
    if (!qsjuv::writeFileAtomically(path, bytes, &result))
        return {false, false, qsjuv::russianReason(result)};
    return {true, result.inPlace, QString()};
}

std::optional<QString> QuestionnaireDocument::interruptedSave(const QString &path)
{
    return qsjuv::interruptedSave(native(path));
}

qsjuv::Summary QuestionnaireDocument::summary(const qsjuv::Questionnaire &value, const QString &title) const
{
    return qsjuv::questionnaireSummary(value, title, QDate::currentDate().toString(u"dd.MM.yyyy"_s));
}

QStringList QuestionnaireDocument::recentFiles()
{
    return qsjuv::recentFiles();
}

void QuestionnaireDocument::forgetRecent(const QString &path)
{
    qsjuv::forgetRecentFile(path);
}
