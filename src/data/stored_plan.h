#pragma once

#include <vector>

#include "data/contract_store.h"
#include "engine/financial_plan.h"

namespace quotaplan {

// The plan a contract was saved with, rebuilt from its stored lines (LoadPlanRows) as a plan
// to the cent of exactly the stored amounts, so that the grid, the exports, the chart and the
// TAEG of a loaded contract show what the archive holds:
//   "Maxi." line:     the maxi-instalment (its capital) and the asset value (capital plus
//                     residual), dated as stored;
//   "Rata" lines:     one instalment each, in the order written: date, rate, amount as stored
//                     (Importo), capital, interest, residual;
//   "Riscatto" line:  the buy-out (capital), its interest, and its date;
//   event lines:      "Rimborso parziale" and "Estinzione" after the instalments before
//                     them (PlanOfLines), without the penalty and refund their events keep.
// Without a "Maxi." line the value is the first instalment's capital plus its residual. A
// contract without "Rata" lines gives an empty plan that is not ready. Raises RunTimeError 6
// for an amount beyond 64-bit cents.
FinancialPlan StoredPlanOf(const std::vector<StoredPlanRow>& rows);

}  // namespace quotaplan
