#include "DataTexts.h"

#include "core/NumberText.h"

namespace prolis {

std::array<QString, 8> materialFieldTexts(const Data& m) {
    return {m.nazev,
            formatGeneral(m.rm),
            formatGeneral(m.rp),
            formatGeneral(m.a5),
            formatGeneral(m.z),
            QString::number(m.teplo),
            formatGeneral(m.fimax),
            formatGeneral(m.fistr)};
}

} // namespace prolis
