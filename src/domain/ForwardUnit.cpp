#include "ForwardUnit.h"

namespace prolis::fwd {

void ForwardUnit::sortHistory() {
    history.sortByTemperature([](const Souhrn& r) { return temperatureValue(r[Field::Teplota]); });
}

quint64 ForwardUnit::addCalculation(Souhrn record) {
    const quint64 serial = history.append(std::move(record));
    sortHistory();
    return serial;
}

ForwardUnit& forwardUnit() {
    static ForwardUnit unit;
    return unit;
}

} // namespace prolis::fwd
