// Renders what the README shows: qs_juv_screenshot DIR writes DIR/screenshot.png (the window at
// start), DIR/screenshot-720-220.png (a two-channel model) and DIR/screenshot-message.png (the
// question before closing with unsaved changes); qs_juv_screenshot --summary IN.cfg OUT.pdf writes
// the printed summary of a questionnaire file.
#include "gui/Application.h"
#include "gui/QuestionnaireWindow.h"
#include "gui/SummaryDocument.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--summary") == 0) {
        QuestionnaireWindow form;
        form.loadFile(QFile::decodeName(argv[2]));
        QFile out(QFile::decodeName(argv[3]));
        const QByteArray pdf = qsjuv::summaryPdf(form.summary());
        return !pdf.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(pdf) == pdf.size() ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: qs_juv_screenshot DIR | qs_juv_screenshot --summary IN.cfg OUT.pdf\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QuestionnaireWindow form;
    form.show();
    int status = 0;
    const auto save = [&status, &dir](QWidget *widget, const QString &name) {
        if (!widget || !widget->grab().save(dir + u'/' + name)) {
            std::fprintf(stderr, "qs_juv_screenshot: cannot write %s\n", qPrintable(dir + u'/' + name));
            status = 1;
        }
    };
    QTimer::singleShot(200, &app, [&] {
        save(&form, u"screenshot.png"_s);

        // ЖУВ-720-220 with a thermocouple B on channel 2.
        qsjuv::Questionnaire value = qsjuv::withModel(form.questionnaire(), 4);
        value.channels[1] = qsjuv::defaultChannel(4, 1, 9);
        value.firm = u"ООО «Пример»"_s;
        form.setQuestionnaire(value);
        QTimer::singleShot(100, &app, [&] {
            save(&form, u"screenshot-720-220.png"_s);
            QTimer::singleShot(100, &app, [&] {
                QWidget *box = QApplication::activeModalWidget();
                save(box, u"screenshot-message.png"_s);
                if (auto *message = qobject_cast<QMessageBox *>(box))
                    message->done(QMessageBox::No);
            });
            form.close();
            app.exit(0);
        });
    });
    app.exec();
    return status;
}
