#include "gui/PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>

#include <deque>

namespace {
std::deque<QString> &nextOutputFiles()
{
    static std::deque<QString> files;
    return files;
}
} // namespace

void PrintDialog::setNextOutputFile(const QString &path)
{
    nextOutputFiles().push_back(path);
}

bool PrintDialog::run(QPrintDialog &dialog, QPrinter &printer)
{
    if (nextOutputFiles().empty())
        return dialog.exec() == QDialog::Accepted;
    const QString path = nextOutputFiles().front();
    nextOutputFiles().pop_front();
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}
