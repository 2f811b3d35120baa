#include "core/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qsjuv {
namespace {

void setError(QString *errorText, const char *what, const QString &path, const QString &reason)
{
    if (errorText) {
        *errorText = QCoreApplication::translate("qsjuv::AtomicFile", what)
                             .arg(QDir::toNativeSeparators(path), reason);
    }
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorText)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(errorText, QT_TRANSLATE_NOOP("qsjuv::AtomicFile", "Cannot create %1: %2"), path,
                 file.errorString());
        return false;
    }
    // commit() reports success even when its own final flush failed, so every byte is pushed
    // out and checked here, while the old file can still be kept.
    const bool written = file.write(bytes) == bytes.size() && file.flush()
            && file.error() == QFileDevice::NoError;
    if (!written) {
        setError(errorText, QT_TRANSLATE_NOOP("qsjuv::AtomicFile", "Cannot write %1: %2"), path,
                 file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(errorText, QT_TRANSLATE_NOOP("qsjuv::AtomicFile", "Cannot save %1: %2"), path,
                 file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> readWholeFile(const QString &path, QString *errorText)
{
    if (QFileInfo(path).isDir()) {
        setError(errorText, QT_TRANSLATE_NOOP("qsjuv::AtomicFile", "Cannot read %1: %2"), path,
                 QCoreApplication::translate("qsjuv::AtomicFile", "it is a folder"));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(errorText, QT_TRANSLATE_NOOP("qsjuv::AtomicFile", "Cannot open %1: %2"), path,
                 file.errorString());
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(errorText, QT_TRANSLATE_NOOP("qsjuv::AtomicFile", "Cannot read %1: %2"), path,
                 file.errorString());
        return std::nullopt;
    }
    return data;
}

} // namespace qsjuv
