#include "data/plan_row_changes.h"

#include "common/number_text.h"
#include "engine/money.h"

namespace quotaplan {

bool StoresLine(const StoredPlanRow& row, const PlanLine& line) {
    const auto cents = [](double units) { return Money::FromUnits(RoundAsShown(units, 2)); };
    const bool withRate = line.kind != PlanLineKind::Maxi && line.kind != PlanLineKind::Buyout;
    const double rate = withRate ? line.ratePercent : 0.0;
    return row.Tipo == PlanLineTipo(line.kind) && row.Data == line.date &&
           RoundHalfUpScaled(RoundAsShown(row.Tasso, 2), 100) ==
               RoundHalfUpScaled(RoundAsShown(rate, 2), 100) &&
           cents(row.Importo) == cents(line.stored) &&
           cents(row.QInteressi) == cents(line.interest) &&
           cents(row.QCapitale) == cents(line.capital) &&
           cents(row.DebitoRes) == cents(line.residual);
}

std::size_t FirstChangedRow(const std::vector<StoredPlanRow>& stored,
                            const std::vector<PlanLine>& lines) {
    std::size_t first = 0;
    while (first < lines.size() && first < stored.size() &&
           StoresLine(stored[first], lines[first])) {
        ++first;
    }
    return first;
}

}  // namespace quotaplan
