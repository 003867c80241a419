#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "data/reference_rate_values.h"
#include "engine/legal_interest.h"
#include "engine/plan_comparison.h"
#include "engine/usury.h"

namespace quotaplan {

// What the expert review's window reads and writes in the archive, beside WindowArchive.
class ReviewArchive {
public:
    virtual ~ReviewArchive() = default;
    // The bank's plan stored with the contract; empty when none.
    virtual std::vector<ReviewRow> BankPlan(std::int32_t contractId) = 0;
    // Stores it in place of the one before; false (the error shown) when it failed.
    virtual bool SaveBankPlan(std::int32_t contractId, const std::vector<ReviewRow>& rows) = 0;
    virtual std::optional<DefaultInterest> DefaultInterestOf(std::int32_t contractId) = 0;
    virtual std::vector<LegalRate> LegalRates() = 0;
    virtual SeriesImport ImportLegalRates(const std::filesystem::path& file) = 0;
};

}  // namespace quotaplan
