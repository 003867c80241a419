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

void SetPlanToTheCent(FinancialPlan& plan, CentsPlan cents) {
    const auto single = [](Money amount) { return static_cast<float>(amount.Units()); };
    plan.PlanReady = true;
    plan.Valore = single(cents.value);
    plan.Maxicanone = single(cents.maxi);
    plan.DataMaxi = cents.maxiDate;
    plan.Riscatto = single(cents.buyout);
    plan.InteressiRiscatto = single(cents.buyoutInterest);
    plan.DataRiscatto = cents.buyoutDate;
    plan.rows.assign(cents.rows.size(), PlanRow{});
    for (std::size_t k = 0; k < cents.rows.size(); ++k) {
        const CentsPlanRow& exact = cents.rows[k];
        PlanRow& row = plan.rows[k];
        row.Data = exact.date;
        row.Tasso = static_cast<float>(exact.rate.Fraction());
        row.Importo = single(exact.instalment);
        row.QInteressi = single(exact.interest);
        row.QCapitale = single(exact.capital);
        row.DebitoRes = single(exact.residual);
    }
    plan.toTheCent = std::move(cents);
}

}  // namespace quotaplan
