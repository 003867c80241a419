#pragma once

#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "data/database.h"

namespace quotaplan {

// One instalment due in the current month (a row of qryRLeaMese).
struct MonthInstalment {
    std::string DescBene;
    CalendarDate Data;
    double Importo = 0;
};

// The portfolio summary, from the archive's three stored queries; "today" is Today() of
// common/clock.h. Each throws DatabaseError when its query fails.

// "TXMePo" of "SELECT * FROM qryRTxMedioPonderato": the average of Tasso + Spread (percent)
// weighted by each contract's residual debt today; 0 for an archive without debt.
double WeightedAverageRate(Database& db);

// "SommaDiDebitoRes" of "SELECT * FROM qryRDebResTotale": the residual debts today summed.
double TotalResidualDebt(Database& db);

// Every row of "SELECT * FROM qryRLeaMese": the "Rata" lines due this calendar month, by
// date.
std::vector<MonthInstalment> InstalmentsThisMonth(Database& db);

}  // namespace quotaplan
