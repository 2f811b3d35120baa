#include "gui/Application.h"
#include "gui/Qs_juvunit.h"

#include <exception>

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    try {
        TQS_JUVForm form;
        form.show();
        app.exec();
    } catch (const std::exception &e) {
        TApplication::showException(QString::fromUtf8(e.what()));
    } catch (...) {
        TApplication::showException(QString());
    }
    return 0;
}
