#include "gui/UserSettings.h"

#include <QFile>
#include <QLibraryInfo>
#include <QStandardPaths>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace qsjuv {

std::unique_ptr<QSettings> userSettings()
{
    // Every file QSettings may open for this program: the user's and the system's, of the
    // program and of its organisation, each with the lock it takes beside it. Links followed.
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders << QLibraryInfo::path(QLibraryInfo::SettingsPath);
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &file : {folder + u"/qs_juv/qs_juv.conf"_s, folder + u"/qs_juv.conf"_s}) {
            for (const QString &name : {file, file + u".lock"_s}) {
                struct stat info {};
                if (stat(QFile::encodeName(name).constData(), &info) == 0 && !S_ISREG(info.st_mode))
                    return nullptr;
            }
        }
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, u"qs_juv"_s, u"qs_juv"_s);
}

} // namespace qsjuv
