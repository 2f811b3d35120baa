#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

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

QFileDialog *makeFileDialog(QWidget *owner, const FileDialogSetup &setup);

} // namespace qsjuv
