#include "engine/usury.h"

#include <algorithm>

namespace quotaplan {

Percent UsuryThreshold(Percent tegm) {
    // In ten-thousandths of a point: TEGM * 5 / 4 + 4 points, and TEGM + 8 points.
    constexpr std::int64_t kFourPoints = 40000, kEightPoints = 80000;
    const std::int64_t scaled =
        RoundHalfUp(static_cast<__int128>(tegm.TenThousandths()) * 5, __int128{4});
    return Percent::FromTenThousandths(
        std::min(scaled + kFourPoints, tegm.TenThousandths() + kEightPoints));
}

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

UsuryJudgement JudgeUsury(const UsuryRate& rate, Percent teg) {
    const Percent threshold = UsuryThreshold(rate.tegm);
    return {rate.category, rate.tegm, threshold, teg, teg > threshold};
}

std::optional<UsuryJudgement> JudgeContract(const std::vector<UsuryRate>& categoryRows,
                                            const UsuryCase& contract) {
    const auto rate = RateInForce(categoryRows, contract.financed, contract.contractDate);
    if (!rate) return std::nullopt;
    return JudgeUsury(*rate, contract.teg);
}

}  // namespace quotaplan
