#pragma once

#include <QString>

class QPrintDialog;
class QPrinter;

// The print dialog's run. setNextOutputFile() gives the next run its answer without showing the
// dialog: printing into that file (an empty name cancels), the one way tests choose where a
// print goes.
class PrintDialog
{
public:
    static void setNextOutputFile(const QString &path);

    // Whether the user chose to print; printer then holds the choice.
    static bool run(QPrintDialog &dialog, QPrinter &printer);
};
