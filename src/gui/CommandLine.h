#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qsjuv {

// What the program was asked to do at start.
struct CommandLine
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::optional<QString> file; // a questionnaire to load at start
    QString output; // the help or version text, or the error (for standard error)
    int exitCode = 0; // when the program ends without a window
    // Positions in the arguments of Qt's own options (-platform, -style, ...) and their values:
    // the only ones QApplication is given, so that it takes nothing after "--" or the FILE.
    QList<int> qtArguments;
};

// arguments as the program was started with them, program name first, and the same as bytes
// (rawArguments, when given) so that an unknown option is shown as it was typed. Decided before any
// display is needed: help, version and usage errors never open one.
CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &rawArguments = {});

// Whether file, decoded from one of the raw arguments, still names the same bytes. A name that
// is not UTF-8 (a Windows-1251 name from an archive, say) does not survive QString, and what is
// left of it could name another file.
bool fileNameSurvives(const QString &file, const QList<QByteArray> &rawArguments);

} // namespace qsjuv
