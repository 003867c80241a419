#include "data/plan_line_rows.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

std::string PlanLinesInsert(int lines) {
    std::string sql =
        "INSERT INTO tabPDA ([ID Leasing], Tipo, Data, Tasso, Importo, QInteressi, QCapitale, "
        "DebitoRes) VALUES ";
    for (int k = 0; k < lines; ++k) {
        sql += k == 0 ? "(?, ?, ?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?, ?, ?)";
    }
    return sql;
}

DbValue TwoDecimals(double value) { return DbValue::Real(RoundAsShown(value, 2)); }

// The line's values for tabPDA's eight columns of PlanLinesInsert, as tabPDA stores it: the
// numbers as the two-decimal literals of FormatSqlValue read back, so a line stores exactly
// what its SQL text would have stored; the maxi and buy-out lines with the rate 0.
std::array<DbValue, 8> PlanLineValues(std::int32_t contractId, const PlanLine& line) {
    // The rate of an instalment or of an event's accrued interest.
    const bool withRate = line.kind != PlanLineKind::Maxi && line.kind != PlanLineKind::Buyout;
    return {DbValue::Integer(contractId),
            DbValue::Text(PlanLineTipo(line.kind)),
            DbValue::Text(line.date.Iso()),
            withRate ? TwoDecimals(line.ratePercent) : DbValue::Integer(0),
            TwoDecimals(line.stored),
            TwoDecimals(line.interest),
            TwoDecimals(line.capital),
            TwoDecimals(line.residual)};
}

// The columns PlanLineValues fills, in its order.
const std::vector<std::string_view>& PlanLineColumns() {
    static const std::vector<std::string_view> columns = {
        "ID Leasing", "Tipo", "Data", "Tasso", "Importo", "QInteressi", "QCapitale", "DebitoRes"};
    return columns;
}

// A date column as stored: ISO text on both engines, any other form read as a Recordset
// reads it; no date gives the empty date.
CalendarDate DateOfColumn(std::string_view text) {
    if (const auto iso = CalendarDate::FromIso(text)) return *iso;
    return DbValue::Text(std::string(text)).ToDate().value_or(CalendarDate());
}

}  // namespace

bool PlanLineWriter::Insert(std::int32_t contractId, const std::vector<PlanLine>& lines,
                            std::size_t from) {
    if (from >= lines.size()) return true;
    // A server takes a plan's lines fastest as one COPY: no statement to run for each.
    if (db_.AppendsRowsInBulk()) {
        std::vector<DbValue> values;
        values.reserve((lines.size() - from) * PlanLineColumns().size());
        for (std::size_t k = from; k < lines.size(); ++k) {
            for (auto& value : PlanLineValues(contractId, lines[k])) values.push_back(std::move(value));
        }
        return db_.AppendRows("tabPDA", PlanLineColumns(), values);
    }
    for (std::size_t first = from; first < lines.size(); first += kPlanLinesPerStatement) {
        const int count =
            static_cast<int>(std::min<std::size_t>(kPlanLinesPerStatement, lines.size() - first));
        auto& insert = inserts_[static_cast<std::size_t>(count - 1)];
        if (!insert) {
            insert.emplace(db_.Prepare(PlanLinesInsert(count)));
            if (!db_.Errors().empty()) {
                insert.reset();
                return false;
            }
        }
        bool bound = true;
        for (int k = 0; k < count && bound; ++k) {
            const auto values = PlanLineValues(contractId, lines[first + k]);
            for (int column = 0; column < 8 && bound; ++column) {
                bound = insert->Bind(8 * k + column + 1, values[static_cast<std::size_t>(column)]);
            }
        }
        if (db_.Errors().empty()) insert->Step();
        if (!db_.Errors().empty()) return false;
    }
    return true;
}

bool PlanLineWriter::DeleteFrom(std::int32_t contractId, std::int32_t firstId) {
    if (!deleteFrom_) {
        deleteFrom_.emplace(db_.Prepare("DELETE FROM tabPDA WHERE [ID Leasing] = ? AND ID >= ?"));
        if (!db_.Errors().empty()) {
            deleteFrom_.reset();
            return false;
        }
    }
    return deleteFrom_->Bind(1, DbValue::Integer(contractId)) &&
           deleteFrom_->Bind(2, DbValue::Integer(firstId)) && deleteFrom_->Step();
}

bool InsertPlanLines(Database& db, std::int32_t contractId, const std::vector<PlanLine>& lines,
                     std::size_t from) {
    return PlanLineWriter(db).Insert(contractId, lines, from);
}

std::vector<StoredPlanRow> ReadStoredPlanRows(Database& db, std::int32_t contractId) {
    std::vector<StoredPlanRow> plan;
    // Read in place, the columns by their place in the SELECT: a re-indexing reads every
    // stored plan of the portfolio.
    RowReader rows(db,
                   "SELECT ID, Tipo, Data, Tasso, Importo, QInteressi, QCapitale, DebitoRes "
                   "FROM tabPDA WHERE [ID Leasing] = " +
                       std::to_string(contractId) + " ORDER BY ID");
    while (rows.Next()) {
        plan.push_back({static_cast<std::int32_t>(rows.Integer(0)), std::string(rows.Text(1)),
                        DateOfColumn(rows.Text(2)), rows.Real(3), rows.Real(4), rows.Real(5),
                        rows.Real(6), rows.Real(7)});
    }
    return plan;
}

}  // namespace quotaplan
