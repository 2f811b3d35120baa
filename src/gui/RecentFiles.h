#pragma once

#include <QString>
#include <QStringList>

namespace qsjuv {

// The files loaded or saved last, newest first, as the user's settings hold them now (another
// window may have changed them): at most eight, and no more than the settings can hold.
QStringList recentFiles();

// Puts path first. The settings are written only when the list changes, and not at all when
// they cannot be used without blocking. A change made while another window keeps the settings
// longer than a turn is stored from the event loop later, in order; the list shows it meanwhile.
void rememberRecentFile(const QString &path);

// Takes path off the list, as when its file has vanished.
void forgetRecentFile(const QString &path);

// A name as the window shows it, escaped as the checker shows names and shortened in the middle,
// so that no name can reverse, hide or push away the text around it.
// The window's file in the title; Qt's "[*]" placeholder in the name stays literal.
QString titleFileName(const QString &path);
// A recent-files menu entry: "name (folder)", with '&' shown as itself.
QString recentFileEntry(const QString &path);

} // namespace qsjuv
