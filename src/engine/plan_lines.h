#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "common/calendar_date.h"
#include "engine/financial_plan.h"

namespace quotaplan {

// Prepayment and Payoff are the lines of a contract's events, Suspension the numbered rows of
// a payment holiday (a plan to the cent only).
enum class PlanLineKind { Maxi, Instalment, Buyout, Prepayment, Payoff, Suspension };

// One line of the plan as its readers show or store it (grid, exports, archive,
// calculator). For the classic plan the amounts are its 32-bit values, sums taken in 32
// bits; for a plan to the cent they are the exact cents (a double holds every cent below
// 90,000 billion, and every two-decimal formatting shows it exactly).
struct PlanLine {
    PlanLineKind kind = PlanLineKind::Instalment;
    int number = 0;  // the instalment number; 0 for the maxi and buy-out lines
    CalendarDate date;
    float ratePercent = 0;  // the row's rate times 100; 0 on the maxi and buy-out lines
    double amount = 0;      // capital share plus interest share: what the grid shows
    double capital = 0;
    double interest = 0;
    double residual = 0;
    // The amount as the archive stores it (Importo): for a classic instalment the
    // instalment of its segment, which can differ from `amount` in the last 32-bit place.
    double stored = 0;
    // An event's line: its penalty, paid with it, and the up-front costs refunded, deducted.
    double penalty = 0;
    double refund = 0;
    // A payment holiday's interest: deferred to this instalment (part of `interest`), or of a
    // suspended period borne by the Fund (not part of it).
    double deferredInterest = 0;
    double fundInterest = 0;
};

// The line's type as the archive stores it (tabPDA.Tipo) and the grid names the lines that
// carry no number: "Maxi.", "Rata", "Riscatto", "Rimborso parziale", "Estinzione",
// "Sospensione".
const char* PlanLineTipo(PlanLineKind kind);
// The kind a stored Tipo names; nullopt for a Tipo this program does not write.
std::optional<PlanLineKind> PlanLineKindOfTipo(std::string_view tipo);

// Which derived lines a reader wants.
enum class DerivedLines {
    WhenNotZero,  // the maxi line when the maxi is above 0, the buy-out line likewise
    Always,       // both, also with zero amounts (the archive)
};

// The lines in order: the maxi line (dated DataMaxi, all capital, residual value less maxi),
// instalments 1..n with the lines of the contract's events after the instalments they
// follow, the buy-out line (none after a payoff) (dated BuyoutDate(), capital the buy-out, interest
// the buy-out interest, residual 0). A plan to the cent's buy-out line is dated its buyoutDate, and
// its capital is the residual the last instalment leaves (in advance the buy-out discounted a
// period), the rest of the buy-out being interest. Raises nothing.
std::vector<PlanLine> PlanLines(const FinancialPlan& plan, DerivedLines derived);

// The plan to the cent that lines show, as the archive holds them: each amount taken to the
// cent as it is shown (two decimals), each rate to the hundredth of a percent;
//   maxi line:      the maxi (its capital), the value (capital plus residual), its date;
//   instalments:    a row each: date, rate, instalment (`stored`), capital, interest, residual;
//                   a suspended period's line a row of kind Suspension;
//   event lines:    after the instalments before them, with their penalty and refund;
//   buy-out line:   the buy-out (capital), its interest and date; the capital kept as the
//                   line's (storedBuyoutCapital), as the line must show again.
// Without a maxi line the value is the first instalment's capital plus its residual; the
// plan's instalment is the first row's. Raises RunTimeError 6 beyond 64-bit cents.
CentsPlan PlanOfLines(const std::vector<PlanLine>& lines);

}  // namespace quotaplan
