#include "ui/database_window_archive.h"

#include "data/lookup_lists.h"

namespace quotaplan {

std::optional<std::vector<TreeType>> DatabaseWindowArchive::ContractTree() {
    std::vector<TreeType> types = store_.TreeEntries();
    if (types.empty()) return std::nullopt;
    return types;
}

std::vector<std::string> DatabaseWindowArchive::LookupTexts(std::string_view table) {
    return FillCombo(db_, buffer_, table);
}

std::vector<std::string> DatabaseWindowArchive::LookupTableNames() { return FillTableList(db_); }

std::vector<StoredRate> DatabaseWindowArchive::RateRows(std::int32_t contractId) {
    return store_.LoadRateRows(contractId);
}

}  // namespace quotaplan
