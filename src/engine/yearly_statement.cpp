#include "engine/yearly_statement.h"

namespace quotaplan {

void YearlyTotals::AddLine(PlanLineKind kind, CalendarDate date, Money capital, Money interest,
                           Money instalmentFee) {
    Sums& sums = years_[date.Year()];
    sums.capital += capital;
    sums.interest += interest;
    if (kind == PlanLineKind::Instalment) sums.fees += instalmentFee;
}

void YearlyTotals::AddFees(CalendarDate date, Money fees) {
    if (fees.IsZero()) return;
    years_[date.Year()].fees += fees;
}

std::vector<YearFigures> YearlyTotals::Years(int onlyYear) const {
    std::vector<YearFigures> years;
    years.reserve(years_.size());
    for (const auto& [year, sums] : years_) {
        if (onlyYear != 0 && year != onlyYear) continue;
        if (sums.capital.IsZero() && sums.interest.IsZero() && sums.fees.IsZero()) continue;
        years.push_back({year, sums.capital, sums.interest, sums.fees,
                         sums.capital + sums.interest + sums.fees});
    }
    return years;
}

void AddPlan(YearlyTotals& totals, const std::vector<PlanLine>& lines,
             const ContractCharges& charges) {
    totals.AddFees(charges.contractDate, charges.contractFees);
    for (const PlanLine& line : lines) {
        totals.AddLine(line.kind, line.date, Money::FromUnits(line.capital),
                       Money::FromUnits(line.interest), charges.instalmentFee);
        totals.AddFees(line.date, Money::FromUnits(line.penalty) - Money::FromUnits(line.refund));
    }
}

}  // namespace quotaplan
