#pragma once

#include "engine/exact_period_rate.h"
#include "engine/money.h"

namespace quotaplan {

// How many instalments of R pay off a debt D: the count that keeping the instalment after
// a partial prepayment leaves.
struct InstalmentCount {
    Money debt;            // D
    Money instalment;      // R, at the end of each period
    Money buyout;          // B, owed `buyoutOffset` periods after the last instalment
    int most = 0;          // the count when fewer do not suffice
    int buyoutOffset = 0;  // a: 1 when the buy-out falls a period after the last instalment
};

// The smallest n from 1 to most - 1 with R a(n, i) + B (1 + i)^-(n + a) >= D - 0,005 (half
// a cent, so that an exact fit does not leave a last instalment of a cent); `most` when none
// is. From n to n + 1 the left side moves by (1 + i)^-(n+1) (R - B i (1 + i)^-a), of one
// sign for every n: where that step stands clear of the arithmetic's error the count is found
// by bisection, otherwise by trying each n in turn (same answer, more evaluations). Raises
// nothing.
int InstalmentsToPayOff(const InstalmentCount& search, const ExactPeriodRate& rate);

}  // namespace quotaplan
