#pragma once

#include <optional>
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

// One recomputation of a review with its totals against the reference plan.
struct ReviewRecomputation {
    RecomputedPlan plan;
    Money referenceInterest;  // the interest of the reference plan (PlanInterest)
    Money difference;         // referenceInterest less the plan's total interest
    // The legal interest on the amounts overpaid (OverpaidAmounts) up to the date asked for;
    // none when not asked for, the gap when the legal-rate table lacks a day.
    std::optional<Money> legalInterest;
    std::optional<CalendarDate> legalRateGap;
};

// Recomputes the contract's plan to the cent by `method` (RecomputationTermsOf with m periods
// a year) against `reference`, the bank's plan or the contract's own rows: its interest, the
// difference, and with `legalTo` the legal interest at `legalRates` (LegalInterest). Raises as
// Recompute.
ReviewRecomputation RecomputeAgainst(const CentsPlan& plan, int periodsPerYear,
                                     const std::vector<ReviewRow>& reference, Recomputation method,
                                     const std::optional<CalendarDate>& legalTo,
                                     const std::vector<LegalRate>& legalRates);

}  // namespace quotaplan
