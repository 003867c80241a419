#include "output/percent_text.h"

#include <cstdlib>

#include "common/number_text.h"

namespace quotaplan {

std::string PercentText(Percent rate, int decimals) {
    const std::int64_t units = rate.Rounded(decimals).TenThousandths();
    const std::int64_t magnitude = std::llabs(units);
    std::string text = (units < 0 ? "-" : "") + std::to_string(magnitude / 10000);
    if (decimals > 0) {
        const std::string fraction = std::to_string(10000 + magnitude % 10000).substr(1);
        text += "," + fraction.substr(0, static_cast<std::size_t>(decimals));
    }
    return text;
}

std::string ShortPercentText(Percent rate) {
    for (int decimals = 2; decimals < 4; ++decimals) {
        if (rate.Rounded(decimals) == rate) return PercentText(rate, decimals);
    }
    return PercentText(rate, 4);
}

std::string AmountText(Money amount) {
    constexpr int kAmountFormat = 1;  // "#,##0.00"
    return FormatNumber(amount.Units(), kAmountFormat);
}

}  // namespace quotaplan
