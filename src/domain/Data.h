#pragma once
// The material record: one material at one forming temperature with all the
// constants of its flow-stress and work equations.
#include <QString>
#include <array>
#include <cstdint>

namespace prolis {

struct Data {
    QString nazev;
    double rm = 0;                             // tensile strength Rm [MPa]
    double rp = 0;                             // yield strength Rp [MPa]
    double a5 = 0;                             // elongation A5 [%]
    double z = 0;                              // reduction of area Z [%]
    std::int16_t teplo = 0;                    // forming temperature [°C]
    double ppol_a = 0, ppol_b = 0, ppol_c = 0; // work constants, polytropic form
    std::array<double, 10> ppn{};              // work constants, polynomial form
    double pol_a = 0, pol_b = 0, pol_c = 0;    // flow stress "Polytropa"
    std::array<double, 4> pn3{};               // "Polynom 3 st."
    std::array<double, 6> pn5{};               // "Polynom 5 st."
    std::array<double, 10> rlff{};             // "Polynom F" of the rational function
    std::array<double, 10> rlfd{};             // "Polynom D" of the rational function
    double fimax = 0;
    double fistr = 0;

    bool operator==(const Data&) const = default;
};

// Implemented by the calculation windows: receives the chosen material when
// the selection dialog closes. It does not own the window behind it.
class IRunOnVyberClose {
public:
    virtual void MaterialChosen(const Data& data) = 0;

protected:
    ~IRunOnVyberClose() = default;
};

} // namespace prolis
