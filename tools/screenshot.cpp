// Renders what the README shows: the questionnaire window as a PNG (qs_juv_screenshot OUT.png),
// or the printed summary of a questionnaire file as a PDF (qs_juv_screenshot --summary IN.cfg OUT.pdf).
#include "gui/Qs_juvunit.h"
#include "gui/SummaryDocument.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--summary") == 0) {
        TQS_JUVForm form;
        form.loadFile(QFile::decodeName(argv[2]));
        QFile out(QFile::decodeName(argv[3]));
        const QByteArray pdf = qsjuv::summaryPdf(form.summary());
        return !pdf.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(pdf) == pdf.size() ? 0 : 1;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: qs_juv_screenshot OUT.png | qs_juv_screenshot --summary IN.cfg OUT.pdf\n");
        return 2;
    }
    TQS_JUVForm form;
    form.show();
    int status = 1;
    QTimer::singleShot(200, &app, [&] {
        status = form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return status;
}
