// What a desktop program that owns a kind of file is expected to do: take a dropped file, answer
// the usual shortcuts, offer printing, the files used last and About on its context menu, name
// its file in the title and open its dialogs where the user worked last.
#include "gui/Hints.h"
#include "gui/Qs_juvunit.h"
#include "gui/UserSettings.h"
#include "gui/WindowIcon.h"
#include "core/Platform.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
constexpr char kLastFolderKey[] = "dialogs/lastFolder";
constexpr char kRecentFilesKey[] = "recent/files";
constexpr int kRecentFileCount = 8;


// Newest first, at most kRecentFileCount, whatever the settings file holds.
QStringList recentFiles()
{
    const std::unique_ptr<QSettings> settings = qsjuv::userSettings();
    if (!settings)
        return {};
    QStringList files = settings->value(QLatin1StringView(kRecentFilesKey)).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, kRecentFileCount);
}

void storeRecentFiles(const QStringList &files)
{
    if (const std::unique_ptr<QSettings> settings = qsjuv::userSettings())
        settings->setValue(QLatin1StringView(kRecentFilesKey), files.mid(0, kRecentFileCount));
}

struct DraggedFile
{
    QString path;
    bool nameLost = false; // not UTF-8: the path no longer names the file's bytes
};

// The one local file a drag carries, or nothing: several files, a folder, a web address or
// plain text are no questionnaire.
std::optional<DraggedFile> draggedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (path.isEmpty() || QFileInfo(path).isDir())
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromPercentEncoding(urls.front().path(QUrl::FullyEncoded).toLatin1());
    return DraggedFile{path, QFile::encodeName(path) != bytes};
}

// A file manager that sees "move" accepted deletes its file: only copy or link is taken.
bool acceptAsCopy(QDropEvent *event)
{
    if (!draggedFile(event->mimeData()))
        return false;
    if (event->possibleActions() & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else if (event->possibleActions() & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else
        return false;
    event->accept();
    return true;
}

QString withShortcut(const QString &text, const QKeySequence &keys)
{
    return u"%1 (%2)"_s.arg(text, keys.toString(QKeySequence::NativeText));
}
} // namespace

namespace qsjuv {

std::unique_ptr<QSettings> userSettings()
{
    // Every file QSettings may open for this program: the user's and the system's, of the
    // program and of its organisation, each with the lock it takes beside it. Links followed.
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders << QLibraryInfo::path(QLibraryInfo::SettingsPath);
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &file : {folder + u"/qs_juv/qs_juv.conf"_s, folder + u"/qs_juv.conf"_s}) {
            for (const QString &name : {file, file + u".lock"_s}) {
                qsjuv::platform::Status info;
                if (!qsjuv::platform::status(QFile::encodeName(name), &info) && info.kind != qsjuv::platform::Kind::Regular)
                    return nullptr;
            }
        }
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, u"qs_juv"_s, u"qs_juv"_s);
}

} // namespace qsjuv

void TQS_JUVForm::bindDesktop()
{
    // The window takes the drop wherever it lands; the edits would paste the file's name.
    setAcceptDrops(true);
    for (QWidget *child : findChildren<QWidget *>())
        child->setAcceptDrops(false);

    const QKeySequence loadKeys(Qt::CTRL | Qt::Key_O);
    const QKeySequence saveKeys(Qt::CTRL | Qt::Key_S);
    connect(new QShortcut(loadKeys, this), &QShortcut::activated, this, [this] { LoadButtonClick(LoadButton); });
    connect(new QShortcut(saveKeys, this), &QShortcut::activated, this, [this] { SaveButtonClick(SaveButton); });

    PrintAction = new QAction(u"Печать…"_s, this);
    PrintAction->setObjectName(u"PrintAction"_s);
    PrintAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    PdfAction = new QAction(u"Сохранить в PDF…"_s, this);
    PdfAction->setObjectName(u"PdfAction"_s);
    // Added to the form so that Ctrl+P works without the menu open.
    addActions({PrintAction, PdfAction});
    connect(PrintAction, &QAction::triggered, this, [this] { PrintActionExecute(PrintAction); });
    connect(PdfAction, &QAction::triggered, this, [this] { PdfActionExecute(PdfAction); });
    AboutAction = new QAction(u"О программе…"_s, this);
    AboutAction->setObjectName(u"AboutAction"_s);
    connect(AboutAction, &QAction::triggered, this, [this] { AboutActionExecute(AboutAction); });

    ContextMenu = new QMenu(this);
    ContextMenu->setObjectName(u"ContextMenu"_s);
    RecentMenu = new QMenu(u"Недавние файлы"_s, this);
    RecentMenu->setObjectName(u"RecentMenu"_s);
    ContextMenu->addActions({PrintAction, PdfAction});
    ContextMenu->addSeparator();
    ContextMenu->addMenu(RecentMenu);
    ContextMenu->addSeparator();
    ContextMenu->addAction(AboutAction);
    // Another window may have used files since: the list is read when the menu opens, not at
    // start.
    connect(ContextMenu, &QMenu::aboutToShow, this, &TQS_JUVForm::rebuildRecentMenu);

    setWindowIcon(qsjuv::programIcon());

    setHint(LoadButton, withShortcut(LoadButton->text(), loadKeys));
    setHint(SaveButton, withShortcut(SaveButton->text(), saveKeys));
    setHintShown(LoadButton, true);
    setHintShown(SaveButton, true);
}

