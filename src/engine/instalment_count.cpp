#include "engine/instalment_count.h"

#include <algorithm>
#include <cmath>

namespace quotaplan {
namespace {

// Half a cent: how far below the debt the instalments may fall and still pay it off.
constexpr long double kHalfCent = 0.5L;

// How far apart, relative to the figures compared, two counts' worth must be for the
// comparison to be decided by the maths and not by the rounding of long double powers
// (those err by about 10^-17 of the figure).
constexpr long double kClearOfRounding = 1e-12L;

long double CentsOf(Money amount) { return static_cast<long double>(amount.Cents()); }

}  // namespace

int InstalmentsToPayOff(const InstalmentCount& search, const ExactPeriodRate& rate) {
    const int most = search.most;
    const int offset = search.buyoutOffset;
    const long double instalment = CentsOf(search.instalment);
    const long double buyout = CentsOf(search.buyout);
    const long double target = CentsOf(search.debt) - kHalfCent;
    const auto enough = [&](int count) {
        return instalment * rate.AnnuityArrears(count) + buyout * rate.Discount(count + offset) >=
               target;
    };
    if (most <= 1) return most;

    // v = (1 + i)^-1; i (1 + i)^-a = (1 - v) v^(a-1). The steps between the counts tried are
    // at least `step` * min(v, v^(most+a)); no figure compared exceeds `scale`.
    const long double v = rate.Discount(1);
    const long double step = instalment - buyout * (1 - v) * rate.Discount(offset - 1);
    const long double farthest = rate.Discount(most + offset);
    const long double smallestPower = std::min(v, farthest);
    const long double largestPower = std::max(1.0L, farthest);
    const long double scale =
        std::abs(target) + (std::abs(instalment) * most + std::abs(buyout)) * largestPower;
    const long double margin = scale * kClearOfRounding;

    if (std::abs(step) * smallestPower <= margin) {
        for (int count = 1; count < most; ++count) {
            if (enough(count)) return count;
        }
        return most;
    }
    if (step < 0) return enough(1) ? 1 : most;  // worth shrinks with each instalment added
    if (!enough(most - 1)) return most;
    int low = 1;          // counts below `low` do not suffice
    int high = most - 1;  // `high` does
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (enough(middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return high;
}

}  // namespace quotaplan
