#include "ui/database_review_archive.h"

#include "common/message_boxes.h"
#include "data/db_error.h"
#include "data/legal_rates.h"
#include "data/review_store.h"

namespace quotaplan {

void DatabaseReviewArchive::ShowFailure(std::int32_t number, const std::string& description) {
    ShowError(boxes_, number, description, "");
}

std::vector<ReviewRow> DatabaseReviewArchive::BankPlan(std::int32_t contractId) {
    try {
        return LoadBankPlan(db_, contractId);
    } catch (const DatabaseError& error) {
        ShowFailure(error.Number(), error.Description());
        return {};
    }
}

bool DatabaseReviewArchive::SaveBankPlan(std::int32_t contractId,
                                         const std::vector<ReviewRow>& rows) {
    if (const auto error = quotaplan::SaveBankPlan(db_, contractId, rows)) {
        ShowFailure(error->number, error->description);
        return false;
    }
    return true;
}

std::optional<DefaultInterest> DatabaseReviewArchive::DefaultInterestOf(std::int32_t contractId) {
    try {
        return LoadDefaultInterest(db_, contractId);
    } catch (const DatabaseError& error) {
        ShowFailure(error.Number(), error.Description());
        return std::nullopt;
    }
}

std::vector<LegalRate> DatabaseReviewArchive::LegalRates() {
    try {
        return LoadLegalRates(db_);
    } catch (const DatabaseError& error) {
        ShowFailure(error.Number(), error.Description());
        return {};
    }
}

SeriesImport DatabaseReviewArchive::ImportLegalRates(const std::filesystem::path& file) {
    return quotaplan::ImportLegalRates(db_, file);
}

}  // namespace quotaplan
