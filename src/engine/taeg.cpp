#include "engine/taeg.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace quotaplan {
namespace {

using Parts = CalendarDate::Parts;

bool IsMonthEnd(const Parts& date) { return date.day == DaysInMonth(date.year, date.month); }

// `from` plus k months: the same day, the month's last day where the month is shorter, and
// the month's last day throughout when `from` is a month's last day (31/01, 28/02, 31/03).
Parts AddMonthsKeepingMonthEnd(const Parts& from, int k) {
    const int index = from.year * 12 + (from.month - 1) + k;
    Parts to{index / 12, index % 12 + 1, 0};
    const int last = DaysInMonth(to.year, to.month);
    to.day = IsMonthEnd(from) ? last : std::min(from.day, last);
    return to;
}

// The time from `from` to `to` (not before it): whole months and the days left.
struct Interval {
    int months;
    double stubYears;
};

// The day the whole months from `from` reach in the year and month of `to`.
int DayReached(const Parts& from, bool fromIsMonthEnd, int year, int month) {
    const int last = DaysInMonth(year, month);
    return fromIsMonthEnd ? last : std::min(from.day, last);
}

Interval IntervalBetween(const Parts& from, bool fromIsMonthEnd, CalendarDate toDate,
                         const Parts& to) {
    int months = (to.year - from.year) * 12 + (to.month - from.month);
    // The months from `from` land in the month of `to`: a whole month more or less is
    // decided by the day alone.
    const int day = DayReached(from, fromIsMonthEnd, to.year, to.month);
    if (day == to.day) return {months, 0};
    Parts reached{to.year, to.month, day};
    if (months > 0 && day > to.day) reached = AddMonthsKeepingMonthEnd(from, --months);
    const int days = toDate - *CalendarDate::FromYmd(reached.year, reached.month, reached.day);
    const int yearDays = toDate - AddCalendarMonths(toDate, -12);
    return {months, static_cast<double>(days) / yearDays};
}

// Year, month and day of dates met mostly in order and about a month apart, as a plan's
// are: each is reached from the one before by walking whole months of days (at most
// three), and converted from scratch otherwise.
class PartsWalker {
public:
    Parts Of(CalendarDate date) {
        if (known_ && date >= last_) {
            Parts parts = lastParts_;
            int days = date - last_;
            for (int month = 0; month < 3 && days > 0; ++month) {
                const int left = DaysInMonth(parts.year, parts.month) - parts.day;
                if (days <= left) {
                    parts.day += days;
                    days = 0;
                    break;
                }
                days -= left + 1;
                parts.day = 1;
                if (++parts.month == 13) {
                    parts.month = 1;
                    ++parts.year;
                }
            }
            if (days == 0) return Remember(date, parts);
        }
        return Remember(date, date.ToParts());
    }

private:
    Parts Remember(CalendarDate date, Parts parts) {
        known_ = true;
        last_ = date;
        lastParts_ = parts;
        return parts;
    }
    bool known_ = false;
    CalendarDate last_;
    Parts lastParts_{};
};

// A flow as the solver uses it: its time t = months / 12 + stubYears and its amount.
struct TimedAmount {
    int months;
    double stubYears;
    double years;
    double amount;
};

// f(y) = sum A e^(-y t) and f'(y) = sum -t A e^(-y t), with y = ln(1 + X). The flows are in
// order of months, so e^(-y months / 12) grows by one factor per step instead of an exp a
// flow.
struct Value {
    double f;
    double slope;
};

Value Evaluate(const std::vector<TimedAmount>& flows, double y) {
    const double perMonth = std::exp(-y / 12.0);
    double power = 1;
    int powerMonths = 0;
    Value value{0, 0};
    for (const TimedAmount& flow : flows) {
        const int step = flow.months - powerMonths;
        if (step == 1) {
            power *= perMonth;
        } else if (step != 0) {
            power = std::pow(perMonth, flow.months);
        }
        powerMonths = flow.months;
        double term = flow.amount * power;
        if (flow.stubYears != 0) term *= std::exp(-y * flow.stubYears);
        value.f += term;
        value.slope -= flow.years * term;
    }
    return value;
}

constexpr double kOneTwelfth = 1.0 / 12;  // a multiplication where a division would cost

constexpr double kLowestY = -9.2102403669758495;  // ln(1 - 0.9999): -99.99 %
constexpr double kHighestY = 11.512925464970229;  // ln(1 + 100000): 10^7 %

// The first y from 0 towards `direction` where f changes sign, as a bracket [a, b] with
// f(a), f(b) of opposite signs; false when there is none within the range. The steps
// double from `firstStep`, the size of a Newton step from 0, so that a loan's bracket
// usually takes two evaluations.
bool FindBracket(const std::vector<TimedAmount>& flows, double f0, int direction, double firstStep,
                 double& a, double& fa, double& b, double& fb) {
    a = 0;
    fa = f0;
    const double limit = direction > 0 ? kHighestY : kLowestY;
    for (double step = std::clamp(firstStep, 1e-4, 1.0);; step *= 2) {
        b = std::abs(direction * step) >= std::abs(limit) ? limit : direction * step;
        fb = Evaluate(flows, b).f;
        if (std::isfinite(fb) && (fb == 0 || (fa < 0) != (fb < 0))) return true;
        if (!std::isfinite(fb) || b == limit) return false;
        a = b;
        fa = fb;
    }
}

// Newton's method kept inside the bracket: a step that would leave it, that comes from a
// slope beyond doubles, or that is not half the step before the last (far from the root of
// a steep exponential, Newton's steps stay about 1/t long however far the root lies), gives
// way to bisection.
double Refine(const std::vector<TimedAmount>& flows, double a, double fa, double b, double fb) {
    if (fa == 0) return a;
    if (fb == 0) return b;
    double low = a < b ? a : b, high = a < b ? b : a;
    const bool risingAtHigh = (a < b ? fb : fa) > 0;
    double y = low - (a < b ? fa : fb) * (high - low) / ((a < b ? fb : fa) - (a < b ? fa : fb));
    double stepBeforeLast = high - low, lastStep = high - low;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const Value value = Evaluate(flows, y);
        if (value.f == 0) return y;
        if ((value.f > 0) == risingAtHigh) {
            high = y;
        } else {
            low = y;
        }
        double next = y - value.f / value.slope;
        if (!(next > low && next < high) || !std::isfinite(next) ||
            !std::isfinite(value.slope) || std::abs(next - y) > stepBeforeLast / 2) {
            next = low + (high - low) / 2;
        }
        stepBeforeLast = lastStep;
        lastStep = std::abs(next - y);
        // Newton's error squares at each step: a step below 1e-9 leaves next within about
        // 1e-17 of the root.
        if (std::abs(next - y) < 1e-9 || high - low < 1e-13) return next;
        y = next;
    }
    return y;
}

