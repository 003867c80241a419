#pragma once

#include <variant>
#include <vector>

#include "common/calendar_date.h"
#include "engine/money.h"

namespace quotaplan {

// The legal interest rate (art. 1284 c.c.) from one day on: in force validFrom..validTo (the
// zero date: still in force).
struct LegalRate {
    CalendarDate validFrom;
    CalendarDate validTo;
    Percent rate;
};

// An amount owed back from a day on: an instalment's overpaid part from its due date.
struct DatedAmount {
    CalendarDate date;
    Money amount;
};

// The first day the legal-rate table leaves without a rate.
struct LegalRateGap {
    CalendarDate day;
};

// Simple legal interest on each amount from the day after its date up to `until` included:
//   interest_k = round(A_k * sum_p (r_p * d_p) / 365), d_p the days of that span in rate
//   period p, r_p its rate; the result is the sum of the interest_k (each rounded half up to
//   the cent). An amount dated on or after `until` earns nothing; a negative amount (paid
//   less) counts against. A day of a span no rate period holds gives the gap instead; where
//   periods overlap, the one that began last holds. Raises nothing.
std::variant<Money, LegalRateGap> LegalInterest(const std::vector<DatedAmount>& amounts,
                                                const std::vector<LegalRate>& rates,
                                                CalendarDate until);

}  // namespace quotaplan
