#pragma once
// What the material editor needs of the database: the materials of the list,
// a material with its temperatures, names compared exactly, and the writes.
// MaterialStore is the real one; the editing session's tests give their own.
#include "core/Errors.h"
#include "domain/MaterialEdit.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace prolis::edit {

// The materials of the list: id, name, Rm, Rp, A5, Z.
struct ListedMaterial {
    int id = 0;
    QString nazev;
    double rm = 0, rp = 0, a5 = 0, z = 0;

    bool operator==(const ListedMaterial&) const = default;
};

// A refusal of a save that the user can mend (a name taken, a change of
// someone else's): the exact message; nothing was written.
class SaveRefused : public Error {
public:
    using Error::Error;
};

// The material the user loaded was deleted by someone else meanwhile.
class DeletedMeanwhile : public SaveRefused {
public:
    using SaveRefused::SaveRefused;
};

inline const QString MsgChangedMeanwhile =
    QStringLiteral("Materiál mezitím změnil jiný uživatel. Načtěte jej znovu.");
inline QString msgDeletedMeanwhile(const QString& name) {
    return QStringLiteral("Materiál „%1“ mezitím smazal jiný uživatel. Uložíte-li jej, vloží se jako nový.")
        .arg(name);
}

class MaterialRepository {
public:
    virtual ~MaterialRepository() = default;

    virtual QList<ListedMaterial> list() = 0;
    // The material with all its temperatures, or none.
    virtual std::optional<Material> load(int id) = 0;
    // The material of exactly this name (every character, case, accent and
    // trailing blank counted), or none.
    virtual std::optional<int> findByName(const QString& name) = 0;
    // The names the database holds that differ from `name` only in case,
    // accents or trailing blanks.
    virtual QStringList similarNames(const QString& name) = 0;
    // Saves `edited` over `loaded` (none: a new material); its id. Raises
    // SaveRefused, DeletedMeanwhile or DatabaseError; nothing is written then.
    virtual int save(const std::optional<Material>& loaded, const Material& edited) = 0;
    virtual void remove(const Material& loaded) = 0;
    // A copy named "Kopie <name>"; its id.
    virtual int duplicate(const Material& m) = 0;
};

} // namespace prolis::edit
