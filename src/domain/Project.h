#pragma once
// The calculations of both units as a project file: UTF-8 JSON whose top
// level says "format": "prolis-project" and "version": 1, holding each unit's
// records (and the backward unit's summary rows) in history order, every
// text exactly as it stands.
#include "BackwardRecord.h"
#include "ForwardRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace prolis::project {

struct Project {
    QList<fwd::Souhrn> forward;
    QList<bwd::Entry> backward;

    bool operator==(const Project& o) const;
};

inline constexpr int Version = 1;
inline constexpr qint64 MaxProjectFileSize = 64 * 1024 * 1024;
inline constexpr int MaxEntries = 100000;

QByteArray projectJson(const Project& p);
// The same appended to `out` (a buffer kept for the next file keeps its memory).
void appendProjectJson(const Project& p, QByteArray& out);

// The project of a file's bytes, or the refusal (Czech, naming `source`):
// not JSON, another format, a later version, a key or value that does not
// belong, too large.
struct ReadProject {
    std::optional<Project> project;
    QString refusal;
    bool fileFailed = false; // the file itself could not be read (missing, not regular, too large)
};
ReadProject readProject(const QByteArray& bytes, const QString& source);
// The project of the file at `path` (a regular file of at most
// MaxProjectFileSize), or the refusal naming it.
ReadProject readProjectFile(const QString& path);

} // namespace prolis::project
