#include "core/Translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace qsjuv {

bool installTranslation(QCoreApplication &app)
{
    if (QLocale().language() != QLocale::English)
        return false;
    auto *own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/i18n/qs_juv_en.qm")))
        QCoreApplication::installTranslator(own);
    return true;
}

QString catalogueText(const char *text)
{
    return text ? QCoreApplication::translate("Catalogue", text) : QString();
}

} // namespace qsjuv
