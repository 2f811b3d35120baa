#pragma once

#include <QByteArray>
#include <QFile>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Names that are not plain files, as archives, mail clients and shares leave them.
enum class Special {
    Fifo,
    Socket,
    Folder,
    DeviceLink, // to /dev/zero: endless
    FifoLink,
    FolderLink,
    DanglingLink,
    UnsizedLink, // to /proc/kallsyms: a regular file that reports size 0 and holds megabytes
    LinkLoop, // a link to itself: the system's own reason (ELOOP)
};

inline constexpr char kUnsized[] = "/proc/kallsyms";

// Whether kUnsized holds more than bytes, so that it can stand for a file that lies about its size.
inline bool unsizedHoldsMore(qint64 bytes)
{
    QFile file(QString::fromLatin1(kUnsized));
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && file.size() == 0
            && file.read(bytes + 1).size() > bytes;
}

// Makes path (raw bytes) that kind of entry; false when the system refuses.
inline bool makeSpecial(Special kind, const QByteArray &path)
{
    const QByteArray aside = path + ".target";
    switch (kind) {
    case Special::Fifo:
        return mkfifo(path.constData(), 0644) == 0;
    case Special::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(path.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (fd >= 0)
            close(fd);
        return bound;
    }
    case Special::Folder:
        return mkdir(path.constData(), 0755) == 0;
    case Special::DeviceLink:
        return symlink("/dev/zero", path.constData()) == 0;
    case Special::FifoLink:
        return mkfifo(aside.constData(), 0644) == 0 && symlink(aside.constData(), path.constData()) == 0;
    case Special::FolderLink:
        return mkdir(aside.constData(), 0755) == 0 && symlink(aside.constData(), path.constData()) == 0;
    case Special::DanglingLink:
        return symlink(aside.constData(), path.constData()) == 0;
    case Special::UnsizedLink:
        return symlink(kUnsized, path.constData()) == 0;
    case Special::LinkLoop:
        return symlink(path.constData(), path.constData()) == 0;
    }
    return false;
}

// What a name is, to prove that nothing touched it: its type, size and link target.
inline QByteArray describeEntry(const QByteArray &path)
{
    struct stat info {};
    if (lstat(path.constData(), &info) != 0)
        return "missing";
    char target[4096] = {};
    const ssize_t n = S_ISLNK(info.st_mode) ? readlink(path.constData(), target, sizeof target - 1) : 0;
    return QByteArray::number(info.st_mode, 8) + ' ' + QByteArray::number(qint64(info.st_size)) + ' '
            + QByteArray(target, n > 0 ? n : 0);
}
