#include "MaterialFiles.h"

#include "core/Errors.h"
#include "core/FileIo.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "domain/DataJson.h"

namespace prolis::edit {

MaterialFile readMaterialFile(const QString& path) {
    const FileRead file = readBoundedFile(path, MaxMaterialFileSize);
    if (!file) return {std::nullopt, readFailure(path, file, MaxMaterialFileSize), true};
    json::Document doc;
    QString error;
    if (!doc.parse(std::string_view(file.bytes.constData(), static_cast<size_t>(file.bytes.size())), &error))
        return {std::nullopt, QStringLiteral("Soubor %1 není platný JSON: %2.").arg(path, error)};
    QList<Data> list;
    try {
        if (doc.root().kind == json::Node::Array)
            doc.forEach(doc.root(), [&](const json::Node& n) { list.append(dataFromJson(doc, n, path)); });
        else
            list.append(dataFromJson(doc, doc.root(), path));
    } catch (const RangeError&) {
        // Only a temperature can be out of the record's range.
        return {std::nullopt, QStringLiteral("%1: teplota (klíč \"teplo\") je mimo rozsah záznamu materiálu, "
                                             "nejvýše 32767 °C.")
                                  .arg(path)};
    } catch (const Error& e) {
        // Every refusal names the file ("Range check error" alone would not).
        const QString why = errorDisplayText(e.message());
        return {std::nullopt, why.contains(path) ? why : path + QStringLiteral(": ") + why};
    }
    FromRecords m = fromRecords(list);
    if (!m.material) return {std::nullopt, QStringLiteral("%1: %2").arg(path, m.refusal)};
    const QStringList refused = refusals(*m.material);
    if (!refused.isEmpty())
        return {std::nullopt, QStringLiteral("%1: %2").arg(path, refused.join(QLatin1Char(' ')))};
    return {m.material, {}};
}

QString exportRefusal(const Material& m) {
    if (m.temperatures.isEmpty())
        return QStringLiteral("Materiál „%1“ nemá žádnou teplotu; soubor materiálu nese název a hodnoty jen "
                              "se záznamem teploty, takže jej nelze exportovat.")
            .arg(m.nazev);
    return {};
}

QByteArray materialJson(const Material& m) {
    QByteArray json;
    {
        JsonWriter w(json, true);
        w.beginArray(m.temperatures.isEmpty());
        for (const Data& d : records(m))
            writeData(w, d);
        w.endArray();
    }
    return json + '\n';
}

} // namespace prolis::edit
