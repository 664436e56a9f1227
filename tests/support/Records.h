#pragma once
// The sample records of tests/data/protocols: a forward cone-die record, a
// forward record without cone, a backward record and four summary rows.
#include "domain/BackwardRecord.h"
#include "domain/ForwardRecord.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace prolis::test {

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString protocolData(const QString& name) {
    return QStringLiteral(PROLIS_TEST_DATA "/protocols/") + name;
}

// A record from a JSON object of field names and texts.
template <class Record, size_t N>
Record recordFrom(const QJsonObject& o, const std::array<const char*, N>& names) {
    Record r;
    for (size_t i = 0; i < N; ++i)
        r.f[i] = o.value(QLatin1String(names[i])).toString();
    return r;
}

// "forward-cone" or "forward-without-cone".
inline fwd::Souhrn forwardRecord(const QString& name) {
    return recordFrom<fwd::Souhrn>(QJsonDocument::fromJson(readFile(protocolData(name + ".json"))).object(),
                                   fwd::fieldNames());
}

inline bwd::Souhrn backwardRecord() {
    return recordFrom<bwd::Souhrn>(QJsonDocument::fromJson(readFile(protocolData("backward.json"))).object(),
                                   bwd::fieldNames());
}

// Rows at 20, 98, 99 and 200 °C.
inline QList<bwd::SouhrnVysl> summaryRows() {
    QList<bwd::SouhrnVysl> rows;
    for (const QJsonValue& v : QJsonDocument::fromJson(readFile(protocolData("summary.json"))).array())
        rows.append(recordFrom<bwd::SouhrnVysl>(v.toObject(), bwd::summaryFieldNames()));
    return rows;
}

} // namespace prolis::test
