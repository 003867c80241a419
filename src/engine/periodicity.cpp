#include "engine/periodicity.h"

namespace quotaplan {

std::int16_t ConvertPeriodicity(int value, bool toListIndex) {
    if (toListIndex) {
        for (std::size_t index = 0; index < kPeriodsPerYear.size(); ++index) {
            if (kPeriodsPerYear[index] == value) return static_cast<std::int16_t>(index);
        }
        return static_cast<std::int16_t>(kPeriodsPerYear.size());
    }
    if (value >= 1 && value < static_cast<int>(kPeriodsPerYear.size())) {
        return kPeriodsPerYear[value];
    }
    return 12;
}

}  // namespace quotaplan
