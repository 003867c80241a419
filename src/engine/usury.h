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
    // The average surcharge of default interest published with the decree ("Maggiorazione
    // mora"); none where the table does not give it.
    std::optional<Percent> defaultSurcharge = std::nullopt;
};

// The rule that turns a TEGM into its threshold, by the date of the contract: the law's
// first rule, TEGM * 1,5, up to 13/05/2011; from 14/05/2011 (decree-law 70/2011) the lower
// of TEGM * 1,25 + 4 points and TEGM + 8 points.
enum class UsuryRule { HalfAgain, QuarterPlusFour };
UsuryRule UsuryRuleOn(CalendarDate contractDate);
// "TEGM × 1,5 (fino al 13/05/2011)" or "min(TEGM × 1,25 + 4; TEGM + 8) (dal 14/05/2011)".
const char* UsuryRuleCaption(UsuryRule rule);

// The usury threshold of a TEGM by the rule, rounded half up to four decimals: since 2011
// min(TEGM * 1,25 + 4, TEGM + 8) points (10,58 -> 17,2250; 17,00 -> 25,0000); before,
// TEGM * 1,5 (10,58 -> 15,8700). The one-argument form is today's rule. Raises nothing.
Percent UsuryThreshold(Percent tegm, UsuryRule rule);
Percent UsuryThreshold(Percent tegm);

// The row that applies to a credit of `amount` granted on `date` among the rows of its
// category: its class holds the amount (above amountFrom, up to amountTo) and the date lies
// in validFrom..validTo. Where several apply, the one valid from the latest date; nullopt
// when none does. Raises nothing.
std::optional<UsuryRate> RateInForce(const std::vector<UsuryRate>& categoryRows, Money amount,
                                     CalendarDate date);

// The verdict on a contract's default interest: its annual rate against the threshold of
// TEGM + M, M the decree's default-interest surcharge, by the same rule as the TEG:
// min((TEGM + M) * 1,25 + 4, TEGM + M + 8), or (TEGM + M) * 1,5 before 14/05/2011. Where the
// table gives no surcharge, against the ordinary threshold (surcharge then none).
struct DefaultJudgement {
    Percent rate;
    std::optional<Percent> surcharge;
    Percent threshold;
    bool over = false;
};

// The verdict on a contract's TEG against the threshold in force.
struct UsuryJudgement {
    std::string category;
    Percent tegm;
    Percent threshold;
    Percent teg;
    bool over = false;  // teg above the threshold
    UsuryRule rule = UsuryRule::QuarterPlusFour;
    UsuryRate row;                                    // the table's row the threshold comes from
    std::optional<DefaultJudgement> defaultInterest;  // when the contract has a default rate
};
// The verdict by the rule of `contractDate`; with a default rate, its verdict too.
UsuryJudgement JudgeUsury(const UsuryRate& rate, Percent teg, CalendarDate contractDate,
                          std::optional<Percent> defaultRate = std::nullopt);

// A contract as the usury check sees it: the amount financed (the asset value less the
// maxi-instalment or down payment paid on the contract date: the credit actually granted),
// the contract date, its TEG, here the TAEG as shown (two decimals), and its default rate.
struct UsuryCase {
    Money financed;
    CalendarDate contractDate;
    Percent teg;
    std::optional<Percent> defaultRate = std::nullopt;
};

// How a contract sets its default interest ("Tasso di mora"): a rate of its own, or points
// over the contract's rate.
enum class DefaultInterestKind { Fixed, OverContractRate };
struct DefaultInterest {
    DefaultInterestKind kind = DefaultInterestKind::Fixed;
    Percent value;
    // The annual default rate of a contract at `contractRate` (rate plus spread).
    Percent RateFor(Percent contractRate) const {
        return kind == DefaultInterestKind::Fixed
                   ? value
                   : Percent::FromTenThousandths(contractRate.TenThousandths() +
                                                 value.TenThousandths());
    }
};

// The verdict on the contract by the row of its category in force for its amount on its
// date (RateInForce); nullopt when none is. Raises nothing.
std::optional<UsuryJudgement> JudgeContract(const std::vector<UsuryRate>& categoryRows,
                                            const UsuryCase& contract);

}  // namespace quotaplan
