#pragma once

#include <cstdint>

namespace quotaplan {

// The effective rate: the annual rate the customer really pays once the fees count.
//
//   e = round(SolveRate(V - Fc, M, B, n, m, R + Fr, 4, compound, advance), 4)
//
// Legend: V asset value, Fc contract fees (reduce what is received), M maxi-instalment,
// B buy-out, n instalments, m periods a year, R the instalment, Fr fee with each
// instalment. V - Fc and R + Fr are formed in 32 bits. Under compound capitalisation e is
// (1 + i)^m - 1 of the periodic rate found, under simple m * i (a nominal annual rate).
// Returns e as a fraction with 4 decimals, or 0 when no rate in the search range fits.
// Raises the errors of SolveRate (11 for m = 0, 6 on overflow).
float EffectiveRate(float value, float contractFees, float maxi, float buyout, std::int16_t n,
                    std::int16_t m, float instalment, float instalmentFee, bool compound,
                    bool advance);

}  // namespace quotaplan
