#include "engine/taeg.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace quotaplan {
namespace {

using Parts = CalendarDate::Parts;

bool IsMonthEnd(const Parts& date) { return date.day == DaysInMonth(date.year, date.month); }

// The days of the year that ends on `end`, back to the same day of the year before: 366
// when a 29 February lies in it (a 29 February itself goes back to the 28th), else 365.
int DaysOfYearEndingOn(const Parts& end) {
    const bool pastFebruary = end.month > 2 || (end.month == 2 && end.day == 29);
    return IsLeapYear(pastFebruary ? end.year : end.year - 1) ? 366 : 365;
}

// The time from `from` to `to` (not before it): whole months and the days left.
struct Interval {
    int months;
    double stubYears;
};

// Months counted back from `to`, then days back to `from` (YearsBetween).
Interval IntervalBetween(const Parts& from, bool fromIsMonthEnd, const Parts& to) {
    int months = (to.year - from.year) * 12 + (to.month - from.month);
    if (fromIsMonthEnd && IsMonthEnd(to)) return {months, 0};
    // `months` back from `to` land in the month of `from`: on `to`'s day, or on that
    // month's last day when it is shorter.
    const int fromMonthDays = DaysInMonth(from.year, from.month);
    const int landed = std::min(to.day, fromMonthDays);
    if (landed == from.day) return {months, 0};
    Parts end{from.year, from.month, landed};
    int days = landed - from.day;
    if (landed < from.day) {
        // Landed before `from`: one month fewer, ending in the month after `from`.
        --months;
        end = from.month == 12 ? Parts{from.year + 1, 1, 0} : Parts{from.year, from.month + 1, 0};
        end.day = std::min(to.day, DaysInMonth(end.year, end.month));
        days = fromMonthDays - from.day + end.day;
    }
    return {months, static_cast<double>(days) / DaysOfYearEndingOn(end)};
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

// The flows of each day summed, in order of date; days that sum to zero are left out.
struct DaySum {
    CalendarDate date;
    double cents;  // exact: a sum of 64-bit cents taken in 128 bits, then rounded once
};
struct DaySums {
    std::vector<DaySum> days;
    CalendarDate origin;  // the earliest day with a flow that is not zero
    bool anyFlow = false;
};

DaySums SumsByDay(const std::vector<DatedFlow>& flows) {
    const auto byDate = [](const DatedFlow& a, const DatedFlow& b) { return a.date < b.date; };
    std::vector<DatedFlow> sorted;
    const std::vector<DatedFlow>* ordered = &flows;
    if (!std::is_sorted(flows.begin(), flows.end(), byDate)) {
        sorted = flows;
        std::stable_sort(sorted.begin(), sorted.end(), byDate);
        ordered = &sorted;
    }
    DaySums sums;
    sums.days.reserve(ordered->size());
    for (std::size_t k = 0; k < ordered->size();) {
        const CalendarDate date = (*ordered)[k].date;
        __int128 sum = 0;
        bool flowed = false;
        for (; k < ordered->size() && (*ordered)[k].date == date; ++k) {
            sum += (*ordered)[k].amount.Cents();
            flowed = flowed || !(*ordered)[k].amount.IsZero();
        }
        if (flowed && !sums.anyFlow) {
            sums.anyFlow = true;
            sums.origin = date;
        }
        if (sum != 0) sums.days.push_back({date, static_cast<double>(sum)});
    }
    return sums;
}

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
    double stubYears = 0, stubFactor = 1;
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
        if (flow.stubYears != 0) {
            // Counted back from the due dates, the days of a plan's flows mostly repeat (a
            // contract of 30/01 paid on the 1st leaves 2 days each time): one exp for each.
            if (flow.stubYears != stubYears) {
                stubYears = flow.stubYears;
                stubFactor = std::exp(-y * stubYears);
            }
            term *= stubFactor;
        }
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
    const Interval interval = IntervalBetween(start, IsMonthEnd(start), to.ToParts());
    return interval.months / 12.0 + interval.stubYears;
}

TaegSolution SolveTaeg(const std::vector<DatedFlow>& flows) {
    const DaySums sums = SumsByDay(flows);
    bool drawn = false, paid = false;
    for (const DaySum& day : sums.days) (day.cents > 0 ? drawn : paid) = true;
    if (sums.days.empty() && sums.anyFlow) return {std::nullopt, NoTaeg::EveryRate};
    if (!drawn || !paid) return {std::nullopt, NoTaeg::OneSided};

    const Parts origin = sums.origin.ToParts();
    const bool originIsMonthEnd = IsMonthEnd(origin);
    std::vector<TimedAmount> timed;
    timed.reserve(sums.days.size());
    PartsWalker walker;
    for (const DaySum& day : sums.days) {
        const Interval interval = IntervalBetween(origin, originIsMonthEnd, walker.Of(day.date));
        // In cents: the root does not depend on the unit, and a cent count is exact.
        timed.push_back({interval.months, interval.stubYears,
                         interval.months * kOneTwelfth + interval.stubYears, day.cents});
    }

    const auto rateOf = [](double y) { return TaegSolution{std::expm1(y), {}}; };
    const Value atZero = Evaluate(timed, 0);
    if (atZero.f == 0) return rateOf(0);
    if (const auto root = NewtonFromZero(timed, atZero)) return rateOf(*root);
    // Look first where a Newton step from 0 points, then the other way.
    const double newtonStep = -atZero.f / atZero.slope;
    const int direction = newtonStep >= 0 ? 1 : -1;
    const double firstStep = std::isfinite(newtonStep) ? std::abs(newtonStep) : 0.01;
    double a = 0, fa = 0, b = 0, fb = 0;
    if (!FindBracket(timed, atZero.f, direction, firstStep, a, fa, b, fb) &&
        !FindBracket(timed, atZero.f, -direction, 0.01, a, fa, b, fb)) {
        return {std::nullopt, NoTaeg::OutOfRange};
    }
    return rateOf(Refine(timed, a, fa, b, fb));
}

std::string NoTaegNote(NoTaeg missing) {
    switch (missing) {
        case NoTaeg::OneSided:
            return "TAEG non determinabile: sommati giorno per giorno, i flussi sono tutti "
                   "erogazioni (importi positivi) o tutti pagamenti (importi negativi), e nessun "
                   "tasso li pareggia.";
        case NoTaeg::EveryRate:
            return "TAEG non determinabile: erogazioni e pagamenti si annullano giorno per "
                   "giorno (per esempio una sola rata anticipata senza spese), e ogni tasso li "
                   "pareggia.";
        case NoTaeg::OutOfRange:
            break;
    }
    return "TAEG non determinabile: nessun tasso fra -99,99 % e 10.000.000 % pareggia i "
           "flussi.";
}

Percent TaegPercent(double rate) {
    return Percent::FromHundredths(RoundHalfUpScaled(static_cast<long double>(rate), 10000));
}

std::string TaegText(const TaegSolution& taeg) {
    if (!taeg.rate) return "n.d.";
    return FormatValue(TaegPercent(*taeg.rate).Value() / 100.0, "0.00%");
}

}  // namespace quotaplan
