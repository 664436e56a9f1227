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

std::optional<quint64> BackwardUnit::calculate(const QString& shownName, EquationKind eq, const Inputs& in,
                                               Dialogue& dialogue) {
    const DataModel model(material);
    // The record and its summary row enter the history together and only when
    // the whole calculation succeeded, so the two never fall out of step.
    std::optional<Entry> entry = runCalculation(material, shownName, model, eq, in, StopFlag, dialogue);
    if (!entry) return std::nullopt;
    return addCalculation(std::move(*entry));
}

BackwardUnit& backwardUnit() {
    static BackwardUnit unit;
    return unit;
}

} // namespace prolis::bwd
