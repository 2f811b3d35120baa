#include "gui/PrintDialog.h"

#include <deque>

namespace {
std::deque<QString> &nextOutputFiles()
{
    static std::deque<QString> files;
    return files;
}
} // namespace

void PrintDialog::setNextOutputFile(const QString &path)
{
    nextOutputFiles().push_back(path);
}

std::optional<QString> PrintDialog::takeNextOutputFile()
{
    if (nextOutputFiles().empty())
        return std::nullopt;
    const QString path = nextOutputFiles().front();
    nextOutputFiles().pop_front();
    return path;
}
