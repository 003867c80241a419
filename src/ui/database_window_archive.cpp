#include "ui/database_window_archive.h"

#include <string>

#include "common/message_boxes.h"
#include "data/execute_sql.h"
#include "data/lookup_lists.h"

namespace quotaplan {
namespace {

std::string Literal(std::string_view text) { return FormatSqlValue(std::string(text), kTypeText); }

// The editor compares with "=", which on this archive ignores letter case as Jet's Like
// did, but takes "%" and "_" in a value as themselves rather than as wildcards.
std::string WhereDescription(std::string_view table, std::string_view text) {
    return " FROM " + std::string(table) + " WHERE Descrizione = " + Literal(text);
}

std::int64_t CountOf(Database& db, const std::string& sql) {
    Recordset rows(db, sql);
    return rows.Eof() ? 0 : static_cast<std::int64_t>(rows.Value("a").ToDouble());
}

}  // namespace

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

PortfolioSummary DatabaseWindowArchive::Summary() {
    return ReadPortfolioSummary(db_);
}

std::vector<std::string> DatabaseWindowArchive::LookupValues(std::string_view table) {
    return FillListBox(db_, buffer_, table);
}

std::optional<std::int32_t> DatabaseWindowArchive::LookupValueId(std::string_view table,
                                                                 std::string_view text) {
    try {
        Recordset rows(db_, "SELECT ID" + WhereDescription(table, text));
        if (rows.Eof()) return std::nullopt;
        return static_cast<std::int32_t>(rows.Value("ID").ToDouble());
    } catch (const DatabaseError&) {
        db_.ClearErrors();
        return std::nullopt;
    }
}

std::int64_t DatabaseWindowArchive::CountLookupValues(std::string_view table, std::string_view text,
                                                      std::optional<std::int32_t> excludedId) {
    std::string sql = "SELECT COUNT(ID) as A" + WhereDescription(table, text);
    if (excludedId) sql += " and id <> " + std::to_string(*excludedId);
    return CountOf(db_, sql);
}

std::int64_t DatabaseWindowArchive::CountContractsOfType(std::int32_t typeId) {
    return CountOf(db_, "SELECT COUNT(ID) as A FROM tabContratti WHERE [ID Tipologia] = " +
                            std::to_string(typeId));
}

std::int64_t DatabaseWindowArchive::CountContractsOfReferenceRate(std::int32_t rateId) {
    return CountOf(db_, "SELECT COUNT(ID) as A FROM tabContratti WHERE [ID TassoRif] = " +
                            std::to_string(rateId));
}

std::optional<std::string> DatabaseWindowArchive::LookupValueText(std::string_view table,
                                                                 std::int32_t id) {
    try {
        Recordset rows(db_, "SELECT Descrizione FROM " + std::string(table) +
                                " WHERE ID = " + std::to_string(id));
        if (rows.Eof()) return std::nullopt;
        return rows.Value(0).ToText();
    } catch (const DatabaseError&) {
        db_.ClearErrors();
        return std::nullopt;
    }
}

bool DatabaseWindowArchive::AddLookupValue(std::string_view table, std::string_view text) {
    return ExecuteSql(
        db_, boxes_,
        "INSERT INTO " + std::string(table) + " (Descrizione) VALUES (" + Literal(text) + ")");
}

bool DatabaseWindowArchive::RenameLookupValue(std::string_view table, std::int32_t id,
                                              std::string_view text) {
    return ExecuteSql(db_, boxes_,
                      "UPDATE " + std::string(table) + " SET Descrizione = " + Literal(text) +
                          " WHERE ID = " + std::to_string(id));
}

bool DatabaseWindowArchive::DeleteLookupValue(std::string_view table, std::int32_t id) {
    return ExecuteSql(db_, boxes_,
                      "DELETE * FROM " + std::string(table) + " WHERE ID = " + std::to_string(id));
}

std::int32_t DatabaseWindowArchive::ReferenceRateId(std::string_view rateName, bool reportMissing) {
    const std::int32_t id = GetIdByDescription(db_, kReferenceRateTable, rateName);
    if (id == 0 && reportMissing) {
        ShowMessage(
            boxes_,
            "Il tasso di riferimento \"" + std::string(rateName) + "\" non è più nell'archivio.",
            "Errore");
    }
    return id;
}

std::vector<IndexValue> DatabaseWindowArchive::ReferenceSeries(std::string_view rateName) {
    const std::int32_t id = ReferenceRateId(rateName, false);
    return id == 0 ? std::vector<IndexValue>() : referenceValues_.Series(id);
}

bool DatabaseWindowArchive::ReferenceRateHasValues(std::string_view rateName) {
    try {
        const std::int32_t id = ReferenceRateId(rateName, false);
        return id != 0 && referenceValues_.HasValues(id);
    } catch (const DatabaseError&) {
        db_.ClearErrors();
        return false;
    }
}

SeriesWrite DatabaseWindowArchive::WriteReferenceValues(std::string_view rateName,
                                                        const std::vector<IndexValue>& values) {
    const std::int32_t id = ReferenceRateId(rateName, true);
    return id == 0 ? SeriesWrite() : referenceValues_.Write(id, values);
}

SeriesWrite DatabaseWindowArchive::ReplaceReferenceValue(std::string_view rateName,
                                                         CalendarDate from,
                                                         const IndexValue& value) {
    const std::int32_t id = ReferenceRateId(rateName, true);
    return id == 0 ? SeriesWrite() : referenceValues_.Replace(id, from, value);
}

bool DatabaseWindowArchive::DeleteReferenceValue(std::string_view rateName, CalendarDate date) {
    const std::int32_t id = ReferenceRateId(rateName, true);
    return id != 0 && referenceValues_.Delete(id, date);
}

SeriesImport DatabaseWindowArchive::ImportReferenceValues(std::string_view rateName,
                                                          const std::filesystem::path& file) {
    const std::int32_t id = ReferenceRateId(rateName, true);
    if (id == 0) return SeriesImport();
    return ImportIndexSeries(referenceValues_, id, rateName, file);
}

std::optional<WindowArchive::TypeUsuryRates> DatabaseWindowArchive::UsuryRatesOfType(
    std::string_view typeName) {
    try {
        TypeUsuryRates found;
        found.category = usury_.CategoryOfType(typeName).value_or(std::string());
        if (!found.category.empty()) found.rates = usury_.OfCategory(found.category);
        return found;
    } catch (const DatabaseError&) {
        db_.ClearErrors();
        return std::nullopt;
    }
}

}  // namespace quotaplan
