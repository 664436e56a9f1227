#pragma once
// prolis-calc: the command-line front on the same core and database code as
// the windows, for scripts and batch work.
#include "output/ReportPages.h"

#include <QStringList>
#include <QTextStream>
#include <functional>

class QIODevice;

namespace prolis::cli {

enum Exit { Ok = 0, Refused = 1, CalculationError = 2, DatabaseOrSettings = 3, Usage = 64 };

struct Environment {
    QString executableDir;             // where prolis.ini is looked for
    std::function<QString()> password; // PROLIS_PASSWORD or the terminal
    // Report pages as a PDF document; the program gives the painter of the
    // print layer (this library paints nothing itself).
    std::function<QByteArray(const QList<out::Page>&)> pdf;
    // Reads some bytes of standard input (for batch): the count, 0 at its
    // end, -1 on an error.
    std::function<qint64(char*, qint64)> readInput;
};

// Whether a command line asks for a PDF (the program then needs Qt Gui).
bool wantsPdf(const QStringList& args);

// Runs one command line (without the program name); writes results (JSON,
// or a file's bytes for "-") to `out` and messages to `err`; returns the exit code.
int run(const QStringList& args, QIODevice& out, QTextStream& err, const Environment& env);

} // namespace prolis::cli
