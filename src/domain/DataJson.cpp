#include "DataJson.h"

#include "core/Errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace prolis {

namespace {
template <size_t N> Json numbers(const std::array<double, N>& a) {
    Json j = Json::array();
    for (double v : a)
        j.append(Json::number(v));
    return j;
}

double number(const QJsonObject& o, const char* key, const QString& source) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) return 0.0;
    if (!v.isDouble())
        throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" nemá číselnou hodnotu")
                               .arg(source, QLatin1String(key)));
    return v.toDouble();
}

template <size_t N>
void numbers(std::array<double, N>& target, const QJsonObject& o, const char* key, const QString& source) {
    target.fill(0.0);
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) return;
    const QJsonArray a = v.toArray();
    if (!v.isArray() || a.size() > static_cast<qsizetype>(N))
        throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být pole nejvýše %3 čísel")
                               .arg(source, QLatin1String(key))
                               .arg(N));
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!a[i].isDouble() && !a[i].isNull())
            throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být pole čísel")
                                   .arg(source, QLatin1String(key)));
        target[static_cast<size_t>(i)] = a[i].toDouble();
    }
}
} // namespace

Json dataToJson(const Data& d) {
    Json j = Json::object();
    j.add(QStringLiteral("nazev"), Json::string(d.nazev));
    j.add(QStringLiteral("rm"), Json::number(d.rm));
    j.add(QStringLiteral("rp"), Json::number(d.rp));
    j.add(QStringLiteral("a5"), Json::number(d.a5));
    j.add(QStringLiteral("z"), Json::number(d.z));
    j.add(QStringLiteral("teplo"), Json::integer(d.teplo));
    j.add(QStringLiteral("ppol_a"), Json::number(d.ppol_a));
    j.add(QStringLiteral("ppol_b"), Json::number(d.ppol_b));
    j.add(QStringLiteral("ppol_c"), Json::number(d.ppol_c));
    j.add(QStringLiteral("ppn"), numbers(d.ppn));
    j.add(QStringLiteral("pol_a"), Json::number(d.pol_a));
    j.add(QStringLiteral("pol_b"), Json::number(d.pol_b));
    j.add(QStringLiteral("pol_c"), Json::number(d.pol_c));
    j.add(QStringLiteral("pn3"), numbers(d.pn3));
    j.add(QStringLiteral("pn5"), numbers(d.pn5));
    j.add(QStringLiteral("rlff"), numbers(d.rlff));
    j.add(QStringLiteral("rlfd"), numbers(d.rlfd));
    j.add(QStringLiteral("fimax"), Json::number(d.fimax));
    j.add(QStringLiteral("fistr"), Json::number(d.fistr));
    return j;
}

Data dataFromJson(const QByteArray& text, const QString& source) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &err);
    if (err.error != QJsonParseError::NoError)
        throw ConvertError(QStringLiteral("Soubor materiálu '%1' není platný JSON: %2 (pozice %3)")
                               .arg(source, err.errorString())
                               .arg(err.offset));
    if (!doc.isObject())
        throw ConvertError(
            QStringLiteral("Soubor materiálu '%1' není platný JSON: očekáván objekt (pozice 0)").arg(source));
    const QJsonObject o = doc.object();
    Data d;
    const QJsonValue name = o.value(QLatin1String("nazev"));
    if (!name.isUndefined() && !name.isNull() && !name.isString())
        throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"nazev\" musí být text").arg(source));
    d.nazev = name.toString();
    d.rm = number(o, "rm", source);
    d.rp = number(o, "rp", source);
    d.a5 = number(o, "a5", source);
    d.z = number(o, "z", source);
    const double t = number(o, "teplo", source);
    if (std::floor(t) != t)
        throw ConvertError(
            QStringLiteral("Soubor materiálu '%1': klíč \"teplo\" musí být celé číslo").arg(source));
    if (t < -32768.0 || t > 32767.0) throw RangeError(msg::RangeCheck);
    d.teplo = static_cast<std::int16_t>(t);
    d.ppol_a = number(o, "ppol_a", source);
    d.ppol_b = number(o, "ppol_b", source);
    d.ppol_c = number(o, "ppol_c", source);
    numbers(d.ppn, o, "ppn", source);
    d.pol_a = number(o, "pol_a", source);
    d.pol_b = number(o, "pol_b", source);
    d.pol_c = number(o, "pol_c", source);
    numbers(d.pn3, o, "pn3", source);
    numbers(d.pn5, o, "pn5", source);
    numbers(d.rlff, o, "rlff", source);
    numbers(d.rlfd, o, "rlfd", source);
    d.fimax = number(o, "fimax", source);
    d.fistr = number(o, "fistr", source);
    return d;
}

} // namespace prolis
