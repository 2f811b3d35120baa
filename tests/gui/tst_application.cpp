// An exception that escapes an event handler is shown, and the program goes on.
#include "Answers.h"
#include "gui/Application.h"

#include <QAbstractButton>

#include <QFileInfo>
#include <QLibraryInfo>
#include <QTest>

#include <stdexcept>

namespace {
class Thrower : public QObject
{
public:
    int handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Сбой при обработке");
        if (event->type() == QEvent::Type(QEvent::User + 1))
            throw 42;
        if (event->type() == QEvent::Type(QEvent::User + 2)) {
            ++handled;
            return true;
        }
        return QObject::event(event);
    }
};
} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void exceptionsAreShown();
    void qtSpeaksRussian();
};

void TestApplication::exceptionsAreShown()
{
    Thrower thrower;
    Answers script;
    script.press(QMessageBox::Ok).press(QMessageBox::Ok);
    QEvent first(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &first);
    QEvent second(QEvent::Type(QEvent::User + 1));
    QCoreApplication::sendEvent(&thrower, &second);
    QVERIFY(script.unexpected().isEmpty());
    QCOMPARE(script.messages().size(), size_t(2));
    QCOMPARE(script.messages()[0].text, QStringLiteral("Сбой при обработке."));
    QCOMPARE(script.messages()[0].icon, QMessageBox::Critical);
    QCOMPARE(script.messages()[0].title, QStringLiteral("Опросный лист ЖУВ"));
    QCOMPARE(script.messages()[1].text, QString()); // not a std::exception: an empty message

    // The loop goes on delivering events.
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 2)));
    QTRY_COMPARE(thrower.handled, 1);
}

// Qt's own buttons and dialogs are Russian when Debian's translations are installed.
void TestApplication::qtSpeaksRussian()
{
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm")))
        QSKIP("qt6-translations-l10n is not installed");
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&Нет"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("&Имя файла:"));
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
