#include "data/reference_rate_values.h"

#include <array>
#include <charconv>
#include <variant>

#include "data/execute_sql.h"
#include "data/index_series_file.h"
#include "data/sql_helpers.h"
#include "data/write_transaction.h"

namespace quotaplan {
namespace {

std::string DateLiteral(CalendarDate date) { return FormatSqlValue(SqlValue(date), kTypeDate); }

// The value with every decimal it has ("3.856", "-0.125"): the two-decimal literal of a
// Single column would cut the third decimal the Euribor is published with.
std::string PercentLiteral(double percent) {
    std::array<char, 64> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), percent, std::chars_format::fixed)
            .ptr;
    return std::string(text.data(), end);
}

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

bool ReferenceRateValues::Insert(std::int32_t rateId, const IndexValue& value) {
    return ExecuteSql(
        db_, boxes_,
        "INSERT INTO tabValTxRiferimento ([ID TxRiferimento], Data, Valore) VALUES (" +
            std::to_string(rateId) + ", " + DateLiteral(value.date) + ", " +
            PercentLiteral(value.percent) + ")");
}

SeriesWrite ReferenceRateValues::Write(std::int32_t rateId, const std::vector<IndexValue>& values) {
    SeriesWrite result;
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began()) return result;
    for (const IndexValue& value : values) {
        bool existed = false;
        if (!DeleteDate(rateId, value.date, existed) || !Insert(rateId, value)) return result;
        ++(existed ? result.replaced : result.added);
    }
    result.written = transaction.Commit();
    return result;
}

SeriesWrite ReferenceRateValues::Replace(std::int32_t rateId, CalendarDate from,
                                         const IndexValue& value) {
    SeriesWrite result;
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began()) return result;
    bool fromExisted = false;
    bool targetExisted = false;
    if (!DeleteDate(rateId, from, fromExisted) || !DeleteDate(rateId, value.date, targetExisted) ||
        !Insert(rateId, value)) {
        return result;
    }
    const bool overwrote = targetExisted || (from == value.date && fromExisted);
    ++(overwrote ? result.replaced : result.added);
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
