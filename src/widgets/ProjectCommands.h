#pragma once
// The calculations of both units kept beyond the run: the journal written
// after every change of a history, a crashed run's journal offered back at
// the start, and the histories saved to and opened from a project file.
// Every question and message goes through the UI services.
#include <QString>
#include <future>

namespace prolis {

namespace journal {
class Journal;
}

// Both units' histories written to the run's journal (when one is
// installed); a failure is told once, and the program goes on.
void keepHistories();
// The same with the write done meanwhile by a worker thread: started now,
// and `finish` (waited for, a failure told once) before the histories are
// shown or changed again.
class KeepingHistories {
public:
    KeepingHistories();
    void finish();

private:
    std::future<QString> m_write;
};

// At the start: the journals of earlier runs that ended without closing
// them. One that cannot be read is told and set aside; the others are
// offered together: Yes puts their calculations into the units (the run's
// journal keeps them from then on), No sets them aside.
void restorePreviousRun(journal::Journal& journal);

inline const QString ProjectFilter = QStringLiteral("Výpočty Prolisu (*.prolis)");

// "Uložit výpočty…": both histories to a project file chosen by the user.
void saveCalculations();
// "Otevřít výpočty…": the histories replaced by those of a project file,
// after a question when they hold calculations.
void openCalculations();

} // namespace prolis
