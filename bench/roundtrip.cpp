// Save then load of a two-channel questionnaire through the form's own handlers. Every modal
// dialog is answered in the first pass of its event loop, so a round trip is the handlers' work
// plus the toolkit showing and closing three dialogs; the same dialogs are then timed alone to
// tell the two apart.
#include "gui/Application.h"
#include "gui/QuestionnaireWindow.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/QuestionnaireLoad.h"
#include "core/SafeRead.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Answers each dialog as it appears: the file dialogs with one path, a message box with Yes or OK.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(QString path)
        : m_path(std::move(path))
    {
        qApp->installEventFilter(this);
    }

    int warnings = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *dialog = qobject_cast<QDialog *>(watched)) {
                QPointer<QDialog> guard(dialog);
                QMetaObject::invokeMethod(this, [this, guard] {
                    if (guard)
                        answer(guard);
                }, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void answer(QDialog *dialog)
    {
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            if (box->icon() == QMessageBox::Warning || box->icon() == QMessageBox::Critical)
                ++warnings;
            QAbstractButton *button = box->button(QMessageBox::Yes);
            (button ? button : box->button(QMessageBox::Ok))->click();
            return;
        }
        if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
            // The way a user types a name: the folder first, no list selection left over.
            const QFileInfo info(m_path);
            files->setDirectory(info.absolutePath());
            for (QAbstractItemView *view : files->findChildren<QAbstractItemView *>()) {
                if (view->selectionModel())
                    view->clearSelection();
            }
            if (auto *name = files->findChild<QLineEdit *>(u"fileNameEdit"_s))
                name->setText(info.fileName());
            QMetaObject::invokeMethod(files, "accept", Qt::DirectConnection);
            return;
        }
        dialog->reject();
    }

    QString m_path;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds per call, the median of count calls after a warm-up.
double timed(int count, const std::function<void()> &before, const std::function<void()> &call)
{
    std::vector<double> ms;
    for (int i = -count / 10; i < count; ++i) {
        before();
        QElapsedTimer timer;
        timer.start();
        call();
        if (i >= 0)
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(ms);
}

} // namespace

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qs_juv.cfg"_s);
    DialogAnswerer answerer(path);

    // ЖУВ-720-220, two channels: RTD on channel 1, a thermocouple on channel 2.
    QuestionnaireWindow form;
    form.show();
    qsjuv::Questionnaire settings = qsjuv::withModel(form.questionnaire(), 4);
    settings.channels[1] = qsjuv::defaultChannel(4, 1, 9);
    settings.channels[0].maxText = u"300"_s;
    settings.firm = u"ООО «Ромашка»"_s;
    settings.phone = u"+7 (495) 123-45-67"_s;
    settings.mail = u"zakaz@example.ru"_s;
    form.setQuestionnaire(settings);

    constexpr int kCount = 300;
    const auto removeFile = [&path] { QFile::remove(path); };
    const auto nothing = [] {};

    const double roundTrip = timed(kCount, removeFile, [&] {
        form.save();
        form.load();
    });
    if (answerer.warnings != 0 || !QFile::exists(path) || form.isModified()) {
        std::fprintf(stderr, "the round trip did not save and load cleanly\n");
        return 1;
    }
    const double save = timed(kCount, removeFile, [&] { form.save(); });
    const double load = timed(kCount, nothing, [&] { form.load(); });
    const double readConfiguration = timed(kCount, nothing, [&] { form.loadFile(path); });
    // Without a window to repaint after each change the cascade makes.
    form.hide();
    const double hiddenRoundTrip = timed(kCount, removeFile, [&] {
        form.save();
        form.load();
    });
    form.show();

    // The file dialogs watch their folder: a file that comes and goes there makes them refresh.
    const auto dialogsOnly = [&](bool replaceFile) {
        return timed(kCount, replaceFile ? std::function<void()>(removeFile) : nothing, [&] {
            form.saveDialog()->exec();
            if (replaceFile)
                qsjuv::writeFileAtomically(path, "[Device]\r\n");
            QMessageBox box(QMessageBox::Information, form.windowTitle(), u"Файл успешно сохранен."_s,
                            QMessageBox::Ok, &form);
            box.exec();
            form.openDialog()->exec();
        });
    };
    const double dialogs = dialogsOnly(false);
    const double dialogsReplacing = dialogsOnly(true);

    const double writeCore = timed(kCount, nothing, [&] {
        qsjuv::writeFileAtomically(path, qsjuv::writeQuestionnaire(settings).bytes);
    });
    // What the core does for a save and a load, without a file and without a window.
    bool same = true;
    const double core = timed(kCount, nothing, [&] {
        const QByteArray bytes = qsjuv::writeQuestionnaire(settings).bytes;
        const qsjuv::LoadedQuestionnaire loaded =
                qsjuv::loadedQuestionnaire(qsjuv::readQuestionnaire(qsjuv::ProfileReader(bytes)), settings);
        same = same && loaded.value == settings;
    });
    const double coreFile = timed(kCount, nothing, [&] {
        qsjuv::writeFileAtomically(path, qsjuv::writeQuestionnaire(settings).bytes);
        const auto bytes = qsjuv::readRegularFile(qsjuv::nativePath(path));
        const qsjuv::LoadedQuestionnaire loaded =
                qsjuv::loadedQuestionnaire(qsjuv::readQuestionnaire(qsjuv::ProfileReader(bytes.value_or(QByteArray()))), settings);
        same = same && loaded.value == settings;
    });
    if (!same) {
        std::fprintf(stderr, "the core's round trip changed the questionnaire\n");
        return 1;
    }

    std::printf("round trips:                                  %d after %d warm-up\n", kCount, kCount / 10);
    std::printf("save + load through the window's commands:  median %.3f ms  (aim: under 2 ms)\n", roundTrip);
    std::printf("  the same with the form hidden (no repaint): median %.3f ms\n", hiddenRoundTrip);
    std::printf("  save alone:                                 median %.3f ms\n", save);
    std::printf("  load alone:                                 median %.3f ms\n", load);
    std::printf("the three dialogs alone, folder unchanged:    median %.3f ms\n", dialogs);
    std::printf("  the same, a file replaced in their folder:  median %.3f ms\n", dialogsReplacing);
    std::printf("  round trip less that:                       %.3f ms\n", roundTrip - dialogsReplacing);
    std::printf("loadFile(path) alone:                         median %.3f ms\n", readConfiguration);
    std::printf("writeQuestionnaire + writeFileAtomically:     median %.3f ms\n", writeCore);
    std::printf("the core's save + load, in memory:            median %.3f ms  (aim: under 0.2 ms)\n", core);
    std::printf("  the same through the file (its fsync too):  median %.3f ms\n", coreFile);
    return 0;
}
