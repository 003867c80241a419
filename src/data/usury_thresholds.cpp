#include "data/usury_thresholds.h"

#include <algorithm>
#include <variant>

#include "common/name_key.h"
#include "data/execute_sql.h"
#include "data/sql_helpers.h"
#include "data/usury_threshold_file.h"
#include "data/write_transaction.h"

namespace quotaplan {
namespace {

// Every column: an archive that could not be upgraded lacks MaggiorazioneMora, and reads on.
constexpr const char* kSelectRows = "SELECT * FROM tabSoglieUsura";
constexpr const char* kInsertRow =
    "INSERT INTO tabSoglieUsura (Categoria, ImportoDa, ImportoA, Dal, Al, TEGM, "
    "MaggiorazioneMora) VALUES (?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kDeleteRow = "DELETE * FROM tabSoglieUsura WHERE ID = ?";

std::string Literal(std::string_view text) { return FormatSqlValue(std::string(text), kTypeText); }

std::optional<Money> BoundOf(const DbValue& value) {
    if (value.IsNull()) return std::nullopt;
    return Money::FromUnits(value.ToDouble());
}

DbValue BoundValue(const std::optional<Money>& bound) {
    return bound ? DbValue::Real(bound->Units()) : DbValue();
}

std::vector<StoredUsuryRate> ReadRows(Database& db, const std::string& sql) {
    std::vector<StoredUsuryRate> rows;
    for (Recordset row(db, sql); !row.Eof(); row.MoveNext()) {
        const auto validFrom = row.Value("Dal").ToDate();
        if (!validFrom) continue;  // in force on no day
        StoredUsuryRate stored;
        stored.id = row.Value("ID").ToLong();
        stored.rate.category = row.Value("Categoria").ToText();
        stored.rate.amountFrom = BoundOf(row.Value("ImportoDa"));
        stored.rate.amountTo = BoundOf(row.Value("ImportoA"));
        stored.rate.validFrom = *validFrom;
        stored.rate.validTo = row.Value("Al").ToDate().value_or(CalendarDate());
        stored.rate.tegm = Percent::FromValue(row.Value("TEGM").ToDouble());
        if (row.HasField("MaggiorazioneMora") && !row.Value("MaggiorazioneMora").IsNull()) {
            stored.rate.defaultSurcharge =
                Percent::FromValue(row.Value("MaggiorazioneMora").ToDouble());
        }
        rows.push_back(std::move(stored));
    }
    // Sorted here rather than by the engine: the engines place Null bounds differently, and
    // compare categories by rules of their own. Each category's rows stay together.
    std::vector<std::pair<std::string, StoredUsuryRate>> keyed;
    for (auto& row : rows) keyed.emplace_back(NameKey(row.rate.category), std::move(row));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        if (a.second.rate.validFrom != b.second.rate.validFrom) {
            return a.second.rate.validFrom > b.second.rate.validFrom;
        }
        return a.second.rate.amountFrom < b.second.rate.amountFrom;
    });
    rows.clear();
    for (auto& [key, row] : keyed) rows.push_back(std::move(row));
    return rows;
}

}  // namespace

std::vector<StoredUsuryRate> UsuryThresholds::All() { return ReadRows(db_, kSelectRows); }

std::vector<UsuryRate> UsuryThresholds::OfCategory(std::string_view category) {
    std::vector<UsuryRate> rates;
    const std::string key = NameKey(category);
    for (auto& stored : All()) {
        if (NameKey(stored.rate.category) == key) rates.push_back(std::move(stored.rate));
    }
    return rates;
}

std::vector<std::string> UsuryThresholds::Categories() {
    std::vector<std::string> categories;
    for (const StoredUsuryRate& stored : All()) {
        if (categories.empty() || !SameName(categories.back(), stored.rate.category)) {
            categories.push_back(stored.rate.category);
        }
    }
    return categories;
}

