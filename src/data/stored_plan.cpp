#include "data/stored_plan.h"

namespace quotaplan {
namespace {

Money Cents(double units) { return Money::FromUnits(units); }

}  // namespace

FinancialPlan StoredPlanOf(const std::vector<StoredPlanRow>& rows) {
    CentsPlan cents;
    bool maxiLine = false;
    for (const StoredPlanRow& row : rows) {
        if (row.Tipo == "Maxi.") {
            maxiLine = true;
            cents.maxi = Cents(row.QCapitale);
            cents.value = cents.maxi + Cents(row.DebitoRes);
            cents.maxiDate = row.Data;
        } else if (row.Tipo == "Riscatto") {
            cents.buyout = Cents(row.QCapitale);
            cents.buyoutInterest = Cents(row.QInteressi);
            cents.storedBuyoutCapital = cents.buyout;
            cents.buyoutDate = row.Data;
        } else if (row.Tipo == "Rata") {
            CentsPlanRow line;
            line.date = row.Data;
            line.rate = Percent::FromValue(row.Tasso);
            line.instalment = Cents(row.Importo);
            line.interest = Cents(row.QInteressi);
            line.capital = Cents(row.QCapitale);
            line.residual = Cents(row.DebitoRes);
            cents.rows.push_back(line);
        }
    }
    FinancialPlan plan;
    if (cents.rows.empty()) return plan;
    if (!maxiLine) cents.value = cents.rows.front().capital + cents.rows.front().residual;
    cents.instalment = cents.rows.front().instalment;
    SetPlanToTheCent(plan, std::move(cents));
    return plan;
}

}  // namespace quotaplan
