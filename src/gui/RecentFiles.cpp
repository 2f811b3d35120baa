#include "gui/RecentFiles.h"

#include "core/PathText.h"
#include "gui/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

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

// The list as stored now, changed and stored again: other windows may have added to it.
void change(const std::function<void(QStringList &)> &edit)
{
    qsjuv::updateUserSetting(QLatin1StringView(kRecentFilesKey), [&](const QVariant &stored) {
        QStringList files = bounded(stored.toStringList());
        const QStringList before = files;
        edit(files);
        // Writing the settings syncs a file: not when the list stays as it is.
        return files == before ? stored : QVariant(bounded(files));
    });
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
    return bounded(settings->value(QLatin1StringView(kRecentFilesKey)).toStringList());
}

void rememberRecentFile(const QString &path)
{
    change([&](QStringList &files) {
        files.removeAll(path);
        files.prepend(path);
    });
}

void forgetRecentFile(const QString &path)
{
    change([&](QStringList &files) { files.removeAll(path); });
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
