#pragma once

#include "core/QuestionnaireLoad.h"
#include "core/QuestionnaireSummary.h"
#include "core/UserState.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

class QUndoStack;

// The questionnaire as a document, without a widget: which file it is and what the file held
// when it was last loaded or saved (its identity, to notice a change behind our back), the
// value's history of whole changes (undo and redo), the copy kept in the state folder against
// a crash, and reading, writing and the files used last. The window only shows the value.
class QuestionnaireDocument : public QObject
{
    Q_OBJECT

public:
    explicit QuestionnaireDocument(const qsjuv::Questionnaire &start, QObject *parent = nullptr);
    ~QuestionnaireDocument() override;

    // The file last loaded or saved, absolute; empty for a new questionnaire.
    QString currentFile() const { return m_currentFile; }
    bool differsFrom(const qsjuv::Questionnaire &shown) const { return shown != m_stored; }
    // After a load or a save: this value is what the file holds (and holds now, on disk).
    void setStored(const QString &path, const qsjuv::Questionnaire &value);
    // A new questionnaire, or one recovered after a crash (stored: what counts as unmodified).
    void setUnsaved(const QString &path, const qsjuv::Questionnaire &stored);

    // Whether the file was changed on disk since this window loaded or saved it.
    bool changedOnDisk() const;
    // Whether another window of this user holds the current file open.
    bool openElsewhere() const { return !m_currentFile.isEmpty() && !m_openLock.held(); }

    // The history of whole changes. current() is the value at its top, what the window shows
    // once the field being typed is finished.
    QUndoStack *undoStack() const { return m_undo; }
    const qsjuv::Questionnaire &current() const { return m_current; }
    // One step from current() to value; nothing when they are equal.
    void recordChange(const qsjuv::Questionnaire &value);

    // The value shown now: kept in the state folder within a second unless it is the file's.
    void showing(const qsjuv::Questionnaire &shown);
    // What a crash left in the state folder, newest first, each to be offered once.
    static std::vector<QByteArray> recoveries() { return qsjuv::orphanedRecoveries(); }
    static void discardRecovery(const QByteArray &path);

    // What a window that shows base shows after reading path, or why it cannot be read.
    struct Opened
    {
        std::optional<qsjuv::LoadedQuestionnaire> loaded;
        QString reason;
    };
    static Opened open(const QString &path, const qsjuv::Questionnaire &base);

    enum class Target { Missing, Exists, NotRegular };
    static Target probe(const QString &path, QString *reason);
    // Whether path names the current file (by its identity on disk, whatever link or folder
    // name led to it).
    bool isCurrentFile(const QString &path) const;
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
    // Undo or redo: the window shows this value.
    void restored(const qsjuv::Questionnaire &value);

private:
    friend class ValueChange;
    void restore(const qsjuv::Questionnaire &value);
    void setFile(const QString &path);
    void writeRecovery();
    void removeRecovery();

    QString m_currentFile;
    std::optional<qsjuv::FileIdentity> m_identity;
    qsjuv::StateLock m_openLock;
    qsjuv::Questionnaire m_stored, m_current, m_shown;
    QUndoStack *m_undo;
    QTimer m_autosave;
    QByteArray m_recoveryPath;
    qsjuv::StateLock m_recoveryLock;
    bool m_recoveryWritten = false;
};
