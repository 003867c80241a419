#pragma once

#include "data/database.h"
#include "ui/review_archive.h"

namespace quotaplan {

class MessageBoxes;

// The review's archive on the window's connection; a database error is shown through the
// boxes ("Errore <number>: <description>") and reads as nothing found.
class DatabaseReviewArchive : public ReviewArchive {
public:
    DatabaseReviewArchive(Database& db, MessageBoxes& boxes) : db_(db), boxes_(boxes) {}

    std::vector<ReviewRow> BankPlan(std::int32_t contractId) override;
    bool SaveBankPlan(std::int32_t contractId, const std::vector<ReviewRow>& rows) override;
    std::optional<DefaultInterest> DefaultInterestOf(std::int32_t contractId) override;
    std::vector<LegalRate> LegalRates() override;
    SeriesImport ImportLegalRates(const std::filesystem::path& file) override;

private:
    void ShowFailure(std::int32_t number, const std::string& description);

    Database& db_;
    MessageBoxes& boxes_;
};

}  // namespace quotaplan
