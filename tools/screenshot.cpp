// Renders the questionnaire window to a PNG for the README: qs_juv_screenshot OUT.png
#include "gui/Qs_juvunit.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: qs_juv_screenshot OUT.png\n");
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
