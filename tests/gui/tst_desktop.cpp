// The desktop entry points: the command line, a drop on the window, the remembered folder of the
// file dialogs, the shortcuts and the printed summary.
#include "AsUser.h"
#include "SpecialFiles.h"
#include "gui/CommandLine.h"
#include "gui/HelpWindow.h"
#include "gui/RecentFiles.h"
#include "gui/UserSettings.h"
#include "FormDriver.h"
#include "core/Texts.h"
#include "core/UserState.h"
#include "Answers.h"
#include "ModalScript.h"
#include "Questionnaires.h"
#include "Watchdog.h"

#include <QScopeGuard>
#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QCompleter>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTranslator>
#include <QUrl>

#include <csignal>
#include <memory>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using qsjuv::testing::readAll;
using qsjuv::testing::writeAll;

namespace {
// The folder a command's file dialog starts in; the dialog is closed unused. A questionnaire
// without requisites would be refused before any dialog: it gets them.
QString startFolder(QuestionnaireWindow &form, void (QuestionnaireWindow::*command)())
{
    if (command != &QuestionnaireWindow::load && edit(form, "FirmNameEdit")->text().isEmpty())
        edit(form, "FirmNameEdit")->setText(u"ACME"_s);
    if (command != &QuestionnaireWindow::load && edit(form, "MailEdit")->text().isEmpty())
        edit(form, "MailEdit")->setText(u"a@b.cd"_s);
    QString folder;
    ModalScript script;
    script.inspect([&folder](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            folder = dialog->directory().absolutePath();
    });
    (form.*command)();
    return folder;
}

// ЖУВ-720-221 and a firm: told apart from the form's start at a glance.
const QByteArray kQuestionnaire = "[Device]\r\nid=81\r\n[Reqs]\r\nFirm=Drop\r\nCheckCode=105\r\n";

// Runs a command that writes a file, path chosen in its dialog: the messages it showed, then any
// dialog nobody answered as planned.
QStringList written(QuestionnaireWindow &form, void (QuestionnaireWindow::*command)(), const QString &path)
{
    return writeThroughForm(form, path, {QMessageBox::Ok}, command).boxes();
}

QString model(const QuestionnaireWindow &form) { return combo(form, "DeviceCombo")->currentText(); }

// The text pdftotext finds in a PDF, one line per line of the page.
QString pdfText(const QString &pdf)
{
    const QString tool = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (tool.isEmpty())
        qFatal("pdftotext (poppler-utils) is missing: scripts/deps.sh installs it");
    QProcess process;
    process.start(tool, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Height in points of the word text names on the page: text laid out for the screen's resolution
// instead of the PDF's comes out a third of its size.
double wordHeight(const QString &pdf, const QString &text)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(u"pdftotext"_s), {u"-bbox"_s, pdf, u"-"_s});
    if (!process.waitForFinished(30000))
        return 0;
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(uR"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    for (const QRegularExpressionMatch &m : word.globalMatch(html))
        if (m.captured(3) == text)
            return m.captured(2).toDouble() - m.captured(1).toDouble();
    return 0;
}

QMimeData *urls(const QList<QUrl> &list)
{
    auto *data = new QMimeData;
    data->setUrls(list);
    return data;
}
} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void recoveryAfterKill();
    void commandLine_data();
    void commandLine();
    void programWithoutWindow_data();
    void programWithoutWindow();
    void commandLineLoads_data();
    void commandLineLoads();
    void drop_data();
    void drop();
    void rememberedFolder();
    void settingsNeverBlock_data();
    void settingsNeverBlock();
    void summary_data();
    void summary();
    void summaryReplaceAndFailure();
    void shortcutsAndMenu();
    void recentFilesAndDialogs();

private:
    void settingsUnusable(const QByteArray &plain, const QString &folder);
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestDesktop::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("forQt"); // what QApplication is given besides the program's name
    using A = qsjuv::CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << int(A::Run) << QString() << QString() << 0 << QStringList{};
    QTest::newRow("file") << QStringList{u"a b.cfg"_s} << int(A::Run) << u"a b.cfg"_s << QString() << 0 << QStringList{};
    QTest::newRow("file after --") << QStringList{u"--"_s, u"-x.cfg"_s} << int(A::Run) << u"-x.cfg"_s << QString() << 0 << QStringList{};
    QTest::newRow("help") << QStringList{u"--help"_s} << int(A::Help) << QString() << u"Использование: qs_juv [ФАЙЛ]"_s << 0 << QStringList{};
    QTest::newRow("-h with a file") << QStringList{u"f.cfg"_s, u"-h"_s} << int(A::Help) << QString() << u"--version"_s << 0 << QStringList{};
    QTest::newRow("version") << QStringList{u"--version"_s} << int(A::Version) << QString() << u"qs_juv 4e\n"_s << 0 << QStringList{};
    QTest::newRow("-v") << QStringList{u"-v"_s} << int(A::Version) << QString() << u"qs_juv 4e\n"_s << 0 << QStringList{};
    QTest::newRow("unknown option") << QStringList{u"--print"_s} << int(A::Error) << QString()
                                    << u"неизвестный параметр: --print\n"_s << 2 << QStringList{};
    QTest::newRow("two files") << QStringList{u"a.cfg"_s, u"b.cfg"_s} << int(A::Error) << QString()
                               << u"можно указать только один файл"_s << 2 << QStringList{};
    // Shown as typed, escaped: an escape sequence in it would retitle the terminal.
    QTest::newRow("unknown option with a terminal escape") << QStringList{u"--\x1b]0;x\x07"_s} << int(A::Error) << QString()
            << u"неизвестный параметр: --\\x1b]0;x\\x07\n"_s << 2 << QStringList{};
    QTest::newRow("unknown single-dash option") << QStringList{u"-print=x"_s} << int(A::Error) << QString()
            << u"неизвестный параметр: -print\n"_s << 2 << QStringList{};
    // Qt's own options go to Qt only; after "--" everything is the user's.
    QTest::newRow("Qt's options and a file") << QStringList{u"-platform"_s, u"offscreen"_s, u"-style=fusion"_s, u"q.cfg"_s}
            << int(A::Run) << u"q.cfg"_s << QString() << 0
            << QStringList{u"-platform"_s, u"offscreen"_s, u"-style=fusion"_s};
    QTest::newRow("-reverse after --") << QStringList{u"-reverse"_s, u"--"_s, u"-reverse"_s} << int(A::Run)
            << u"-reverse"_s << QString() << 0 << QStringList{u"-reverse"_s};
}

