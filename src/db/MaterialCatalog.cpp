#include "MaterialCatalog.h"

namespace prolis {

MaterialSelection::MaterialSelection(MaterialConnection& connection)
    : m_materials(connection, sql::Materials), m_temperatures(connection, sql::Temperatures),
      m_constants(connection, sql::ConstantsAll) {}

void MaterialSelection::openMaterials() {
    m_materials.open();
    m_materialRow = m_materials.rowCount() > 0 ? 0 : -1;
}

void MaterialSelection::pickMaterial(int row) {
    // The constants of an earlier pick stay until Q3a runs again.
    m_materialRow = row;
    m_temperatures.close();
    m_temperatures.open({rowKey(m_materials, row)});
}

void MaterialSelection::pickTemperature(int row) {
    m_constants.close();
    m_constants.open({rowKey(m_materials, m_materialRow), rowKey(m_temperatures, row)});
}

void MaterialSelection::fill(Data& data) const {
    fillData(data, m_constants.rowCount() > 0 ? &m_constants.row(0) : nullptr);
}

QList<MaterialRow> listMaterials(MaterialConnection& connection) {
    MaterialQuery ocel(connection, sql::Materials);
    MaterialQuery teplo(connection, sql::Temperatures);
    ocel.open();
    QList<MaterialRow> result;
    for (int i = 0; i < ocel.rowCount(); ++i) {
        MaterialRow m;
        m.id = ocel.row(i).value(QStringLiteral("id")).toInt();
        m.nazev = ocel.row(i).value(QStringLiteral("nazev")).toString();
        teplo.open({rowKey(ocel, i)});
        for (int k = 0; k < teplo.rowCount(); ++k)
            m.temperatures.append({teplo.row(k).value(QStringLiteral("id")).toInt(),
                                   wholeNumber(teplo.row(k), QStringLiteral("teplo"))});
        result.append(m);
    }
    return result;
}

LookupResult loadMaterial(MaterialConnection& connection, const QString& material, int temperature,
                          Data& data, MaterialBy by) {
    MaterialSelection selection(connection);
    selection.openMaterials();
    const MaterialQuery& ocel = selection.materials();
    int row = -1;
    bool isNumber = false;
    const int id = by == MaterialBy::Name ? 0 : material.toInt(&isNumber);
    for (int i = 0; isNumber && row < 0 && i < ocel.rowCount(); ++i)
        if (ocel.row(i).value(QStringLiteral("id")).toInt() == id) row = i;
    for (int i = 0; by != MaterialBy::Id && row < 0 && i < ocel.rowCount(); ++i)
        if (ocel.row(i).value(QStringLiteral("nazev")).toString() == material) row = i;
    if (row < 0) return LookupResult::NoMaterial;

    selection.pickMaterial(row);
    const MaterialQuery& teplo = selection.temperatures();
    int trow = -1;
    for (int k = 0; trow < 0 && k < teplo.rowCount(); ++k) {
        if (wholeNumber(teplo.row(k), QStringLiteral("teplo")) == temperature) trow = k;
    }
    if (trow < 0) return LookupResult::NoTemperature;

    selection.pickTemperature(trow);
    selection.fill(data);
    return LookupResult::Found;
}

} // namespace prolis
