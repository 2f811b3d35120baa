#include "gui/RecentFiles.h"

#include "core/PathText.h"
#include "gui/UserSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr char kRecentFilesKey[] = "recent/files";
constexpr int kRecentFileCount = 8;
// At most four bytes a character in the settings file (a control character is written \xNN):
// the list stays well within the size the settings may have.
constexpr qsizetype kRecentCharacters = 8192;
// Characters of a name and of its folder in the title and the menu.
constexpr qsizetype kShownName = 60;
constexpr qsizetype kShownFolder = 80;

// A name too long to fit makes way for the older ones.
QStringList bounded(QStringList files)
{
    files.removeAll(QString());
    files.removeDuplicates();
    QStringList kept;
    qsizetype characters = 0;
    for (const QString &file : std::as_const(files)) {
        if (kept.size() == kRecentFileCount)
            break;
        if (characters + file.size() > kRecentCharacters)
            continue;
        characters += file.size();
        kept << file;
    }
    return kept;
}

using Edit = std::function<void(QStringList &)>;

// Edits made while no turn at the settings could be had (windows started by the dozen on a loaded
// machine), oldest first: taken again from the event loop, in order, so that no window's entry is
// lost and no window waits longer at once than one turn allows.
std::vector<Edit> &pendingEdits()
{
    static std::vector<Edit> edits;
    return edits;
}
constexpr int kRetryMs = 1000;
constexpr int kRetries = 30;

void applyPending(QStringList &files)
{
    for (const Edit &edit : pendingEdits())
        edit(files);
}

// The list as stored now, changed and stored again: other windows may have added to it. False
// only while another window keeps the settings; edits that cannot be stored at all are dropped.
bool storePending()
{
    bool busy = false;
    return qsjuv::updateUserSetting(QLatin1StringView(kRecentFilesKey), [](const QVariant &stored) {
        QStringList files = bounded(stored.toStringList());
        const QStringList before = files;
        applyPending(files);
        // Writing the settings syncs a file: not when the list stays as it is.
        return files == before ? stored : QVariant(bounded(files));
    }, &busy) || !busy;
}

void retryPending(int triesLeft)
{
    if (storePending() || triesLeft == 0) {
        pendingEdits().clear();
        return;
    }
    QCoreApplication *application = QCoreApplication::instance();
    QTimer::singleShot(kRetryMs, application, [triesLeft] { retryPending(triesLeft - 1); });
    // A last turn when the program ends before the next try.
    static const QMetaObject::Connection atQuit = QObject::connect(application, &QCoreApplication::aboutToQuit, [] {
        if (!pendingEdits().empty())
            retryPending(0);
    });
}

void change(Edit edit)
{
    const bool retrying = !pendingEdits().empty();
    pendingEdits().push_back(std::move(edit));
    if (!retrying) // else stored after the earlier edits, on their next try
        retryPending(QCoreApplication::instance() ? kRetries : 0);
}

QString shown(const QString &name, qsizetype maxLength)
{
    return qsjuv::displayName(QFile::encodeName(name), maxLength);
}

} // namespace

namespace qsjuv {

QStringList recentFiles()
{
    const std::unique_ptr<QSettings> settings = userSettings();
    if (!settings)
        return {};
    QStringList files = bounded(settings->value(QLatin1StringView(kRecentFilesKey)).toStringList());
    applyPending(files);
    return bounded(files);
}

void rememberRecentFile(const QString &path)
{
    change([path](QStringList &files) {
        files.removeAll(path);
        files.prepend(path);
    });
}

void forgetRecentFile(const QString &path)
{
    change([path](QStringList &files) { files.removeAll(path); });
}

QString titleFileName(const QString &path)
{
    // Qt takes every "[*]" for the modified mark and shows "[*][*]" as one literal "[*]".
    return shown(QFileInfo(path).fileName(), kShownName).replace(u"[*]"_s, u"[*][*]"_s);
}

QString recentFileEntry(const QString &path)
{
    const QFileInfo file(path);
    QString text = u"%1 (%2)"_s.arg(shown(file.fileName(), kShownName),
                                     shown(QDir::toNativeSeparators(file.absolutePath()), kShownFolder));
    return text.replace(u'&', u"&&"_s);
}

} // namespace qsjuv
