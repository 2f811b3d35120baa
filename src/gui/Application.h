#pragma once

#include <QApplication>

// Shows an exception that escapes an event handler and lets the event loop go on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The program's texts in the locale's language, and Qt's own with them (tests call it too).
    static void installTranslations(QCoreApplication &app);

    // The title of the exception display.
    static QString title();

    // The message as the exception display shows it: a full stop is added after a last
    // character that sorts after the full stop.
    static QString exceptionText(const QString &message);
    static void showException(const QString &message);
};
