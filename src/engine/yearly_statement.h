#pragma once

#include <map>
#include <vector>

#include "common/calendar_date.h"
#include "engine/money.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// One calendar year of the yearly statement ("Prospetto annuale"), on a cash basis: what
// falls due in the year.
struct YearFigures {
    int year = 0;
    Money capital;   // instalments' capital shares, the maxi, the buy-out, events' capital
    Money interest;  // instalments' interest, the buy-out's, events' accrued interest
    Money fees;      // contract fees (the contract date's year), instalment fees, penalties
                     // less the up-front costs refunded
    Money paid;      // capital + interest + fees
    friend bool operator==(const YearFigures&, const YearFigures&) = default;
};

// The sums of one contract or many, year by year, each amount in exact cents.
class YearlyTotals {
public:
    // A plan line dated `date`: an instalment ("Rata") also charges `instalmentFee`; a
    // suspended period charges none.
    void AddLine(PlanLineKind kind, CalendarDate date, Money capital, Money interest,
                 Money instalmentFee);
    // Fees on a date: the contract fees, an event's penalty (a refund is negative).
    void AddFees(CalendarDate date, Money fees);
    // Sums already made of some lines falling due in `year`, their fees included.
    void AddSums(int year, Money capital, Money interest, Money fees);

    // The years in order, those where nothing falls due left out (a year of a capitalised
    // holiday alone, capital and interest cancelling out, is kept); with `onlyYear`, that
    // year alone. Raises RunTimeError 6 when a sum leaves 64-bit cents.
    std::vector<YearFigures> Years(int onlyYear = 0) const;

private:
    struct Sums {
        Money capital, interest, fees;
    };
    std::map<int, Sums> years_;
};

// The up-front and per-instalment costs a contract adds to its plan's lines.
struct ContractCharges {
    CalendarDate contractDate;
    Money contractFees;
    Money instalmentFee;
};

// A contract's plan lines and costs added to `totals`: each line at its date (the maxi and
// buy-out lines too), its penalty added to and its refund taken from the fees of its date.
void AddPlan(YearlyTotals& totals, const std::vector<PlanLine>& lines,
             const ContractCharges& charges);

}  // namespace quotaplan
