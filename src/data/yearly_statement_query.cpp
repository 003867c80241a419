#include "data/yearly_statement_query.h"

#include <string>
#include <unordered_map>

#include "data/archive_upgrade.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

Money Amount(const DbValue& value) { return Money::FromUnits(value.ToDouble()); }

// The WHERE clause on a column holding the contract's ID.
std::string ScopeFilter(const YearlyScope& scope, const char* column) {
    if (scope.contractId) return std::string(" WHERE ") + column + " = " + std::to_string(*scope.contractId);
    if (scope.typeId) {
        return std::string(" WHERE ") + column +
               " IN (SELECT ID FROM tabContratti WHERE [ID Tipologia] = " +
               std::to_string(*scope.typeId) + ")";
    }
    return {};
}

}  // namespace

YearlyTotals ArchiveYearlyTotals(Database& db, const YearlyScope& scope) {
    YearlyTotals totals;
    std::unordered_map<std::int32_t, Money> instalmentFees;
    for (Recordset rows(db, "SELECT ID, DataContratto, SpeseContratto, SpeseAddebito FROM "
                            "tabContratti" + ScopeFilter(scope, "ID"));
         !rows.Eof(); rows.MoveNext()) {
        const auto contractDate = rows.Value(1).ToDate();
        if (contractDate) totals.AddFees(*contractDate, Amount(rows.Value(2)));
        instalmentFees.emplace(rows.Value(0).ToLong(), Amount(rows.Value(3)));
    }
    for (Recordset rows(db, "SELECT [ID Leasing], Tipo, Data, QCapitale, QInteressi FROM tabPDA" +
                                ScopeFilter(scope, "[ID Leasing]"));
         !rows.Eof(); rows.MoveNext()) {
        const auto fee = instalmentFees.find(rows.Value(0).ToLong());
        const auto kind = PlanLineKindOfTipo(NullToEmpty(rows.Value(1)));
        const auto date = rows.Value(2).ToDate();
        // Lines of a contract no longer in the archive, or that this program did not write.
        if (fee == instalmentFees.end() || !kind || !date) continue;
        totals.AddLine(*kind, *date, Amount(rows.Value(3)), Amount(rows.Value(4)), fee->second);
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
