#include "check/CheckCommand.h"

#include "check/FileCheck.h"
#include "check/PointsReport.h"
#include "check/QuestionnaireDiff.h"
#include "check/ReportWriter.h"
#include "core/PathText.h"
#include "core/QuestionnaireRules.h"

#include <QCoreApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace qsjuv::check {

namespace {

constexpr char kProgram[] = "qs_juv_check";

QString optionNames(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
    return names.join(u", "_s);
}

struct Options
{
    Format format = Format::Text;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool diff = false;
    bool points = false;
    std::vector<fs::path> paths; // the raw bytes given
};

class Parser
{
public:
    Parser()
    {
        m_parser.addOptions({m_json, m_csv, m_quiet, m_diff, m_points, m_help, m_version});
    }

    QString usage() const
    {
        QString text = QCoreApplication::translate("CheckCommand", "Использование: qs_juv_check [--json | --csv] [--quiet] ПУТЬ...\n"
                       "       qs_juv_check --diff [--json] ФАЙЛ1 ФАЙЛ2\n"
                       "       qs_juv_check --points [--json | --csv] ПУТЬ...\n"
                       "Проверяет файлы опросных листов ЖУВ так, как их читает форма. ПУТЬ — файл или каталог\n"
                       "(в каталоге проверяются все файлы *.cfg, включая подкаталоги).\n");
        for (const QCommandLineOption *option : {&m_json, &m_csv, &m_quiet, &m_diff, &m_points, &m_help, &m_version})
            text += u"  %1%2\n"_s.arg(optionNames(*option), -14).arg(option->description());
        return text
                + QCoreApplication::translate("CheckCommand", "Код завершения: 0 — все файлы в порядке, 1 — есть файлы с замечаниями,\n"
                  "2 — ошибка в аргументах или путь не удалось прочитать.\n"
                  "С --diff: 0 — форма покажет файлы одинаково, 1 — есть различия или сохранение\n"
                  "файла было прервано, 2 — ошибка.\n"
                  "С --points: 0 — точки выведены для всех файлов, 2 — ошибка.\n");
    }

    // Nullopt after a usage error, reported to err.
    std::optional<Options> parse(const QByteArrayList &arguments, QTextStream &err)
    {
        QStringList decoded{QString::fromLatin1(kProgram)};
        for (const QByteArray &argument : arguments)
            decoded << QFile::decodeName(argument);
        if (!m_parser.parse(decoded)) {
            const QStringList unknown = m_parser.unknownOptionNames();
            if (!unknown.isEmpty())
                return usageError(err, QCoreApplication::translate("CheckCommand", "неизвестный ключ «%1»").arg(displayPath(QFile::encodeName(
                                               (unknown.front().size() == 1 ? u"-"_s : u"--"_s) + unknown.front()))));
            return usageError(err, m_parser.errorText());
        }
        Options options;
        options.quiet = m_parser.isSet(m_quiet);
        options.help = m_parser.isSet(m_help);
        options.version = m_parser.isSet(m_version);
        options.diff = m_parser.isSet(m_diff);
        options.points = m_parser.isSet(m_points);
        if (m_parser.isSet(m_json) && m_parser.isSet(m_csv))
            return usageError(err, QCoreApplication::translate("CheckCommand", "ключи --json и --csv несовместимы"));
        if (options.diff && (m_parser.isSet(m_csv) || options.quiet))
            return usageError(err, QCoreApplication::translate("CheckCommand", "ключ --diff совместим только с --json"));
        if (options.points && (options.diff || options.quiet))
            return usageError(err, QCoreApplication::translate("CheckCommand", "ключ --points несовместим с --diff и --quiet"));
        options.format = m_parser.isSet(m_json) ? Format::Json : m_parser.isSet(m_csv) ? Format::Csv : Format::Text;

        options.paths = rawPaths(arguments);
        if (!agreeWithParser(options.paths))
            return usageError(err, QCoreApplication::translate("CheckCommand", "не удалось разобрать аргументы"));
        if (options.help || options.version)
            return options;
        if (options.paths.empty())
            return usageError(err, QCoreApplication::translate("CheckCommand", "не указан ни один путь"));
        if (options.diff && options.paths.size() != 2)
            return usageError(err, QCoreApplication::translate("CheckCommand", "ключу --diff нужны ровно два файла"));
        return options;
    }

private:
    // The parser holds decoded text, which loses every byte that is not UTF-8: its positional
    // arguments are taken back from the raw arguments, by the same rule.
    static std::vector<fs::path> rawPaths(const QByteArrayList &arguments)
    {
        std::vector<fs::path> paths;
        bool optionsEnd = false;
        for (const QByteArray &argument : arguments) {
            if (!optionsEnd && argument == "--")
                optionsEnd = true;
            else if (optionsEnd || !argument.startsWith('-') || argument == "-")
                paths.emplace_back(argument.toStdString());
        }
        return paths;
    }

    bool agreeWithParser(const std::vector<fs::path> &paths) const
    {
        const QStringList positional = m_parser.positionalArguments();
        bool agree = qsizetype(paths.size()) == positional.size();
        for (qsizetype i = 0; agree && i < positional.size(); ++i)
            agree = QFile::decodeName(QByteArray::fromStdString(paths[std::size_t(i)].native())) == positional[i];
        return agree;
    }

    std::nullopt_t usageError(QTextStream &err, const QString &message) const
    {
        err << kProgram << ": " << message << '\n' << usage();
        return std::nullopt;
    }

