#pragma once
// The database password typed on the terminal: no echo while it is typed,
// the echo back on every way out (Ctrl-C, a kill, Ctrl-Z included), and a
// line of any length.
#include <QByteArray>
#include <QString>
#include <optional>

namespace prolis::cli {

// Reads one line from the terminal `fd` with the echo off; nothing at the end
// of the input. When `fd` is no terminal the line is read as it is.
std::optional<QByteArray> readSecretLine(int fd);

// The password from PROLIS_PASSWORD, otherwise asked on the terminal
// ("Heslo k databázi: ") without echo; empty without a terminal.
QString askPassword();

} // namespace prolis::cli
