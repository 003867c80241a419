#include "engine/usury.h"

#include <algorithm>

namespace quotaplan {

UsuryRule UsuryRuleOn(CalendarDate contractDate) {
    constexpr CalendarDate kSecondRuleFrom = CalendarDate::FromSerial(40677);  // 14/05/2011
    return contractDate < kSecondRuleFrom ? UsuryRule::HalfAgain : UsuryRule::QuarterPlusFour;
}

const char* UsuryRuleCaption(UsuryRule rule) {
    return rule == UsuryRule::HalfAgain ? "TEGM × 1,5 (fino al 13/05/2011)"
                                        : "min(TEGM × 1,25 + 4; TEGM + 8) (dal 14/05/2011)";
}

Percent UsuryThreshold(Percent tegm, UsuryRule rule) {
    const __int128 units = tegm.TenThousandths();
    if (rule == UsuryRule::HalfAgain) {
        return Percent::FromTenThousandths(RoundHalfUp(units * 3, __int128{2}));
    }
    // In ten-thousandths of a point: TEGM * 5 / 4 + 4 points, and TEGM + 8 points.
    constexpr std::int64_t kFourPoints = 40000, kEightPoints = 80000;
    const std::int64_t scaled = RoundHalfUp(units * 5, __int128{4});
    return Percent::FromTenThousandths(
        std::min(scaled + kFourPoints, tegm.TenThousandths() + kEightPoints));
}

Percent UsuryThreshold(Percent tegm) { return UsuryThreshold(tegm, UsuryRule::QuarterPlusFour); }

std::optional<UsuryRate> RateInForce(const std::vector<UsuryRate>& categoryRows, Money amount,
                                     CalendarDate date) {
    // The decree's classes read "fino a X" and "oltre X"; a table typed "da X" for the
    // second also holds X itself, but only when no class "fino a X" claims it.
    for (const bool fromIncluded : {false, true}) {
        const UsuryRate* found = nullptr;
        for (const UsuryRate& row : categoryRows) {
            const bool aboveFrom = !row.amountFrom || amount > *row.amountFrom ||
                                   (fromIncluded && amount == *row.amountFrom);
            const bool holdsAmount = aboveFrom && (!row.amountTo || amount <= *row.amountTo);
            const bool inForce =
                row.validFrom <= date && (row.validTo.IsZero() || date <= row.validTo);
            if (holdsAmount && inForce && (!found || row.validFrom > found->validFrom)) {
                found = &row;
            }
        }
        if (found) return *found;
    }
    return std::nullopt;
}

UsuryJudgement JudgeUsury(const UsuryRate& rate, Percent teg, CalendarDate contractDate,
                          std::optional<Percent> defaultRate) {
    const UsuryRule rule = UsuryRuleOn(contractDate);
    const Percent threshold = UsuryThreshold(rate.tegm, rule);
    UsuryJudgement judgement{rate.category,   rate.tegm, threshold, teg,
                             teg > threshold, rule,      rate,      std::nullopt};
    if (defaultRate) {
        DefaultJudgement verdict{*defaultRate, rate.defaultSurcharge, threshold, false};
        if (rate.defaultSurcharge) {
            verdict.threshold =
                UsuryThreshold(Percent::FromTenThousandths(rate.tegm.TenThousandths() +
                                                           rate.defaultSurcharge->TenThousandths()),
                               rule);
        }
        verdict.over = verdict.rate > verdict.threshold;
        judgement.defaultInterest = verdict;
    }
    return judgement;
}

std::optional<UsuryJudgement> JudgeContract(const std::vector<UsuryRate>& categoryRows,
                                            const UsuryCase& contract) {
    const auto rate = RateInForce(categoryRows, contract.financed, contract.contractDate);
    if (!rate) return std::nullopt;
    return JudgeUsury(*rate, contract.teg, contract.contractDate, contract.defaultRate);
}

}  // namespace quotaplan
