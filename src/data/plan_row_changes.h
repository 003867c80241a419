#pragma once

#include <cstddef>
#include <vector>

#include "data/contract_store.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// Whether the stored row holds what the line would store: amounts to the cent, the rate
// to the hundredth (the maxi-instalment and buy-out rows store 0; an event's line and a
// suspended period's store their rate, as instalments do).
bool StoresLine(const StoredPlanRow& row, const PlanLine& line);

// The index of the first stored row that does not hold the line in its place; the length of
// the shorter list when one is the beginning of the other.
std::size_t FirstChangedRow(const std::vector<StoredPlanRow>& stored,
                            const std::vector<PlanLine>& lines);

}  // namespace quotaplan
