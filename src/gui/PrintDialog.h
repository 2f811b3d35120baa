#pragma once

#include <QString>

#include <optional>

// The print dialog's answer for tests. setNextOutputFile() gives the next print its answer
// without showing the dialog: printing into that file (an empty name cancels), the one way tests
// choose where a print goes.
class PrintDialog
{
public:
    static void setNextOutputFile(const QString &path);

    // The answer set for this print, if any; the print path asks the dialog without one.
    static std::optional<QString> takeNextOutputFile();
};
