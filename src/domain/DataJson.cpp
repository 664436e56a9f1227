#include "DataJson.h"

#include "core/Errors.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"

#include <array>
#include <charconv>
#include <cmath>

namespace prolis {

namespace {

template <size_t N> void writeNumbers(JsonWriter& w, QLatin1StringView key, const std::array<double, N>& a) {
    w.key(key);
    w.beginArray(true);
    for (double v : a)
        w.number(v);
    w.endArray();
}

constexpr std::array<std::string_view, 19> Keys{
    "nazev", "rm",    "rp",    "a5",  "z",   "teplo", "ppol_a", "ppol_b", "ppol_c", "ppn",
    "pol_a", "pol_b", "pol_c", "pn3", "pn5", "rlff",  "rlfd",   "fimax",  "fistr"};

// The members of the object by key: each at most once (a key given twice is
// refused, not quietly merged); unknown keys are passed over.
struct Members {
    std::array<const json::Node*, Keys.size()> found{};
    Members(const json::Document& doc, const json::Node& object, const QString& source) {
        doc.forEach(object, [&](const json::Node& m) {
            const QString key = json::Document::keyOf(m);
            for (size_t i = 0; i < Keys.size(); ++i) {
                if (key != QLatin1StringView(Keys[i].data(), static_cast<qsizetype>(Keys[i].size())))
                    continue;
                if (found[i])
                    throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" je zadán vícekrát")
                                           .arg(source, key));
                found[i] = &m;
            }
        });
    }
    const json::Node* operator[](std::string_view key) const {
        for (size_t i = 0; i < Keys.size(); ++i)
            if (Keys[i] == key) return found[i];
        return nullptr;
    }
};

bool numberOf(const json::Node& n, double& value) {
    if (n.kind != json::Node::Number) return false;
    const auto r = std::from_chars(n.text.data(), n.text.data() + n.text.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // Below the smallest double: zero; beyond the largest: no number.
        const size_t e = n.text.find_first_of("eE");
        if (e != std::string_view::npos && n.text.substr(e + 1, 1) == "-") {
            value = 0.0;
            return true;
        }
        return false;
    }
    return r.ec == std::errc() && std::isfinite(value);
}

double number(const Members& m, const char* key, const QString& source) {
    const json::Node* v = m[key];
    if (!v || v->kind == json::Node::Null) return 0.0;
    double d = 0;
    if (!numberOf(*v, d))
        throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" nemá číselnou hodnotu")
                               .arg(source, QLatin1String(key)));
    return d;
}

template <size_t N>
void numbers(std::array<double, N>& target, const json::Document& doc, const Members& m, const char* key,
             const QString& source) {
    target.fill(0.0);
    const json::Node* v = m[key];
    if (!v || v->kind == json::Node::Null) return;
    size_t count = 0;
    if (v->kind == json::Node::Array) doc.forEach(*v, [&](const json::Node&) { ++count; });
    if (v->kind != json::Node::Array || count > N)
        throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být pole nejvýše %3 čísel")
                               .arg(source, QLatin1String(key))
                               .arg(N));
    size_t i = 0;
    doc.forEach(*v, [&](const json::Node& item) {
        double d = 0;
        if (item.kind != json::Node::Null && !numberOf(item, d))
            throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být pole čísel")
                                   .arg(source, QLatin1String(key)));
        target[i++] = d;
    });
}

} // namespace

void writeData(JsonWriter& w, const Data& d) {
    w.beginObject();
    writeDataMembers(w, d);
    w.endObject();
}

void writeDataMembers(JsonWriter& w, const Data& d) {
    const auto value = [&](QLatin1StringView key, double v) {
        w.key(key);
        w.number(v);
    };
    w.key(QLatin1StringView("nazev"));
    w.string(d.nazev);
    value(QLatin1StringView("rm"), d.rm);
    value(QLatin1StringView("rp"), d.rp);
    value(QLatin1StringView("a5"), d.a5);
    value(QLatin1StringView("z"), d.z);
    w.key(QLatin1StringView("teplo"));
    w.integer(d.teplo);
    value(QLatin1StringView("ppol_a"), d.ppol_a);
    value(QLatin1StringView("ppol_b"), d.ppol_b);
    value(QLatin1StringView("ppol_c"), d.ppol_c);
    writeNumbers(w, QLatin1StringView("ppn"), d.ppn);
    value(QLatin1StringView("pol_a"), d.pol_a);
    value(QLatin1StringView("pol_b"), d.pol_b);
    value(QLatin1StringView("pol_c"), d.pol_c);
    writeNumbers(w, QLatin1StringView("pn3"), d.pn3);
    writeNumbers(w, QLatin1StringView("pn5"), d.pn5);
    writeNumbers(w, QLatin1StringView("rlff"), d.rlff);
    writeNumbers(w, QLatin1StringView("rlfd"), d.rlfd);
    value(QLatin1StringView("fimax"), d.fimax);
    value(QLatin1StringView("fistr"), d.fistr);
}

Data dataFromJson(const QByteArray& text, const QString& source) {
    json::Document doc;
    QString error;
    if (!doc.parse(std::string_view(text.constData(), static_cast<size_t>(text.size())), &error))
        throw ConvertError(QStringLiteral("Soubor materiálu '%1' není platný JSON: %2").arg(source, error));
    return dataFromJson(doc, doc.root(), source);
}

Data dataFromJson(const json::Document& doc, const json::Node& object, const QString& source) {
    if (object.kind != json::Node::Object)
        throw ConvertError(
            QStringLiteral("Soubor materiálu '%1' není platný JSON: očekáván objekt").arg(source));
    const Members m(doc, object, source);
    Data d;
    if (const json::Node* name = m["nazev"]; name && name->kind != json::Node::Null) {
        if (name->kind != json::Node::String)
            throw ConvertError(
                QStringLiteral("Soubor materiálu '%1': klíč \"nazev\" musí být text").arg(source));
        d.nazev = json::Document::stringOf(*name);
    }
    d.rm = number(m, "rm", source);
    d.rp = number(m, "rp", source);
    d.a5 = number(m, "a5", source);
    d.z = number(m, "z", source);
    const double t = number(m, "teplo", source);
    if (std::floor(t) != t)
        throw ConvertError(
            QStringLiteral("Soubor materiálu '%1': klíč \"teplo\" musí být celé číslo").arg(source));
    if (t < -32768.0 || t > 32767.0) throw RangeError(msg::RangeCheck);
    d.teplo = static_cast<std::int16_t>(t);
    d.ppol_a = number(m, "ppol_a", source);
    d.ppol_b = number(m, "ppol_b", source);
    d.ppol_c = number(m, "ppol_c", source);
    numbers(d.ppn, doc, m, "ppn", source);
    d.pol_a = number(m, "pol_a", source);
    d.pol_b = number(m, "pol_b", source);
    d.pol_c = number(m, "pol_c", source);
    numbers(d.pn3, doc, m, "pn3", source);
    numbers(d.pn5, doc, m, "pn5", source);
    numbers(d.rlff, doc, m, "rlff", source);
    numbers(d.rlfd, doc, m, "rlfd", source);
    d.fimax = number(m, "fimax", source);
    d.fistr = number(m, "fistr", source);
    return d;
}

} // namespace prolis
