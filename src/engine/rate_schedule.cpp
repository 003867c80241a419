#include "engine/rate_schedule.h"

#include <algorithm>

namespace quotaplan {

std::vector<float> RatesForPlan(const std::vector<float>& listPercents, std::int16_t n,
                                float contractRatePercent) {
    const std::size_t count = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (listPercents.empty()) return std::vector<float>(count, contractRatePercent / 100.0f);
    std::vector<float> rates;
    rates.reserve(std::max(count, listPercents.size()));
    for (const float percent : listPercents) rates.push_back(percent / 100.0f);
    if (rates.size() < count) rates.resize(count, rates.back());
    return rates;
}

}  // namespace quotaplan
