#include "engine/cents_plan.h"

#include <cmath>

#include "common/run_time_error.h"
#include "engine/due_dates.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;  // Percent units in a rate of 1 (100 %)
constexpr std::int64_t kDaysPerYear = 365;

// The rate of one period and the interest it makes on a residual.
class PeriodRate {
public:
    PeriodRate(Percent annual, std::int16_t m, Capitalisation capitalisation)
        : annual_(annual), m_(m), simple_(capitalisation == Capitalisation::Simple) {
        const long double j = annual.Fraction();
        value_ = simple_ ? j / m : std::expm1(std::log1p(j) / m);
        if (!(value_ > -1.0L)) throw RunTimeError::InvalidArgument();
    }

    Percent Annual() const { return annual_; }

    // round(residual * i). Simple: residual * j / m on whole numbers, so a half cent is
    // seen as exactly half.
    Money InterestOn(Money residual) const {
        if (simple_) {
            return Money::FromCents(
                RoundHalfUp(static_cast<__int128>(residual.Cents()) * annual_.TenThousandths(),
                            static_cast<__int128>(kPercentUnitsPerWhole) * m_));
        }
        return Money::FromCents(
            RoundHalfUpScaled(static_cast<long double>(residual.Cents()) * value_, 1));
    }

    // (1 + i)^-n.
    long double Discount(int n) const { return std::exp(-n * std::log1p(value_)); }

    // a(n, i) = (1 - (1 + i)^-n) / i, n payments at the end of each period; n when i = 0.
    long double AnnuityArrears(int n) const {
        if (value_ == 0) return n;
        return -std::expm1(-n * std::log1p(value_)) / value_;
    }

private:
    Percent annual_;
    std::int16_t m_;
    bool simple_;
    long double value_;
};

// round((debt - B (1 + i)^-buyoutPeriods) / annuity).
Money Instalment(Money debt, Money buyout, long double annuity, const PeriodRate& rate,
                 int buyoutPeriods) {
    const long double payable =
        static_cast<long double>(debt.Cents()) -
        static_cast<long double>(buyout.Cents()) * rate.Discount(buyoutPeriods);
    return Money::FromCents(RoundHalfUpScaled(payable / annuity, 1));
}

}  // namespace

CentsPlan BuildCentsPlan(const CentsPlanTerms& terms) {
    const int n = terms.calendar.count;
    if (n < 1 || terms.calendar.periodsPerYear < 1 ||
        terms.rates.size() < static_cast<std::size_t>(n)) {
        throw RunTimeError::InvalidArgument();
    }
    const bool advance = terms.calendar.timing == PaymentTiming::Advance;
    const auto rateOf = [&](int r) {
        return PeriodRate(terms.rates[static_cast<std::size_t>(r - 1)],
                          terms.calendar.periodsPerYear, terms.capitalisation);
    };

    CentsPlan plan;
    plan.value = terms.value;
    plan.maxi = terms.maxi;
    plan.buyout = terms.buyout;
    plan.maxiDate = terms.calendar.contractDate;
    plan.buyoutDate = terms.buyoutDate;
    plan.rows.resize(static_cast<std::size_t>(n));

    const std::vector<CalendarDate> dates = InstalmentDueDates(terms.calendar);
    PeriodRate rate = rateOf(1);
    Money residual = terms.value - terms.maxi;
    const long double firstAnnuity =
        advance ? 1.0L + rate.AnnuityArrears(n - 1) : rate.AnnuityArrears(n);
    Money instalment = Instalment(residual, terms.buyout, firstAnnuity, rate, n);
    plan.instalment = instalment;

    for (int r = 1; r <= n; ++r) {
        if (r > 1 && terms.rates[static_cast<std::size_t>(r - 1)] !=
                         terms.rates[static_cast<std::size_t>(r - 2)]) {
            // The debt left is worth the rows still due plus the buy-out, at the new rate.
            rate = rateOf(r);
            const int left = n - r + 1;
            instalment = Instalment(residual, terms.buyout, rate.AnnuityArrears(left), rate,
                                    left + (advance ? 1 : 0));
        }
        CentsPlanRow& row = plan.rows[static_cast<std::size_t>(r - 1)];
        row.date = dates[static_cast<std::size_t>(r - 1)];
        row.rate = rate.Annual();
        // An instalment due on the contract date is paid before any interest has run.
        row.interest = advance && r == 1 ? Money() : rate.InterestOn(residual);
        row.capital = r == n ? residual - terms.buyout : instalment - row.interest;
        row.instalment = row.capital + row.interest;
        residual -= row.capital;
        row.residual = residual;
    }

    if (terms.buyoutInterest == BuyoutInterest::Yes && !terms.buyoutDate.IsZero()) {
        const std::int64_t days = terms.buyoutDate - plan.rows.back().date;
        plan.buyoutInterest = Money::FromCents(RoundHalfUp(
            static_cast<__int128>(terms.buyout.Cents()) * rate.Annual().TenThousandths() * days,
            static_cast<__int128>(kPercentUnitsPerWhole) * kDaysPerYear));
    }
    return plan;
}

}  // namespace quotaplan
