#pragma once
// Writing the material database: the one module that does, linked only by
// MatEdit. A save writes the material row and all of its combinations
// (materialy, teplota, spojeni, rovnice, ppn, ppol) in one transaction, all or
// nothing, on one server or through any node of a Galera cluster: what the
// user loaded is read again with locks inside it, new keys are taken so that
// neither two saves nor two nodes choose the same, and a transaction that
// meets another writer is tried again whole. A save over a change someone
// else saved since the material was loaded is refused and writes nothing.
#include "MaterialRepository.h"
#include "db/MaterialDb.h"

#include <QList>
#include <QString>
#include <optional>

namespace prolis::edit {

class MaterialStore final : public MaterialRepository {
public:
    // `settings` (when given) connect again after a failed statement: a
    // server restarted or a connection cut does not leave the editor unable
    // to save; the next action reconnects.
    explicit MaterialStore(MaterialConnection& connection, std::optional<ConnectionSettings> settings = {})
        : m_connection(connection), m_settings(std::move(settings)) {}

    QList<ListedMaterial> list() override;
    std::optional<Material> load(int id) override;
    std::optional<int> findByName(const QString& name) override;
    QStringList similarNames(const QString& name) override;

    // Saves `edited`; `loaded` is the material as this editor loaded it (none
    // for a new one). Returns the material's id. Raises SaveRefused (name
    // taken, changed meanwhile, a check refused it), DeletedMeanwhile or
    // DatabaseError (the server's reason); the transaction is rolled back.
    int save(const std::optional<Material>& loaded, const Material& edited) override;
    // Several saves in one transaction: all of them or none. A refusal
    // names its material.
    struct Save {
        std::optional<Material> loaded;
        Material edited;
    };
    QList<int> saveAll(const QList<Save>& saves);
    // Deletes the material, its link rows and the constant rows no other
    // link uses, in one transaction; refused when it changed since `loaded`.
    void remove(const Material& loaded) override;

    // A new material with all temperatures and constants of `m`, named
    // "Kopie <name>" (with a number when that is taken too), cut to the 100
    // characters a name may have before it is checked; its id.
    int duplicate(const Material& m) override;

    // How a write that meets another writer is tried again: `attempts` in
    // all, each waiting at most `lockWaitSeconds` for a row another writer
    // holds, with a random pause of up to `backOffMs` (doubling) between.
    struct Retry {
        int attempts = 10;
        int lockWaitSeconds = 5;
        int backOffMs = 40;
    };
    void setRetry(const Retry& r) { m_retry = r; }
    // The tries again so far (for the benchmark and the tests).
    int retries() const { return m_retries; }

private:
    class Transaction;
    template <class F>
    auto guardedCall(F&& f);
    template <class F>
    auto written(F&& f);
    std::optional<Material> loadMaterial(int id);
    std::optional<int> exactName(const QString& name, int except, bool locking);
    int saveIn(const std::optional<Material>& loaded, const Material& edited);
    int allocate(const char* table);
    void removeCombinations(int materialId);
    void writeCombinations(int materialId, const QList<Data>& temperatures);

    MaterialConnection& m_connection;
    std::optional<ConnectionSettings> m_settings;
    bool m_broken = false;
    Retry m_retry;
    int m_retries = 0;
    std::optional<std::pair<int, int>> m_step; // auto_increment increment and offset
};

} // namespace prolis::edit