void TestDesktop::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, file);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QStringList, forQt);
    arguments.prepend(u"qs_juv"_s);
    const qsjuv::CommandLine parsed = qsjuv::parseCommandLine(arguments);
    QStringList givenToQt;
    for (const int i : parsed.qtArguments)
        givenToQt << arguments.value(i);
    QCOMPARE(givenToQt, forQt);
    QCOMPARE(int(parsed.action), action);
    QCOMPARE(parsed.file.value_or(QString()), file);
    QCOMPARE(parsed.file.has_value(), !file.isEmpty());
    QVERIFY2(parsed.output.contains(output), qPrintable(parsed.output));
    QCOMPARE(parsed.output.isEmpty(), output.isEmpty());
    QCOMPARE(parsed.exitCode, exitCode);

    // A name whose bytes are not UTF-8 comes out of QString as other bytes.
    QList<QByteArray> raw;
    for (const QString &argument : arguments)
        raw << argument.toUtf8();
    if (parsed.file) {
        QVERIFY(qsjuv::fileNameSurvives(*parsed.file, raw));
        const QByteArray cp1251 = "\xce\xef\xf0\xee\xf1.cfg"; // "Опрос.cfg" in Windows-1251
        QVERIFY(!qsjuv::fileNameSurvives(QFile::decodeName(cp1251), {raw.front(), cp1251}));
    }
}

void TestDesktop::programWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments"); // spelled for printf %b: \\xHH is a byte
    QTest::addColumn<QString>("output"); // a file for standard output; "|": a pipe nobody reads
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // the beginning of standard error
    QTest::newRow("help") << QStringList{u"--help"_s} << QString() << 0 << QString();
    QTest::newRow("help to a full disk") << QStringList{u"--help"_s} << u"/dev/full"_s << 1
                                         << u"qs_juv: не удалось вывести текст: "_s;
    QTest::newRow("help into a pipe nobody reads") << QStringList{u"--help"_s} << u"|"_s << 1
                                                   << u"qs_juv: не удалось вывести текст: "_s;
    QTest::newRow("unknown option not in UTF-8") << QStringList{u"-\\xff\\xfe=\\xff"_s} << QString() << 2
                                                 << u"qs_juv: неизвестный параметр: -\\xff\\xfe\n"_s;
    QTest::newRow("version to a full disk") << QStringList{u"-v"_s} << u"/dev/full"_s << 1
                                            << u"qs_juv: не удалось вывести текст: "_s;
    QTest::newRow("unknown option") << QStringList{u"-platform"_s, u"xcb"_s, u"--\x1b]0;x\x07"_s} << QString() << 2
                                    << u"qs_juv: неизвестный параметр: --\\x1b]0;x\\x07\n"_s;
}

// The program itself, with no display to open: help, the version and usage errors need none,
// and output that cannot be written is no success.
void TestDesktop::programWithoutWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    program.setProcessEnvironment(environment);
    if (output == u"|"_s) {
        // Its reader closed before the program starts: every write fails, none by chance succeeds.
        program.setChildProcessModifier([] {
            int ends[2];
            if (pipe(ends) == 0 && close(ends[0]) == 0)
                dup2(ends[1], STDOUT_FILENO);
        });
    } else if (!output.isEmpty()) {
        program.setStandardOutputFile(output);
    }
    // QProcess passes arguments as UTF-8; bash's printf makes any bytes.
    program.start(u"/bin/bash"_s, QStringList{u"-c"_s, u"a=(); for x; do a+=(\"$(printf %b \"$x\")\"); done; exec \"$0\" \"${a[@]}\""_s,
                                              QStringLiteral(QS_JUV_BINARY)} + arguments);
    QVERIFY(program.waitForFinished(20000));
    const QString stderrText = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit, qPrintable(stderrText));
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY2(stderrText.startsWith(error), qPrintable(stderrText));
    QVERIFY(!stderrText.contains(QChar(0x1b)));
}

void TestDesktop::commandLineLoads_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("firm");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title"); // the name as the title holds it, before Qt's "[*]" is applied
    QTest::addColumn<QString>("entry"); // and in the recent-files menu, before its '&' is applied
    const QString start = u"start.cfg"_s;
    QTest::newRow("file given") << kQuestionnaire << QString() << u"ЖУВ-720-221"_s << u"Drop"_s << start << start << start;
    QTest::newRow("missing file") << QByteArray() << kUnreadable << u"ЖУВ-610-101"_s << QString() << start << QString() << QString();
    // Applied as far as it goes, its own requisites shown.
    QTest::newRow("damaged file") << QByteArray(kQuestionnaire).replace("CheckCode=105", "CheckCode=1") << kDamaged
                                  << u"ЖУВ-720-221"_s << u"Drop"_s
                                  << start << start << start;
    // Shown as the checker shows names: nothing reads reversed, nothing lands in the shortcut column.
    const auto named = [](const char *row, const QString &name, const QString &title, const QString &entry) {
        QTest::newRow(row) << kQuestionnaire << QString() << u"ЖУВ-720-221"_s << u"Drop"_s << name << title << entry;
    };
    named("right-to-left override", u"invoice\u202Egfc.exe.cfg"_s, u"invoice\\xe2\\x80\\xaegfc.exe.cfg"_s,
          u"invoice\\xe2\\x80\\xaegfc.exe.cfg"_s);
    named("tab", u"tab\there.cfg"_s, u"tab\\x09here.cfg"_s, u"tab\\x09here.cfg"_s);
    named("Qt's markers", u"a[*]&b.cfg"_s, u"a[*][*]&b.cfg"_s, u"a[*]&&b.cfg"_s);
    // 254 bytes: its middle gives way, an escape is never cut.
    const QString longName = QString(60, u'ж') + u'\x1b' + QString(60, u'ж') + u".cfg"_s;
    const QString shortened = QString(30, u'ж') + u'…' + QString(25, u'ж') + u".cfg"_s;
    named("long name", longName, shortened, shortened);
    const QString escapeAtTheCut = QString(28, u'ж') + u'\x1b' + QString(80, u'ж') + u".cfg"_s;
    const QString cutBefore = QString(28, u'ж') + u'…' + QString(27, u'ж') + u".cfg"_s;
    named("escape at the cut", escapeAtTheCut, cutBefore, cutBefore);
}

