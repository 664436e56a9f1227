#include "UnitsProject.h"

namespace prolis::project {

Project projectOf(const fwd::ForwardUnit& forward, const bwd::BackwardUnit& backward) {
    Project p;
    p.forward.reserve(forward.history.size());
    for (int i = 0; i < forward.history.size(); ++i)
        p.forward << forward.history.at(i);
    p.backward.reserve(backward.history.size());
    for (int i = 0; i < backward.history.size(); ++i)
        p.backward << backward.history.at(i);
    return p;
}

void restoreUnits(const Project& p, fwd::ForwardUnit& forward, bwd::BackwardUnit& backward) {
    forward.history.clear();
    for (const fwd::Souhrn& r : p.forward)
        forward.history.append(r);
    forward.sortHistory();
    backward.history.clear();
    for (const bwd::Entry& e : p.backward)
        backward.history.append(e);
    backward.sortHistory();
    backward.StopFlag = false;
}

bool unitsEmpty(const fwd::ForwardUnit& forward, const bwd::BackwardUnit& backward) {
    return forward.history.isEmpty() && backward.history.isEmpty();
}

} // namespace prolis::project
