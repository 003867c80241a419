#include "common/regional_settings.h"

namespace quotaplan {

const RegionalSettings& Regional() {
    static const RegionalSettings italian;
    return italian;
}

}  // namespace quotaplan
