#include "engine/money.h"

#include <bit>
#include <cmath>
#include <limits>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

constexpr int kMantissaBits = std::numeric_limits<long double>::digits;  // 64 on x86-64

std::int64_t ToInt64(__int128 value) {
    if (value > std::numeric_limits<std::int64_t>::max() ||
        value < std::numeric_limits<std::int64_t>::min()) {
        throw RunTimeError::Overflow();
    }
    return static_cast<std::int64_t>(value);
}

// value / 10^decimals as the shortest "." decimal: trailing zeros of the fraction dropped.
std::string ScaledDecimal(std::int64_t value, int decimals) {
    const bool negative = value < 0;
    // Through unsigned so that the most negative value has a magnitude too.
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::uint64_t scale = 1;
    for (int k = 0; k < decimals; ++k) scale *= 10;
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / scale);
    return fraction.empty() ? text : text + "." + fraction;
}

// numerator / denominator rounded half away from zero; denominator > 0.
template <typename Integer>
Integer RoundedQuotient(Integer numerator, Integer denominator) {
    Integer quotient = numerator / denominator;
    const Integer remainder = numerator % denominator;  // carries the numerator's sign
    // |remainder| >= denominator / 2, written so that nothing can overflow.
    if (remainder > 0 && remainder >= denominator - remainder) ++quotient;
    if (remainder < 0 && -remainder >= denominator + remainder) --quotient;
    return quotient;
}

}  // namespace

std::int64_t RoundHalfUp(__int128 numerator, __int128 denominator) {
    if (denominator == 0) throw RunTimeError::DivisionByZero();
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    constexpr __int128 kMax64 = std::numeric_limits<std::int64_t>::max();
    if (numerator <= kMax64 && numerator >= -kMax64 && denominator <= kMax64) {
        // The common case of a plan row, in 64-bit division (a 128-bit one is a library call).
        return RoundedQuotient(static_cast<std::int64_t>(numerator),
                               static_cast<std::int64_t>(denominator));
    }
    return ToInt64(RoundedQuotient(numerator, denominator));
}

std::int64_t RoundDoubleHalfUpScaled(double value, std::int64_t scale) {
    if (std::isnan(value)) throw RunTimeError::InvalidArgument();
    if (std::isinf(value)) throw RunTimeError::Overflow();
    // value = ±m * 2^e with a 53-bit m, so value * scale = m * scale / 2^-e, rounded half up
    // by a shift: no x87 and no 128-bit division for a plan's thousands of amounts.
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = (biased == 0 ? 1 : biased) - 1075;
    const unsigned __int128 product =
        static_cast<unsigned __int128>(mantissa) * static_cast<std::uint64_t>(scale);  // below 2^93
    unsigned __int128 magnitude = 0;
    if (exponent >= 0) {
        if (exponent > 33) throw RunTimeError::Overflow();
        magnitude = product << exponent;
    } else if (exponent > -100) {
        const int shift = -exponent;
        magnitude = (product + (static_cast<unsigned __int128>(1) << (shift - 1))) >> shift;
    }
    if (magnitude > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max())) {
        throw RunTimeError::Overflow();
    }
    const auto rounded = static_cast<std::int64_t>(magnitude);
    return (bits >> 63) != 0 ? -rounded : rounded;
}

