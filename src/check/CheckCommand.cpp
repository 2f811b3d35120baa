#include "check/CheckCommand.h"

#include "check/FileCheck.h"
#include "check/ReportWriter.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace qsjuv::check {

namespace {

constexpr char kProgram[] = "qs_juv_check";

const QString kUsage = u"Использование: qs_juv_check [--json | --csv] [--quiet] ПУТЬ...\n"
                       "Проверяет файлы опросных листов ЖУВ так, как их читает форма. ПУТЬ — файл или каталог\n"
                       "(в каталоге проверяются все файлы *.cfg, включая подкаталоги).\n"
                       "  --json   один документ JSON: массив, по объекту на файл\n"
                       "  --csv    таблица CSV (UTF-8), по строке на файл\n"
                       "  --quiet  выводить только файлы с замечаниями или не \"ok\"\n"
                       "Код завершения: 0 — все файлы в порядке, 1 — есть файлы с замечаниями,\n"
                       "2 — ошибка в аргументах или путь не удалось прочитать.\n"_s;

QString fromNative(const fs::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

bool hasQuestionnaireSuffix(const std::string &name)
{
    if (name.size() < 4)
        return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'c' && (tail[2] | 0x20) == 'f' && (tail[3] | 0x20) == 'g';
}

void collect(const fs::path &dir, QStringList &files, QTextStream &err, bool &failed)
{
    struct Entry
    {
        std::string name;
        fs::path path;
        bool isDir;
    };
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry &entry = *it;
        std::error_code typeEc;
        std::string name = entry.path().filename().native();
        // The link test comes from the listing itself; following a link costs a stat.
        if (!entry.is_symlink(typeEc) && entry.is_directory(typeEc))
            entries.push_back({std::move(name), entry.path(), true});
        else if (hasQuestionnaireSuffix(name) && entry.is_regular_file(typeEc))
            entries.push_back({std::move(name), entry.path(), false});
    }
    if (ec) {
        err << kProgram << ": " << fromNative(dir) << u": не удалось прочитать каталог: "_s
            << QString::fromLocal8Bit(ec.message()) << '\n';
        failed = true;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    for (const Entry &entry : entries) {
        if (entry.isDir)
            collect(entry.path, files, err, failed);
        else
            files << fromNative(entry.path);
    }
}

struct Options
{
    Format format = Format::Text;
    bool quiet = false;
    bool help = false;
    QStringList paths;
};

// Nullopt after a usage error, reported to err.
std::optional<Options> parseArguments(const QStringList &arguments, QTextStream &err)
{
    Options options;
    bool formatGiven = false;
    bool optionsEnd = false;
    for (const QString &arg : arguments) {
        if (optionsEnd || !arg.startsWith(u'-') || arg == u"-"_s) {
            options.paths << arg;
            continue;
        }
        Format format = Format::Text;
        if (arg == u"--"_s) {
            optionsEnd = true;
            continue;
        } else if (arg == u"--quiet"_s || arg == u"-q"_s) {
            options.quiet = true;
            continue;
        } else if (arg == u"--help"_s || arg == u"-h"_s) {
            options.help = true;
            continue;
        } else if (arg == u"--json"_s) {
            format = Format::Json;
        } else if (arg == u"--csv"_s) {
            format = Format::Csv;
        } else {
            err << kProgram << u": неизвестный ключ «"_s << arg << u"»\n"_s << kUsage;
            return std::nullopt;
        }
        if (formatGiven && format != options.format) {
            err << kProgram << u": ключи --json и --csv несовместимы\n"_s << kUsage;
            return std::nullopt;
        }
        formatGiven = true;
        options.format = format;
    }
    if (!options.help && options.paths.isEmpty()) {
        err << kProgram << u": не указан ни один путь\n"_s << kUsage;
        return std::nullopt;
    }
    return options;
}

} // namespace

QStringList questionnaireFiles(const QString &dir, QTextStream &err, bool &failed)
{
    QStringList files;
    collect(fs::path(QFile::encodeName(dir).toStdString()), files, err, failed);
    return files;
}

int runCheck(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const std::optional<Options> options = parseArguments(arguments, err);
    if (!options)
        return kExitError;
    if (options->help) {
        out << kUsage;
        return kExitClean;
    }

    const std::unique_ptr<ReportWriter> writer = makeReportWriter(options->format, out);
    writer->begin();
    Summary summary;
    summary.quiet = options->quiet;
    bool pathFailed = false;
    const auto checkOne = [&](const QString &path) {
        const FileReport report = checkFile(path);
        ++summary.files;
        if (report.verdict == Verdict::Unreadable) {
            ++summary.unreadable;
            pathFailed = true;
            err << kProgram << ": " << path << ": " << report.reason << '\n';
        } else if (report.clean()) {
            ++summary.clean;
        }
        if (!options->quiet || !report.clean()) {
            writer->write(report);
            ++summary.reported;
        }
    };

    for (const QString &path : options->paths) {
        if (!QFileInfo(path).isDir()) {
            checkOne(path);
            continue;
        }
        const QStringList files = questionnaireFiles(path, err, pathFailed);
        if (files.isEmpty())
            err << kProgram << ": " << path << u": файлов *.cfg нет\n"_s;
        for (const QString &file : files)
            checkOne(file);
    }
    writer->end(summary);
    out.flush();
    err.flush();

    if (pathFailed)
        return kExitError;
    return summary.clean == summary.files ? kExitClean : kExitProblems;
}

} // namespace qsjuv::check
