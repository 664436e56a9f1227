#pragma once
// The calculations of the two units as a project, and a project put back
// into them.
#include "BackwardUnit.h"
#include "ForwardUnit.h"
#include "Project.h"

namespace prolis::project {

// Each unit's records (and summary rows) in the order of its history.
Project projectOf(const fwd::ForwardUnit& forward, const bwd::BackwardUnit& backward);
// The units' histories replaced by the project's entries, kept in the order
// the histories sort them; the backward unit's stop flag cleared (its summary
// outputs act on every row again). The chosen materials stay.
void restoreUnits(const Project& p, fwd::ForwardUnit& forward, bwd::BackwardUnit& backward);
// Both units hold no calculation.
bool unitsEmpty(const fwd::ForwardUnit& forward, const bwd::BackwardUnit& backward);

} // namespace prolis::project