// Newton's method from y = 0 alone: a loan's f rises and bends down, so the steps climb
// to the root from below without passing it. nullopt when it has not settled within a few
// steps or leaves the range: the bracketed search then takes over.
std::optional<double> NewtonFromZero(const std::vector<TimedAmount>& flows, Value value) {
    constexpr int kSteps = 8;
    double y = 0;
    for (int k = 0; k < kSteps; ++k) {
        // Beyond doubles (a flow centuries away) a step means nothing: an infinite slope
        // would give a zero step, taken for the root.
        if (!std::isfinite(value.f) || !std::isfinite(value.slope)) return std::nullopt;
        const double step = -value.f / value.slope;
        const double next = y + step;
        if (!std::isfinite(next) || next < kLowestY || next > kHighestY) return std::nullopt;
        if (std::abs(step) < 1e-9) return next;
        y = next;
        value = Evaluate(flows, y);
        if (value.f == 0) return y;
    }
    return std::nullopt;
}

}  // namespace

double YearsBetween(CalendarDate from, CalendarDate to) {
    if (to < from) return -YearsBetween(to, from);
    const Parts start = from.ToParts();
    const Interval interval = IntervalBetween(start, IsMonthEnd(start), to, to.ToParts());
    return interval.months / 12.0 + interval.stubYears;
}

std::optional<double> SolveTaeg(const std::vector<DatedFlow>& flows) {
    if (flows.empty()) return std::nullopt;
    const auto earliest =
        std::min_element(flows.begin(), flows.end(),
                         [](const DatedFlow& a, const DatedFlow& b) { return a.date < b.date; });
    const Parts origin = earliest->date.ToParts();
    const bool originIsMonthEnd = IsMonthEnd(origin);
    std::vector<TimedAmount> timed;
    timed.reserve(flows.size());
    PartsWalker walker;
    bool drawn = false, paid = false;
    for (const DatedFlow& flow : flows) {
        if (flow.amount.IsZero()) continue;
        (flow.amount > Money() ? drawn : paid) = true;
        const Interval interval =
            IntervalBetween(origin, originIsMonthEnd, flow.date, walker.Of(flow.date));
        // In cents: the root does not depend on the unit, and a cent count is exact.
        timed.push_back({interval.months, interval.stubYears,
                         interval.months * kOneTwelfth + interval.stubYears,
                         static_cast<double>(flow.amount.Cents())});
    }
    if (!drawn || !paid) return std::nullopt;
    const auto byMonths = [](const TimedAmount& a, const TimedAmount& b) {
        return a.months < b.months;
    };
    if (!std::is_sorted(timed.begin(), timed.end(), byMonths)) {
        std::stable_sort(timed.begin(), timed.end(), byMonths);
    }

    const Value atZero = Evaluate(timed, 0);
    if (atZero.f == 0) return 0.0;
    if (const auto root = NewtonFromZero(timed, atZero)) return std::expm1(*root);
    // Look first where a Newton step from 0 points, then the other way.
    const double newtonStep = -atZero.f / atZero.slope;
    const int direction = newtonStep >= 0 ? 1 : -1;
    const double firstStep = std::isfinite(newtonStep) ? std::abs(newtonStep) : 0.01;
    double a = 0, fa = 0, b = 0, fb = 0;
    if (!FindBracket(timed, atZero.f, direction, firstStep, a, fa, b, fb) &&
        !FindBracket(timed, atZero.f, -direction, 0.01, a, fa, b, fb)) {
        return std::nullopt;
    }
    return std::expm1(Refine(timed, a, fa, b, fb));
}

Percent TaegPercent(double rate) {
    return Percent::FromHundredths(RoundHalfUpScaled(static_cast<long double>(rate), 10000));
}

std::string TaegText(const std::optional<double>& rate) {
    if (!rate) return {};
    return FormatValue(TaegPercent(*rate).Value() / 100.0, "0.00%");
}

}  // namespace quotaplan
