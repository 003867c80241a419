#include "engine/review_figures.h"

#include <algorithm>

namespace quotaplan {

RecomputationTerms RecomputationTermsOf(const CentsPlan& plan, int periodsPerYear) {
    RecomputationTerms terms;
    terms.principal = plan.value - plan.maxi;
    terms.buyout = plan.buyout;
    terms.periodsPerYear = periodsPerYear;
    if (!plan.rows.empty()) terms.annualRate = plan.rows.front().rate;
    for (const CentsPlanRow& row : plan.rows) terms.dueDates.push_back(row.date);
    return terms;
}

Money PlanInterest(const std::vector<ReviewRow>& rows, Money principal, Money buyout) {
    const bool everyShare =
        !rows.empty() && std::all_of(rows.begin(), rows.end(),
                                     [](const ReviewRow& row) { return row.interest.has_value(); });
    Money sum;
    if (everyShare) {
        for (const ReviewRow& row : rows) sum += *row.interest;
        return sum;
    }
    for (const ReviewRow& row : rows) sum += row.instalment.value_or(Money());
    return sum + buyout - principal;
}

std::vector<DatedAmount> OverpaidAmounts(const std::vector<ReviewRow>& reference,
                                         const RecomputedPlan& recomputed) {
    std::vector<DatedAmount> amounts;
    const std::size_t rows = std::min(reference.size(), recomputed.rows.size());
    for (std::size_t k = 0; k < rows; ++k) {
        const ReviewRow& paid = reference[k];
        const RecomputedRow& owed = recomputed.rows[k];
        const CalendarDate date = paid.date.IsZero() ? owed.date : paid.date;
        if (recomputed.method == Recomputation::InterestFree && paid.interest) {
            amounts.push_back({date, *paid.interest});
        } else if (paid.instalment) {
            amounts.push_back({date, *paid.instalment - owed.instalment});
        }
    }
    return amounts;
}

ReviewRecomputation RecomputeAgainst(const CentsPlan& plan, int periodsPerYear,
                                     const std::vector<ReviewRow>& reference, Recomputation method,
                                     const std::optional<CalendarDate>& legalTo,
                                     const std::vector<LegalRate>& legalRates) {
    const RecomputationTerms terms = RecomputationTermsOf(plan, periodsPerYear);
    ReviewRecomputation recomputed;
    recomputed.plan = Recompute(terms, method);
    recomputed.referenceInterest = PlanInterest(reference, terms.principal, terms.buyout);
    recomputed.difference = recomputed.referenceInterest - recomputed.plan.totalInterest;
    if (legalTo) {
        const auto interest =
            LegalInterest(OverpaidAmounts(reference, recomputed.plan), legalRates, *legalTo);
        if (const auto* gap = std::get_if<LegalRateGap>(&interest)) {
            recomputed.legalRateGap = gap->day;
        } else {
            recomputed.legalInterest = std::get<Money>(interest);
        }
    }
    return recomputed;
}

}  // namespace quotaplan
