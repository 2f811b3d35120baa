// Saves standard input over the file named by the last argument, as the form's save does; for
// tools/killsave.sh and tools/concurrentsave.sh, which kill it at random moments, and for tests
// that stop it at one exact step (--stop-at write:2: before its second write) and kill it there.
#include "core/AtomicFile.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool stopAt(const char *where)
{
    using qsjuv::platform::Operation;
    const char *colon = std::strchr(where, ':');
    const int count = colon ? std::atoi(colon + 1) : 0;
    const QByteArray name(where, colon ? colon - where : 0);
    if (count <= 0 || (name != "lock" && name != "write" && name != "sync"))
        return false;
    qsjuv::platform::stopAt(name == "lock" ? Operation::Lock : name == "write" ? Operation::Write : Operation::Sync, count);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool stops = argc == 4 && std::strcmp(argv[1], "--stop-at") == 0;
    if ((argc != 2 && !stops) || (stops && !stopAt(argv[2]))) {
        std::fputs("usage: qs_juv_savefile [--stop-at lock|write|sync:N] TARGET < CONTENT\n", stderr);
        return 2;
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 2;
    qsjuv::SaveResult result;
    if (qsjuv::writeFileAtomically(QFile::decodeName(argv[argc - 1]), in.readAll(), &result))
        return 0;
    std::fprintf(stderr, "qs_juv_savefile: %s\n", qPrintable(qsjuv::russianReason(result)));
    return 1;
}
