#include "gui/CommandLine.h"

#include "core/PathText.h"
#include "core/QuestionnaireFormat.h"

#include <QCoreApplication>
#include <QCommandLineParser>
#include <QFile>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

// The options QGuiApplication, QApplication and the platform plug-ins read from the command line.
const QStringList kQtOptionsWithValue = {
    u"platform"_s, u"platformpluginpath"_s, u"platformtheme"_s, u"plugin"_s, u"qwindowgeometry"_s,
    u"geometry"_s, u"qwindowicon"_s, u"icon"_s, u"qwindowtitle"_s, u"title"_s, u"session"_s,
    u"display"_s, u"name"_s, u"visual"_s, u"style"_s, u"stylesheet"_s, u"qmljsdebugger"_s};
const QStringList kQtFlags = {u"reverse"_s, u"widgetcount"_s, u"testability"_s, u"nograb"_s, u"dograb"_s, u"sync"_s};

// An option's name as the parser reports it: without its dashes or an attached value.
QString optionName(const QString &argument)
{
    QString name = argument.mid(argument.startsWith(u"--"_s) ? 2 : 1);
    return name.left(name.indexOf(u'='));
}

QList<int> qtArguments(const QStringList &arguments)
{
    QList<int> positions;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--"_s)
            break;
        if (!argument.startsWith(u'-') || argument == u"-"_s)
            continue;
        const QString name = optionName(argument);
        if (kQtFlags.contains(name)) {
            positions << i;
        } else if (kQtOptionsWithValue.contains(name)) {
            positions << i;
            if (!argument.contains(u'=') && i + 1 < arguments.size())
                positions << ++i;
        }
    }
    return positions;
}

// The unknown option's bytes as they were typed, up to an attached value: decoded text has lost
// every byte that is not UTF-8.
QByteArray typedOption(const QStringList &arguments, const QList<QByteArray> &rawArguments, const QString &unknown)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(u'-') || optionName(argument) != unknown)
            continue;
        const QByteArray typed = i < rawArguments.size() ? rawArguments[i] : QFile::encodeName(argument);
        const qsizetype value = typed.indexOf('=');
        return value < 0 ? typed : typed.left(value);
    }
    return QFile::encodeName(unknown);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &rawArguments)
{
    // The parser's own help text is English: the options are described here instead. Qt's own
    // options are known to it, so that only what neither knows is an error.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(QStringList{u"v"_s, u"version"_s});
    parser.addOption(help);
    parser.addOption(version);
    for (const QString &name : kQtOptionsWithValue)
        parser.addOption(QCommandLineOption(name, QString(), u"value"_s));
    for (const QString &name : kQtFlags)
        parser.addOption(QCommandLineOption(name));
    parser.addPositionalArgument(u"file"_s, QString());

    CommandLine result;
    result.qtArguments = qtArguments(arguments);
    const QString usage = QCoreApplication::translate("CommandLine", "Использование: qs_juv [ФАЙЛ]\n");
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Error;
        const QStringList unknown = parser.unknownOptionNames();
        QString shown;
        if (!unknown.isEmpty()) {
            // As it was typed, with its dashes; escaped, so that it cannot drive the terminal.
            shown = displayPath(typedOption(arguments, rawArguments, unknown.front()));
        }
        result.output = (unknown.isEmpty() ? QCoreApplication::translate("CommandLine", "qs_juv: неверные параметры\n")
                                           : QCoreApplication::translate("CommandLine", "qs_juv: неизвестный параметр: %1\n").arg(shown))
                + usage + QCoreApplication::translate("CommandLine", "Подробнее: qs_juv --help\n");
        result.exitCode = 2;
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.output = usage
                + QCoreApplication::translate("CommandLine", "Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720.\n\n"
                  "  ФАЙЛ           опросный лист (*.cfg), который открывается при запуске\n"
                  "  -h, --help     показать эту справку и выйти\n"
                  "  -v, --version  показать версию программы и выйти\n");
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.output = u"qs_juv %1\n"_s.arg(QLatin1StringView(kProgramVersion));
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.action = CommandLine::Action::Error;
        result.output = QCoreApplication::translate("CommandLine", "qs_juv: можно указать только один файл\n") + usage;
        result.exitCode = 2;
        return result;
    }
    if (!files.isEmpty())
        result.file = files.front();
    return result;
}

bool fileNameSurvives(const QString &file, const QList<QByteArray> &rawArguments)
{
    return rawArguments.contains(QFile::encodeName(file));
}

} // namespace qsjuv
