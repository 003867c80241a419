#pragma once

#include <cstddef>
#include <vector>

#include "engine/cents_plan.h"
#include "engine/money.h"

namespace quotaplan {

// Spreads `amount` over rows[first..] in equal parts, each the whole cents of amount / count,
// the last absorbing the rest: added to each row's deferred interest, interest and instalment.
// Nothing when there are no such rows. Raises nothing.
void SpreadDeferredInterest(std::vector<CentsPlanRow>& rows, std::size_t first, Money amount);

// Takes the deferred interest back out of rows[first..] (their interest and instalment
// lowered by it, their deferred interest 0) and returns its sum: what is still owed of a
// payment holiday's interest after row first - 1, for an event to spread again or settle.
Money TakeDeferredInterest(std::vector<CentsPlanRow>& rows, std::size_t first);

}  // namespace quotaplan
