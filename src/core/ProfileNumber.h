#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace qsjuv {

// A number field as the loader reads it: leading blanks (space, \t \n \v \f \r), one optional
// sign, then decimal digits up to the first other character. No digits gives 0; values beyond
// 32 bits saturate at the qint32 limits instead of wrapping.
qint32 profileNumber(QByteArrayView text);

} // namespace qsjuv
