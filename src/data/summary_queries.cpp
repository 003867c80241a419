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
    for (Recordset rows(db, "SELECT * FROM qryRLeaMese"); !rows.Eof(); rows.MoveNext()) {
        instalments.push_back({rows.Value("DescBene").ToText(),
                               rows.Value("Data").ToDate().value_or(CalendarDate()),
                               rows.Value("Importo").ToDouble()});
    }
    return instalments;
}

}  // namespace quotaplan
