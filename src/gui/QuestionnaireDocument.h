#pragma once

#include "core/QuestionnaireLoad.h"
#include "core/QuestionnaireSummary.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// The questionnaire as a file, without a widget: which file it is, what was last loaded from or
// saved to it, reading, writing and the files used last. The window shows the value; this says
// whether what the window shows differs from the file.
class QuestionnaireDocument : public QObject
{
    Q_OBJECT

public:
    explicit QuestionnaireDocument(const qsjuv::Questionnaire &start, QObject *parent = nullptr);

    // The file last loaded or saved, absolute; empty for a new questionnaire.
    QString currentFile() const { return m_currentFile; }
    bool differsFrom(const qsjuv::Questionnaire &shown) const { return shown != m_stored; }
    // After a load or a save: this value is what the file holds.
    void setStored(const QString &path, const qsjuv::Questionnaire &value);

    // What a window that shows base shows after reading path, or why it cannot be read.
    struct Opened
    {
        std::optional<qsjuv::LoadedQuestionnaire> loaded;
        QString reason;
    };
    static Opened open(const QString &path, const qsjuv::Questionnaire &base);

    enum class Target { Missing, Exists, NotRegular };
    static Target probe(const QString &path, QString *reason);
    // The whole file or nothing: a failed write keeps the old one, and says why.
    struct Written
    {
        bool saved = false;
        bool inPlace = false; // rewritten in place, not replaced whole
        QString reason;
    };
    static Written write(const QString &path, const QByteArray &bytes);
    // What an earlier save of path that was interrupted left, for the user; nullopt for none.
    static std::optional<QString> interruptedSave(const QString &path);

    qsjuv::Summary summary(const qsjuv::Questionnaire &value, const QString &title) const;

    // Newest first; a file that could not be opened is forgotten.
    static QStringList recentFiles();
    static void forgetRecent(const QString &path);

signals:
    void currentFileChanged();

private:
    QString m_currentFile;
    qsjuv::Questionnaire m_stored;
};
