#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace qsjuv {

// How one of the form's file dialogs is set up; each is built on first use and kept.
struct FileDialogSetup
{
    QString objectName;
    QString title;
    QFileDialog::AcceptMode acceptMode;
    QString defaultSuffix;
    QStringList nameFilters;
    QString defaultName;
};

} // namespace qsjuv

// The form's file dialogs. setNextFileName() gives the next run its answer without showing the
// dialog: the one way tests and scripts choose a file.
class FileDialog
{
public:
    static QFileDialog *make(QWidget *owner, const qsjuv::FileDialogSetup &setup);

    // The path the next run delivers; an empty one cancels it.
    static void setNextFileName(const QString &path);
    // Names set and never asked for: dropped, and how many they were.
    static int dropNextFileNames();

    // Runs dialog in the folder of offered (or the last folder used, or the current one) with
    // offered's name (or the dialog's default) selected; remember keeps the folder chosen for
    // the next run. The chosen path, or nullopt when cancelled.
    static std::optional<QString> run(QFileDialog *dialog, bool remember, const QString &offered = QString());

    // What the dialog cannot list in folder: names that are not UTF-8 (an archive's Windows-1251
    // names), escaped; empty when there are none.
    static QString skippedNames(const QString &folder);
};