void TQS_JUVForm::contextMenuEvent(QContextMenuEvent *event)
{
    ContextMenu->exec(event->globalPos());
}

void TQS_JUVForm::AboutActionExecute(QObject *)
{
    QMessageBox box(QMessageBox::NoIcon, m_caption,
                    u"%1\n\nПрограмма qs_juv, версия %2\nВерсия данных: %2\nQt %3"_s.arg(
                            m_caption, QLatin1StringView(kVersion), QLatin1StringView(qVersion())),
                    QMessageBox::Ok, this);
    box.setObjectName(u"AboutBox"_s);
    box.setIconPixmap(windowIcon().pixmap(64));
    box.exec();
}

void TQS_JUVForm::setCurrentFile(const QString &path)
{
    const QFileInfo file(path);
    m_currentFile = file.absoluteFilePath();
    setWindowTitle(u"%1[*] — %2"_s.arg(file.fileName(), m_caption));
    setWindowModified(m_modified);
    QStringList files = recentFiles();
    // Writing the settings syncs a file: not when the list stays as it is.
    if (files.value(0) == m_currentFile)
        return;
    files.removeAll(m_currentFile);
    files.prepend(m_currentFile);
    storeRecentFiles(files);
}

void TQS_JUVForm::rebuildRecentMenu()
{
    RecentMenu->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < int(files.size()); ++i) {
        const QFileInfo file(files[i]);
        QString text = u"%1 (%2)"_s.arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()));
        text.replace(u'&', u"&&"_s);
        QAction *action = RecentMenu->addAction(u"&%1 "_s.arg(i + 1) + text);
        connect(action, &QAction::triggered, this, [this, path = files[i]] { openRecent(path); });
    }
    RecentMenu->menuAction()->setEnabled(!files.isEmpty());
}

void TQS_JUVForm::openRecent(const QString &path)
{
    if (!mayDiscardChanges())
        return;
    if (loadPath(path))
        return;
    QStringList files = recentFiles();
    files.removeAll(path);
    storeRecentFiles(files);
}

void TQS_JUVForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptAsCopy(event))
        event->ignore();
}

void TQS_JUVForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptAsCopy(event))
        event->ignore();
}

void TQS_JUVForm::dropEvent(QDropEvent *event)
{
    if (!acceptAsCopy(event)) {
        event->ignore();
        return;
    }
    // The drag source waits until the drop returns: the question and the load come after it.
    QMetaObject::invokeMethod(
            this, [this, file = *draggedFile(event->mimeData())] {
                if (file.nameLost)
                    showNameNotUtf8();
                else if (mayDiscardChanges())
                    loadFile(file.path);
            },
            Qt::QueuedConnection);
}

int TQS_JUVForm::execFileDialog(QFileDialog *dialog, bool remember, const QString &offered)
{
    const std::unique_ptr<QSettings> settings = qsjuv::userSettings();
    const QString folder = settings ? settings->value(QLatin1StringView(kLastFolderKey)).toString() : QString();
    // A folder that cannot be listed would show as empty: it counts as gone.
    const QFileInfo remembered(folder);
    const bool usable = !folder.isEmpty() && remembered.isDir() && remembered.isReadable() && remembered.isExecutable();
    QDir start(usable ? folder : u"."_s);
    const QFileInfo offeredFile(offered);
    if (!offered.isEmpty() && offeredFile.absoluteDir().exists())
        start = offeredFile.absoluteDir();
    // Changing the folder lists it anew, and writing the settings syncs a file: neither when
    // nothing changed.
    if (dialog->directory().absolutePath() != start.absolutePath())
        dialog->setDirectory(start);
    // A kept dialog offers its name selected, so that typing replaces it; a list selection left
    // from the last run would win over the offered name.
    auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
    if (name) {
        if (!offered.isEmpty()) {
            for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>())
                if (view->selectionModel())
                    view->clearSelection();
            name->setText(offeredFile.fileName());
        }
        name->selectAll();
    }
    const int result = dialog->exec();
    // Its name-completion list would stay over the form and take the next keys.
    if (name && name->completer() && name->completer()->popup())
        name->completer()->popup()->hide();
    if (result == QDialog::Accepted && remember) {
        const QString chosen = dialog->selectedFiles().value(0);
        const QString used = QFileInfo(chosen).absolutePath();
        if (settings && !chosen.isEmpty() && used != folder)
            settings->setValue(QLatin1StringView(kLastFolderKey), used);
    }
    return result;
}