void TestDesktop::commandLineLoads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QString, model);
    QFETCH(QString, firm);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, entry);
    const QString file = path(name);
    QFile::remove(file);
    if (!bytes.isEmpty())
        writeAll(file, bytes);

    const qsjuv::CommandLine parsed = qsjuv::parseCommandLine({u"qs_juv"_s, file});
    QVERIFY(parsed.file);
    QuestionnaireWindow form;
    Answers script;
    if (!message.isEmpty())
        script.press(QMessageBox::Ok);
    form.loadFile(*parsed.file);
    QCOMPARE(script.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(script.unexpected().isEmpty());
    // Every box about a file names it, the damaged-file warning too.
    if (!message.isEmpty())
        QVERIFY(script.messages().front().informativeText.startsWith(fileFailure(*parsed.file, QString())));
    QCOMPARE(::model(form), model);
    QCOMPARE(edit(form, "FirmNameEdit")->text(), firm);
    QVERIFY(!form.isModified());
    // A file read, damaged or not, is the window's file: its name in the title, changes marked.
    const bool read = message != kUnreadable;
    QCOMPARE(form.windowTitle(), read ? title + u" — "_s + form.caption() : form.caption());
    if (read) {
        emit form.findChild<QMenu *>(u"ContextMenu"_s)->aboutToShow();
        const QString folder = QDir::toNativeSeparators(QDir::cleanPath(m_dir.path()));
        QCOMPARE(form.findChild<QMenu *>(u"RecentMenu"_s)->actions().value(0)->text(), u"&1 %1 (%2)"_s.arg(entry, folder));
    }
    QCOMPARE(form.currentFile(), read ? file : QString());
    // The form stays usable: the next edit is tracked as any other, its mark first in the title.
    edit(form, "PhoneEdit")->setText(u"1"_s);
    QVERIFY(form.isModified());
    QCOMPARE(form.windowTitle(), u"*"_s + (read ? title + u" — "_s : QString()) + form.caption());
}

void TestDesktop::drop_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("unsavedAnswer"); // NoButton: nothing unsaved, no question
    QTest::addColumn<bool>("loaded");
    const int none = QMessageBox::NoButton;
    QTest::newRow("one file") << QByteArray("file") << none << true;
    QTest::newRow("one file, unsaved: Yes") << QByteArray("file") << int(QMessageBox::Yes) << true;
    QTest::newRow("one file, unsaved: No") << QByteArray("file") << int(QMessageBox::No) << false;
    QTest::newRow("several files") << QByteArray("files") << none << false;
    QTest::newRow("a folder") << QByteArray("folder") << none << false;
    QTest::newRow("a web address") << QByteArray("http") << none << false;
    QTest::newRow("plain text") << QByteArray("text") << none << false;
    QTest::newRow("move only") << QByteArray("move") << none << false;
    QTest::newRow("shift: move proposed") << QByteArray("shift") << none << true;
    QTest::newRow("a name not in UTF-8") << QByteArray("cp1251") << none << true;
}

void TestDesktop::drop()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, unsavedAnswer);
    QFETCH(bool, loaded);
    const bool accepted = kind == "file" || kind == "shift" || kind == "cp1251";
    const QString file = path(u"drop.cfg"_s);
    writeAll(file, kQuestionnaire);
    const QUrl url = QUrl::fromLocalFile(file);

    QMimeData *data = nullptr;
    if (kind == "file" || kind == "move" || kind == "shift")
        data = urls({url});
    else if (kind == "files")
        data = urls({url, url});
    else if (kind == "folder")
        data = urls({QUrl::fromLocalFile(m_dir.path())});
    else if (kind == "http")
        data = urls({QUrl(u"http://example.org/q.cfg"_s)});
    else if (kind == "cp1251") // "Опрос.cfg" in Windows-1251
        data = urls({QUrl(QUrl::fromLocalFile(m_dir.path()).toString() + u"/%CE%EF%F0%EE%F1.cfg"_s)});
    else
        (data = new QMimeData)->setText(file);
    const std::unique_ptr<QMimeData> owner(data);
    const Qt::DropActions actions = kind == "move" ? Qt::MoveAction : Qt::CopyAction | Qt::MoveAction;
    const Qt::KeyboardModifiers modifiers = kind == "shift" ? Qt::ShiftModifier : Qt::NoModifier;

    QuestionnaireWindow form;
    if (unsavedAnswer != QMessageBox::NoButton)
        edit(form, "PhoneEdit")->setText(u"unsaved"_s);
    const QPoint centre = form.rect().center();
    QDragEnterEvent enter(centre, actions, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(&form, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    // A source told "move" would delete the user's file.
    if (accepted) {
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QCOMPARE(enter.proposedAction(), kind == "shift" ? Qt::MoveAction : Qt::CopyAction);
    }

    Answers script;
    if (unsavedAnswer != QMessageBox::NoButton)
        script.press(QMessageBox::StandardButton(unsavedAnswer));
    const QByteArray cp1251Name = QFile::encodeName(m_dir.path()) + "/\xCE\xEF\xF0\xEE\xF1.cfg";
    const auto removeCp1251 = qScopeGuard([&] { ::unlink(cp1251Name.constData()); }); // QTemporaryDir cannot
    if (kind == "cp1251") {
        // The file is opened by its bytes; what is left of the name, once decoded, names another.
        QFile real;
        QVERIFY(real.open(::open(cp1251Name.constData(), O_CREAT | O_WRONLY, 0644), QIODevice::WriteOnly,
                          QFileDevice::AutoCloseHandle));
        QCOMPARE(real.write(kQuestionnaire), kQuestionnaire.size());
        real.close();
        writeAll(data->urls().front().toLocalFile(), QByteArray());
        script.press(QMessageBox::Ok);
    }
    QDropEvent drop(QPointF(centre), actions, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(&form, &drop);
    QCOMPARE(drop.isAccepted(), accepted);
    // The question and the load come once the drop has returned to its source.
    QVERIFY(script.messages().empty());
    QTRY_VERIFY(script.done());
    QCoreApplication::processEvents();
    QVERIFY(script.unexpected().isEmpty());
    if (kind == "cp1251")
        QVERIFY2(script.texts().value(0).startsWith(u"Опросный лист считан, но имя файла записано не в кодировке UTF-8"_s),
                 qPrintable(script.texts().join(u'|')));
    if (unsavedAnswer != QMessageBox::NoButton)
        QVERIFY(script.texts().value(0).startsWith(u"Внесенные вами изменения не сохранены в файле. При считывании"_s));
    QCOMPARE(model(form), loaded ? u"ЖУВ-720-221"_s : u"ЖУВ-610-101"_s);
    QCOMPARE(edit(form, "FirmNameEdit")->text(), loaded ? u"Drop"_s : QString());
    QCOMPARE(form.isModified(), unsavedAnswer == QMessageBox::No);

    // No control takes the drop for itself, as an edit would by pasting the name.
    for (const QWidget *child : form.findChildren<QWidget *>())
        QVERIFY2(!child->acceptDrops(), qPrintable(child->objectName()));
}

void TestDesktop::rememberedFolder()
{
    const QString first = QDir::cleanPath(path(u"first"_s));
    const QString second = QDir::cleanPath(path(u"second"_s));
    QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));

    // First run: the current folder.
    QuestionnaireWindow form;
    QCOMPARE(startFolder(form, &QuestionnaireWindow::load), QDir::currentPath());

    // A load from one folder: both dialogs, of this form and of the next, start there.
    writeAll(first + u"/q.cfg"_s, kQuestionnaire);
    {
        Answers script;
        script.choose(first + u"/q.cfg"_s);
        form.load();
        QVERIFY(script.unexpected().isEmpty());
    }
    QuestionnaireWindow next;
    QCOMPARE(startFolder(next, &QuestionnaireWindow::load), first);
    edit(form, "MailEdit")->setText(u"a@b.cd"_s);
    QCOMPARE(startFolder(form, &QuestionnaireWindow::save), first);

    // A save into another folder moves it; a PDF written elsewhere does not.
    QCOMPARE(written(form, &QuestionnaireWindow::save, second + u"/q.cfg"_s), QStringList{kSaved});
    QCOMPARE(startFolder(next, &QuestionnaireWindow::load), second);
    QuestionnaireWindow filled;
    QCOMPARE(startFolder(filled, &QuestionnaireWindow::exportPdf), second);
    QCOMPARE(written(form, &QuestionnaireWindow::exportPdf, first + u"/q.pdf"_s), QStringList{kSaved});
    QCOMPARE(startFolder(next, &QuestionnaireWindow::load), second);

    // The folder vanished: the current folder again.
    QVERIFY(QDir(second).removeRecursively());
    QCOMPARE(startFolder(next, &QuestionnaireWindow::load), QDir::currentPath());
}