    QCommandLineParser m_parser;
    const QCommandLineOption m_json{u"json"_s, QCoreApplication::translate("CheckCommand", "один документ JSON: массив, по объекту на файл")};
    const QCommandLineOption m_csv{u"csv"_s, QCoreApplication::translate("CheckCommand", "таблица CSV (UTF-8), по строке на файл")};
    const QCommandLineOption m_quiet{{u"q"_s, u"quiet"_s}, QCoreApplication::translate("CheckCommand", "выводить только файлы с замечаниями или не \"ok\"")};
    const QCommandLineOption m_diff{u"diff"_s, QCoreApplication::translate("CheckCommand", "сравнить два файла так, как их покажет форма")};
    const QCommandLineOption m_points{u"points"_s, QCoreApplication::translate("CheckCommand", "точки поверки каналов: сигнал на входе и ожидаемый выход")};
    const QCommandLineOption m_help{{u"h"_s, u"help"_s}, QCoreApplication::translate("CheckCommand", "показать эту справку")};
    const QCommandLineOption m_version{u"version"_s, QCoreApplication::translate("CheckCommand", "показать версию программы")};
};

// Exit 0 when a new window shows both files alike, 1 when not or when either is interrupted, 2
// when either cannot be read.
int runDiff(const Options &options, QTextStream &out, QTextStream &err)
{
    std::vector<FileReport> reports;
    bool interrupted = false;
    for (const fs::path &path : options.paths) {
        reports.push_back(checkFile(path));
        const FileReport &report = reports.back();
        // Its content may be a mix of old and new: compared all the same, but never equal.
        interrupted = interrupted || report.verdict == Verdict::InterruptedSave;
        if (report.verdict == Verdict::Unreadable || report.verdict == Verdict::InterruptedSave)
            err << kProgram << ": " << report.path << ": " << report.reason << '\n';
    }
    if (reports[0].verdict == Verdict::Unreadable || reports[1].verdict == Verdict::Unreadable)
        return kExitError;
    std::vector<FieldDifference> found;
    if (auto code = checkCodeDifference(reports[0].storedCode, reports[1].storedCode))
        found.push_back(std::move(*code));
    const std::vector<FieldDifference> shown = differences(reports[0].loaded.value, reports[1].loaded.value);
    found.insert(found.end(), shown.begin(), shown.end());
    if (options.format == Format::Json) {
        out << QString::fromUtf8(QJsonDocument(differencesToJson(found)).toJson(QJsonDocument::Indented));
    } else {
        for (const FieldDifference &difference : found)
            out << differenceLine(difference) << '\n';
    }
    return found.empty() && !interrupted ? kExitClean : kExitProblems;
}

// The points of each readable file as what a new window shows after loading it; exit 0, or 2
// when a path cannot be read.
int runPoints(const Options &options, QTextStream &out, QTextStream &err)
{
    const std::unique_ptr<PointsWriter> writer = makePointsWriter(options.format, out);
    writer->begin();
    bool pathFailed = false;
    const auto pointsOf = [&](const fs::path &path) {
        const FileReport report = checkFile(path);
        if (report.verdict == Verdict::Unreadable) {
            pathFailed = true;
            err << kProgram << ": " << report.path << ": " << report.reason << '\n';
            return;
        }
        writer->write(report.path, verificationPoints(report.loaded.value));
    };
    for (const fs::path &path : options.paths) {
        std::error_code ec;
        if (!fs::is_directory(path, ec))
            pointsOf(path);
        else if (forEachQuestionnaireFile(path, pointsOf, err, pathFailed) == 0)
            err << kProgram << ": " << displayPath(path) << QCoreApplication::translate("CheckCommand", ": файлов *.cfg нет\n");
    }
    writer->end();
    out.flush();
    err.flush();
    return pathFailed ? kExitError : kExitClean;
}

} // namespace

int runCheck(const QByteArrayList &arguments, QTextStream &out, QTextStream &err)
{
    Parser parser;
    const std::optional<Options> options = parser.parse(arguments, err);
    if (!options)
        return kExitError;
    if (options->help) {
        out << parser.usage();
        return kExitClean;
    }
    if (options->version) {
        out << kProgram << ' ' << kProgramVersion << '\n';
        return kExitClean;
    }
    if (options->diff)
        return runDiff(*options, out, err);
    if (options->points)
        return runPoints(*options, out, err);

    const std::unique_ptr<ReportWriter> writer = makeReportWriter(options->format, out);
    writer->begin();
    RunTotals totals;
    totals.quiet = options->quiet;
    bool pathFailed = false;
    const InterruptedSaves saves;
    const auto take = [&](const FileReport &report) {
        ++totals.files;
        if (report.verdict == Verdict::Unreadable) {
            ++totals.unreadable;
            pathFailed = true;
            err << kProgram << ": " << report.path << ": " << report.reason << '\n';
        } else if (report.clean()) {
            ++totals.clean;
        }
        if (!options->quiet || !report.clean()) {
            writer->write(report);
            ++totals.reported;
        }
    };
    const auto checkOne = [&](const fs::path &path) { take(checkFile(path)); };
    const auto checkFound = [&](const WalkEntry &entry) { take(checkFile(entry, saves)); };

    for (const fs::path &path : options->paths) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            checkOne(path);
            continue;
        }
        // Each file is checked as the walk finds it: memory does not grow with the tree.
        if (forEachQuestionnaireFile(path, checkFound, err, pathFailed) == 0)
            err << kProgram << ": " << displayPath(path) << QCoreApplication::translate("CheckCommand", ": файлов *.cfg нет\n");
    }
    writer->end(totals);
    out.flush();
    err.flush();

    if (pathFailed)
        return kExitError;
    return totals.clean == totals.files ? kExitClean : kExitProblems;
}

} // namespace qsjuv::check
