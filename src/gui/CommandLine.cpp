#include "gui/CommandLine.h"

#include "core/QuestionnaireFormat.h"

#include <QCommandLineParser>
#include <QFile>

using namespace Qt::StringLiterals;

namespace qsjuv {

CommandLine parseCommandLine(const QStringList &arguments)
{
    // The parser's own help text is English: the options are described here instead.
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(QStringList{u"v"_s, u"version"_s});
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(u"file"_s, QString());

    CommandLine result;
    const QString usage = u"Использование: qs_juv [ФАЙЛ]\n"_s;
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Error;
        const QStringList unknown = parser.unknownOptionNames();
        result.output = (unknown.isEmpty() ? u"qs_juv: неверные параметры\n"_s
                                           : u"qs_juv: неизвестный параметр: %1\n"_s.arg(unknown.front()))
                + usage + u"Подробнее: qs_juv --help\n"_s;
        result.exitCode = 2;
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.output = usage
                + u"Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720.\n\n"
                  "  ФАЙЛ           опросный лист (*.cfg), который открывается при запуске\n"
                  "  -h, --help     показать эту справку и выйти\n"
                  "  -v, --version  показать версию программы и выйти\n"_s;
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
        result.output = u"qs_juv: можно указать только один файл\n"_s + usage;
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
