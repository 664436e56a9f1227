#pragma once
// The backward result record (29 finished texts) and its summary row (10 texts
// without units).
#include <QString>
#include <array>

namespace prolis::bwd {

// clang-format off
enum class Field {
    Ocel, Rm, Rp, A5, Z, Teplota, FiMax, FiStr, Fce,
    D0, h0, d, H, b, Epsilon, Fi1, Fic, Fi2, f1, f2, f2str,
    SigmaP1, SigmaPc, Aj1, Ajc, Ac, SigmaP2str, SigmaZ1str, F,
    Count
};
inline constexpr size_t FieldCount = static_cast<size_t>(Field::Count);
// clang-format on

// clang-format off
enum class SummaryField {
    Ocel, Teplota, SigmaP1, SigmaPc, Aj1, Ajc, Ac, SigmaP2str, SigmaZ1str, F,
    Count
};
inline constexpr size_t SummaryFieldCount = static_cast<size_t>(SummaryField::Count);
// clang-format on

const std::array<const char*, FieldCount>& fieldNames();
const std::array<const char*, SummaryFieldCount>& summaryFieldNames();

// U_ProtlZpet.Souhrn
struct Souhrn {
    std::array<QString, FieldCount> f;
    QString& operator[](Field i) { return f[static_cast<size_t>(i)]; }
    const QString& operator[](Field i) const { return f[static_cast<size_t>(i)]; }
    bool operator==(const Souhrn&) const = default;
};

// SouhrnVysl
struct SouhrnVysl {
    std::array<QString, SummaryFieldCount> f;
    QString& operator[](SummaryField i) { return f[static_cast<size_t>(i)]; }
    const QString& operator[](SummaryField i) const { return f[static_cast<size_t>(i)]; }
    bool operator==(const SouhrnVysl&) const = default;
};

// One calculation: its record and its summary row, which move together.
struct Entry {
    Souhrn record;
    SouhrnVysl row;
};

} // namespace prolis::bwd