void TestDesktop::settingsNeverBlock_data()
{
    QTest::addColumn<QString>("fifo"); // under the settings folder; empty: see the next column
    QTest::addColumn<bool>("linked"); // the name is a link to the FIFO
    QTest::addColumn<QByteArray>("plain"); // without a FIFO: "unlisted", "stale lock" or "large"
    QTest::newRow("settings file is a FIFO") << u"qs_juv/qs_juv.conf"_s << false << QByteArray();
    QTest::newRow("its lock is a FIFO") << u"qs_juv/qs_juv.conf.lock"_s << false << QByteArray();
    QTest::newRow("settings file links to a FIFO") << u"qs_juv/qs_juv.conf"_s << true << QByteArray();
    QTest::newRow("organisation's file is a FIFO") << u"qs_juv.conf"_s << false << QByteArray();
    QTest::newRow("remembered folder cannot be listed") << QString() << false << QByteArray("unlisted");
    // A lock left an hour ago, and no file may grow (a full disk, `ulimit -f 0`): it cannot be
    // replaced, and QSettings on its own would wait for it for ever.
    QTest::newRow("stale lock that cannot be replaced") << QString() << false << QByteArray("stale lock");
    QTest::newRow("settings file of more than 64 KiB") << QString() << false << QByteArray("large");
    QTest::newRow("recent files of thousands of characters") << QString() << false << QByteArray("long entries");
}

// Settings that would block start the dialogs in "." and remember nothing, without a message; a
// remembered folder that cannot be listed counts as gone.
void TestDesktop::settingsNeverBlock()
{
    QFETCH(QString, fifo);
    QFETCH(bool, linked);
    QFETCH(QByteArray, plain);
    if (plain == "unlisted")
        QS_JUV_RUN_AS_NOBODY(QByteArray("settingsNeverBlock:") + QTest::currentDataTag());
    const Watchdog watchdog(30);
    const auto startFolderOfNew = [](void (QuestionnaireWindow::*command)()) {
        QuestionnaireWindow form;
        return startFolder(form, command);
    };
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(QDir(config).removeRecursively() && QDir().mkpath(config + u"/qs_juv"_s));
    const auto cleanUp = qScopeGuard([&config] { QDir(config).removeRecursively(); });
    const QString folder = path(u"kept"_s);
    QVERIFY(QDir().mkpath(folder));
    QFile::remove(folder + u"/q.cfg"_s);

    QuestionnaireWindow form;
    edit(form, "FirmNameEdit")->setText(u"ACME"_s);
    edit(form, "MailEdit")->setText(u"a@b.cd"_s);
    if (plain == "long entries") {
        // One entry longer than the list may hold is passed over; a folder's middle gives way.
        QSettings settings(config + u"/qs_juv/qs_juv.conf"_s, QSettings::IniFormat);
        settings.setValue(u"recent/files"_s, QStringList{QString(10000, u'x'), u"/"_s + QString(4000, u'd') + u"/q.cfg"_s});
        settings.sync();
        emit form.findChild<QMenu *>(u"ContextMenu"_s)->aboutToShow();
        auto *menu = form.findChild<QMenu *>(u"RecentMenu"_s);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().front()->text(), u"&1 q.cfg (/"_s + QString(39, u'd') + u'…' + QString(39, u'd') + u')');
        QVERIFY2(menu->sizeHint().width() < 1000, qPrintable(QString::number(menu->sizeHint().width())));
        return;
    }
    if (plain == "stale lock" || plain == "large") {
        settingsUnusable(plain, folder);
        return;
    }
    if (fifo.isEmpty()) {
        QCOMPARE(written(form, &QuestionnaireWindow::save, folder + u"/q.cfg"_s), QStringList{kSaved});
        QCOMPARE(startFolderOfNew(&QuestionnaireWindow::load), folder);
        QVERIFY(QFile::setPermissions(folder, QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QCOMPARE(startFolderOfNew(&QuestionnaireWindow::load), QDir::currentPath());
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        return;
    }
    const QByteArray special = QFile::encodeName(config + u'/' + fifo);
    QVERIFY(makeSpecial(linked ? Special::FifoLink : Special::Fifo, special));
    QCOMPARE(startFolderOfNew(&QuestionnaireWindow::load), QDir::currentPath());
    QCOMPARE(written(form, &QuestionnaireWindow::save, folder + u"/q.cfg"_s), QStringList{kSaved});
    QCOMPARE(startFolderOfNew(&QuestionnaireWindow::save), QDir::currentPath());
    QCOMPARE(startFolderOfNew(&QuestionnaireWindow::exportPdf), QDir::currentPath());
}

// The settings remember a folder; then a load (which would put its file on the recent list)
// under what makes them unusable or unwritable.
void TestDesktop::settingsUnusable(const QByteArray &plain, const QString &folder)
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString settings = config + u"/qs_juv/qs_juv.conf"_s;
    QByteArray bytes = "[dialogs]\nlastFolder=" + QFile::encodeName(folder) + "\n";
    if (plain == "large")
        bytes += "[padding]\nx=" + QByteArray(64 * 1024, 'x') + '\n';
    writeAll(settings, bytes);
    const QString lock = settings + u".lock"_s;
    QFile stale(lock);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    QVERIFY(stale.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    stale.close();
    if (plain == "large")
        QVERIFY(QFile::remove(lock));

    const QString file = path(u"kept/loaded.cfg"_s);
    writeAll(file, kQuestionnaire);
    QuestionnaireWindow form;
    {
        const rlimit unlimited = [] { rlimit l {}; getrlimit(RLIMIT_FSIZE, &l); return l; }();
        const rlimit none{0, unlimited.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &unlimited); std::signal(SIGXFSZ, oldHandler); });
        if (plain == "stale lock")
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &none), 0);
        QElapsedTimer timer;
        timer.start();
        form.loadFile(file);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
    QCOMPARE(form.currentFile(), file);
    QCOMPARE(readAll(settings), bytes); // nothing remembered
    emit form.findChild<QMenu *>(u"ContextMenu"_s)->aboutToShow();
    QCOMPARE(form.findChild<QMenu *>(u"RecentMenu"_s)->actions().size(), 0);
    // A settings file that large is not read at all; a stale lock does not keep it from being read.
    QuestionnaireWindow next;
    QCOMPARE(startFolder(next, &QuestionnaireWindow::load), plain == "large" ? QDir::currentPath() : folder);
}

