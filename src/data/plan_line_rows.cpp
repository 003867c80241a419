#include "data/plan_line_rows.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/number_text.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

// Plan lines are written with their values bound, many lines a statement: a plan of 360
// instalments is six runs of one prepared statement, not 362 texts to build, rewrite and
// prepare, nor 362 trips to a database server.
constexpr int kPlanLinesPerStatement = 64;

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

// Binds the line to the statement's eight parameters from `first` on, as tabPDA stores it:
// the numbers as the two-decimal literals of FormatSqlValue read back, so a line stores
// exactly what its SQL text would have stored; the maxi and buy-out lines with the rate 0.
bool BindPlanLine(PreparedStatement& insert, int first, std::int32_t contractId,
                  const PlanLine& line) {
    // The rate of an instalment or of an event's accrued interest.
    const bool withRate = line.kind != PlanLineKind::Maxi && line.kind != PlanLineKind::Buyout;
    return insert.Bind(first, DbValue::Integer(contractId)) &&
           insert.Bind(first + 1, DbValue::Text(PlanLineTipo(line.kind))) &&
           insert.Bind(first + 2, DbValue::Text(line.date.Iso())) &&
           insert.Bind(first + 3, withRate ? TwoDecimals(line.ratePercent) : DbValue::Integer(0)) &&
           insert.Bind(first + 4, TwoDecimals(line.stored)) &&
           insert.Bind(first + 5, TwoDecimals(line.interest)) &&
           insert.Bind(first + 6, TwoDecimals(line.capital)) &&
           insert.Bind(first + 7, TwoDecimals(line.residual));
}

}  // namespace

bool InsertPlanLines(Database& db, std::int32_t contractId, const std::vector<PlanLine>& lines,
                     std::size_t from) {
    // One statement for the full runs, one for the lines left over.
    std::optional<PreparedStatement> full;
    for (std::size_t first = from; first < lines.size(); first += kPlanLinesPerStatement) {
        const int count =
            static_cast<int>(std::min<std::size_t>(kPlanLinesPerStatement, lines.size() - first));
        std::optional<PreparedStatement> rest;
        auto& insert = count == kPlanLinesPerStatement ? full : rest;
        if (!insert) {
            insert.emplace(db.Prepare(PlanLinesInsert(count)));
            if (!db.Errors().empty()) return false;
        }
        for (int k = 0; k < count; ++k) {
            if (!BindPlanLine(*insert, 8 * k + 1, contractId, lines[first + k])) break;
        }
        if (db.Errors().empty()) insert->Step();
        if (!db.Errors().empty()) return false;
    }
    return true;
}

std::vector<StoredPlanRow> ReadStoredPlanRows(Database& db, std::int32_t contractId) {
    std::vector<StoredPlanRow> plan;
    Recordset rows(db,
                   "SELECT ID, Tipo, Data, Tasso, Importo, QInteressi, QCapitale, DebitoRes "
                   "FROM tabPDA WHERE [ID Leasing] = " +
                       std::to_string(contractId) + " ORDER BY ID");
    for (; !rows.Eof(); rows.MoveNext()) {
        plan.push_back({rows.Value("ID").ToLong(), NullToEmpty(rows.Value("Tipo")),
                        rows.Value("Data").ToDate().value_or(CalendarDate()),
                        rows.Value("Tasso").ToDouble(), rows.Value("Importo").ToDouble(),
                        rows.Value("QInteressi").ToDouble(), rows.Value("QCapitale").ToDouble(),
                        rows.Value("DebitoRes").ToDouble()});
    }
    return plan;
}

}  // namespace quotaplan
