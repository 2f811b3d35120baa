#include "core/AtomicFile.h"

#include <QSaveFile>

namespace qsjuv {

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    const auto fail = [&file, reason] {
        if (reason)
            *reason = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // commit() reports success even when its own final flush failed, so every byte is pushed
    // out and checked here, while the old file can still be kept.
    const bool written = file.write(bytes) == bytes.size() && file.flush()
            && file.error() == QFileDevice::NoError;
    if (!written) {
        fail();
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail();
    return true;
}

} // namespace qsjuv
