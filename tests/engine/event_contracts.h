#pragma once

// The contracts the event tests work on: a plan to the cent with the terms its events read.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "engine/plan_events.h"

namespace quotaplan {

// Failures show amounts and rates as the statement writes them.
inline void PrintTo(Money amount, std::ostream* out) { *out << amount.Decimal(); }
inline void PrintTo(Percent rate, std::ostream* out) { *out << rate.Decimal() << "%"; }

namespace test {

inline CalendarDate Ymd(int year, int month, int day) {
    return *CalendarDate::FromYmd(year, month, day);
}
inline Money Cents(std::int64_t cents) { return Money::FromCents(cents); }
inline Percent Hundredths(std::int64_t hundredths) { return Percent::FromHundredths(hundredths); }

struct Contract {
    SignedTerms terms;
    CentsPlan plan;
};

inline std::vector<Percent> Flat(int count, std::int64_t hundredths) {
    return std::vector<Percent>(static_cast<std::size_t>(count), Hundredths(hundredths));
}

inline Contract MakeContract(std::int64_t value, std::int64_t maxi, std::int64_t buyout, int count,
                             std::vector<Percent> rates, Capitalisation capitalisation,
                             PaymentTiming timing, CalendarDate contractDate,
                             CalendarDate firstDate, std::int64_t fees = 0,
                             CalendarDate buyoutDate = CalendarDate()) {
    CentsPlanTerms plan;
    plan.value = Cents(value);
    plan.maxi = Cents(maxi);
    plan.buyout = Cents(buyout);
    plan.buyoutDate = buyoutDate;
    plan.calendar = {contractDate, firstDate, static_cast<std::int16_t>(count), 12, timing};
    plan.capitalisation = capitalisation;
    plan.rates = std::move(rates);
    Contract contract;
    contract.terms.contractDate = contractDate;
    contract.terms.timing = timing;
    contract.terms.capitalisation = capitalisation;
    contract.terms.buyout = plan.buyout;
    contract.terms.buyoutDate = buyoutDate;
    contract.terms.contractFees = Cents(fees);
    contract.plan = BuildCentsPlan(plan);
    return contract;
}

}  // namespace test
}  // namespace quotaplan
