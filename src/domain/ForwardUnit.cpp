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

std::optional<quint64> ForwardUnit::calculate(const QString& shownName, EquationKind eq, DieType die,
                                              const Inputs& in, Dialogue& dialogue) {
    const DataModel model(material);
    // The record is complete before it enters the history: a calculation that
    // stops on an error leaves the history as it was.
    std::optional<Souhrn> record = runCalculation(material, shownName, model, eq, die, in, dialogue);
    if (!record) return std::nullopt;
    return addCalculation(std::move(*record));
}

ForwardUnit& forwardUnit() {
    static ForwardUnit unit;
    return unit;
}

} // namespace prolis::fwd
