#include "engine/early_repayment.h"

#include <algorithm>

#include "common/number_text.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;             // Percent units in a rate of 1
constexpr Percent kConsumerPercent = Percent::FromHundredths(100);  // 1 %
constexpr Percent kLastYearPercent = Percent::FromHundredths(50);   // 0,5 %
constexpr Money kSmallPayoffLimit = Money::FromCents(1000000);      // 10.000,00

Money Share(Money amount, Percent percent) {
    return Money::FromCents(RoundHalfUp(
        static_cast<__int128>(amount.Cents()) * percent.TenThousandths(), kPercentUnitsPerWhole));
}

std::string Amount(Money amount) { return FormatNumber(amount.Units(), 1); }

}  // namespace

PenaltyOutcome EarlyRepaymentPenalty(const PenaltyCase& penaltyCase) {
    PenaltyOutcome outcome;
    outcome.rule = penaltyCase.rule;
    outcome.base = std::max(penaltyCase.base, Money());
    switch (penaltyCase.rule.regime) {
        case PenaltyRegime::None:
        case PenaltyRegime::HomeOrBusiness:
            return outcome;
        case PenaltyRegime::Contractual:
            outcome.appliedPercent = penaltyCase.rule.percent;
            outcome.amount = Share(outcome.base, outcome.appliedPercent);
            return outcome;
        case PenaltyRegime::Consumer:
            break;
    }
    if (penaltyCase.indexation == RateIndexation::Indexed) {
        outcome.waiver = PenaltyWaiver::VariableRate;
        return outcome;
    }
    if (penaltyCase.wholeResidual && outcome.base <= kSmallPayoffLimit) {
        outcome.waiver = PenaltyWaiver::SmallPayoff;
        return outcome;
    }
    outcome.appliedPercent = penaltyCase.lastDueWithinAYear ? kLastYearPercent : kConsumerPercent;
    outcome.amount = Share(outcome.base, outcome.appliedPercent);
    outcome.cap = std::max(penaltyCase.interestForgone, Money());
    if (outcome.amount > outcome.cap) {
        outcome.amount = outcome.cap;
        outcome.capped = true;
    }
    return outcome;
}

std::string PenaltyOutcomeText(const PenaltyOutcome& outcome) {
    const std::string name = PenaltyRuleName(outcome.rule);
    switch (outcome.rule.regime) {
        case PenaltyRegime::None:
            return name;
        case PenaltyRegime::HomeOrBusiness:
            return name + ": nessuna penale";
        case PenaltyRegime::Contractual:
            return name + " di " + Amount(outcome.base);
        case PenaltyRegime::Consumer:
            break;
    }
    switch (outcome.waiver) {
        case PenaltyWaiver::SmallPayoff:
            return name + ": nessuna penale, rimborso non oltre " + Amount(kSmallPayoffLimit);
        case PenaltyWaiver::VariableRate:
            return name + ": nessuna penale, tasso variabile";
        case PenaltyWaiver::None:
            break;
    }
    std::string text =
        name + " " + PercentText(outcome.appliedPercent) + " di " + Amount(outcome.base);
    if (outcome.capped) text += ", limitata agli interessi residui " + Amount(outcome.cap);
    return text;
}

RefundOutcome UpfrontCostsRefund(const RefundCase& refundCase) {
    RefundOutcome outcome;
    outcome.basis = refundCase;
    outcome.criterion = refundCase.criterion;
    const int n = refundCase.instalments;
    const int left = std::clamp(n - refundCase.paid, 0, std::max(n, 0));
    if (n <= 0 || refundCase.costs.IsZero()) return outcome;
    if (outcome.criterion == RefundCriterion::InterestCurve && refundCase.totalInterest > Money()) {
        const Money remaining =
            std::clamp(refundCase.remainingInterest, Money(), refundCase.totalInterest);
        outcome.amount = Money::FromCents(
            RoundHalfUp(static_cast<__int128>(refundCase.costs.Cents()) * remaining.Cents(),
                        refundCase.totalInterest.Cents()));
        return outcome;
    }
    // A plan without interest has no curve to follow: its instalments are all capital.
    outcome.criterion = RefundCriterion::ProRata;
    outcome.amount =
        Money::FromCents(RoundHalfUp(static_cast<__int128>(refundCase.costs.Cents()) * left, n));
    return outcome;
}

std::string RefundOutcomeText(const RefundOutcome& outcome) {
    const RefundCase& basis = outcome.basis;
    if (basis.costs.IsZero() || basis.instalments <= 0) return "nessun costo da rimborsare";
    const std::string name = RefundCriterionName(outcome.criterion);
    if (outcome.criterion == RefundCriterion::InterestCurve) {
        return name + ": " + Amount(basis.remainingInterest) + " su " + Amount(basis.totalInterest);
    }
    return name + ": " + std::to_string(std::max(basis.instalments - basis.paid, 0)) + " rate su " +
           std::to_string(basis.instalments);
}

}  // namespace quotaplan
