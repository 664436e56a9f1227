#pragma once
// Starting a program by its command line, as the UI services do it.
#include <QString>
#include <QStringList>

namespace prolis {

// Where the program is looked up: the program's own folder, then every
// absolute folder of PATH; never the current folder.
QStringList programSearchFolders(const QString& appDir, const QString& pathVariable);

// Resolves and starts a command line detached; returns a start result in the
// old manner (2 not found, 3 path not found, 11 not executable, 0 out of
// resources, 33 started).
int launchDetached(const QString& commandLine, const QStringList& folders);

} // namespace prolis
