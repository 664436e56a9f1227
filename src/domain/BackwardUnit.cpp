#include "BackwardUnit.h"

namespace prolis::bwd {

void BackwardUnit::sortHistory() {
    history.sortByTemperature([](const Entry& e) { return temperatureValue(e.record[Field::Teplota]); });
}

quint64 BackwardUnit::addCalculation(Entry entry) {
    const quint64 serial = history.append(std::move(entry));
    sortHistory();
    return serial;
}

QList<SouhrnVysl> BackwardUnit::summaryRows() const {
    QList<SouhrnVysl> rows;
    rows.reserve(history.size());
    for (int i = 0; i < history.size(); ++i)
        rows.append(history.at(i).row);
    return rows;
}

BackwardUnit& backwardUnit() {
    static BackwardUnit unit;
    return unit;
}

} // namespace prolis::bwd