bool UsuryThresholds::WriteRows(const std::vector<UsuryRate>& rows, SeriesWrite& result) {
    // The rows already stored are read inside the transaction, so that no other writer
    // changes them meanwhile.
    std::vector<StoredUsuryRate> stored = All();
    auto remove = db_.Prepare(kDeleteRow);
    auto insert = db_.Prepare(kInsertRow);
    if (!ReportStatementErrors(db_, boxes_)) return false;
    for (const UsuryRate& rate : rows) {
        bool replaced = false;
        for (auto place = stored.begin(); place != stored.end();) {
            if (!SameUsuryClass(place->rate, rate)) {
                ++place;
                continue;
            }
            if (!(remove.Bind(1, DbValue::Integer(place->id)) && remove.Step())) {
                ReportStatementErrors(db_, boxes_);
                return false;
            }
            replaced = true;
            place = stored.erase(place);
        }
        const DbValue validTo =
            rate.validTo.IsZero() ? DbValue() : DbValue::Text(rate.validTo.Iso());
        if (!(insert.Bind(1, DbValue::Text(rate.category)) &&
              insert.Bind(2, BoundValue(rate.amountFrom)) &&
              insert.Bind(3, BoundValue(rate.amountTo)) &&
              insert.Bind(4, DbValue::Text(rate.validFrom.Iso())) && insert.Bind(5, validTo) &&
              insert.Bind(6, DbValue::Real(rate.tegm.Value())) &&
              insert.Bind(7, rate.defaultSurcharge ? DbValue::Real(rate.defaultSurcharge->Value())
                                                   : DbValue()) &&
              insert.Step())) {
            ReportStatementErrors(db_, boxes_);
            return false;
        }
        ++(replaced ? result.replaced : result.added);
    }
    return true;
}

SeriesWrite UsuryThresholds::Write(const std::vector<UsuryRate>& rows) {
    SeriesWrite result;
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began() || !WriteRows(rows, result)) return SeriesWrite();
    result.written = transaction.Commit();
    return result;
}

SeriesWrite UsuryThresholds::Replace(std::int32_t id, const UsuryRate& rate) {
    SeriesWrite result;
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began() ||
        !ExecuteSql(db_, boxes_, "DELETE * FROM tabSoglieUsura WHERE ID = " + std::to_string(id)) ||
        !WriteRows({rate}, result)) {
        return SeriesWrite();
    }
    // The row changed in its own place counts as replaced, not as new.
    result = {false, 0, 1};
    result.written = transaction.Commit();
    return result;
}

bool UsuryThresholds::Delete(std::int32_t id) {
    return ExecuteSql(db_, boxes_, "DELETE * FROM tabSoglieUsura WHERE ID = " + std::to_string(id));
}

std::optional<std::string> UsuryThresholds::CategoryOfType(std::string_view typeName) {
    const std::int32_t id = GetIdByDescription(db_, "supTipologia", typeName);
    if (id == 0) return std::nullopt;
    Recordset row(db_, "SELECT CategoriaUsura FROM supTipologia WHERE ID = " + std::to_string(id));
    if (row.Eof()) return std::nullopt;
    std::string category = row.Value(0).ToText();
    if (category.empty()) return std::nullopt;
    return category;
}

bool UsuryThresholds::SetCategoryOfType(std::string_view typeName, std::string_view category) {
    const std::string value = category.empty() ? std::string("Null") : Literal(category);
    std::int32_t id = 0;
    try {
        id = GetIdByDescription(db_, "supTipologia", typeName);
    } catch (const DatabaseError& failure) {
        ShowMessage(boxes_, ErrorLine(failure.Error()) + "\n", "");
        return false;
    }
    return ExecuteSql(
        db_, boxes_,
        "UPDATE supTipologia SET CategoriaUsura = " + value + " WHERE ID = " + std::to_string(id));
}

SeriesImport ImportUsuryThresholds(UsuryThresholds& thresholds, const std::filesystem::path& file) {
    SeriesImport outcome;
    auto content = ReadUsuryThresholdFile(file);
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&content)) {
        outcome.status = SeriesImport::Status::Refused;
        outcome.message = refusal->message;
        return outcome;
    }
    const auto& rows = std::get<std::vector<UsuryRate>>(content);
    outcome.write = thresholds.Write(rows);
    if (!outcome.write.written) return outcome;
    outcome.status = SeriesImport::Status::Imported;
    const auto counted = [](std::size_t count, const char* one, const char* many) {
        return std::to_string(count) + " " + (count == 1 ? one : many);
    };
    outcome.message = (rows.size() == 1 ? "Importata " : "Importate ") +
                      counted(rows.size(), "soglia d'usura", "soglie d'usura") + ": " +
                      counted(outcome.write.added, "nuova", "nuove") + ", " +
                      counted(outcome.write.replaced, "sostituita", "sostituite") + ".";
    return outcome;
}

}  // namespace quotaplan
