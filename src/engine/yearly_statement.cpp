#include "engine/yearly_statement.h"

namespace quotaplan {

void YearlyTotals::AddLine(PlanLineKind kind, CalendarDate date, Money capital, Money interest,
                           Money instalmentFee) {
    AddSums(date.Year(), capital, interest,
            kind == PlanLineKind::Instalment ? instalmentFee : Money());
}

void YearlyTotals::AddSums(int year, Money capital, Money interest, Money fees) {
    Sums& sums = years_[year];
    sums.capital += capital;
    sums.interest += interest;
    sums.fees += fees;
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
