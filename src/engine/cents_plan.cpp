#include "engine/cents_plan.h"

#include <cmath>

#include "common/run_time_error.h"
#include "engine/due_dates.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;  // Percent units in a rate of 1 (100 %)
constexpr std::int64_t kDaysPerYear = 365;
constexpr __int128 kRateDecimalsScale =
    static_cast<__int128>(100000000000000000LL) * 1000;  // 10^20

// 113-bit binary floating point (GCC and Clang on x86-64; its + - * / come with the
// compiler's runtime).
using Quad = __float128;

Quad Power(Quad base, int exponent) {
    Quad result = 1;
    for (; exponent > 0; exponent /= 2, base *= base) {
        if (exponent % 2 == 1) result *= base;
    }
    return result;
}

// round(10^20 ((1 + j)^(1/m) - 1)), half up. The m-th root is taken by two Newton steps in
// 113 bits from the long double root (good to about 10^-19), which leaves 10^20 times the
// rate within about 10^-13 of its true value. That decides the rounding: an exact root
// (1,21^(1/2) = 1,1) comes out exact, and for every rate of four decimals from -99,9999 %
// to 1.000 % and m of 2, 3, 4, 6 or 12 the true value lies at least 6 * 10^-9 from a
// half. Raises RunTimeError 5 for j at or below -100 %, 6 when the result leaves 10^36.
__int128 CompoundPeriodRate(Percent annual, std::int16_t m) {
    const std::int64_t units = annual.TenThousandths();
    if (units <= -kPercentUnitsPerWhole) throw RunTimeError::InvalidArgument();
    if (m == 1) return static_cast<__int128>(units) * (kRateDecimalsScale / kPercentUnitsPerWhole);
    const Quad base =
        static_cast<Quad>(kPercentUnitsPerWhole + units) / static_cast<Quad>(kPercentUnitsPerWhole);
    Quad root = std::pow(static_cast<long double>(base), 1.0L / m);
    for (int step = 0; step < 2; ++step) {
        const Quad below = Power(root, m - 1);
        root -= (below * root - base) / (m * below);
    }
    const Quad scaled = (root - 1) * static_cast<Quad>(kRateDecimalsScale);
    const Quad magnitude = (scaled < 0 ? -scaled : scaled) + static_cast<Quad>(0.5);
    if (!(magnitude < static_cast<Quad>(1e36))) throw RunTimeError::Overflow();
    const auto rounded = static_cast<__int128>(magnitude);
    return scaled < 0 ? -rounded : rounded;
}

__int128 CheckedProduct(__int128 a, __int128 b) {
    __int128 product = 0;
    if (__builtin_mul_overflow(a, b, &product)) throw RunTimeError::Overflow();
    return product;
}

// The rate of one period as an exact fraction, and what it makes of an amount.
class PeriodRate {
public:
    PeriodRate(Percent annual, std::int16_t m, Capitalisation capitalisation) : annual_(annual) {
        if (capitalisation == Capitalisation::Simple) {
            numerator_ = annual.TenThousandths();
            denominator_ = static_cast<__int128>(kPercentUnitsPerWhole) * m;
        } else {
            numerator_ = CompoundPeriodRate(annual, m);
            denominator_ = kRateDecimalsScale;
        }
        if (!(numerator_ > -denominator_)) throw RunTimeError::InvalidArgument();
        value_ = static_cast<long double>(numerator_) / static_cast<long double>(denominator_);
    }

    Percent Annual() const { return annual_; }

    // round(amount * i), on whole numbers.
    Money InterestOn(Money amount) const {
        return Money::FromCents(
            RoundHalfUp(CheckedProduct(amount.Cents(), numerator_), denominator_));
    }

    // round(amount / (1 + i)), on whole numbers.
    Money DiscountedOnePeriod(Money amount) const {
        return Money::FromCents(
            RoundHalfUp(CheckedProduct(amount.Cents(), denominator_), denominator_ + numerator_));
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
    __int128 numerator_ = 0;
    __int128 denominator_ = 1;
    long double value_ = 0;  // the fraction as the annuity's powers use it
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

BuyoutDue BuyoutDueOf(PaymentTiming timing, PlanKind plan) {
    return plan == PlanKind::ToTheCent && timing == PaymentTiming::Advance
               ? BuyoutDue::PeriodAfterLastInstalment
               : BuyoutDue::AtLastInstalment;
}

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

    const std::vector<CalendarDate> dates = InstalmentDueDates(terms.calendar);
    const CalendarDate buyoutDue =
        BuyoutDueDate(dates.back(), terms.calendar.periodsPerYear,
                      BuyoutDueOf(terms.calendar.timing, PlanKind::ToTheCent));
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
        if (r < n) {
            row.capital = instalment - row.interest;
        } else {
            // In advance the buy-out is a period away from the last instalment, which leaves
            // it owed less that period's interest.
            const Money left = advance ? rate.DiscountedOnePeriod(terms.buyout) : terms.buyout;
            row.capital = residual - left;
        }
        row.instalment = row.capital + row.interest;
        residual -= row.capital;
        row.residual = residual;
    }

    if (terms.buyoutInterest == BuyoutInterest::Yes && !terms.buyoutDate.IsZero()) {
        const std::int64_t days = terms.buyoutDate - buyoutDue;
        plan.buyoutInterest = Money::FromCents(RoundHalfUp(
            static_cast<__int128>(terms.buyout.Cents()) * rate.Annual().TenThousandths() * days,
            static_cast<__int128>(kPercentUnitsPerWhole) * kDaysPerYear));
    }
    return plan;
}

}  // namespace quotaplan
