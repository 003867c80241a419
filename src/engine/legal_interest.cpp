#include "engine/legal_interest.h"

#include <algorithm>

namespace quotaplan {
namespace {

// The rate in force on `day`: the period holding it that began last.
const LegalRate* RateOn(const std::vector<LegalRate>& rates, CalendarDate day) {
    const LegalRate* found = nullptr;
    for (const LegalRate& rate : rates) {
        const bool holds = rate.validFrom <= day && (rate.validTo.IsZero() || day <= rate.validTo);
        if (holds && (!found || rate.validFrom > found->validFrom)) found = &rate;
    }
    return found;
}

// The last day `rate` holds from `day` on, before another period begins or `until`.
CalendarDate SpanEnd(const std::vector<LegalRate>& rates, const LegalRate& rate, CalendarDate day,
                     CalendarDate until) {
    CalendarDate end = until;
    if (!rate.validTo.IsZero()) end = std::min(end, rate.validTo);
    for (const LegalRate& other : rates) {
        if (other.validFrom > day && other.validFrom <= end) {
            end = CalendarDate::FromSerial(other.validFrom.Serial() - 1);
        }
    }
    return end;
}

}  // namespace

std::variant<Money, LegalRateGap> LegalInterest(const std::vector<DatedAmount>& amounts,
                                                const std::vector<LegalRate>& rates,
                                                CalendarDate until) {
    constexpr __int128 kYearScale = __int128{1000000} * 365;  // Percent units and a 365-day year
    Money total;
    for (const DatedAmount& owed : amounts) {
        if (owed.date >= until || owed.amount.IsZero()) continue;
        __int128 rateDays = 0;  // sum of r_p * d_p, r in Percent's ten-thousandths of a point
        for (CalendarDate day = CalendarDate::FromSerial(owed.date.Serial() + 1); day <= until;) {
            const LegalRate* rate = RateOn(rates, day);
            if (!rate) return LegalRateGap{day};
            const CalendarDate end = SpanEnd(rates, *rate, day, until);
            rateDays += static_cast<__int128>(rate->rate.TenThousandths()) * (end - day + 1);
            day = CalendarDate::FromSerial(end.Serial() + 1);
        }
        total += Money::FromCents(RoundHalfUp(owed.amount.Cents() * rateDays, kYearScale));
    }
    return total;
}

}  // namespace quotaplan
