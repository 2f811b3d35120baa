#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace qsjuv {

// A number field as the loader reads it: leading blanks (space, \t \n \v \f \r), one optional
// sign, then decimal digits up to the first other character. No digits gives 0; values beyond
// 32 bits saturate at the qint32 limits instead of wrapping. Not QByteArray::toInt, which
// refuses "12abc" as a whole instead of taking its 12, and fails rather than saturates.
qint32 profileNumber(QByteArrayView text);

} // namespace qsjuv