void TestDesktop::summary_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("firm"); // firm, phone, mail, bill
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<int>("pages"); // at most
    const QStringList ascii{u"ACME"_s, QString(), u"a@b.cd"_s, QString()};
    QTest::newRow("one channel")
            << u"ЖУВ-610-101"_s << ascii
            << QStringList{u"Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720"_s, u"ЖУВ-610-101"_s,
                           u"от -200 до 300 °С"_s, u"Pt a=0.00385"_s, u"3-проводная"_s, u"4..20 мА"_s,
                           u"ACME"_s, u"a@b.cd"_s, u"Версия данных: 4e"_s,
                           u"Контрольный код: 829"_s, u"R0 = 100 Ом"_s, u"18.520"_s, u"-75"_s, u"12.000"_s}
            << QStringList{u"2 канал"_s} << 1;
    QTest::newRow("two channels")
            << u"ЖУВ-720-221"_s << ascii
            << QStringList{u"1 канал"_s, u"2 канал"_s, u"Термопара"_s, u"от -100 до 900 °С"_s,
                           u"от -20 до 140 мВ"_s, u"Напряжение"_s, u"0..10 В"_s, u"Отключен"_s,
                           u"отключен"_s, u"Версия данных: 4e"_s}
            << QStringList{u"3-проводная"_s} << 1; // hidden for a thermocouple and a voltage
    QTest::newRow("cyrillic requisites")
            << u"ЖУВ-610-101"_s
            << QStringList{u"ООО «Ромашка»"_s, u"+7 (495) 000-00-00"_s, u"почта@b.cd"_s, u"Счет № 12 от 01.02.2026"_s}
            << QStringList{u"ООО «Ромашка»"_s, u"+7 (495) 000-00-00"_s, u"почта@b.cd"_s, u"Счет № 12 от 01.02.2026"_s,
                           u"Название фирмы"_s, u"Номер и дата выставленного счета"_s}
            << QStringList{} << 1;
    // Four requisites of this many letters without a blank: each begun on the page, the check
    // code kept.
    const auto longRequisites = [](const char *name, int letters, const QStringList &cut, int pages) {
        QTest::newRow(name) << u"ЖУВ-720-221"_s
                            << QStringList{u"Фирма"_s + QString(letters - 5, u'ж'), u"Телефон"_s + QString(letters - 7, u'ш'),
                                           u"Почта"_s + QString(letters - 10, u'щ') + u"@b.cd"_s, u"Счет"_s + QString(letters - 4, u'э')}
                            << QStringList{u"Фирмажжж"_s, u"Телефоншшш"_s, u"Почтащщщ"_s, u"Счетэээ"_s, u"2 канал"_s,
                                           u"Версия данных: 4e"_s, u"Контрольный код: "_s}
                            << cut << pages;
    };
    longRequisites("two channels, four long requisites", 300, {}, 1); // wrapped
    // At the length where values are cut: smaller text, then a second page, nothing lost.
    longRequisites("two channels, four requisites of 1000 letters", 1000, {u"…"_s}, 2);
}

void TestDesktop::summary()
{
    QFETCH(QString, model);
    QFETCH(QStringList, firm);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, absent);
    QFETCH(int, pages);
    QuestionnaireWindow form;
    pickText(combo(form, "DeviceCombo"), model);
    edit(form, "Ch1MaxEdit")->setText(u"300"_s);
    if (model == u"ЖУВ-720-221"_s)
        fillTwoChannels(form);
    const char *fields[] = {"FirmNameEdit", "PhoneEdit", "MailEdit", "BillEdit"};
    for (int i = 0; i < 4; ++i)
        edit(form, fields[i])->setText(firm[i]);

    const QString pdf = path(u"summary.pdf"_s);
    QFile::remove(pdf);
    QCOMPARE(written(form, &QuestionnaireWindow::exportPdf, pdf), QStringList{kSaved});
    const QString text = pdfText(pdf);
    QVERIFY(!text.isEmpty());
    // pdftotext ends every page with a form feed; the lab's sheet follows on a page of its own.
    const qsizetype sheet = text.lastIndexOf(u"Точки поверки"_s);
    QVERIFY2(sheet > 0 && text.left(sheet).count(u'\f') >= 1 && text.left(sheet).count(u'\f') <= pages, qPrintable(text));
    QCOMPARE(text.mid(sheet).count(u'\f'), 1);
    QVERIFY(text.mid(sheet).contains(u"Измеренное значение"_s));
    for (const QString &fragment : expected)
        QVERIFY2(text.contains(fragment), qPrintable(fragment + u"\n---\n"_s + text));
    for (const QString &fragment : absent)
        QVERIFY2(!text.contains(fragment), qPrintable(fragment));
    QVERIFY(text.contains(QDate::currentDate().toString(u"dd.MM.yyyy"_s)));
    const double height = wordHeight(pdf, u"Реквизиты"_s);
    QVERIFY2(height > 8 && height < 30, qPrintable(QString::number(height)));
    // A summary is no save: whatever was unsaved stays so.
    QVERIFY(form.isModified());
}

