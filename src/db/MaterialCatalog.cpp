#include "MaterialCatalog.h"

namespace prolis {

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
    MaterialQuery ocel(connection, sql::Materials);
    ocel.open();
    int row = -1;
    bool isNumber = false;
    const int id = by == MaterialBy::Name ? 0 : material.toInt(&isNumber);
    for (int i = 0; isNumber && row < 0 && i < ocel.rowCount(); ++i)
        if (ocel.row(i).value(QStringLiteral("id")).toInt() == id) row = i;
    for (int i = 0; by != MaterialBy::Id && row < 0 && i < ocel.rowCount(); ++i)
        if (ocel.row(i).value(QStringLiteral("nazev")).toString() == material) row = i;
    if (row < 0) return LookupResult::NoMaterial;

    MaterialQuery teplo(connection, sql::Temperatures);
    teplo.open({rowKey(ocel, row)});
    int trow = -1;
    for (int k = 0; trow < 0 && k < teplo.rowCount(); ++k) {
        if (wholeNumber(teplo.row(k), QStringLiteral("teplo")) == temperature) trow = k;
    }
    if (trow < 0) return LookupResult::NoTemperature;

    MaterialQuery konstanty(connection, sql::ConstantsAll);
    konstanty.open({rowKey(ocel, row), rowKey(teplo, trow)});
    fillData(data, konstanty.rowCount() > 0 ? &konstanty.row(0) : nullptr);
    return LookupResult::Found;
}

} // namespace prolis
