#include "engine/rate_solver.h"

#include <cmath>

#include "engine/annuity.h"
#include "engine/checked_math.h"
#include "engine/rounding.h"

namespace quotaplan {
namespace {

float AnnuityFactor(std::int16_t n, float i, bool advance) {
    return advance ? AnnuityAdvance(n, i) : AnnuityArrears(n, i);
}

// The midpoint of the bracket, stored in 32 bits as the search holds it.
float Midpoint(float low, float high) {
    return ToSingle(static_cast<double>(low) + (static_cast<double>(high) - low) / 2.0);
}

}  // namespace

float InstalmentFor(float V, float M, float B, std::int16_t n, float i, std::int16_t decimals,
                    bool advance) {
    const float discountedBuyout = PresentValue(B, n, i);
    const float factor = AnnuityFactor(n, i, advance);
    const double financed = static_cast<double>(V) - M - discountedBuyout;
    return RoundHalfEven(ToSingle(CheckedDivide(financed, factor)), decimals);
}

float ValueGap(float V, float M, float B, std::int16_t n, float R, float i, bool advance) {
    const float factor = AnnuityFactor(n, i, advance);
    const float discountedBuyout = PresentValue(B, n, i);
    return ToSingle(static_cast<double>(factor) * R + M + discountedBuyout - V);
}

float AssetValue(float M, float B, std::int16_t n, std::int16_t m, float R, float j,
                 std::int16_t decimals, bool compound, bool advance) {
    const float i = PeriodicRateOf(j, m, compound);
    const float factor = AnnuityFactor(n, i, advance);
    const float discountedBuyout = PresentValue(B, n, i);
    return RoundHalfEven(ToSingle(static_cast<double>(factor) * R + M + discountedBuyout),
                         decimals);
}

float SolveRate(float V, float M, float B, std::int16_t n, std::int16_t m, float R,
                std::int16_t decimals, bool compound, bool advance) {
    constexpr float kLowestAnnualRate = 1e-9f;
    constexpr float kHighestAnnualRate = 40.0f;
    float low;
    float high;
    if (compound) {
        low = ToSingle(PeriodRate(kLowestAnnualRate, m));
        high = ToSingle(PeriodRate(kHighestAnnualRate, m));
    } else {
        low = ToSingle(CheckedDivide(1e-9, m));
        high = ToSingle(CheckedDivide(kHighestAnnualRate, m));
    }
    float mid = Midpoint(low, high);
    float gap = ValueGap(V, M, B, n, R, mid, advance);
    if (gap > 0) return 0;
    while (std::fabs(gap) > 0.01f && high - low > 1e-9f) {
        if (gap <= 0) {
            high = mid;
        } else {
            low = mid;
        }
        mid = Midpoint(low, high);
        // Once low and high are neighbouring 32-bit numbers the midpoint is one of them and
        // the bracket stops shrinking; with large amounts |g| may never reach 0.01 there.
        // Ending now returns the midpoint the plain loop would return whenever it ends.
        if (mid == low || mid == high) break;
        gap = ValueGap(V, M, B, n, R, mid, advance);
    }
    const float annual = compound ? CompoundRate(mid, m) : ToSingle(static_cast<double>(m) * mid);
    return RoundHalfEven(annual, decimals);
}

}  // namespace quotaplan
