#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/contract_event_store.h"
#include "data/contract_form.h"
#include "data/contract_store.h"
#include "data/portfolio_batch.h"
#include "data/portfolio_reindex.h"
#include "data/reference_rate_values.h"
#include "data/summary_queries.h"
#include "data/usury_thresholds.h"
#include "data/yearly_statement_query.h"
#include "engine/financial_plan.h"
#include "engine/indexation.h"

namespace quotaplan {

// What the main window needs from the archive. The program's implementation works on the
// open database; tests give the window a fixed one.
class WindowArchive {
public:
    virtual ~WindowArchive() = default;

    // The contract tree; nullopt when there is no financing type at all (the tree then
    // keeps what it showed).
    virtual std::optional<std::vector<TreeType>> ContractTree() = 0;

    // The Descrizione texts of a lookup table ("supTipologia", "supTxRiferimento"), in ID
    // order.
    virtual std::vector<std::string> LookupTexts(std::string_view table) = 0;

    // The names of the lookup tables without "sup", for the lookup-table editor.
    virtual std::vector<std::string> LookupTableNames() = 0;

    // The stored "Rata" rows of a contract in date order, for the rate list.
    virtual std::vector<StoredRate> RateRows(std::int32_t contractId) = 0;
    // Every stored plan line of a contract in the order written, for the plan it was saved
    // with. Throws when the query fails.
    virtual std::vector<StoredPlanRow> PlanRows(std::int32_t contractId) = 0;

    // Forgets the last record read (New).
    virtual void ClearRecordBuffer() = 0;

    // Closes the connection; the window calls it once, when it unloads.
    virtual void CloseDatabase() = 0;

    // Contracts, as ContractStore does them (messages shown there).
    virtual SaveResult SaveContract(const ContractForm& form, const FinancialPlan& plan,
                                    const PlanOwner& planOwner, SaveMode saveMode,
                                    std::int32_t contractId) = 0;
    virtual DeleteStatus DeleteContract(std::int32_t contractId) = 0;
    // nullopt when the contract is gone (reported once) or cannot be read (reported).
    virtual std::optional<ContractForm> LoadContract(std::int32_t contractId) = 0;

    // The portfolio summary from the three stored queries. Throws when a query fails.
    virtual PortfolioSummary Summary() = 0;

    // The lookup-table editor's reads. `table` is a full table name ("supTipologia").
    // The Descrizione values in ID order (FillListBox: one empty entry for an empty table).
    virtual std::vector<std::string> LookupValues(std::string_view table) = 0;
    // The ID of the value equal to the text (letter case ignored); nullopt when there is
    // none or the query fails (nothing is shown).
    virtual std::optional<std::int32_t> LookupValueId(std::string_view table,
                                                      std::string_view text) = 0;
    // How many values equal the text (letter case ignored), leaving out the row
    // `excludedId` when given. Throws when the query fails.
    virtual std::int64_t CountLookupValues(std::string_view table, std::string_view text,
                                           std::optional<std::int32_t> excludedId) = 0;
    // How many contracts have the financing type. Throws when the query fails.
    virtual std::int64_t CountContractsOfType(std::int32_t typeId) = 0;
    // How many contracts have the reference rate. Throws when the query fails.
    virtual std::int64_t CountContractsOfReferenceRate(std::int32_t rateId) = 0;
    // The Descrizione of the row with the ID; nullopt when there is none or the query fails
    // (nothing is shown).
    virtual std::optional<std::string> LookupValueText(std::string_view table, std::int32_t id) = 0;

    // The editor's changes, each one statement through ExecuteSql: true when it ran,
    // otherwise the error has been shown.
    virtual bool AddLookupValue(std::string_view table, std::string_view text) = 0;
    virtual bool RenameLookupValue(std::string_view table, std::int32_t id,
                                   std::string_view text) = 0;
    virtual bool DeleteLookupValue(std::string_view table, std::int32_t id) = 0;

    // The dated values of a reference rate, named by its Descrizione (letter case aside),
    // as ReferenceRateValues reads and writes them. The series in date order, empty for a
    // rate without values or not in the archive; throws when the query fails.
    virtual std::vector<IndexValue> ReferenceSeries(std::string_view rateName) = 0;
    // Whether the rate has any value; false for a rate not in the archive or when the query
    // fails (nothing is shown).
    virtual bool ReferenceRateHasValues(std::string_view rateName) = 0;
    // Each value written over its date, in one transaction; a failure has been shown.
    virtual SeriesWrite WriteReferenceValues(std::string_view rateName,
                                             const std::vector<IndexValue>& values) = 0;
    // The value dated `from` moved to the value's date and set to its value.
    virtual SeriesWrite ReplaceReferenceValue(std::string_view rateName, CalendarDate from,
                                              const IndexValue& value) = 0;
    virtual bool DeleteReferenceValue(std::string_view rateName, CalendarDate date) = 0;
    // A "Data;Valore" file imported into the series (ImportIndexSeries).
    virtual SeriesImport ImportReferenceValues(std::string_view rateName,
                                               const std::filesystem::path& file) = 0;

    // The usury thresholds (tabSoglieUsura) and the financing types' usury categories, as
    // UsuryThresholds reads and writes them. Reads throw when the query fails; writes show
    // their failure and leave the table as it was.
    virtual std::vector<StoredUsuryRate> UsuryRates() = 0;
    virtual std::vector<std::string> UsuryCategories() = 0;
    virtual SeriesWrite WriteUsuryRates(const std::vector<UsuryRate>& rates) = 0;
    virtual SeriesWrite ReplaceUsuryRate(std::int32_t id, const UsuryRate& rate) = 0;
    virtual bool DeleteUsuryRate(std::int32_t id) = 0;
    // A "Categoria;Importo da;Importo a;Dal;Al;TEGM" file imported (ImportUsuryThresholds).
    virtual SeriesImport ImportUsuryRates(const std::filesystem::path& file) = 0;
    virtual std::optional<std::string> UsuryCategoryOfType(std::string_view typeName) = 0;
    virtual bool SetUsuryCategoryOfType(std::string_view typeName, std::string_view category) = 0;
    // For the verdict beside the TAEG: the category of the financing type ("" for none) and
    // its rows; nullopt when the archive cannot tell (an archive of an older version opened
    // read-only, without the table), and nothing is shown then.
    struct TypeUsuryRates {
        std::string category;
        std::vector<UsuryRate> rates;
    };
    virtual std::optional<TypeUsuryRates> UsuryRatesOfType(std::string_view typeName) = 0;

    // The events of the stored contracts (ContractEventStore on the open archive); nullptr
    // where the archive keeps none.
    virtual ContractEventStore* ContractEvents() { return nullptr; }
    // The yearly statement of the contracts in scope (ArchiveYearlyTotals), the years in
    // order; none where the archive keeps no plans. Throws when a query fails.
    virtual std::vector<YearFigures> YearlyStatement(const YearlyScope&) { return {}; }
    // The usury thresholds and the financing types' categories, read at once before a
    // portfolio check (ReadUsuryBook). Throws when the query fails.
    virtual UsuryBook UsuryBookOfArchive() = 0;
    // "Aggiorna contratti indicizzati": ReindexPortfolio on the archive.
    virtual ReindexReport ReindexPortfolio(const ReindexScope& scope, CalendarDate today,
                                           const std::function<bool(int, int)>& progress) = 0;
};

}  // namespace quotaplan
