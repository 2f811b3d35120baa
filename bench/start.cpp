// Starts, shows one window and quits when the event loop first goes idle after painting it:
// timed from outside as a whole process, once with the real form and once with a bare widget
// (and once with the bare widget owning two file dialogs set up as the form sets up its own, and
// once with the bare widget showing one caption: the price of drawing any text at all).
#ifdef QS_JUV_BENCH_REAL_FORM
#include "gui/Application.h"
#include "gui/QuestionnaireWindow.h"
#else
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QWidget>
#endif

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QTimer>

namespace {
// The dispatcher announces a possible wait before it has handled what the start posted (the
// expose and the paint among it), so the first announcement after the first paint counts.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

int main(int argc, char *argv[])
{
#ifdef QS_JUV_BENCH_REAL_FORM
    Application app(argc, argv);
    QuestionnaireWindow window;
#else
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(533, 590);
#ifdef QS_JUV_BENCH_CAPTION
    (new QLabel(QStringLiteral("Модель изделий"), &window))->move(8, 144);
#endif
#ifdef QS_JUV_BENCH_FILE_DIALOGS
    for (const QFileDialog::AcceptMode mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        auto *dialog = new QFileDialog(&window);
        dialog->setAcceptMode(mode);
        dialog->setDefaultSuffix(QStringLiteral("cfg"));
        dialog->setNameFilters({QStringLiteral("Опросные листы (*.cfg)")});
        dialog->setDirectory(QStringLiteral("."));
        dialog->selectFile(QStringLiteral("qs_juv.cfg"));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
    }
#endif
#endif
    PaintWatch watch;
    window.installEventFilter(&watch);
    window.show();
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &app,
                     [&watch] {
                         if (watch.painted)
                             QCoreApplication::exit(0);
                     });
    QTimer::singleShot(10'000, &app, [] { QCoreApplication::exit(1); }); // never painted
    return app.exec();
}
