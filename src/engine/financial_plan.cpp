#include "engine/financial_plan.h"

namespace quotaplan {

CalendarDate FinancialPlan::BuyoutDate() const {
    if (!DataRiscatto.IsZero() || rows.empty()) return DataRiscatto;
    return rows.back().Data;
}

PlanRow FinancialPlan::MaxiRow() const {
    PlanRow maxi;
    maxi.Tipo = "Maxi.";
    maxi.Data = DataMaxi;
    maxi.Tasso = 0;
    maxi.Importo = Maxicanone;
    maxi.QCapitale = Maxicanone;
    maxi.QInteressi = 0;
    maxi.DebitoRes = Valore - Maxicanone;
    return maxi;
}

PlanRow FinancialPlan::BuyoutRow() const {
    PlanRow buyout;
    buyout.Tipo = "Riscatto";
    buyout.Data = BuyoutDate();
    buyout.Tasso = 0;
    buyout.Importo = Riscatto + InteressiRiscatto;
    buyout.QCapitale = Riscatto;
    buyout.QInteressi = InteressiRiscatto;
    buyout.DebitoRes = 0;
    return buyout;
}

}  // namespace quotaplan
