#pragma once
// Saving a text protocol: the window's save dialog (starting in the Data
// folder, proposing the name chosen last), the ".txt" rule, and a write that
// never leaves a file cut short.
#include "Outputs.h"

#include <QByteArray>
#include <QString>

namespace prolis::out {

// What a window's save dialog remembers while the window exists.
struct SaveDialogState {
    QString lastChoice; // the path chosen last, as the dialog returned it
};

inline const QString TextFilter = QStringLiteral("Text files (*.txt)");

// "Data" under the process's current working directory (neither created nor checked).
QString dataFolder();

// ".txt" appended unless it occurs anywhere in the path (case-sensitive).
QString withTxtExtension(const QString& path);

// Asks for the file and writes `bytes` there. Cancelled: nothing written,
// nothing said. A write that fails shows an error box with the path and the
// reason, and leaves an existing file as it was.
OutputResult saveTextFile(SaveDialogState& dialog, const QByteArray& bytes);

} // namespace prolis::out
