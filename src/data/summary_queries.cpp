#include "data/summary_queries.h"

namespace quotaplan {
namespace {

double FirstValue(Database& db, const char* sql, const char* field) {
    Recordset rows(db, sql);
    return rows.Eof() ? 0 : rows.Value(field).ToDouble();
}

}  // namespace

double WeightedAverageRate(Database& db) {
    return FirstValue(db, "SELECT * FROM qryRTxMedioPonderato", "TXMePo");
}

double TotalResidualDebt(Database& db) {
    return FirstValue(db, "SELECT * FROM qryRDebResTotale", "SommaDiDebitoRes");
}

std::vector<MonthInstalment> InstalmentsThisMonth(Database& db) {
    std::vector<MonthInstalment> instalments;
    Recordset rows(db, "SELECT * FROM qryRLeaMese");
    // The columns found once, not once a row: a month may list thousands.
    const int description = rows.IndexOf("DescBene");
    const int date = rows.IndexOf("Data");
    const int amount = rows.IndexOf("Importo");
    // Archives made before the view named the contract keep working without it.
    const std::optional<int> id = rows.FindField("ID");
    for (; !rows.Eof(); rows.MoveNext()) {
        instalments.push_back({rows.Value(description).ToText(),
                               rows.Value(date).ToDate().value_or(CalendarDate()),
                               rows.Value(amount).ToDouble(), id ? rows.Value(*id).ToLong() : 0});
    }
    return instalments;
}

PortfolioSummary ReadPortfolioSummary(Database& db) {
    return {WeightedAverageRate(db), TotalResidualDebt(db), InstalmentsThisMonth(db)};
}

}  // namespace quotaplan
