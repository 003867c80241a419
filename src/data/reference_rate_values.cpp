#include "data/reference_rate_values.h"

#include <variant>

#include "data/execute_sql.h"
#include "data/index_series_file.h"
#include "data/sql_helpers.h"
#include "data/write_transaction.h"

namespace quotaplan {
namespace {

std::string DateLiteral(CalendarDate date) { return FormatSqlValue(SqlValue(date), kTypeDate); }

// The statements of a write, prepared once for all its values. The value is bound as the
// number it is, with every decimal it has (a Single column's two-decimal literal would cut
// the third decimal the Euribor is published with).
constexpr const char* kDeleteDate =
    "DELETE * FROM tabValTxRiferimento WHERE [ID TxRiferimento] = ? AND Data = ?";
constexpr const char* kInsertValue =
    "INSERT INTO tabValTxRiferimento ([ID TxRiferimento], Data, Valore) VALUES (?, ?, ?)";

std::string OfRate(std::int32_t rateId) {
    return " FROM tabValTxRiferimento WHERE [ID TxRiferimento] = " + std::to_string(rateId);
}

}  // namespace

std::vector<IndexValue> ReferenceRateValues::Series(std::int32_t rateId) {
    std::vector<IndexValue> series;
    Recordset rows(db_, "SELECT Data, Valore" + OfRate(rateId) + " ORDER BY Data");
    for (; !rows.Eof(); rows.MoveNext()) {
        const DbValue& value = rows.Value("Valore");
        const auto date = rows.Value("Data").ToDate();
        if (!date || value.IsNull()) continue;
        series.push_back({*date, value.ToDouble()});
    }
    return series;
}

bool ReferenceRateValues::HasValues(std::int32_t rateId) {
    Recordset rows(
        db_, "SELECT TOP 1 Data" + OfRate(rateId) + " AND Data Is Not Null AND Valore Is Not Null");
    return !rows.Eof();
}

bool ReferenceRateValues::DeleteDate(std::int32_t rateId, CalendarDate date, bool& existed) {
    const bool ran =
        ExecuteSql(db_, boxes_, "DELETE *" + OfRate(rateId) + " AND Data = " + DateLiteral(date));
    existed = ran && db_.Changes() > 0;
    return ran;
}

bool ReferenceRateValues::WriteValues(std::int32_t rateId, const std::vector<IndexValue>& values,
                                      SeriesWrite& result) {
    auto remove = db_.Prepare(kDeleteDate);
    auto insert = db_.Prepare(kInsertValue);
    if (!ReportStatementErrors(db_, boxes_)) return false;
    const DbValue rate = DbValue::Integer(rateId);
    for (const IndexValue& value : values) {
        const DbValue date = DbValue::Text(value.date.Iso());
        if (!(remove.Bind(1, rate) && remove.Bind(2, date) && remove.Step())) {
            ReportStatementErrors(db_, boxes_);
            return false;
        }
        const bool existed = db_.Changes() > 0;
        if (!(insert.Bind(1, rate) && insert.Bind(2, date) &&
              insert.Bind(3, DbValue::Real(value.percent)) && insert.Step())) {
            ReportStatementErrors(db_, boxes_);
            return false;
        }
        ++(existed ? result.replaced : result.added);
    }
    return true;
}

SeriesWrite ReferenceRateValues::Write(std::int32_t rateId, const std::vector<IndexValue>& values) {
    SeriesWrite result;
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began() || !WriteValues(rateId, values, result)) return SeriesWrite();
    result.written = transaction.Commit();
    return result;
}

SeriesWrite ReferenceRateValues::Replace(std::int32_t rateId, CalendarDate from,
                                         const IndexValue& value) {
    SeriesWrite result;
    WriteTransaction transaction(db_, boxes_);
    bool fromExisted = false;
    if (!transaction.Began() || !DeleteDate(rateId, from, fromExisted) ||
        !WriteValues(rateId, {value}, result)) {
        return SeriesWrite();
    }
    // The value given a new value on its own date counts as replaced, not as new.
    if (from == value.date && fromExisted) result = {false, 0, 1};
    result.written = transaction.Commit();
    return result;
}

bool ReferenceRateValues::Delete(std::int32_t rateId, CalendarDate date) {
    bool existed = false;
    return DeleteDate(rateId, date, existed);
}

SeriesImport ImportIndexSeries(ReferenceRateValues& values, std::int32_t rateId,
                               std::string_view rateName, const std::filesystem::path& file) {
    SeriesImport outcome;
    auto content = ReadIndexSeriesFile(file);
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&content)) {
        outcome.status = SeriesImport::Status::Refused;
        outcome.message = refusal->message;
        return outcome;
    }
    const auto& series = std::get<std::vector<IndexValue>>(content);
    outcome.write = values.Write(rateId, series);
    if (!outcome.write.written) return outcome;
    outcome.status = SeriesImport::Status::Imported;
    const auto counted = [](std::size_t count, const char* one, const char* many) {
        return std::to_string(count) + " " + (count == 1 ? one : many);
    };
    outcome.message = (series.size() == 1 ? "Importato " : "Importati ") +
                      counted(series.size(), "valore", "valori") + " di \"" +
                      std::string(rateName) +
                      "\": " + counted(outcome.write.added, "nuovo", "nuovi") + ", " +
                      counted(outcome.write.replaced, "sostituito", "sostituiti") + ".";
    return outcome;
}

}  // namespace quotaplan
