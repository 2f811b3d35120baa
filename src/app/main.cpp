#include "gui/Application.h"
#include "gui/CommandLine.h"
#include "gui/QuestionnaireWindow.h"
#include "core/AtomicFile.h"
#include "core/Translation.h"

#include <QCoreApplication>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

namespace {
// Help or a version that could not be written (a closed or full standard output) is no success.
int finish(const qsjuv::CommandLine &commandLine)
{
    // A reader that has gone (`qs_juv --help | true`) is a failed write with its reason, not death
    // by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    FILE *stream = commandLine.exitCode ? stderr : stdout;
    errno = 0;
    const bool written = std::fputs(commandLine.output.toLocal8Bit().constData(), stream) >= 0
            && std::fflush(stream) == 0;
    if (!written) {
        const int error = errno;
        std::fprintf(stderr, "%s", QCoreApplication::translate("main", "qs_juv: не удалось вывести текст: %1\n")
                                           .arg(QString::fromLocal8Bit(std::strerror(error))).toLocal8Bit().constData());
        return commandLine.exitCode ? commandLine.exitCode : 1;
    }
    return commandLine.exitCode;
}
// Once the window is up, so that its messages have a window to belong to: first what a crash
// left unsaved; a questionnaire taken back from it is not replaced by the file.
void openAtStart(QuestionnaireWindow &form, const qsjuv::CommandLine &commandLine, const QList<QByteArray> &rawArguments)
{
    const bool survives = commandLine.file && qsjuv::fileNameSurvives(*commandLine.file, rawArguments);
    // A name that is not UTF-8 is opened by the bytes it was given as.
    QByteArray typedName;
    for (const QByteArray &raw : rawArguments)
        if (commandLine.file && !survives && QString::fromLocal8Bit(raw) == *commandLine.file)
            typedName = raw;
    const std::optional<QString> file = commandLine.file;
    QTimer::singleShot(0, &form, [&form, file, survives, typedName] {
        if (form.offerRecovery())
            return;
        if (survives)
            form.loadFile(*file);
        else if (!typedName.isEmpty())
            form.loadFileByName(typedName);
        else if (file)
            form.showNameNotUtf8();
    });
}
} // namespace

int main(int argc, char *argv[])
{
    // A file-size limit must fail a save with its reason, not end the program with the form.
    qsjuv::ignoreFileSizeSignal();

    // Everything is decided before the application exists: help, the version and usage errors
    // need no display.
    QStringList arguments;
    QList<QByteArray> typed;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
        typed << QByteArray(argv[i]);
    }
    const QList<QByteArray> rawArguments = typed.mid(1);
    qsjuv::CommandLine commandLine;
    {
        // Help and usage errors speak the user's language too: a translator needs an application
        // object, and this one sees no argument and is gone before the window's exists.
        int coreArgc = 1;
        char *coreArgv[] = {argv[0], nullptr};
        QCoreApplication language(coreArgc, coreArgv);
        qsjuv::installTranslation(language);
        commandLine = qsjuv::parseCommandLine(arguments, typed);
        if (commandLine.action != qsjuv::CommandLine::Action::Run)
            return finish(commandLine);
    }

    // The application sees its own options only: never the FILE, nothing after "--".
    std::vector<char *> qtArgv{argv[0]};
    for (const int i : commandLine.qtArguments)
        qtArgv.push_back(argv[i]);
    qtArgv.push_back(nullptr);
    int qtArgc = int(qtArgv.size()) - 1;

    Application app(qtArgc, qtArgv.data());
    try {
        QuestionnaireWindow form;
        form.show();
        openAtStart(form, commandLine, rawArguments);
        app.exec();
    } catch (const std::exception &e) {
        Application::showException(QString::fromUtf8(e.what()));
    } catch (...) {
        Application::showException(QString());
    }
    return 0;
}
