#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/money.h"

namespace quotaplan {

// One row of the quarterly table of average effective global rates (TEGM) of the usury law
// (Law 108/1996), as the decree publishes it: a category of credit, a class of amounts, the
// quarter it applies to and its TEGM.
struct UsuryRate {
    std::string category;
    std::optional<Money> amountFrom;  // none: no lower bound; otherwise amounts above it
                                      // (and the bound itself when no other class holds it)
    std::optional<Money> amountTo;    // none: no upper bound; otherwise amounts up to it
    CalendarDate validFrom;
    CalendarDate validTo;  // the zero date: still in force
    Percent tegm;
};

// The usury threshold of a TEGM: min(TEGM * 1,25 + 4, TEGM + 8) points, rounded half up to
// four decimals (10,58 -> 17,2250; 17,00 -> 25,0000). Raises nothing.
Percent UsuryThreshold(Percent tegm);

// The row that applies to a credit of `amount` granted on `date` among the rows of its
// category: its class holds the amount (above amountFrom, up to amountTo) and the date lies
// in validFrom..validTo. Where several apply, the one valid from the latest date; nullopt
// when none does. Raises nothing.
std::optional<UsuryRate> RateInForce(const std::vector<UsuryRate>& categoryRows, Money amount,
                                     CalendarDate date);

// The verdict on a contract's TEG against the threshold in force.
struct UsuryJudgement {
    std::string category;
    Percent tegm;
    Percent threshold;
    Percent teg;
    bool over = false;  // teg above the threshold
};
UsuryJudgement JudgeUsury(const UsuryRate& rate, Percent teg);

// A contract as the usury check sees it: the amount financed (the asset value less the
// maxi-instalment or down payment paid on the contract date: the credit actually granted),
// the contract date, and its TEG, here the TAEG as shown (two decimals).
struct UsuryCase {
    Money financed;
    CalendarDate contractDate;
    Percent teg;
};

// The verdict on the contract by the row of its category in force for its amount on its
// date (RateInForce); nullopt when none is. Raises nothing.
std::optional<UsuryJudgement> JudgeContract(const std::vector<UsuryRate>& categoryRows,
                                            const UsuryCase& contract);

}  // namespace quotaplan
