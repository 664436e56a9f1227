#pragma once
// The journal of a running Prolis: both units' calculations kept on disk (a
// project file written whole or not at all) after every change of a history,
// so that a crash loses nothing. One journal per running program, each
// guarded by a lock file; a journal whose program is gone is offered back.
#include "Project.h"

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <future>
#include <memory>
#include <vector>

namespace prolis::journal {

// The user's state folder of Prolis: $XDG_STATE_HOME/Prolis, or
// ~/.local/state/Prolis when that is unset or not an absolute path.
QString stateFolder();

class Journal {
public:
    // This program's journal in `folder` (created when missing).
    explicit Journal(QString folder);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const QString& path() const { return m_path; }
    // The journals of earlier runs whose program has ended without closing
    // them, never one of a program still running. Each is claimed: its lock
    // is held by this program until it is adopted or set aside, so that a
    // second Prolis started meanwhile does not offer it as well.
    QStringList orphans();
    // Keeps the calculations; empty on success. The first failure returns
    // "Výpočty nelze průběžně ukládat: …" (to be shown once); later ones
    // return nothing until a write succeeds again.
    QString write(const project::Project& p);
    // A clean end: the journal and its lock are removed.
    void close();

    // An orphan's calculations are read with project::readProjectFile.
    // An orphan whose calculations this program now keeps: removed.
    void adopt(const QString& orphan);
    // An orphan set aside (No to restoring it, or not readable): renamed with
    // its date, the last five set aside kept. The name it got.
    QString putAside(const QString& orphan);

private:
    void release(const QString& orphan);

    QString m_folder, m_path;
    std::unique_ptr<QLockFile> m_lock;
    std::vector<std::pair<QString, std::unique_ptr<QLockFile>>> m_claimed;
    bool m_failed = false;
    QByteArray m_buffer; // the last journal's bytes; its memory serves the next
};

// The journal of the windows' units for this run; none installed (the
// default, and in every test that does not install one) keeps nothing.
void installRunJournal(Journal* journal);
Journal* runJournal();
// Writes both units of the windows to the run's journal: the failure text
// to show (once), otherwise empty.
QString keepUnits();
// The same, written by a worker thread from a copy of the units taken now,
// while the caller goes on with what does not change them; `get()` waits
// for the write and gives what keepUnits gives.
std::future<QString> startKeepingUnits();

} // namespace prolis::journal
