#pragma once
// The statements of the selection dialog, in the dialog's order: the
// materials (Q1), the temperatures of the material picked (Q2), the constants
// of the combination (Q3a) and the record filled from them. The dialog runs
// them step by step as the user picks; a lookup by name or id runs the same
// steps without a window.
#include "db/MaterialDb.h"
#include "domain/Data.h"

namespace prolis {

class MaterialSelection {
public:
    explicit MaterialSelection(MaterialConnection& connection);

    // Q1: the materials; the first is the one picked until another is.
    void openMaterials();
    // Q2 for material row `row` of Q1 (none: no rows); the constants of an
    // earlier pick stay.
    void pickMaterial(int row);
    // Q3a for the material picked and temperature row `row` of Q2.
    void pickTemperature(int row);

    const MaterialQuery& materials() const { return m_materials; }
    const MaterialQuery& temperatures() const { return m_temperatures; }
    const MaterialQuery& constants() const { return m_constants; }
    // Whether Q3a ran.
    bool temperaturePicked() const { return m_constants.isOpen(); }
    // The record of the combination (an empty record when Q3a gave no row).
    void fill(Data& data) const;
    // Forgets the constants (before Q3a runs again).
    void clearConstants() { m_constants.close(); }

private:
    MaterialQuery m_materials;    // Q1
    MaterialQuery m_temperatures; // Q2
    MaterialQuery m_constants;    // Q3a
    int m_materialRow = -1;
};

struct TemperatureRow {
    int id = 0;
    std::optional<qlonglong> teplo; // none for NULL
};
struct MaterialRow {
    int id = 0;
    QString nazev;
    QList<TemperatureRow> temperatures;
};

// Q1, and Q2 for each material, in the order of the statements.
QList<MaterialRow> listMaterials(MaterialConnection& connection);

enum class LookupResult { Found, NoMaterial, NoTemperature };

// How `material` names a material: its id (a text of digits) or else its
// name, or only one of the two.
enum class MaterialBy { IdOrName, Id, Name };

// The material at the first of its temperature rows whose value is
// `temperature`; Q3a fills `data`.
LookupResult loadMaterial(MaterialConnection& connection, const QString& material, int temperature,
                          Data& data, MaterialBy by = MaterialBy::IdOrName);

} // namespace prolis
