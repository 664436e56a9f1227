#pragma once
// Writing the material database: the one module that does, linked only by
// MatEdit. A save writes the material row and all of its combinations
// (materialy, teplota, spojeni, rovnice, ppn, ppol) in one transaction, all or
// nothing; saves are taken one at a time (a named lock of the server), so the
// new keys never collide; a save over a change someone else saved since the
// material was loaded is refused and writes nothing.
#include "core/Errors.h"
#include "db/MaterialDb.h"
#include "domain/MaterialEdit.h"

#include <QList>
#include <QString>
#include <optional>

namespace prolis::edit {

// The materials of the list: id, name, Rm, Rp, A5, Z.
struct ListedMaterial {
    int id = 0;
    QString nazev;
    double rm = 0, rp = 0, a5 = 0, z = 0;
};

// A refusal of a save that the user can mend (a name taken, a change of
// someone else's): the exact message; nothing was written.
class SaveRefused : public Error {
public:
    using Error::Error;
};

inline const QString MsgChangedMeanwhile =
    QStringLiteral("Materiál mezitím změnil jiný uživatel. Načtěte jej znovu.");

class MaterialStore {
public:
    explicit MaterialStore(MaterialConnection& connection) : m_connection(connection) {}

    QList<ListedMaterial> list();
    // The material with all its temperatures, or none.
    std::optional<Material> load(int id);
    std::optional<int> findByName(const QString& name);

    // Saves `edited`; `loaded` is the material as this editor loaded it (none
    // for a new one). Returns the material's id. Raises SaveRefused (name
    // taken, changed meanwhile, a check refused it) or DatabaseError (the
    // server's reason); the transaction is rolled back either way.
    int save(const std::optional<Material>& loaded, const Material& edited);
    // Deletes the material, its link rows and the constant rows no other
    // link uses, in one transaction; refused when it changed since `loaded`.
    void remove(const Material& loaded);

    // A new material with all temperatures and constants of `m`, named
    // "Kopie <name>" (with a number when that is taken too); its id.
    int duplicate(const Material& m);

private:
    class Transaction;
    std::optional<Material> loadLocked(int id);
    int allocate(const char* table);
    void removeCombinations(int materialId);
    void writeCombinations(int materialId, const QList<Data>& temperatures);

    MaterialConnection& m_connection;
};

} // namespace prolis::edit
