// Saves standard input over the file named by the argument, as the form's save does; for
// tools/killsave.sh, which kills it at random moments.
#include "core/AtomicFile.h"

#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: qs_juv_savefile TARGET < CONTENT\n", stderr);
        return 2;
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 2;
    qsjuv::SaveResult result;
    if (qsjuv::writeFileAtomically(QFile::decodeName(argv[1]), in.readAll(), &result))
        return 0;
    std::fprintf(stderr, "qs_juv_savefile: %s\n", qPrintable(qsjuv::russianReason(result)));
    return 1;
}
