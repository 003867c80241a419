#pragma once

#include <cstdint>
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
    std::int32_t ID = 0;  // the contract's; 0 when the archive's view does not give it
};

// The three figures of the frame "Dati di Riepilogo".
struct PortfolioSummary {
    double weightedAverageRate = 0;  // percent
    double totalResidualDebt = 0;
    std::vector<MonthInstalment> instalmentsThisMonth;
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

// The three figures together, as the Stato page and quotaplan-calc --summary show them.
PortfolioSummary ReadPortfolioSummary(Database& db);

}  // namespace quotaplan
