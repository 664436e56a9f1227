#pragma once
// The statements of the selection dialog run without a window: the material
// list with its temperatures, and the record of one combination, filled
// exactly as the dialog fills it.
#include "db/MaterialDb.h"
#include "domain/Data.h"

namespace prolis {

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
