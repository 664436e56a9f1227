#pragma once
// Where a text protocol is saved: the save dialog's state and starting
// folder, and the ".txt" rule. The dialog itself is the windows' (see
// widgets/WindowOutputs.h).
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

} // namespace prolis::out
