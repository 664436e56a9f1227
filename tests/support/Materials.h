#pragma once
// The material of the worked examples: "Polytropa" 800 / 0.2 / 0, work
// constants 0.6667 / 1.2 / 0, Rp 350, fimax 1.4.
#include "domain/Data.h"

namespace prolis::test {

inline Data workedMaterial(int temperature = 20, const QString& name = QStringLiteral("C45")) {
    Data d;
    d.nazev = name;
    d.rp = 350;
    d.teplo = static_cast<std::int16_t>(temperature);
    d.pol_a = 800;
    d.pol_b = 0.2;
    d.ppol_a = 0.6667;
    d.ppol_b = 1.2;
    d.fimax = 1.4;
    return d;
}

} // namespace prolis::test
