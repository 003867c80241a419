#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

PlanLine ClassicLine(PlanLineKind kind, int number, const PlanRow& row) {
    PlanLine line;
    line.kind = kind;
    line.number = number;
    line.date = row.Data;
    line.ratePercent = kind == PlanLineKind::Instalment ? row.Tasso * 100.0f : 0.0f;
    line.amount = row.QCapitale + row.QInteressi;
    line.capital = row.QCapitale;
    line.interest = row.QInteressi;
    line.residual = row.DebitoRes;
    line.stored = row.Importo;
    return line;
}

PlanLine ExactLine(PlanLineKind kind, int number, CalendarDate date, float ratePercent,
                   Money capital, Money interest, Money residual) {
    PlanLine line;
    line.kind = kind;
    line.number = number;
    line.date = date;
    line.ratePercent = ratePercent;
    line.amount = (capital + interest).Units();
    line.capital = capital.Units();
    line.interest = interest.Units();
    line.residual = residual.Units();
    line.stored = line.amount;
    return line;
}

std::vector<PlanLine> ClassicLines(const FinancialPlan& plan, DerivedLines derived) {
    const bool always = derived == DerivedLines::Always;
    std::vector<PlanLine> lines;
    lines.reserve(plan.rows.size() + 2);
    if (always || plan.Maxicanone > 0) {
        lines.push_back(ClassicLine(PlanLineKind::Maxi, 0, plan.MaxiRow()));
    }
    for (std::size_t k = 0; k < plan.rows.size(); ++k) {
        lines.push_back(
            ClassicLine(PlanLineKind::Instalment, static_cast<int>(k + 1), plan.rows[k]));
    }
    if (always || plan.Riscatto > 0) {
        lines.push_back(ClassicLine(PlanLineKind::Buyout, 0, plan.BuyoutRow()));
    }
    return lines;
}

std::vector<PlanLine> ExactLines(const CentsPlan& cents, DerivedLines derived) {
    const bool always = derived == DerivedLines::Always;
    std::vector<PlanLine> lines;
    lines.reserve(cents.rows.size() + 2);
    if (always || cents.maxi > Money()) {
        lines.push_back(ExactLine(PlanLineKind::Maxi, 0, cents.maxiDate, 0, cents.maxi, Money(),
                                  cents.value - cents.maxi));
    }
    for (std::size_t k = 0; k < cents.rows.size(); ++k) {
        const CentsPlanRow& row = cents.rows[k];
        lines.push_back(ExactLine(PlanLineKind::Instalment, static_cast<int>(k + 1), row.date,
                                  static_cast<float>(row.rate.Value()), row.capital, row.interest,
                                  row.residual));
    }
    if (always || cents.buyout > Money()) {
        // The capital still owed after the last instalment; in advance the buy-out, a period
        // later, is that capital and its interest.
        const Money owed = cents.storedBuyoutCapital ? *cents.storedBuyoutCapital
                           : cents.rows.empty()      ? cents.buyout
                                                     : cents.rows.back().residual;
        lines.push_back(ExactLine(PlanLineKind::Buyout, 0, cents.buyoutDate, 0, owed,
                                  cents.buyout - owed + cents.buyoutInterest, Money()));
    }
    return lines;
}

}  // namespace

std::vector<PlanLine> PlanLines(const FinancialPlan& plan, DerivedLines derived) {
    if (plan.toTheCent) return ExactLines(*plan.toTheCent, derived);
    return ClassicLines(plan, derived);
}

}  // namespace quotaplan
