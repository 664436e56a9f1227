#pragma once
// Starting the companion data-entry program "MatEdit".
#include <QString>
#include <QStringList>

namespace prolis {

inline const QString CompanionCommand = QStringLiteral("MatEdit");

// The error text for a start result (0, 2, 3, 11), empty for any other.
QString startResultMessage(int result);

// Starts the companion through the UI services: a result of 31 leads to one
// more start whose result is not examined; 0, 2, 3 and 11 show their error box.
void startCompanion();

// Where the program is looked up: the program's own folder, the current
// folder, then every folder of PATH.
QStringList companionSearchFolders(const QString& appDir, const QString& currentDir,
                                   const QString& pathVariable);

// Resolves and starts a command line detached; returns a start result in the
// old manner (2 not found, 3 path not found, 11 not executable, 0 out of
// resources, 33 started).
int launchDetached(const QString& commandLine, const QStringList& folders);

} // namespace prolis
