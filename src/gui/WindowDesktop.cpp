// What a desktop program that owns a kind of file is expected to do: take a dropped file, answer
// the usual shortcuts, offer printing, the files used last and About on its menu.
#include "gui/HelpWindow.h"
#include "gui/Hints.h"
#include "gui/MessageBox.h"
#include "gui/QuestionnaireDocument.h"
#include "gui/QuestionnaireWindow.h"
#include "gui/RecentFiles.h"
#include "ui_QuestionnaireWindow.h"
#include "core/QuestionnaireRules.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
struct DraggedFile
{
    QString path;
    QByteArray bytes;
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
    return DraggedFile{path, bytes, QFile::encodeName(path) != bytes};
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

QAction *makeAction(QWidget *owner, const QString &text, const char *name, const QKeySequence &keys = {})
{
    auto *action = new QAction(text, owner);
    action->setObjectName(QLatin1StringView(name));
    action->setShortcut(keys);
    action->setShortcutVisibleInContextMenu(true);
    // Added to the window so that the shortcut works without the menu open.
    owner->addAction(action);
    return action;
}
} // namespace

void QuestionnaireWindow::setupActions()
{
    // The window takes the drop wherever it lands; the edits would paste the file's name.
    setAcceptDrops(true);
    for (QWidget *child : findChildren<QWidget *>())
        child->setAcceptDrops(false);

    const QKeySequence loadKeys(Qt::CTRL | Qt::Key_O);
    const QKeySequence saveKeys(Qt::CTRL | Qt::Key_S);
    connect(new QShortcut(loadKeys, this), &QShortcut::activated, this, &QuestionnaireWindow::load);
    connect(new QShortcut(saveKeys, this), &QShortcut::activated, this, &QuestionnaireWindow::save);
    setHint(m_ui->LoadButton, withShortcut(m_ui->LoadButton->text(), loadKeys));
    setHint(m_ui->SaveButton, withShortcut(m_ui->SaveButton->text(), saveKeys));
    setHintShown(m_ui->LoadButton, true);
    setHintShown(m_ui->SaveButton, true);

    m_printAction = makeAction(this, tr("Печать…"), "PrintAction", QKeySequence(Qt::CTRL | Qt::Key_P));
    m_pdfAction = makeAction(this, tr("Сохранить в PDF…"), "PdfAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    m_helpAction = makeAction(this, tr("Как заполнить опросный лист"), "HelpAction", QKeySequence(Qt::Key_F1));
    m_aboutAction = makeAction(this, tr("О программе…"), "AboutAction");
    connect(m_helpAction, &QAction::triggered, this, [this] { HelpWindow::showFor(this); });
    m_newAction = makeAction(this, tr("Новый опросный лист"), "NewAction", QKeySequence(Qt::CTRL | Qt::Key_N));
    m_saveAsAction = makeAction(this, tr("Сохранить как…"), "SaveAsAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // Their keys are taken before any edit's own undo (see eventFilter); the actions live in the
    // menu only, so that their shortcuts act only there and a key never undoes twice.
    for (auto [action, text, name, keys] : {std::tuple{&m_undoAction, tr("Отменить"), "UndoAction", QKeySequence(Qt::CTRL | Qt::Key_Z)},
                                            std::tuple{&m_redoAction, tr("Повторить"), "RedoAction",
                                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}}) {
        *action = new QAction(text, this);
        (*action)->setObjectName(QLatin1StringView(name));
        (*action)->setShortcut(keys);
        (*action)->setShortcutVisibleInContextMenu(true);
    }
    connect(m_newAction, &QAction::triggered, this, &QuestionnaireWindow::newQuestionnaire);
    connect(m_saveAsAction, &QAction::triggered, this, &QuestionnaireWindow::saveAs);
    connect(m_undoAction, &QAction::triggered, this, &QuestionnaireWindow::undo);
    connect(m_redoAction, &QAction::triggered, this, &QuestionnaireWindow::redo);
    connect(m_printAction, &QAction::triggered, this, &QuestionnaireWindow::print);
    connect(m_pdfAction, &QAction::triggered, this, &QuestionnaireWindow::exportPdf);
    connect(m_aboutAction, &QAction::triggered, this, &QuestionnaireWindow::about);
}

void QuestionnaireWindow::setupMenu()
{
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(u"ContextMenu"_s);
    m_recentMenu = new QMenu(tr("Недавние файлы"), this);
    m_recentMenu->setObjectName(u"RecentMenu"_s);
    m_contextMenu->addActions({m_undoAction, m_redoAction});
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({m_newAction, m_saveAsAction, m_printAction, m_pdfAction});
    m_contextMenu->addSeparator();
    m_contextMenu->addMenu(m_recentMenu);
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({m_helpAction, m_aboutAction});
    // Another window may have used files since: the list is read when the menu opens.
    connect(m_contextMenu, &QMenu::aboutToShow, this, &QuestionnaireWindow::rebuildRecentMenu);
    // Shift+F10 opens the menu wherever the focused control has none of its own (an edit's
    // menu is its own).
    qApp->installEventFilter(this);
}

namespace {
enum class HistoryKey { None, Undo, Redo };
HistoryKey historyKey(const QKeyEvent *key)
{
    const QKeyCombination keys = key->keyCombination();
    if (keys == QKeyCombination(Qt::ControlModifier, Qt::Key_Z))
        return HistoryKey::Undo;
    if (keys == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)
        || keys == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
        return HistoryKey::Redo;
    return HistoryKey::None;
}
} // namespace

bool QuestionnaireWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *target = qobject_cast<QWidget *>(watched);
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && target
        && target->window() == this) {
        // The window's history, not an edit's own: undo takes back a whole change.
        const HistoryKey history = historyKey(static_cast<QKeyEvent *>(event));
        if (history != HistoryKey::None) {
            if (event->type() == QEvent::KeyPress)
                history == HistoryKey::Undo ? undo() : redo();
            event->accept();
            return true;
        }
        // Return finishes a typed field: its step once the field has corrected itself.
        const int pressed = static_cast<QKeyEvent *>(event)->key();
        if (event->type() == QEvent::KeyPress && m_typing && watched == m_typing.data()
            && (pressed == Qt::Key_Return || pressed == Qt::Key_Enter))
            QMetaObject::invokeMethod(this, &QuestionnaireWindow::commitTyping, Qt::QueuedConnection);
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier && widget
            && widget->window() == this) {
            const QPoint at = widget->mapToGlobal(widget->rect().center());
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, widget->rect().center(), at);
            QCoreApplication::sendEvent(widget, &menu);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QuestionnaireWindow::contextMenuEvent(QContextMenuEvent *event)
{
    m_contextMenu->exec(event->globalPos());
}

void QuestionnaireWindow::about()
{
    QMessageBox box(QMessageBox::NoIcon, m_caption,
                    tr("%1\n\nПрограмма qs_juv, версия %2\nВерсия данных: %2\nQt %3").arg(
                            m_caption, QLatin1StringView(qsjuv::kProgramVersion), QLatin1StringView(qVersion())),
                    QMessageBox::Ok, this);
    box.setObjectName(u"AboutBox"_s);
    box.setIconPixmap(windowIcon().pixmap(64));
    MessageBox::exec(box);
}

void QuestionnaireWindow::rebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = QuestionnaireDocument::recentFiles();
    for (int i = 0; i < int(files.size()); ++i) {
        QAction *action = m_recentMenu->addAction(u"&%1 "_s.arg(i + 1) + qsjuv::recentFileEntry(files[i]));
        connect(action, &QAction::triggered, this, [this, path = files[i]] { openRecent(path); });
    }
    m_recentMenu->menuAction()->setEnabled(!files.isEmpty());
}

void QuestionnaireWindow::openRecent(const QString &path)
{
    if (!mayDiscardChanges())
        return;
    if (!loadFile(path))
        QuestionnaireDocument::forgetRecent(path);
}

void QuestionnaireWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptAsCopy(event))
        event->ignore();
}

void QuestionnaireWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptAsCopy(event))
        event->ignore();
}

void QuestionnaireWindow::dropEvent(QDropEvent *event)
{
    if (!acceptAsCopy(event)) {
        event->ignore();
        return;
    }
    // The drag source waits until the drop returns: the question and the load come after it.
    QMetaObject::invokeMethod(
            this, [this, file = *draggedFile(event->mimeData())] {
                if (!mayDiscardChanges())
                    return;
                if (file.nameLost)
                    loadFileByName(file.bytes);
                else
                    loadFile(file.path);
            },
            Qt::QueuedConnection);
}
