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
    // Archives made before the view named the contract keep working without it.
    const bool withIds = rows.HasField("ID");
    for (; !rows.Eof(); rows.MoveNext()) {
        instalments.push_back(
            {rows.Value("DescBene").ToText(), rows.Value("Data").ToDate().value_or(CalendarDate()),
             rows.Value("Importo").ToDouble(), withIds ? rows.Value("ID").ToLong() : 0});
    }
    return instalments;
}

PortfolioSummary ReadPortfolioSummary(Database& db) {
    return {WeightedAverageRate(db), TotalResidualDebt(db), InstalmentsThisMonth(db)};
}

}  // namespace quotaplan
