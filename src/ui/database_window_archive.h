#pragma once

#include "data/contract_store.h"
#include "data/database.h"
#include "data/sql_helpers.h"
#include "ui/window_archive.h"

namespace quotaplan {

class MessageBoxes;

// The main window's archive on the program's one open connection. The connection is
// closed when the window unloads (CloseDatabase) and refuses every statement afterwards.
class DatabaseWindowArchive : public WindowArchive {
public:
    DatabaseWindowArchive(Database& db, MessageBoxes& boxes)
        : db_(db), boxes_(boxes), store_(db, boxes), referenceValues_(db, boxes) {}

    std::optional<std::vector<TreeType>> ContractTree() override;
    std::vector<std::string> LookupTexts(std::string_view table) override;
    std::vector<std::string> LookupTableNames() override;
    std::vector<StoredRate> RateRows(std::int32_t contractId) override;
    std::vector<StoredPlanRow> PlanRows(std::int32_t contractId) override {
        return store_.LoadPlanRows(contractId);
    }
    void ClearRecordBuffer() override { buffer_.Clear(); }
    void CloseDatabase() override { db_.Close(); }

    SaveResult SaveContract(const ContractForm& form, const FinancialPlan& plan,
                            const PlanOwner& planOwner, SaveMode saveMode,
                            std::int32_t contractId) override {
        return store_.Save(form, plan, planOwner, saveMode, contractId);
    }
    DeleteStatus DeleteContract(std::int32_t contractId) override {
        return store_.Delete(contractId);
    }
    std::optional<ContractForm> LoadContract(std::int32_t contractId) override {
        return store_.Load(contractId);
    }
    PortfolioSummary Summary() override;

    std::vector<std::string> LookupValues(std::string_view table) override;
    std::optional<std::int32_t> LookupValueId(std::string_view table,
                                              std::string_view text) override;
    std::int64_t CountLookupValues(std::string_view table, std::string_view text,
                                   std::optional<std::int32_t> excludedId) override;
    std::int64_t CountContractsOfType(std::int32_t typeId) override;
    std::int64_t CountContractsOfReferenceRate(std::int32_t rateId) override;
    std::optional<std::string> LookupValueText(std::string_view table, std::int32_t id) override;
    bool AddLookupValue(std::string_view table, std::string_view text) override;
    bool RenameLookupValue(std::string_view table, std::int32_t id, std::string_view text) override;
    bool DeleteLookupValue(std::string_view table, std::int32_t id) override;

    std::vector<IndexValue> ReferenceSeries(std::string_view rateName) override;
    bool ReferenceRateHasValues(std::string_view rateName) override;
    SeriesWrite WriteReferenceValues(std::string_view rateName,
                                     const std::vector<IndexValue>& values) override;
    SeriesWrite ReplaceReferenceValue(std::string_view rateName, CalendarDate from,
                                      const IndexValue& value) override;
    bool DeleteReferenceValue(std::string_view rateName, CalendarDate date) override;
    SeriesImport ImportReferenceValues(std::string_view rateName,
                                       const std::filesystem::path& file) override;

    std::vector<StoredUsuryRate> UsuryRates() override { return usury_.All(); }
    std::vector<std::string> UsuryCategories() override { return usury_.Categories(); }
    SeriesWrite WriteUsuryRates(const std::vector<UsuryRate>& rates) override {
        return usury_.Write(rates);
    }
    SeriesWrite ReplaceUsuryRate(std::int32_t id, const UsuryRate& rate) override {
        return usury_.Replace(id, rate);
    }
    bool DeleteUsuryRate(std::int32_t id) override { return usury_.Delete(id); }
    SeriesImport ImportUsuryRates(const std::filesystem::path& file) override {
        return ImportUsuryThresholds(usury_, file);
    }
    std::optional<std::string> UsuryCategoryOfType(std::string_view typeName) override {
        return usury_.CategoryOfType(typeName);
    }
    bool SetUsuryCategoryOfType(std::string_view typeName, std::string_view category) override {
        return usury_.SetCategoryOfType(typeName, category);
    }
    std::optional<TypeUsuryRates> UsuryRatesOfType(std::string_view typeName) override;
    ContractEventStore* ContractEvents() override { return &events_; }
    UsuryBook UsuryBookOfArchive() override { return ReadUsuryBook(db_); }
    std::vector<YearFigures> YearlyStatement(const YearlyScope& scope) override {
        return ArchiveYearlyTotals(db_, scope).Years();
    }
    ReindexReport ReindexPortfolio(const ReindexScope& scope, CalendarDate today,
                                   const std::function<bool(int, int)>& progress) override {
        return quotaplan::ReindexPortfolio(db_, scope, today, progress);
    }

private:
    Database& db_;
    MessageBoxes& boxes_;
    // The ID of the reference rate; 0 when it is not in the archive, which is then shown.
    std::int32_t ReferenceRateId(std::string_view rateName, bool reportMissing);

    ContractStore store_;
    ReferenceRateValues referenceValues_;
    UsuryThresholds usury_{db_, boxes_};
    RecordBuffer buffer_;
    ContractEventStore events_{db_};
};

}  // namespace quotaplan
