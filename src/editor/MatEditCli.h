#pragma once
// MatEdit without windows, for scripts: importing material files into the
// database and exporting a material as one. Exit codes as prolis-calc's: 0
// done, 1 refused by a check, 3 database or file error, 64 usage.
#include "MaterialFiles.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

namespace prolis::edit {

struct CliEnvironment {
    QString executableDir;             // where prolis.ini is looked for
    std::function<QString()> password; // PROLIS_PASSWORD or the terminal
};

// Whether a command line is one for the command line (not the windows).
bool isCommandLine(const QStringList& args);

// MatEdit --import FILE... [--replace] | --export NAME -o FILE, with
// [--ini FILE] [--user USER]; results to `out`, messages to `err`.
int runCommandLine(const QStringList& args, QIODevice& out, QTextStream& err, const CliEnvironment& env);

} // namespace prolis::edit
