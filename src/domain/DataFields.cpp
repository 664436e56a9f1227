#include "DataFields.h"

namespace prolis {

namespace {

template <double Data::*Member> double* single(Data& d, int) {
    return &(d.*Member);
}

template <auto Member> double* item(Data& d, int i) {
    return &(d.*Member)[static_cast<size_t>(i)];
}

DataField number(const char* column, DataTable table, DataGroup group, double* (*at)(Data&, int),
                 const char* caption = nullptr, const char* unit = "") {
    return {QLatin1String(column),
            QString::fromLatin1(column).toLower(),
            -1,
            table,
            group,
            FieldKind::Number,
            caption ? QString::fromUtf8(caption) : QLatin1String(column),
            QString::fromUtf8(unit),
            at};
}

template <auto Member>
void numbers(QList<DataField>& out, const char* key, DataTable table, DataGroup group) {
    constexpr size_t count =
        std::tuple_size_v<std::remove_reference_t<decltype(std::declval<Data>().*Member)>>;
    for (size_t i = 0; i < count; ++i) {
        const QString column = QLatin1String(key) + QLatin1Char('_') + QString::number(i);
        out.append({column,
                    QLatin1String(key),
                    static_cast<int>(i),
                    table,
                    group,
                    FieldKind::Number,
                    column,
                    {},
                    &item<Member>});
    }
}

QList<DataField> table() {
    using T = DataTable;
    using G = DataGroup;
    QList<DataField> f;
    f.append({QStringLiteral("Nazev"),
              QStringLiteral("nazev"),
              -1,
              T::Materialy,
              G::Name,
              FieldKind::Text,
              QStringLiteral("Název"),
              {}});
    f.append(number("Rm", T::Materialy, G::Material, &single<&Data::rm>, "Rm", "MPa"));
    f.append(number("Rp", T::Materialy, G::Material, &single<&Data::rp>, "Rp", "MPa"));
    f.append(number("A5", T::Materialy, G::Material, &single<&Data::a5>, "A5", "%"));
    f.append(number("Z", T::Materialy, G::Material, &single<&Data::z>, "Z", "%"));
    f.append({QStringLiteral("teplo"), QStringLiteral("teplo"), -1, T::Teplota, G::Temperature,
              FieldKind::Whole, QStringLiteral("Teplota"), QStringLiteral("°C")});
    f.append(number("ppol_a", T::Ppol, G::WorkPolytropa, &single<&Data::ppol_a>));
    f.append(number("ppol_b", T::Ppol, G::WorkPolytropa, &single<&Data::ppol_b>));
    f.append(number("ppol_c", T::Ppol, G::WorkPolytropa, &single<&Data::ppol_c>));
    numbers<&Data::ppn>(f, "ppn", T::Ppn, G::WorkPolynom);
    f.append(number("pol_a", T::Rovnice, G::Polytropa, &single<&Data::pol_a>));
    f.append(number("pol_b", T::Rovnice, G::Polytropa, &single<&Data::pol_b>));
    f.append(number("pol_c", T::Rovnice, G::Polytropa, &single<&Data::pol_c>));
    numbers<&Data::pn3>(f, "pn3", T::Rovnice, G::Polynom3);
    numbers<&Data::pn5>(f, "pn5", T::Rovnice, G::Polynom5);
    numbers<&Data::rlff>(f, "rlff", T::Rovnice, G::PolynomF);
    numbers<&Data::rlfd>(f, "rlfd", T::Rovnice, G::PolynomD);
    f.append(number("fimax", T::Rovnice, G::Strain, &single<&Data::fimax>, "φ(max)"));
    f.append(number("fistr", T::Rovnice, G::Strain, &single<&Data::fistr>, "φ(str)"));
    return f;
}

} // namespace

double DataField::of(const Data& d) const {
    Data copy = d;
    const double* v = in(copy);
    return v ? *v : 0.0;
}

const QList<DataField>& dataFields() {
    static const QList<DataField> fields = table();
    return fields;
}

const DataField* dataField(QStringView column) {
    for (const DataField& f : dataFields())
        if (column.compare(f.column, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

QList<const DataField*> fieldsOf(DataGroup group) {
    QList<const DataField*> out;
    for (const DataField& f : dataFields())
        if (f.group == group) out << &f;
    return out;
}

QList<const DataField*> fieldsIn(DataTable table) {
    QList<const DataField*> out;
    for (const DataField& f : dataFields())
        if (f.table == table) out << &f;
    return out;
}

QString tableName(DataTable table) {
    switch (table) {
    case DataTable::Materialy:
        return QStringLiteral("materialy");
    case DataTable::Teplota:
        return QStringLiteral("teplota");
    case DataTable::Rovnice:
        return QStringLiteral("rovnice");
    case DataTable::Ppol:
        return QStringLiteral("ppol");
    case DataTable::Ppn:
        return QStringLiteral("ppn");
    }
    return {};
}

QString groupCaption(DataGroup group) {
    switch (group) {
    case DataGroup::Name:
        return QStringLiteral("Název");
    case DataGroup::Material:
        return QStringLiteral("Materiál");
    case DataGroup::Temperature:
        return QStringLiteral("Teplota");
    case DataGroup::WorkPolytropa:
        return QStringLiteral("Měrná práce: Polytropa");
    case DataGroup::WorkPolynom:
        return QStringLiteral("Měrná práce: Polynom");
    case DataGroup::Polytropa:
        return QStringLiteral("Polytropa");
    case DataGroup::Polynom3:
        return QStringLiteral("Polynom 3 st.");
    case DataGroup::Polynom5:
        return QStringLiteral("Polynom 5 st.");
    case DataGroup::PolynomF:
        return QStringLiteral("Polynom F");
    case DataGroup::PolynomD:
        return QStringLiteral("Polynom D");
    case DataGroup::Strain:
        return QStringLiteral("Přetvoření");
    }
    return {};
}

} // namespace prolis
