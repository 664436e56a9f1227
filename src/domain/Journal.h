#pragma once
// The journal of a running Prolis: both units' calculations kept on disk (a
// project file written whole or not at all) after every change of a history,
// so that a crash loses nothing. One journal per running program, each
// guarded by a lock file; a journal whose program is gone is offered back.
#include "Project.h"

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

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
    // them (their lock is free); never one of a program still running.
    QStringList orphans() const;
    // Keeps the calculations; empty on success. The first failure returns
    // "Výpočty nelze průběžně ukládat: …" (to be shown once); later ones
    // return nothing until a write succeeds again.
    QString write(const project::Project& p);
    // A clean end: the journal and its lock are removed.
    void close();

    // An orphan set aside (No to restoring it): renamed with its date, the
    // last five set aside kept.
    void putAside(const QString& orphan) const;
    // An orphan taken over (Yes): its file and lock removed after reading.
    static project::ReadProject take(const QString& orphan);

private:
    QString m_folder, m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_failed = false;
};

} // namespace prolis::journal
