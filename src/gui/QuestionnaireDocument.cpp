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
    const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path), &opened.reason);
    if (!bytes)
        return opened;
    const qsjuv::QuestionnaireRead read = qsjuv::readQuestionnaire(qsjuv::ProfileReader(*bytes));
    opened.loaded = qsjuv::loadedQuestionnaire(read, base);
    return opened;
}

QuestionnaireDocument::Target QuestionnaireDocument::probe(const QString &path, QString *reason)
{
    switch (qsjuv::probeSaveTarget(qsjuv::nativePath(path), reason)) {
    case qsjuv::SaveTarget::NotRegular:
        return Target::NotRegular;
    case qsjuv::SaveTarget::Exists:
        return Target::Exists;
    case qsjuv::SaveTarget::Missing:
        break;
    }
    return Target::Missing;
}

bool QuestionnaireDocument::write(const QString &path, const QByteArray &bytes, QString *reason)
{
    return !bytes.isEmpty() && qsjuv::writeFileAtomically(path, bytes, reason);
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
