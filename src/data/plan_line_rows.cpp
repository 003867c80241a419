#include "data/plan_line_rows.h"

#include <algorithm>
#include <optional>
#include <string>

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

// A date column as stored: ISO text on both engines, any other form read as a Recordset
// reads it; no date gives the empty date.
CalendarDate DateOfColumn(std::string_view text) {
    if (const auto iso = CalendarDate::FromIso(text)) return *iso;
    return DbValue::Text(std::string(text)).ToDate().value_or(CalendarDate());
}

}  // namespace

bool PlanLineWriter::Insert(std::int32_t contractId, const std::vector<PlanLine>& lines,
                            std::size_t from) {
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
        for (int k = 0; k < count; ++k) {
            if (!BindPlanLine(*insert, 8 * k + 1, contractId, lines[first + k])) break;
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
