#include "core/AtomicFile.h"

#include <QSaveFile>

#include <cerrno>

namespace qsjuv {

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    // commit() reports success even when its own final flush failed, so every byte is pushed
    // out and checked here, while the old file can still be kept. After a failed write or flush
    // QSaveFile says "Unknown error"; errno still holds the system's reason.
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && file.flush()
            && file.error() == QFileDevice::NoError;
    if (!written) {
        const int error = errno;
        if (reason)
            *reason = error != 0 ? qt_error_string(error) : file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace qsjuv