void TestDesktop::summaryReplaceAndFailure()
{
    QuestionnaireWindow form;
    // What the save refuses is not printed either: the save's message, no dialog, nothing written.
    {
        Answers script;
        script.press(QMessageBox::Ok);
        form.exportPdf();
        QCOMPARE(script.texts(), QStringList{qsjuv::texts::saveRefusal({qsjuv::SaveRefusal::MissingFirm})});
        QVERIFY(script.unexpected().isEmpty());
    }
    edit(form, "FirmNameEdit")->setText(u"ACME"_s);
    edit(form, "MailEdit")->setText(u"a@b.cd"_s);
    // Nor a range too narrow to save: a B thermocouple from 990 to 1000 (least width 500).
    pickText(combo(form, "DeviceCombo"), u"ЖУВ-610-201"_s);
    pickText(combo(form, "Ch1SensorCombo"), u"Термопара"_s);
    pickText(combo(form, "Ch1CharCombo"), u"B"_s);
    edit(form, "Ch1MaxEdit")->setText(u"1000"_s);
    edit(form, "Ch1MinEdit")->setText(u"990"_s);
    for (void (QuestionnaireWindow::*output)() : {&QuestionnaireWindow::exportPdf, &QuestionnaireWindow::print}) {
        Answers script;
        script.press(QMessageBox::Ok);
        (form.*output)();
        QCOMPARE(script.texts(), QStringList{qsjuv::texts::saveRefusal({qsjuv::SaveRefusal::RangeTooNarrow, 0})});
        QVERIFY(script.unexpected().isEmpty());
    }
    pickText(combo(form, "Ch1CharCombo"), u"B"_s);
    // A new questionnaire is offered the default name.
    const QString target = path(u"qs_juv.pdf"_s);
    writeAll(target, "old");
    {
        ModalScript script;
        script.inspect([](QWidget *modal) {
            auto *name = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QCOMPARE(modal->objectName(), u"PdfDialog"_s);
            QCOMPARE(name ? name->text() : QString(), u"qs_juv.pdf"_s);
        });
        form.exportPdf();
        QVERIFY(script.unexpected().isEmpty());
    }
    // The print dialog comes from its module, loaded on this first print; cancelled, it prints nothing.
    {
        ModalScript script;
        script.inspect([](QWidget *modal) {
            QCOMPARE(modal->objectName(), u"PrintDialog"_s);
            QCOMPARE(modal->windowTitle(), u"Печать опросного листа"_s);
        });
        form.print();
        QVERIFY(script.unexpected().isEmpty());
        QVERIFY(script.done());
    }
    {
        Answers script;
        script.choose(target).press(QMessageBox::No);
        form.exportPdf();
        QCOMPARE(script.messages().at(0).text, kReplace);
        QCOMPARE(script.messages().at(0).defaultButton, QMessageBox::No);
    }
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    file.close();
    {
        Answers script;
        script.choose(target).press(QMessageBox::Yes).press(QMessageBox::Ok);
        form.exportPdf();
        QCOMPARE(script.texts(), (QStringList{kReplace, kSaved}));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF-"));
    file.close();

    // A folder that cannot hold files: the save's error, and nothing there.
    writeAll(path(u"plain"_s), "x");
    {
        Answers script;
        script.choose(path(u"plain/s.pdf"_s)).press(QMessageBox::Ok);
        form.exportPdf();
        QCOMPARE(script.messages().back().text, u"Не удалось сохранить данные в файле. Возможно, диск защищен от записи."_s);
        QCOMPARE(script.messages().back().icon, QMessageBox::Critical);
    }

    // A FIFO is refused as the save refuses it: no question, nothing written, nothing blocks.
    const Watchdog watchdog(30);
    const QString fifo = path(u"pipe.pdf"_s);
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
    Answers refused;
    refused.choose(fifo).press(QMessageBox::Ok);
    form.exportPdf();
    QVERIFY2(refused.unexpected().isEmpty(), qPrintable(refused.unexpected().join(u'\n')));
    QCOMPARE(refused.messages().size(), size_t(1));
    QCOMPARE(refused.messages().back().icon, QMessageBox::Critical);
    QCOMPARE(refused.messages().back().informativeText, fileFailure(fifo, u"не обычный файл"_s));
}

void TestDesktop::shortcutsAndMenu()
{
    QuestionnaireWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(control<QPushButton>(form, "LoadButton")->toolTip().contains(u"Ctrl+O"_s));
    QVERIFY(control<QPushButton>(form, "SaveButton")->toolTip().contains(u"Ctrl+S"_s));

    // Each shortcut opens what its command opens first, also from inside an edit: printing and
    // saving an empty questionnaire, the save's refusal.
    edit(form, "FirmNameEdit")->setFocus();
    const std::pair<Qt::Key, QString> keys[] = {
        {Qt::Key_P, u"QMessageBox"_s}, {Qt::Key_S, u"QMessageBox"_s}, {Qt::Key_O, u"OpenDialog"_s}};
    for (const auto &[key, opened] : keys) {
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QString seen;
        ModalScript script;
        script.inspect([&seen](QWidget *modal) {
            seen = modal->objectName().isEmpty() ? QString::fromLatin1(modal->metaObject()->className())
                                                 : modal->objectName();
        });
        QTest::keyClick(edit(form, "FirmNameEdit"), key, Qt::ControlModifier);
        QTRY_COMPARE(seen, opened);
    }

    // The context menu offers printing, the PDF, the recent files and About. It is the form's
    // own menu every time: a screen reader announces an action in the first menu it was seen in.
    auto *kept = form.findChild<QMenu *>(u"ContextMenu"_s);
    QVERIFY(kept);
    // Opened by the mouse, by the Menu key and by Shift+F10 where the focus has no menu of its own.
    control<QPushButton>(form, "LoadButton")->setFocus();
    for (int opening = 0; opening < 3; ++opening) {
        QStringList offered;
        QString announced;
        QTimer::singleShot(50, &form, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (const QAction *action : menu->actions())
                offered << action->objectName() + u':' + action->text() + u':' + action->shortcut().toString();
            QAccessibleInterface *item = QAccessible::queryAccessibleInterface(menu)->child(0);
            if (item && item->parent() && item->parent()->object() == menu)
                announced = item->text(QAccessible::Name);
            menu->close();
        });
        if (opening == 2) {
            QTest::keyClick(control<QPushButton>(form, "LoadButton"), Qt::Key_F10, Qt::ShiftModifier);
        } else {
            QContextMenuEvent event(opening == 0 ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard,
                                    QPoint(5, 5), form.mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(&form, &event);
        }
        QCOMPARE(offered, (QStringList{u"UndoAction:Отменить:Ctrl+Z"_s, u"RedoAction:Повторить:Ctrl+Shift+Z"_s,
                                       u"::"_s, u"NewAction:Новый опросный лист:Ctrl+N"_s,
                                       u"SaveAsAction:Сохранить как…:Ctrl+Shift+S"_s,
                                       u"PrintAction:Печать…:Ctrl+P"_s, u"PdfAction:Сохранить в PDF…:Ctrl+Shift+P"_s,
                                       u"::"_s, u":Недавние файлы:"_s, u"::"_s, u"HelpAction:Как заполнить опросный лист:F1"_s, u"AboutAction:О программе…:"_s}));
        for (const QAction *action : kept->actions())
            QVERIFY(action->isShortcutVisibleInContextMenu() || action->shortcut().isEmpty());
        QCOMPARE(announced, u"Отменить"_s);
    }
    QCOMPARE(kept->actions().at(8)->menu(), form.findChild<QMenu *>(u"RecentMenu"_s));

    Answers about;
    about.press(QMessageBox::Ok);
    form.findChild<QAction *>(u"AboutAction"_s)->trigger();
    QCOMPARE(about.messages().size(), size_t(1));
    QCOMPARE(about.messages().front().title, form.caption());
    for (const QString &part : {u"qs_juv, версия 4e"_s, u"Версия данных: 4e"_s, u"Qt "_s + QLatin1StringView(qVersion())})
        QVERIFY2(about.messages().front().text.contains(part), qPrintable(about.messages().front().text));

    // F1 shows the guide in a window of its own, the same one when pressed again.
    for (int press = 0; press < 2; ++press) {
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(control<QPushButton>(form, "LoadButton"), Qt::Key_F1);
        const QList<QWidget *> guides = form.findChildren<QWidget *>(u"HelpWindow"_s);
        QCOMPARE(guides.size(), 1);
        QVERIFY(guides.front()->isVisible() && guides.front()->isWindow());
        const QString text = guides.front()->findChild<QTextBrowser *>(u"HelpBrowser"_s)->toPlainText();
        for (const QString &part : {u"Модель изделий"_s, u"Что значит красный цвет"_s, u"Как отправить файл"_s})
            QVERIFY2(text.contains(part), qPrintable(text.left(200)));
    }
    form.findChild<QWidget *>(u"HelpWindow"_s)->close();

    // The English translation is built in and names a guide of its own.
    QTranslator english;
    QVERIFY(english.load(u":/i18n/qs_juv_en.qm"_s));
    QApplication::installTranslator(&english);
    HelpWindow guide;
    QApplication::removeTranslator(&english);
    QCOMPARE(guide.windowTitle(), u"How to fill in the questionnaire"_s);
    QVERIFY(guide.findChild<QTextBrowser *>(u"HelpBrowser"_s)->toPlainText().contains(u"What red means"_s));
}

void TestDesktop::recentFilesAndDialogs()
{
    QVERIFY(QDir().mkpath(path(u"recent"_s)));
    const auto file = [this](int i) { return QDir::cleanPath(path(u"recent/r%1.cfg"_s.arg(i))); };
    // What the menu offers once opened.
    const auto recent = [](const QuestionnaireWindow &form) {
        emit form.findChild<QMenu *>(u"ContextMenu"_s)->aboutToShow();
        return form.findChild<QMenu *>(u"RecentMenu"_s)->actions();
    };
    const auto listed = [&recent](const QuestionnaireWindow &form) {
        QStringList texts;
        for (const QAction *action : recent(form))
            texts << action->text();
        return texts;
    };
    QuestionnaireWindow form;
    QVERIFY(form.findChild<QMenu *>(u"RecentMenu"_s));
    for (int i = 0; i < 9; ++i) {
        writeAll(file(i), kQuestionnaire);
        form.loadFile(file(i));
    }
    // Eight, newest first, each naming its file and folder; another window reads the same list.
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(path(u"recent"_s)));
    QStringList expected;
    for (int i = 8; i > 0; --i)
        expected << u"&%1 r%2.cfg (%3)"_s.arg(9 - i).arg(i).arg(folder);
    QCOMPARE(listed(form), expected);
    QCOMPARE(listed(QuestionnaireWindow()), expected);
    QCOMPARE(form.windowTitle(), u"r8.cfg — "_s + form.caption());

    // The save dialog opens in the file's folder with its name selected, not in the folder used
    // last; saving under another name makes that the window's file.
    edit(form, "MailEdit")->setText(u"a@b.cd"_s);
    QVERIFY(form.windowTitle().startsWith(u"*r8.cfg"_s));
    QString offered;
    {
        ModalScript look;
        look.inspect([&offered](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            auto *name = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
            if (dialog && name && name->selectedText() == name->text())
                offered = QDir(dialog->directory()).filePath(name->text());
        });
        form.save();
        QVERIFY(look.unexpected().isEmpty());
    }
    {
        Answers script;
        script.choose(file(3)).press(QMessageBox::Yes).press(QMessageBox::Ok);
        form.save();
        QCOMPARE(script.texts(), (QStringList{kReplace, kSaved}));
        QVERIFY(script.unexpected().isEmpty());
    }
    QCOMPARE(offered, file(8));
    QCOMPARE(form.windowTitle(), u"r3.cfg — "_s + form.caption());
    QVERIFY(!form.windowTitle().startsWith(u"*"_s));
    QVERIFY(listed(form).front().endsWith(u" r3.cfg (%1)"_s.arg(folder)));
    // Saving the window's own file again asks nothing; another existing file still asks, and a
    // No leaves a word in the status bar.
    {
        Answers script;
        script.choose(file(3)).press(QMessageBox::Ok);
        form.save();
        QCOMPARE(script.texts(), QStringList{kSaved});
    }
    {
        Answers script;
        script.choose(file(4)).press(QMessageBox::No);
        form.save();
        QCOMPARE(script.texts(), QStringList{kReplace});
        QCOMPARE(form.findChild<QStatusBar *>()->currentMessage(), u"Не записано"_s);
    }

    // A file that has vanished gets the read error when chosen and leaves the list.
    QFile::remove(file(5));
    QAction *vanished = nullptr;
    for (QAction *action : recent(form))
        if (action->text().contains(u"r5.cfg"_s))
            vanished = action;
    QVERIFY(vanished);
    {
        Answers script;
        script.press(QMessageBox::Ok);
        vanished->trigger();
        QCOMPARE(script.texts(), QStringList{kUnreadable});
    }
    QCOMPARE(listed(form).size(), 7);
    QVERIFY(!listed(form).join(u'|').contains(u"r5.cfg"_s));
    QCOMPARE(form.windowTitle(), u"r3.cfg — "_s + form.caption());

    // The PDF is offered beside the open file, under its name.
    const auto offer = [](QString *offered) {
        return [offered](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            auto *name = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
            if (dialog && name && name->selectedText() == name->text())
                *offered = QDir(dialog->directory()).filePath(name->text());
        };
    };
    QString pdfOffered;
    {
        ModalScript script;
        script.inspect(offer(&pdfOffered));
        form.exportPdf();
    }
    QCOMPARE(pdfOffered, QDir::cleanPath(path(u"recent/r3.pdf"_s)));
    // Text typed into a cancelled dialog is gone the next time; the size it was given stays, in
    // the next window too.
    {
        ModalScript script;
        script.inspect([](QWidget *modal) {
            modal->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(u"/tmp/gu"_s);
            modal->resize(900, 640);
        });
        form.load();
    }
    for (QuestionnaireWindow *window : {&form, new QuestionnaireWindow}) {
        QString loadOffered;
        QSize size;
        ModalScript script;
        script.inspect([&](QWidget *modal) {
            offer(&loadOffered)(modal);
            size = modal->size();
        });
        window->load();
        // While a file is open, the dialog offers it; a new questionnaire is offered the default.
        QCOMPARE(QFileInfo(loadOffered).fileName(), window->currentFile().isEmpty() ? u"qs_juv.cfg"_s
                                                                                    : QFileInfo(window->currentFile()).fileName());
        QCOMPARE(size, QSize(900, 640));
        if (window != &form)
            delete window;
    }

    // The open dialog used again: no completion list of its own stays over the form, and the
    // name it offers is selected, so typing replaces it.
    QWidget *completions = nullptr;
    {
        ModalScript script;
        script.look([this, &completions](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            auto *name = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
            if (!dialog || !name || !name->completer())
                return;
            dialog->setDirectory(path(u"recent"_s));
            completions = name->completer()->popup();
            name->clear();
            QTest::keyClicks(name, u"r1.cfg"_s);
            completions->show(); // as typing a name's start shows it
            QTest::keyClick(name, Qt::Key_Return);
        });
        form.load();
        QVERIFY(script.unexpected().isEmpty());
    }
    QVERIFY(completions);
    QVERIFY(!completions->isVisible());
    QCOMPARE(form.currentFile(), file(1));
    QString offeredAgain, selectedAgain;
    {
        ModalScript script;
        script.inspect([&](QWidget *modal) {
            if (auto *name = modal->findChild<QLineEdit *>(u"fileNameEdit"_s)) {
                offeredAgain = name->text();
                selectedAgain = name->selectedText();
            }
        });
        form.load();
    }
    QVERIFY(!offeredAgain.isEmpty());
    QCOMPARE(selectedAgain, offeredAgain);

    // An entry made while another window keeps the settings is shown at once and stored after.
    const auto rememberWhileBusy = [](const QString &path) {
        QLockFile busy(qsjuv::userSettings()->fileName() + u".update.lock"_s);
        QVERIFY(busy.tryLock(0));
        qsjuv::rememberRecentFile(path);
        QCOMPARE(qsjuv::recentFiles().value(0), path);
    };
    const auto storedFirst = [] { return qsjuv::userSettings()->value(u"recent/files"_s).toStringList().value(0); };
    rememberWhileBusy(file(6));
    QTRY_COMPARE_WITH_TIMEOUT(storedFirst(), file(6), 10000);
    // One still waiting when the program ends is stored as it ends.
    rememberWhileBusy(file(7));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    QCOMPARE(storedFirst(), file(7));

    // Windows that open files at once each add theirs: none reads the list before another's
    // write and writes it back without that entry.
    QStringList opened;
    std::vector<std::unique_ptr<QProcess>> windows;
    for (int i = 0; i < 8; ++i) {
        opened << file(100 + i);
        writeAll(opened.back(), kQuestionnaire);
        windows.push_back(std::make_unique<QProcess>());
        windows.back()->start(QStringLiteral(QS_JUV_BINARY), {opened.back()});
    }
    const auto atOnce = [] {
        QStringList files = qsjuv::recentFiles();
        files.sort();
        return files;
    };
    // Eight sanitizer builds starting at once on two cores take their time.
    QTRY_COMPARE_WITH_TIMEOUT(atOnce(), opened, 90000);
    for (const auto &window : windows) {
        window->kill();
        window->waitForFinished();
    }
}


