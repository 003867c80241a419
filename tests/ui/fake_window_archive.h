#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>

#include "ui/window_archive.h"

namespace quotaplan::test {

// A fixed archive: two financing types, one with two contracts; counts what is asked of it.
class FakeWindowArchive : public WindowArchive {
public:
    std::optional<std::vector<TreeType>> ContractTree() override {
        ++treeLoads;
        if (failTree) throw std::runtime_error("Tabella 'supTipologia' non trovata.");
        return tree;
    }
    std::vector<std::string> LookupTexts(std::string_view table) override {
        return table == "supTipologia" ? financingTypes : referenceRates;
    }
    std::vector<std::string> LookupTableNames() override { return {"Tipologia", "TxRiferimento"}; }
    std::vector<StoredRate> RateRows(std::int32_t) override { return rates; }
    std::vector<StoredPlanRow> PlanRows(std::int32_t) override { return planRows; }
    void ClearRecordBuffer() override { ++bufferClears; }
    void CloseDatabase() override { ++closes; }

    // The archive commands are tried on the real archive (test_archive_window); here they
    // record what was asked and answer as scripted.
    SaveResult SaveContract(const ContractForm& form, const FinancialPlan&, const PlanOwner&,
                            SaveMode mode, std::int32_t contractId) override {
        saved.push_back(form);
        return {SaveStatus::Saved, mode == SaveMode::NewContract ? 99 : contractId, false};
    }
    DeleteStatus DeleteContract(std::int32_t contractId) override {
        deleted.push_back(contractId);
        return contractId == 0 ? DeleteStatus::NothingSelected : DeleteStatus::Deleted;
    }
    std::optional<ContractForm> LoadContract(std::int32_t) override { return stored; }
    PortfolioSummary Summary() override {
        if (failSummary) throw std::runtime_error("Query 'qryRLeaMese' non trovata.");
        return summary;
    }
    std::vector<std::string> LookupValues(std::string_view table) override {
        return LookupTexts(table);
    }
    std::optional<std::int32_t> LookupValueId(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::int64_t CountLookupValues(std::string_view, std::string_view,
                                   std::optional<std::int32_t>) override {
        if (failChecks) throw std::runtime_error("Tabella non trovata.");
        return 0;
    }
    std::int64_t CountContractsOfType(std::int32_t) override {
        if (failChecks) throw std::runtime_error("Tabella non trovata.");
        return 0;
    }
    std::int64_t CountContractsOfReferenceRate(std::int32_t) override {
        if (failChecks) throw std::runtime_error("Tabella non trovata.");
        return 0;
    }
    // The ID of a value is its place in its list, from 1.
    std::optional<std::string> LookupValueText(std::string_view table, std::int32_t id) override {
        const std::vector<std::string> values = LookupTexts(table);
        if (id < 1 || id > static_cast<std::int32_t>(values.size())) return std::nullopt;
        return values[static_cast<std::size_t>(id - 1)];
    }
    bool AddLookupValue(std::string_view, std::string_view) override { return true; }
    bool RenameLookupValue(std::string_view, std::int32_t, std::string_view) override {
        return true;
    }
    bool DeleteLookupValue(std::string_view, std::int32_t) override { return true; }

    // The reference rates' values live in `series`; the editor's writes are tried on the
    // real archive (test_indexing), here they change the map as the archive would.
    std::vector<IndexValue> ReferenceSeries(std::string_view rateName) override {
        ++seriesReads;
        const auto found = series.find(std::string(rateName));
        return found == series.end() ? std::vector<IndexValue>() : found->second;
    }
    bool ReferenceRateHasValues(std::string_view rateName) override {
        const auto found = series.find(std::string(rateName));
        return found != series.end() && !found->second.empty();
    }
    SeriesWrite WriteReferenceValues(std::string_view rateName,
                                     const std::vector<IndexValue>& values) override {
        SeriesWrite write{true, 0, 0};
        for (const IndexValue& value : values) {
            ++(Remove(rateName, value.date) ? write.replaced : write.added);
            auto& rate = series[std::string(rateName)];
            rate.push_back(value);
            std::sort(rate.begin(), rate.end(),
                      [](const IndexValue& a, const IndexValue& b) { return a.date < b.date; });
        }
        return write;
    }
    SeriesWrite ReplaceReferenceValue(std::string_view rateName, CalendarDate from,
                                      const IndexValue& value) override {
        Remove(rateName, from);
        return WriteReferenceValues(rateName, {value});
    }
    bool DeleteReferenceValue(std::string_view rateName, CalendarDate date) override {
        Remove(rateName, date);
        return true;
    }
    SeriesImport ImportReferenceValues(std::string_view, const std::filesystem::path&) override {
        return {SeriesImport::Status::Refused, "Importazione non provata qui.", {}};
    }
    // The usury table lives in `usuryRates`, the types' categories in `usuryCategories`;
    // the writes are tried on the real archive (test_figures_window).
    std::vector<StoredUsuryRate> UsuryRates() override { return usuryRates; }
    std::vector<std::string> UsuryCategories() override {
        std::vector<std::string> categories;
        for (const auto& stored : usuryRates) {
            if (std::find(categories.begin(), categories.end(), stored.rate.category) ==
                categories.end()) {
                categories.push_back(stored.rate.category);
            }
        }
        return categories;
    }
    SeriesWrite WriteUsuryRates(const std::vector<UsuryRate>& rates) override {
        for (const UsuryRate& rate : rates) usuryRates.push_back({++lastUsuryId, rate});
        return {true, static_cast<int>(rates.size()), 0};
    }
    SeriesWrite ReplaceUsuryRate(std::int32_t id, const UsuryRate& rate) override {
        DeleteUsuryRate(id);
        usuryRates.push_back({id, rate});
        return {true, 0, 1};
    }
    bool DeleteUsuryRate(std::int32_t id) override {
        std::erase_if(usuryRates, [id](const StoredUsuryRate& s) { return s.id == id; });
        return true;
    }
    SeriesImport ImportUsuryRates(const std::filesystem::path&) override {
        return {SeriesImport::Status::Refused, "Importazione non provata qui.", {}};
    }
    std::optional<std::string> UsuryCategoryOfType(std::string_view typeName) override {
        const auto found = usuryCategories.find(std::string(typeName));
        if (found == usuryCategories.end()) return std::nullopt;
        return found->second;
    }
    bool SetUsuryCategoryOfType(std::string_view typeName, std::string_view category) override {
        usuryCategories[std::string(typeName)] = std::string(category);
        return true;
    }
    std::optional<TypeUsuryRates> UsuryRatesOfType(std::string_view typeName) override {
        TypeUsuryRates found{UsuryCategoryOfType(typeName).value_or(std::string()), {}};
        for (const auto& stored : usuryRates) {
            if (stored.rate.category == found.category) found.rates.push_back(stored.rate);
        }
        return found;
    }
    UsuryBook UsuryBookOfArchive() override {
        UsuryBook book;
        for (const auto& stored : usuryRates) {
            if (book.categories.empty() || book.categories.back().name != stored.rate.category) {
                book.categories.push_back({stored.rate.category, {}});
            }
            book.categories.back().rows.push_back(stored.rate);
        }
        for (const auto& type : financingTypes) {
            book.types.push_back({type, UsuryCategoryOfType(type).value_or(std::string())});
        }
        return book;
    }
    // Re-indexing tells `reindexContracts` contracts done, stopping where asked, and answers
    // with `reindexed` (its contracts as many as were done).
    ReindexReport ReindexPortfolio(const ReindexScope&, CalendarDate,
                                   const std::function<bool(int, int)>& progress) override {
        ++reindexRuns;
        ReindexReport report = reindexed;
        for (int done = 1; done <= reindexContracts; ++done) {
            report.contracts = done;
            if (onReindexProgress) onReindexProgress(done);
            if (!progress(done, reindexContracts)) {
                report.cancelled = done < reindexContracts;
                break;
            }
        }
        return report;
    }

    bool Remove(std::string_view rateName, CalendarDate date) {
        auto& rate = series[std::string(rateName)];
        return std::erase_if(rate, [date](const IndexValue& v) { return v.date == date; }) > 0;
    }

    std::optional<std::vector<TreeType>> tree =
        std::vector<TreeType>{{1, "Leasing", {{7, "Fresatrice"}, {9, "Tornio"}}}, {2, "Mutuo", {}}};
    std::vector<std::string> financingTypes = {"Leasing", "Mutuo", "Credito al consumo"};
    std::vector<std::string> referenceRates = {"Euribor 3 mesi", "Euribor 6 mesi"};
    std::vector<StoredRate> rates;
    std::vector<StoredPlanRow> planRows;
    std::map<std::string, std::vector<IndexValue>> series;
    std::vector<StoredUsuryRate> usuryRates;
    std::map<std::string, std::string> usuryCategories;
    int reindexContracts = 0;
    ReindexReport reindexed;
    int reindexRuns = 0;
    std::function<void(int done)> onReindexProgress;
    std::int32_t lastUsuryId = 0;
    int seriesReads = 0;
    std::optional<ContractForm> stored;
    PortfolioSummary summary;
    std::vector<ContractForm> saved;
    std::vector<std::int32_t> deleted;
    bool failTree = false;
    bool failSummary = false;
    bool failChecks = false;
    int treeLoads = 0;
    int bufferClears = 0;
    int closes = 0;
};

}  // namespace quotaplan::test
