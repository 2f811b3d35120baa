#include "gui/Application.h"

#include <QMessageBox>

#include <exception>

using namespace Qt::StringLiterals;

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // No display name: the platform would append it to the form's caption.
    setApplicationName(u"qs_juv"_s);
}

QString TApplication::title()
{
    return u"Опросный лист ЖУВ"_s;
}

bool TApplication::notify(QObject *receiver, QEvent *event)
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

QString TApplication::exceptionText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void TApplication::showException(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, title(), exceptionText(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
