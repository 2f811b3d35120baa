#include "gui/Application.h"
#include "gui/CommandLine.h"
#include "gui/Qs_juvunit.h"

#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace {
int finish(const qsjuv::CommandLine &commandLine)
{
    std::fputs(commandLine.output.toLocal8Bit().constData(), commandLine.exitCode ? stderr : stdout);
    return commandLine.exitCode;
}
} // namespace

int main(int argc, char *argv[])
{
    // Help and the version need no display; Qt's own options (-platform …) are only known to
    // the application, so everything else is parsed once it exists.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const auto early = qsjuv::parseCommandLine(rawArguments);
        early.action == qsjuv::CommandLine::Action::Help || early.action == qsjuv::CommandLine::Action::Version)
        return finish(early);

    TApplication app(argc, argv);
    const qsjuv::CommandLine commandLine = qsjuv::parseCommandLine(QCoreApplication::arguments());
    if (commandLine.action != qsjuv::CommandLine::Action::Run)
        return finish(commandLine);
    try {
        TQS_JUVForm form;
        form.show();
        // The application has taken its own options out of argv: what is left is the user's.
        QList<QByteArray> rawArguments;
        for (int i = 1; i < argc; ++i)
            rawArguments << QByteArray(argv[i]);
        // Loaded once the window is up, so that its messages have a window to belong to.
        if (commandLine.file && qsjuv::fileNameSurvives(*commandLine.file, rawArguments)) {
            QTimer::singleShot(0, &form, [&form, path = *commandLine.file] { form.loadFile(path); });
        } else if (commandLine.file) {
            QTimer::singleShot(0, &form, [&form] {
                QMessageBox box(QMessageBox::Critical, form.caption(),
                                QStringLiteral("Указанный файл не удалось прочитать!\n"
                                               "Имя файла записано не в кодировке UTF-8."),
                                QMessageBox::Ok, &form);
                box.exec();
            });
        }
        app.exec();
    } catch (const std::exception &e) {
        TApplication::showException(QString::fromUtf8(e.what()));
    } catch (...) {
        TApplication::showException(QString());
    }
    return 0;
}
