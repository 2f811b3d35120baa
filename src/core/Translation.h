#pragma once

#include <QString>

class QCoreApplication;

namespace qsjuv {

// Installs the English translation when the user's locale is English and says whether it did;
// any other locale keeps the sources' own Russian. Both programs call it once their application
// object exists.
bool installTranslation(QCoreApplication &app);

// A catalogue's text (a list entry, a unit, a caption) in the user's language; empty for none.
// The tables hold the Russian, which is what the checker's codes and the file rely on.
QString catalogueText(const char *text);

} // namespace qsjuv
