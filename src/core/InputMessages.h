#pragma once
// The warnings of "Výpočet" that both calculation windows give.
#include <QString>

namespace prolis {

inline const QString MsgNoMaterial = QStringLiteral("Není vybrán materiál.\rProsím vyberte jej.");
inline const QString MsgNoDimensions =
    QStringLiteral("Nejsou zadány všechny rozměry\rpolotovaru, nebo průtlačku.\rProsím doplňte je");
inline const QString MsgNoEquation =
    QStringLiteral("Není vybrána rovnice pro \rvýpočet přetvárného odporu.\rProsím vyberte ji.");
inline const QString MsgNoFriction = QStringLiteral("Nejsou zadány hodnoty tření.\rProsím doplňte je.");

} // namespace prolis
