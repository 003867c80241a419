#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/calendar_date.h"
#include "engine/due_dates.h"
#include "engine/exact_period_rate.h"
#include "engine/money.h"

namespace quotaplan {

enum class BuyoutInterest { No, Yes };
enum class PlanKind { Classic, ToTheCent };

// Where a plan puts a buy-out without a buy-out date: the plan to the cent in advance one
// period after the last instalment, where its instalment is priced to leave it; every other
// plan on the last instalment's due date.
BuyoutDue BuyoutDueOf(PaymentTiming timing, PlanKind plan);

// What the plan to the cent is built from: the contract's amounts to the cent, its
// instalments and their annual rates.
struct CentsPlanTerms {
    Money value;                  // asset value
    Money maxi;                   // maxi-instalment on the contract date
    Money buyout;                 // buy-out after the last instalment
    InstalmentCalendar calendar;  // n (at least 1), m, timing, contract and first dates
    Capitalisation capitalisation = Capitalisation::Compound;
    BuyoutInterest buyoutInterest = BuyoutInterest::No;
    CalendarDate buyoutDate;     // zero date: the buy-out falls on its due date (BuyoutDueOf)
    std::vector<Percent> rates;  // rates[k - 1]: instalment k's annual rate, n entries at least
};

// A numbered row is an instalment, or a period of a payment holiday ("Sospensione").
enum class RowKind { Instalment, Suspension };

// One instalment of the plan to the cent.
struct CentsPlanRow {
    CalendarDate date;
    Percent rate;  // the annual rate the row's interest runs at
    Money instalment;  // what the client pays: capital + interest
    Money interest;
    Money capital;
    Money residual;  // debt left after the row
    RowKind kind = RowKind::Instalment;
    // Interest of a payment holiday deferred to this instalment, part of its interest.
    Money deferredInterest;
    // A suspended period's interest that a third party (the Fund) bears, not in `interest`.
    Money fundInterest;
};

// What amortising the rows of a plan to the cent needs beside their dates and rates.
struct Amortisation {
    std::int16_t periodsPerYear = 12;
    Capitalisation capitalisation = Capitalisation::Compound;
    Money buyout;  // owed after the last row
    BuyoutDue buyoutDue = BuyoutDue::AtLastInstalment;
    bool firstPaidAtOnce = false;  // the first row falls on the day the debt starts
};

// Fills rows[first..] (date and rate set by the caller) with their amounts: `debt` is owed
// before rows[first], whose segment pays `instalment`;
//   each row: interest = round(residual * i), capital = R - interest, a first row paid at
//       once (firstPaidAtOnce) carrying no interest; a row's deferred interest (a payment
//       holiday's) is added to its interest and instalment, its capital unchanged;
//   where a row's rate differs from the row before it (rows[first] aside), the residual is
//       re-amortised at the new rate over the n' rows left:
//       R' = AnnuityInstalment(residual, B, a(n', i'), n' + a), a = 1 when the buy-out falls
//       a period after the last row (BuyoutDue::PeriodAfterLastInstalment), else 0;
//   the last row: capital = residual - L, L = round(B / (1 + i)) when the buy-out falls a
//       period later, else B; its instalment is capital + interest.
// So the capital shares of the rows and L add up to `debt` to the cent; rows[first..] left
// empty do nothing. Raises as ExactPeriodRate, and 6 when an amount leaves 64-bit cents.
void AmortiseRows(std::vector<CentsPlanRow>& rows, std::size_t first, Money debt, Money instalment,
                  const Amortisation& terms);

// A line that a dated event of the contract wrote into its plan (contract_events.h): a
// partial prepayment or the payoff. It follows the instalment rows before it and carries no
// instalment number.
enum class EventLineKind { Prepayment, Payoff };
struct PlanEventLine {
    EventLineKind kind = EventLineKind::Prepayment;
    std::size_t afterRow = 0;  // the instalment rows before it
    CalendarDate date;
    Percent rate;    // the annual rate in force, at which its interest accrued
    Money capital;   // capital repaid with it
    Money interest;  // interest accrued up to its date, paid with it
    Money residual;  // debt left after it
    Money penalty;   // the early-repayment penalty, paid apart from capital and interest
    Money refund;    // up-front costs refunded (payoff), deducted from what is paid
};

struct CentsPlan {
    Money instalment;  // R of the first segment: what the contract's instalment field shows
    Money value;
    Money maxi;
    Money buyout;
    Money buyoutInterest;
    CalendarDate maxiDate;    // the contract date
    CalendarDate buyoutDate;  // the buy-out date given, or else the buy-out's due date
    std::vector<CentsPlanRow> rows;
    // The "Riscatto" line's capital as an archive stored it; none for a plan built here,
    // whose buy-out capital is the residual after the last instalment. A stored classic plan
    // may leave a residual a cent off its buy-out, and its line must show as stored.
    std::optional<Money> storedBuyoutCapital;
    // The lines of the contract's events, in date order; none in a plan as signed. After a
    // payoff line the plan has no instalment left and no buy-out line.
    std::vector<PlanEventLine> eventLines;
    // The date of the latest event, also of those that write no line of their own (a payment
    // holiday, a renegotiation); zero for a plan as signed.
    CalendarDate latestEvent;

