#include "data/yearly_statement_query.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/archive_upgrade.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

Money Amount(const DbValue& value) { return Money::FromUnits(value.ToDouble()); }

// The WHERE clause on a column holding the contract's ID.
std::string ScopeFilter(const YearlyScope& scope, const std::string& column) {
    if (scope.contractId) return " WHERE " + column + " = " + std::to_string(*scope.contractId);
    if (scope.typeId) {
        return " WHERE " + column + " IN (SELECT ID FROM tabContratti WHERE [ID Tipologia] = " +
               std::to_string(*scope.typeId) + ")";
    }
    return {};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The year of a date as the archive holds it: an ISO text read at once, anything else as
// DbValue reads a date; 0 for no date.
int YearOfDate(std::string_view text) {
    if (text.size() >= 10 && text[4] == '-' && IsDigit(text[0]) && IsDigit(text[1]) &&
        IsDigit(text[2]) && IsDigit(text[3])) {
        return (text[0] - '0') * 1000 + (text[1] - '0') * 100 + (text[2] - '0') * 10 +
               (text[3] - '0');
    }
    const auto date = DbValue::Text(std::string(text)).ToDate();
    return date ? date->Year() : 0;
}

using InstalmentFees = std::unordered_map<std::int64_t, Money>;

// Each contract's contract fees in its contract date's year; its instalment fee returned.
InstalmentFees AddContractFees(Database& db, const YearlyScope& scope, YearlyTotals& totals) {
    InstalmentFees instalmentFees;
    for (Recordset rows(db, "SELECT ID, DataContratto, SpeseContratto, SpeseAddebito FROM "
                            "tabContratti" + ScopeFilter(scope, "ID"));
         !rows.Eof(); rows.MoveNext()) {
        const auto contractDate = rows.Value(1).ToDate();
        if (contractDate) totals.AddFees(*contractDate, Amount(rows.Value(2)));
        instalmentFees.emplace(rows.Value(0).ToLong(), Amount(rows.Value(3)));
    }
    return instalmentFees;
}

// The plan lines read one by one: SQLite hands millions of rows over faster than it sorts
// them into groups.
void AddPlanLinesOneByOne(Database& db, const YearlyScope& scope,
                          const InstalmentFees& instalmentFees, YearlyTotals& totals) {
    // A contract's lines come together, most of them of one kind: both are looked up again
    // only when they change.
    std::int64_t contractId = -1;
    auto fee = instalmentFees.end();
    std::string tipo = "?";
    std::optional<PlanLineKind> kind;
    for (RowReader rows(db, "SELECT [ID Leasing], Tipo, Data, QCapitale, QInteressi FROM tabPDA" +
                                ScopeFilter(scope, "[ID Leasing]"));
         rows.Next();) {
        if (rows.Integer(0) != contractId) {
            contractId = rows.Integer(0);
            fee = instalmentFees.find(contractId);
        }
        if (rows.Text(1) != tipo) {
            tipo = rows.Text(1);
            kind = PlanLineKindOfTipo(tipo);
        }
        const int year = YearOfDate(rows.Text(2));
        // Lines of a contract no longer in the archive, or that this program did not write.
        if (fee == instalmentFees.end() || !kind || year == 0) continue;
        totals.AddSums(year, Money::FromUnits(rows.Real(3)), Money::FromUnits(rows.Real(4)),
                       *kind == PlanLineKind::Instalment ? fee->second : Money());
    }
}

// The plan lines summed by the server, year by year and kind by kind, each amount rounded to
// the cent first as a line read alone would be: a few dozen rows cross the network instead
// of millions.
void AddPlanLinesSummedByServer(Database& db, const YearlyScope& scope, YearlyTotals& totals) {
    const std::string cents = ") * 100 AS bigint)";
    for (Recordset rows(
             db, "SELECT CAST(date_part('year', p.Data) AS integer), p.Tipo, "
                 "CAST(SUM(round(p.QCapitale, 2)" + cents + ", CAST(SUM(round(p.QInteressi, 2)" +
                     cents + ", CAST(SUM(round(c.SpeseAddebito, 2)" + cents +
                     " FROM tabPDA AS p INNER JOIN tabContratti AS c ON c.ID = p.[ID Leasing]" +
                     ScopeFilter(scope, "p.[ID Leasing]") +
                     (scope.contractId || scope.typeId ? " AND" : " WHERE") +
                     " p.Data IS NOT NULL GROUP BY 1, 2");
         !rows.Eof(); rows.MoveNext()) {
        const auto kind = PlanLineKindOfTipo(NullToEmpty(rows.Value(1)));
        if (!kind) continue;  // lines this program did not write
        const auto sum = [&rows](int column) {
            return Money::FromCents(static_cast<std::int64_t>(rows.Value(column).ToDouble()));
        };
        totals.AddSums(rows.Value(0).ToLong(), sum(2), sum(3),
                       *kind == PlanLineKind::Instalment ? sum(4) : Money());
    }
}

}  // namespace

YearlyTotals ArchiveYearlyTotals(Database& db, const YearlyScope& scope) {
    YearlyTotals totals;
    const InstalmentFees instalmentFees = AddContractFees(db, scope, totals);
    if (db.Engine()->Kind() == EngineKind::Postgresql) {
        AddPlanLinesSummedByServer(db, scope, totals);
    } else {
        AddPlanLinesOneByOne(db, scope, instalmentFees, totals);
    }
    if (!HasTable(db, "tabEventi")) return totals;
    for (Recordset rows(db, "SELECT [ID Leasing], Data, Penale, Rimborso FROM tabEventi" +
                                ScopeFilter(scope, "[ID Leasing]"));
         !rows.Eof(); rows.MoveNext()) {
        const auto date = rows.Value(1).ToDate();
        if (!date || !instalmentFees.contains(rows.Value(0).ToLong())) continue;
        totals.AddFees(*date, Amount(rows.Value(2)) - Amount(rows.Value(3)));
    }
    return totals;
}

}  // namespace quotaplan
