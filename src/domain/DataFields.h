#pragma once
// Every field of the material record in one table: the database column it is
// read from and written to, its JSON key, the group it is shown in and the
// member that holds it. The readers, writers, editor and checks all loop over
// this table, so a field cannot be forgotten in one of them.
#include "Data.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace prolis {

// The database table a field is stored in.
enum class DataTable { Materialy, Teplota, Rovnice, Ppol, Ppn };

// The groups of the record, as the editor and the listings show them.
enum class DataGroup {
    Name,
    Material,      // Rm, Rp, A5, Z
    Temperature,   // teplo
    WorkPolytropa, // ppol
    WorkPolynom,   // ppn
    Polytropa,
    Polynom3,
    Polynom5,
    PolynomF,
    PolynomD,
    Strain, // φ(max), φ(str)
};

enum class FieldKind { Text, Whole, Number };

struct DataField {
    QString column; // in its table ("Nazev", "Rm", "teplo", "pn3_0")
    QString key;    // in a material file ("pn3" for every element of the array)
    int element;    // index in the file's array; -1: a single value
    DataTable table;
    DataGroup group;
    FieldKind kind;
    QString caption;                             // as a message names it ("φ(max)", "pol_a")
    QString unit;                                // "MPa", "%", "°C"; empty for the constants
    double* (*at)(Data&, int element) = nullptr; // the number (kind Number only)

    // The editor's name of the field: the column in lower case ("rm", "pn3_0").
    QString name() const { return column.toLower(); }
    double* in(Data& d) const { return at ? at(d, element) : nullptr; }
    double of(const Data& d) const;
};

// The fields in the record's order (that of a material file).
const QList<DataField>& dataFields();
// The field with this column name (compared without case, as the server
// does), or nullptr.
const DataField* dataField(QStringView column);
// The fields of one group, and of one table, in the record's order.
QList<const DataField*> fieldsOf(DataGroup group);
QList<const DataField*> fieldsIn(DataTable table);
// The name of a table in the database ("materialy", "rovnice", ...).
QString tableName(DataTable table);
// The caption of a group ("Polytropa", "Měrná práce: Polynom", ...).
QString groupCaption(DataGroup group);

} // namespace prolis
