#include "gui/Application.h"
#include "gui/MessageBox.h"

#include "core/Translation.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <exception>

using namespace Qt::StringLiterals;

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // No display name: the platform would append it to the form's caption.
    setApplicationName(u"qs_juv"_s);
    installTranslations(*this);
}

void Application::installTranslations(QCoreApplication &app)
{
    // English where the locale is English; anywhere else the sources' own Russian, with no
    // translator to load.
    if (qsjuv::installTranslation(app))
        return;
    // Qt's own dialogs and buttons speak Russian with the form; without the translation
    // (Debian's qt6-translations-l10n) they stay English and the program runs as well.
    auto *qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(QLocale(QLocale::Russian, QLocale::Russia), u"qtbase"_s, u"_"_s,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
}

QString Application::title()
{
    return tr("Опросный лист ЖУВ");
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        showException(QString::fromUtf8(e.what()));
    } catch (...) {
        showException(QString());
    }
    return false;
}

QString Application::exceptionText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Application::showException(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, title(), exceptionText(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    MessageBox::exec(box);
}
