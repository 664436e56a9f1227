#pragma once
// Starting the companion data-entry program "MatEdit".
#include <QString>

namespace prolis {

inline const QString CompanionCommand = QStringLiteral("MatEdit");

// The error text for a start result (0, 2, 3, 11), empty for any other.
QString startResultMessage(int result);

// Starts the companion through the UI services: a result of 31 leads to one
// more start whose result is not examined; 0, 2, 3 and 11 show their error box.
void startCompanion();

// Whether the companion stands beside the program (an executable "MatEdit").
bool companionInstalled();

} // namespace prolis
