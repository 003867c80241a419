#pragma once

#include <vector>

#include "engine/cents_plan.h"
#include "engine/legal_interest.h"
#include "engine/plan_comparison.h"
#include "engine/recomputation.h"

namespace quotaplan {

// What the recomputations of a contract start from: its plan to the cent's amount financed
// (value less maxi), buy-out, first row's rate and due dates, with m periods a year.
RecomputationTerms RecomputationTermsOf(const CentsPlan& plan, int periodsPerYear);

// The interest a plan makes the client pay: the sum of its interest shares when every row
// gives one, otherwise what it asks in instalments and buy-out beyond the principal
// (sum R_k + B - C). Raises RunTimeError 6 beyond 64-bit cents.
Money PlanInterest(const std::vector<ReviewRow>& rows, Money principal, Money buyout);

// What each instalment of the reference plan (the bank's, or the contract's) asked beyond the
// recomputed plan, dated on the reference row's due date (the recomputed row's when it has
// none): instalment less recomputed instalment, row by row in order; for the interest-free
// recomputation the reference row's interest share where it gives one (all interest is owed
// back, each share from the day it was paid). Rows beyond the shorter plan are left out.
std::vector<DatedAmount> OverpaidAmounts(const std::vector<ReviewRow>& reference,
                                         const RecomputedPlan& recomputed);

}  // namespace quotaplan
