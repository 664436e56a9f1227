#pragma once
// The forward result record: 49 finished texts with their units.
#include <QString>
#include <array>

namespace prolis::fwd {

// clang-format off
enum class Field {
    Ocel, Rm, Rp, A5, Z, Teplota, FiMax, FiStr, Fce, TypVypoctu,
    D0, h0, D1, D2, D3, L1, L3,
    h0D0, s0s3, EpsMax, Fi3,
    SigmaP3, Aj, SigmaPS, Alfa2, f1, f2, f3,
    SigmaRo2, SigmaFi2, TauRoFi2, TauRoFi2min, TauRoFi2max,
    SigmaRo3, SigmaFi3, TauRoFi3, SigmaR3, Tau3,
    SigmaZ1, SigmaR1, TauRZ1, SigmaZ1max, SigmaR1max, TauRZ1max,
    SigmaZ2, SigmaR2, TauRZ2, F, Fmax,
    Count
};
inline constexpr size_t FieldCount = static_cast<size_t>(Field::Count);
// clang-format on

// The field names, in record order.
const std::array<const char*, FieldCount>& fieldNames();

// U_ProtlDopr.Souhrn: an empty text means "not computed".
struct Souhrn {
    std::array<QString, FieldCount> f;
    QString& operator[](Field i) { return f[static_cast<size_t>(i)]; }
    const QString& operator[](Field i) const { return f[static_cast<size_t>(i)]; }
    bool operator==(const Souhrn&) const = default;
};

} // namespace prolis::fwd
