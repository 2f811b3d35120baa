#include "gui/QuestionnaireDocument.h"

#include "gui/RecentFiles.h"
#include "core/AtomicFile.h"
#include "core/PathText.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/SafeRead.h"

#include <QDate>
#include <QFileInfo>

using namespace Qt::StringLiterals;


QuestionnaireDocument::QuestionnaireDocument(const qsjuv::Questionnaire &start, QObject *parent)
    : QObject(parent), m_stored(start)
{
}

void QuestionnaireDocument::setStored(const QString &path, const qsjuv::Questionnaire &value)
{
    m_stored = value;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const bool changed = absolute != m_currentFile;
    m_currentFile = absolute;
    qsjuv::rememberRecentFile(m_currentFile);
    if (changed)
        emit currentFileChanged();
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
    return qsjuv::interruptedSave(QByteArray(qsjuv::nativePath(path).native().c_str()));
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