    // True when the last event paid the contract off.
    bool PaidOff() const {
        return !eventLines.empty() && eventLines.back().kind == EventLineKind::Payoff;
    }
};

// Builds the plan to the cent.
//
//   i = j / m (simple), kept as that exact fraction; or (1 + j)^(1/m) - 1 (compound),
//       rounded once, half up, to 20 decimals (1,21^(1/2) - 1 is exactly 0,1);
//   R = round((V - M - B (1 + i)^-n) / F(n, i)), F = a(n, i) in arrears, ä(n, i) in advance;
//   each row: interest = round(residual * i), the residual's cents times i's fraction in
//       128-bit integers, so that an exact half cent goes up; capital = R - interest; the
//       first instalment in advance is paid at once and carries no interest;
//   the last row: capital = residual - L, L what the instalments leave owed: B in arrears;
//       in advance round(B / (1 + i)), the buy-out discounted over the period from the last
//       instalment to the buy-out; its instalment is capital + interest;
//   where a row's rate differs from the previous row's, the residual is re-amortised at
//       the new rate over the n' rows left: R' = round((D - B (1 + i')^-(n' + a)) / a(n', i')),
//       a = 1 in advance, 0 in arrears;
//   the buy-out falls on the buy-out date given, or else on its due date: BuyoutDueDate with
//       BuyoutDueOf(timing, ToTheCent), the last instalment's date in arrears and one period
//       after it in advance, where R is priced to leave it;
//   buy-out interest (when asked for and a buy-out date is given) =
//       round(B * j_n * days / 365), j_n the last row's rate, days from the due date to the
//       buy-out date given.
// round() is RoundHalfUp to the cent. Legend: V value, M maxi, B buy-out, n instalments,
// m periods a year, a(n, i) = (1 - (1 + i)^-n) / i (n when i = 0), ä(n, i) = 1 + a(n - 1, i).
// Dates: InstalmentDueDates.
//
// So the capital shares of maxi, instalments and L, with the buy-out's B - L of interest,
// add up to V to the cent. A rate of 0 is allowed (a(n, 0) = n). Raises RunTimeError 5 when
// n < 1, m < 1, fewer than n rates are given, a rate is at or below -100 % a period or the
// buy-out date given falls before the buy-out's due date; 6 when an amount leaves 64-bit
// cents (or a rate's product its 128 bits); 5 for a due date beyond 9999.
CentsPlan BuildCentsPlan(const CentsPlanTerms& terms);

}  // namespace quotaplan
