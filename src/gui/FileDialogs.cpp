#include "gui/FileDialogs.h"

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
            return u"Папка"_s;
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? u"Файл"_s : u"Файл %1"_s.arg(suffix.toUpper());
    }
};

} // namespace

QFileDialog *makeFileDialog(QWidget *owner, const FileDialogSetup &setup)
{
    // Outlives every dialog and its gathering thread.
    static QuickTypeIconProvider iconProvider;

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
    return dialog;
}

} // namespace qsjuv
