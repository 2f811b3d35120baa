#pragma once

#include <QString>

#include <memory>

class QPagedPaintDevice;
class QWidget;

// A print to a printer or a file, asked for with the system's print dialog. QtPrintSupport costs
// the start a library's loading and relocation: it lives in a module loaded on the first print.
class PrintJob
{
public:
    virtual ~PrintJob() = default;
    // Shows the dialog over owner; false when it is cancelled.
    virtual bool ask(QWidget *owner, const QString &title) = 0;
    // Prints into a PDF file at path, as the dialog's print to file does.
    virtual void printInto(const QString &path) = 0;
    // The file the job writes, empty when it goes to a printer.
    virtual QString outputFile() const = 0;
    virtual QPagedPaintDevice &device() = 0;
    virtual bool failed() const = 0;
};

// What the module exports under the name qsjuv_print_job.
using MakePrintJob = PrintJob *(*)(const QString &docName, const QString &fileName);

// A job from the module, loaded once; null with why set when the module cannot be loaded.
std::unique_ptr<PrintJob> makePrintJob(const QString &docName, const QString &fileName, QString &why);
