#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

// Permissions mean nothing to root. Run as root, this runs the named test function of this very
// test program again as user nobody (through setpriv, with a deadline), passes or fails with it
// and returns from the caller; run by anybody else, it does nothing and the caller goes on to do
// the work. Skips when root cannot change users. function may name one row: "test:row".
#define QS_JUV_RUN_AS_NOBODY(function)                                                              \
    do {                                                                                            \
        if (geteuid() != 0)                                                                         \
            break;                                                                                  \
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));          \
        const QStringList asNobody{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),  \
                                   QStringLiteral("--clear-groups")};                               \
        if (setpriv.isEmpty() || QProcess::execute(setpriv, asNobody + QStringList{QStringLiteral("true")}) != 0) \
            QSKIP("needs a user without root's powers, and setpriv cannot become nobody here");     \
        QProcess child;                                                                             \
        child.setProcessChannelMode(QProcess::MergedChannels);                                      \
        child.start(setpriv, asNobody + QStringList{QCoreApplication::applicationFilePath(),         \
                                                    QString::fromUtf8(function)});                     \
        const bool finished = child.waitForFinished(60000);                                         \
        if (!finished)                                                                              \
            child.kill();                                                                           \
        QVERIFY2(finished, "the run as nobody did not finish in time");                            \
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,              \
                 child.readAll().constData());                                                      \
        return;                                                                                     \
    } while (false)
