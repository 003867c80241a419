#pragma once

#include <vector>

#include "common/calendar_date.h"
#include "engine/due_dates.h"
#include "engine/money.h"
#include "engine/plan_lines.h"
#include "engine/taeg.h"

namespace quotaplan {

// What the customer receives and pays on the contract date, and the fee of each instalment.
struct ContractCosts {
    CalendarDate contractDate;
    Money value;          // the asset value, drawn on the contract date
    Money maxi;           // paid on the contract date
    Money contractFees;   // paid on the contract date
    Money instalmentFee;  // paid with every instalment
};

// The dated flows of the contract for its TAEG: +value, -maxi and -fees on the contract
// date; -(amount + fee) on each instalment line's date; -(buy-out + its interest) on the
// buy-out line's date. `lines` are the plan's lines (their maxi line is not read: the
// maxi comes from `costs`, to the cent). Zero flows are left out.
std::vector<DatedFlow> ContractFlows(const ContractCosts& costs,
                                     const std::vector<PlanLine>& lines);

// The instalments of a contract whose plan was not built (the rate or the asset value was
// calculated): n lines of the instalment R on InstalmentDueDates, and a buy-out line of B on
// the buy-out date (BuyoutDueDate when it is the zero date), without interest.
struct InstalmentSchedule {
    InstalmentCalendar calendar;
    Money instalment;
    Money buyout;
    CalendarDate buyoutDate;
    BuyoutDue due = BuyoutDue::AtLastInstalment;
};
std::vector<PlanLine> ScheduledLines(const InstalmentSchedule& schedule);

}  // namespace quotaplan
