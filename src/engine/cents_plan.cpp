#include "engine/cents_plan.h"

#include "common/run_time_error.h"
#include "engine/due_dates.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;  // Percent units in a rate of 1 (100 %)
constexpr std::int64_t kDaysPerYear = 365;

}  // namespace

BuyoutDue BuyoutDueOf(PaymentTiming timing, PlanKind plan) {
    return plan == PlanKind::ToTheCent && timing == PaymentTiming::Advance
               ? BuyoutDue::PeriodAfterLastInstalment
               : BuyoutDue::AtLastInstalment;
}

void AmortiseRows(std::vector<CentsPlanRow>& rows, std::size_t first, Money debt, Money instalment,
                  const Amortisation& terms) {
    if (first >= rows.size()) return;
    const bool buyoutLater = terms.buyoutDue == BuyoutDue::PeriodAfterLastInstalment;
    const auto rateOf = [&](std::size_t k) {
        return ExactPeriodRate(rows[k].rate, terms.periodsPerYear, terms.capitalisation);
    };
    ExactPeriodRate rate = rateOf(first);
    Money residual = debt;
    for (std::size_t k = first; k < rows.size(); ++k) {
        CentsPlanRow& row = rows[k];
        if (k > first && row.rate != rows[k - 1].rate) {
            // The debt left is worth the rows still due plus the buy-out, at the new rate.
            rate = rateOf(k);
            const int left = static_cast<int>(rows.size() - k);
            instalment = AnnuityInstalment(residual, terms.buyout, rate.AnnuityArrears(left), rate,
                                           left + (buyoutLater ? 1 : 0));
        }
        // An instalment due on the day the debt starts is paid before any interest has run.
        const Money interest =
            k == first && terms.firstPaidAtOnce ? Money() : rate.InterestOn(residual);
        if (k + 1 < rows.size()) {
            row.capital = instalment - interest;
        } else {
            // A buy-out a period after the last instalment leaves it owed less that period's
            // interest.
            const Money left = buyoutLater ? rate.DiscountedOnePeriod(terms.buyout) : terms.buyout;
            row.capital = residual - left;
        }
        row.interest = interest + row.deferredInterest;
        row.instalment = row.capital + row.interest;
        residual -= row.capital;
        row.residual = residual;
    }
}

CentsPlan BuildCentsPlan(const CentsPlanTerms& terms) {
    const int n = terms.calendar.count;
    if (n < 1 || terms.calendar.periodsPerYear < 1 ||
        terms.rates.size() < static_cast<std::size_t>(n)) {
        throw RunTimeError::InvalidArgument();
    }
    const bool advance = terms.calendar.timing == PaymentTiming::Advance;
    const BuyoutDue due = BuyoutDueOf(terms.calendar.timing, PlanKind::ToTheCent);

    const std::vector<CalendarDate> dates = InstalmentDueDates(terms.calendar);
    const CalendarDate buyoutDue = BuyoutDueDate(dates.back(), terms.calendar.periodsPerYear, due);
    if (!terms.buyoutDate.IsZero() && terms.buyoutDate < buyoutDue) {
        throw RunTimeError::InvalidArgument();
    }

    CentsPlan plan;
    plan.value = terms.value;
    plan.maxi = terms.maxi;
    plan.buyout = terms.buyout;
    plan.maxiDate = terms.calendar.contractDate;
    plan.buyoutDate = terms.buyoutDate.IsZero() ? buyoutDue : terms.buyoutDate;
    plan.rows.resize(static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < plan.rows.size(); ++k) {
        plan.rows[k].date = dates[k];
        plan.rows[k].rate = terms.rates[k];
    }

    const ExactPeriodRate rate(terms.rates[0], terms.calendar.periodsPerYear, terms.capitalisation);
    const Money debt = terms.value - terms.maxi;
    const long double firstAnnuity =
        advance ? 1.0L + rate.AnnuityArrears(n - 1) : rate.AnnuityArrears(n);
    plan.instalment = AnnuityInstalment(debt, terms.buyout, firstAnnuity, rate, n);
    AmortiseRows(plan.rows, 0, debt, plan.instalment,
                 {terms.calendar.periodsPerYear, terms.capitalisation, terms.buyout, due, advance});

    if (terms.buyoutInterest == BuyoutInterest::Yes && !terms.buyoutDate.IsZero()) {
        const std::int64_t days = terms.buyoutDate - buyoutDue;
        plan.buyoutInterest = Money::FromCents(
            RoundHalfUp(static_cast<__int128>(terms.buyout.Cents()) *
                            plan.rows.back().rate.TenThousandths() * days,
                        static_cast<__int128>(kPercentUnitsPerWhole) * kDaysPerYear));
    }
    return plan;
}

}  // namespace quotaplan
