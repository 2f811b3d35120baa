#include "gui/PrintJob.h"

#include <QCoreApplication>
#include <QLibrary>

std::unique_ptr<PrintJob> makePrintJob(const QString &docName, const QString &fileName, QString &why)
{
    static MakePrintJob make = nullptr;
    // Installed beside the program's own library folder; in a build tree, where it was built.
    const QString places[] = {QCoreApplication::applicationDirPath() + QStringLiteral("/../" QS_JUV_PRINT_MODULE_INSTALLED),
                              QStringLiteral(QS_JUV_PRINT_MODULE_BUILT)};
    for (const QString &place : places) {
        if (make)
            break;
        QLibrary module(place); // stays loaded when this goes
        make = reinterpret_cast<MakePrintJob>(module.resolve("qsjuv_print_job"));
        if (!make && why.isEmpty())
            why = module.errorString();
    }
    if (!make)
        return nullptr;
    return std::unique_ptr<PrintJob>(make(docName, fileName));
}
