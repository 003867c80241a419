#include "engine/effective_rate.h"

#include "engine/rate_solver.h"
#include "engine/rounding.h"

namespace quotaplan {

float EffectiveRate(float value, float contractFees, float maxi, float buyout, std::int16_t n,
                    std::int16_t m, float instalment, float instalmentFee, bool compound,
                    bool advance) {
    constexpr std::int16_t kDecimals = 4;
    const float received = value - contractFees;
    const float paidEachPeriod = instalment + instalmentFee;
    const float rate =
        SolveRate(received, maxi, buyout, n, m, paidEachPeriod, kDecimals, compound, advance);
    return RoundHalfEven(rate, kDecimals);
}

}  // namespace quotaplan
