#include "gui/FileDialog.h"

#include "gui/UserSettings.h"
#include "core/PathText.h"
#include "core/Platform.h"

#include <QCoreApplication>
#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

#include <deque>

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {

// The listing asks each file's type of the MIME database, again whenever the folder changes,
// for a column the list view never shows; the suffix says enough. Called from the dialog's
// file-gathering thread, so it holds no state.
class QuickTypeIconProvider : public QFileIconProvider
{
public:
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QCoreApplication::translate("FileDialog", "Папка");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QCoreApplication::translate("FileDialog", "Файл") : QCoreApplication::translate("FileDialog", "Файл %1").arg(suffix.toUpper());
    }
};

} // namespace
} // namespace qsjuv

QFileDialog *FileDialog::make(QWidget *owner, const qsjuv::FileDialogSetup &setup)
{
    // Outlives every dialog and its gathering thread.
    static qsjuv::QuickTypeIconProvider iconProvider;

    auto *dialog = new QFileDialog(owner);
    dialog->setObjectName(setup.objectName);
    dialog->setWindowTitle(setup.title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(&iconProvider);
    dialog->setAcceptMode(setup.acceptMode);
    if (setup.acceptMode == QFileDialog::AcceptOpen) {
        dialog->setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog->setFileMode(QFileDialog::AnyFile);
        // The form asks its own question, after checking what the name is.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    }
    dialog->setDefaultSuffix(setup.defaultSuffix);
    dialog->setNameFilters(setup.nameFilters);
    dialog->setDirectory(u"."_s);
    dialog->selectFile(setup.defaultName);
    dialog->setProperty("qs_juvDefaultName", setup.defaultName);
    // The detail columns show their texts whole; the name takes the rest.
    if (auto *details = dialog->findChild<QTreeView *>(u"treeView"_s)) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    // Names the listing cannot show are said under it, where the user looks for them.
    auto *skipped = new QLabel(dialog);
    skipped->setObjectName(u"SkippedNames"_s);
    skipped->setWordWrap(true);
    skipped->hide();
    if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
        grid->addWidget(skipped, grid->rowCount(), 0, 1, grid->columnCount());
    QObject::connect(dialog, &QFileDialog::directoryEntered, skipped, [skipped](const QString &folder) {
        const QString names = skippedNames(folder);
        skipped->setText(names);
        skipped->setVisible(!names.isEmpty());
    });
    return dialog;
}


namespace {
constexpr char kLastFolderKey[] = "dialogs/lastFolder";
constexpr char kDialogSizeKey[] = "dialogs/size";

std::deque<QString> &nextFileNames()
{
    static std::deque<QString> names;
    return names;
}
} // namespace

void FileDialog::setNextFileName(const QString &path)
{
    nextFileNames().push_back(path);
}

int FileDialog::dropNextFileNames()
{
    const int left = int(nextFileNames().size());
    nextFileNames().clear();
    return left;
}

QString FileDialog::skippedNames(const QString &folder)
{
    qsjuv::platform::FolderListing listing;
    if (listing.open(QFile::encodeName(folder)))
        return {};
    QStringList names;
    qsjuv::platform::FolderListing::Entry entry;
    qsjuv::platform::Error error = 0;
    // A folder of millions of names must not hold the dialog: a few say enough.
    for (int seen = 0; seen < 100000 && names.size() < 5 && listing.next(&entry, &error); ++seen)
        if (QFile::encodeName(QFile::decodeName(entry.name)) != entry.name)
            names << qsjuv::displayPath(entry.name);
    if (names.isEmpty())
        return {};
    return QCoreApplication::translate("FileDialog", "Имена этих файлов записаны не в UTF-8, и открыть их отсюда нельзя (переименуйте их): %1").arg(
            names.join(u", "_s));
}

std::optional<QString> FileDialog::run(QFileDialog *dialog, bool remember, const QString &offered)
{
    const std::unique_ptr<QSettings> settings = qsjuv::userSettings();
    const QString folder = settings ? settings->value(QLatin1StringView(kLastFolderKey)).toString() : QString();
    const auto chose = [&](const QString &chosen) {
        const QString used = QFileInfo(chosen).absolutePath();
        if (remember && settings && !chosen.isEmpty() && used != folder)
            qsjuv::storeUserSetting(QLatin1StringView(kLastFolderKey), used);
        return chosen;
    };
    if (!nextFileNames().empty()) {
        const QString path = nextFileNames().front();
        nextFileNames().pop_front();
        return path.isEmpty() ? std::nullopt : std::optional<QString>(chose(path));
    }
    // A folder that cannot be listed would show as empty: it counts as gone.
    const QFileInfo remembered(folder);
    const bool usable = !folder.isEmpty() && remembered.isDir() && remembered.isReadable() && remembered.isExecutable();
    QDir start(usable ? folder : u"."_s);
    const QFileInfo offeredFile(offered);
    if (!offered.isEmpty() && offeredFile.absoluteDir().exists())
        start = offeredFile.absoluteDir();
    if (dialog->directory().absolutePath() != start.absolutePath())
        dialog->setDirectory(start);
    emit dialog->directoryEntered(dialog->directory().absolutePath());
    if (settings && settings->contains(QLatin1StringView(kDialogSizeKey)))
        dialog->resize(settings->value(QLatin1StringView(kDialogSizeKey)).toSize().expandedTo(QSize(720, 480)));
    else
        dialog->resize(720, 480);
    // The offered name, selected so that typing replaces it; nothing typed into a cancelled run
    // comes back, and a list selection left from the last run would win over the name.
    if (auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)) {
        for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>())
            if (view->selectionModel())
                view->clearSelection();
        name->setText(offered.isEmpty() ? dialog->property("qs_juvDefaultName").toString() : offeredFile.fileName());
        name->selectAll();
    }
    const int result = dialog->exec();
    // Its name-completion list would stay over the form and take the next keys.
    if (auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s); name && name->completer()
        && name->completer()->popup())
        name->completer()->popup()->hide();
    if (settings && dialog->size() != settings->value(QLatin1StringView(kDialogSizeKey)).toSize())
        qsjuv::storeUserSetting(QLatin1StringView(kDialogSizeKey), dialog->size());
    if (result != QDialog::Accepted)
        return std::nullopt;
    return chose(dialog->selectedFiles().value(0));
}
