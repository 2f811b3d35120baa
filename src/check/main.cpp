// qs_juv_check: checks questionnaire files in bulk, reading them as the form's loader does.
#include "check/CheckCommand.h"
#include "core/Translation.h"

#include <QCoreApplication>
#include <QFile>

#include <clocale>
#include <cstdio>

static bool machineReadable(const QByteArrayList &arguments)
{
    for (const QByteArray &argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--json" || argument == "--csv")
            return true;
    }
    return false;
}

int main(int argc, char **argv)
{
    // The system's reasons (strerror) in the user's language.
    std::setlocale(LC_ALL, "");

    // Raw bytes: a name in Windows-1251 must reach the open call as it was given.
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);

    // The application object only carries the translator: it reads no argument.
    int coreArgc = 1;
    char *coreArgv[] = {argv[0], nullptr};
    QCoreApplication app(coreArgc, coreArgv);
    // JSON and CSV feed the lab's scripts: their values stay the same on every desktop.
    if (!machineReadable(arguments))
        qsjuv::installTranslation(app);

    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return qsjuv::check::kExitError;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    int status = qsjuv::check::runCheck(arguments, outStream, errStream);

    // A report cut short (a full disk) must not pass for a complete one.
    outStream.flush();
    if (outStream.status() != QTextStream::Ok || !out.flush()) {
        errStream << "qs_juv_check: " << out.errorString() << '\n';
        status = qsjuv::check::kExitError;
    }
    return status;
}
