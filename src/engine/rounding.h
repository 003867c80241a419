#pragma once

namespace quotaplan {

// Rounds a 32-bit value to d decimals, half to even, on its exact binary value.
//
//   result = float( nearest_even( value * 10^d ) / 10^d )
//
// value: a 32-bit number; d: decimals, 0..12.
// Exact halves go to the even neighbour (0.125 -> 0.12, 0.375 -> 0.38); a value that only
// looks like a half in decimal (2.345f is 2.34499990...) rounds by what it really is.
// Infinities and NaN come back unchanged. Raises RunTimeError 5 for d outside 0..12.
float RoundHalfEven(float value, int decimals);

}  // namespace quotaplan