std::int64_t RoundHalfUpScaled(long double value, std::int64_t scale) {
    if (std::isnan(value)) throw RunTimeError::InvalidArgument();
    if (std::isinf(value)) throw RunTimeError::Overflow();
    if (value == 0) return 0;
    constexpr long double kExactHalves = 4611686018427387904.0L;  // 2^62
    // A value that is a double (a plan's amount, a float's rate) takes the shorter road.
    if (scale > 0 && scale < (std::int64_t{1} << 40) &&
        static_cast<long double>(static_cast<double>(value)) == value) {
        return RoundDoubleHalfUpScaled(static_cast<double>(value), scale);
    }
    if (scale == 1 && std::fabs(value) < kExactHalves) {
        // Below 2^62 a long double steps by at most 1/2, so |value| + 1/2 is exact and its
        // floor is the rounding; a plan row's interest takes this path.
        const long double magnitude = std::floor(std::fabs(value) + 0.5L);
        return static_cast<std::int64_t>(value < 0 ? -magnitude : magnitude);
    }
    int exponent = 0;
    const long double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent
    // The mantissa as a whole number: value = mantissa * 2^(exponent - kMantissaBits).
    const auto mantissa = static_cast<__int128>(std::ldexp(fraction, kMantissaBits));
    const int shift = kMantissaBits - exponent;
    if (shift <= 0) throw RunTimeError::Overflow();  // |value| >= 2^63 before scaling
    if (shift > 126) {
        // |value * scale| < 1: only a product of at least one half rounds away from zero.
        const long double product = std::fabs(value * static_cast<long double>(scale));
        return product >= 0.5L ? (value < 0 ? -1 : 1) : 0;
    }
    return RoundHalfUp(mantissa * scale, static_cast<__int128>(1) << shift);
}

std::string Money::Decimal() const { return ScaledDecimal(cents_, 2); }

Money Money::operator+(Money other) const {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(cents_, other.cents_, &sum)) throw RunTimeError::Overflow();
    return Money(sum);
}

Money Money::operator-(Money other) const {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(cents_, other.cents_, &difference)) throw RunTimeError::Overflow();
    return Money(difference);
}

Money Money::operator-() const { return Money() - *this; }

Percent Percent::Rounded(int decimals) const {
    if (decimals < 0 || decimals > 4) throw RunTimeError::InvalidArgument();
    std::int64_t step = 1;
    for (int k = decimals; k < 4; ++k) step *= 10;
    return Percent(RoundHalfUp(static_cast<__int128>(units_), static_cast<__int128>(step)) * step);
}

std::string Percent::Decimal() const { return ScaledDecimal(units_, 4); }

std::optional<std::int64_t> ScaledDigits(const NumberParts& number, int decimals) {
    // Digits beyond these cannot change a rounding to at most four decimals: cutting them
    // moves the value towards zero without crossing the half that decides.
    constexpr std::size_t kFractionDigitsKept = 12;
    constexpr std::size_t kIntegerDigitsMax = 18;
    std::string_view integer = number.integerDigits;
    while (integer.size() > 1 && integer.front() == '0') integer.remove_prefix(1);
    if (integer.size() > kIntegerDigitsMax) return std::nullopt;
    const std::string_view fraction =
        std::string_view(number.fractionDigits).substr(0, kFractionDigitsKept);
    __int128 numerator = 0;
    __int128 denominator = 1;
    for (const char digit : integer) numerator = numerator * 10 + (digit - '0');
    for (const char digit : fraction) {
        numerator = numerator * 10 + (digit - '0');
        denominator *= 10;
    }
    for (int k = 0; k < decimals; ++k) numerator *= 10;
    try {
        const std::int64_t magnitude = RoundHalfUp(numerator, denominator);
        return number.negative ? -magnitude : magnitude;
    } catch (const RunTimeError&) {
        return std::nullopt;
    }
}

std::optional<Money> ReadMoney(std::string_view regionalText) {
    const auto parts = SplitNumberText(regionalText);
    if (!parts) return std::nullopt;
    const auto cents = ScaledDigits(*parts, 2);
    if (!cents) return std::nullopt;
    return Money::FromCents(*cents);
}

std::optional<Money> ReadPlainMoney(std::string_view plainText) {
    const auto parts = SplitPlainNumberText(plainText);
    if (!parts) return std::nullopt;
    const auto cents = ScaledDigits(*parts, 2);
    if (!cents) return std::nullopt;
    return Money::FromCents(*cents);
}

std::optional<Percent> ReadPercent(std::string_view regionalText) {
    const auto parts = SplitNumberText(regionalText);
    if (!parts) return std::nullopt;
    const auto units = ScaledDigits(*parts, 4);
    if (!units) return std::nullopt;
    return Percent::FromTenThousandths(*units);
}

}  // namespace quotaplan