namespace {
QStringList unsavedCopies()
{
    return QDir(QFile::decodeName(qsjuv::windowsFolder())).entryList({u"autosave-*.json"_s}, QDir::Files);
}
} // namespace

// A window killed with unsaved changes leaves them in the state folder within two seconds; the
// next start offers them, and Yes shows them, modified. A running window's copy is not offered.
void TestDesktop::recoveryAfterKill()
{
    if (qEnvironmentVariableIsSet("QS_JUV_KILLED_WINDOW")) {
        // The process the test kills: a window with a typed firm, until the end comes.
        QuestionnaireWindow form;
        edit(form, "FirmNameEdit")->setText(u"Unsaved"_s);
        QTest::qWait(30000);
        return;
    }
    for (const QString &name : unsavedCopies())
        QFile::remove(QFile::decodeName(qsjuv::windowsFolder()) + u'/' + name);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QS_JUV_KILLED_WINDOW"_s, u"1"_s);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {u"recoveryAfterKill"_s});
    QVERIFY(child.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!unsavedCopies().isEmpty(), 10000);
    const QString copy = QFile::decodeName(qsjuv::windowsFolder()) + u'/' + unsavedCopies().front();
    QCOMPARE(QFileInfo(copy).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFileDevice::Permissions());
    {
        // Still running: its copy is its own.
        QuestionnaireWindow other;
        QVERIFY(!other.offerRecovery());
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(5000));
    QVERIFY(QFile::exists(copy));

    QuestionnaireWindow form;
    Answers script;
    script.press(QMessageBox::Yes);
    QVERIFY(form.offerRecovery());
    QVERIFY(script.texts().value(0).startsWith(u"Найден несохраненный опросный лист"_s));
    QVERIFY(script.texts().value(0).contains(u"новый опросный лист, не записанный в файл"_s));
    QCOMPARE(edit(form, "FirmNameEdit")->text(), u"Unsaved"_s);
    QVERIFY(form.isModified());
    QVERIFY(!QFile::exists(copy));
    // Offered once: the next start finds nothing.
    QuestionnaireWindow next;
    QVERIFY(!next.offerRecovery());
}

int main(int argc, char *argv[])
{
    // Settings of this run only: never the user's, never an earlier run's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
