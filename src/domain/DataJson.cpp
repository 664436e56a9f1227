#include "DataJson.h"

#include "DataFields.h"
#include "core/Errors.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"

#include <algorithm>

#include <array>
#include <charconv>
#include <cmath>

namespace prolis {

namespace {

// The keys of a material file, each once, in the record's order.
const QStringList& keys() {
    static const QStringList k = [] {
        QStringList out;
        for (const DataField& f : dataFields())
            if (!out.contains(f.key)) out << f.key;
        return out;
    }();
    return k;
}

// The members of the object by key: each at most once (a key given twice is
// refused, not quietly merged); unknown keys are passed over.
struct Members {
    QList<const json::Node*> found = QList<const json::Node*>(keys().size(), nullptr);
    Members(const json::Document& doc, const json::Node& object, const QString& source) {
        doc.forEach(object, [&](const json::Node& m) {
            const QString key = json::Document::keyOf(m);
            for (qsizetype i = 0; i < keys().size(); ++i) {
                if (key != keys()[i]) continue;
                if (found[i])
                    throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" je zadán vícekrát")
                                           .arg(source, key));
                found[i] = &m;
            }
        });
    }
    const json::Node* operator[](const QString& key) const { return found.value(keys().indexOf(key)); }
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

double number(const Members& m, const QString& key, const QString& source) {
    const json::Node* v = m[key];
    if (!v || v->kind == json::Node::Null) return 0.0;
    double d = 0;
    if (!numberOf(*v, d))
        throw ConvertError(
            QStringLiteral("Soubor materiálu '%1': klíč \"%2\" nemá číselnou hodnotu").arg(source, key));
    return d;
}

// The elements of an array key (the fields from `first` on with that key).
void numbers(Data& target, QList<DataField>::const_iterator first, QList<DataField>::const_iterator end,
             const json::Document& doc, const Members& m, const QString& source) {
    const QString key = first->key;
    const auto last = std::find_if(first, end, [&](const DataField& f) { return f.key != key; });
    const qsizetype n = last - first;
    for (auto f = first; f != last; ++f)
        *f->in(target) = 0.0;
    const json::Node* v = m[key];
    if (!v || v->kind == json::Node::Null) return;
    qsizetype count = 0;
    if (v->kind == json::Node::Array) doc.forEach(*v, [&](const json::Node&) { ++count; });
    if (v->kind != json::Node::Array || count > n)
        throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být pole nejvýše %3 čísel")
                               .arg(source, key)
                               .arg(n));
    auto f = first;
    doc.forEach(*v, [&](const json::Node& item) {
        double d = 0;
        if (item.kind != json::Node::Null && !numberOf(item, d))
            throw ConvertError(
                QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být pole čísel").arg(source, key));
        *(f++)->in(target) = d;
    });
}

} // namespace

void writeData(JsonWriter& w, const Data& d) {
    w.beginObject();
    writeDataMembers(w, d);
    w.endObject();
}

void writeDataMembers(JsonWriter& w, const Data& d) {
    const QList<DataField>& fields = dataFields();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const DataField& f = fields[i];
        if (f.element <= 0) w.key(f.key);
        switch (f.kind) {
        case FieldKind::Text:
            w.string(d.nazev);
            break;
        case FieldKind::Whole:
            w.integer(d.teplo);
            break;
        case FieldKind::Number:
            if (f.element == 0) w.beginArray(true);
            w.number(f.of(d));
            if (f.element >= 0 && (i + 1 == fields.size() || fields[i + 1].key != f.key)) w.endArray();
            break;
        }
    }
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
    const QList<DataField>& fields = dataFields();
    for (auto f = fields.cbegin(); f != fields.cend(); ++f) {
        switch (f->kind) {
        case FieldKind::Text:
            if (const json::Node* name = m[f->key]; name && name->kind != json::Node::Null) {
                if (name->kind != json::Node::String)
                    throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být text")
                                           .arg(source, f->key));
                d.nazev = json::Document::stringOf(*name);
            }
            break;
        case FieldKind::Whole: {
            const double t = number(m, f->key, source);
            if (std::floor(t) != t)
                throw ConvertError(QStringLiteral("Soubor materiálu '%1': klíč \"%2\" musí být celé číslo")
                                       .arg(source, f->key));
            if (t < -32768.0 || t > 32767.0) throw RangeError(msg::RangeCheck);
            d.teplo = static_cast<std::int16_t>(t);
            break;
        }
        case FieldKind::Number:
            if (f->element < 0)
                *f->in(d) = number(m, f->key, source);
            else if (f->element == 0)
                numbers(d, f, fields.cend(), doc, m, source);
            break;
        }
    }
    return d;
}

} // namespace prolis
