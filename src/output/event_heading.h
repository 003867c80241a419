#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/financial_plan.h"

namespace quotaplan {

// The events of a contract as the documents show them under the heading block, one label and
// value a line, in date order, from the plan's event lines:
//   "Rimborso parziale del 15/01/2028"  "5.000,00 (penale 50,00)"
//   "Estinzione del 15/01/2028"         "11.876,86 (penale 117,59, rimborso costi 1.375,66)"
// The value of a payoff is its total: capital, interest and penalty less the refund; of a
// prepayment the capital repaid, with the interest accrued on it when there is any ("5.000,00
// (interessi 2,88, penale 0,00)"). Capital and interest are on the event's line of the plan.
// A payment holiday, a run of suspended rows, shows as "Sospensione dal 15/01/2027" "3 rate",
// with "(interessi a carico del Fondo 120,00)" when a Fund bears a share of its interest.
// Empty for a plan without events. Raises nothing.
std::vector<std::pair<std::string, std::string>> EventHeadingLines(const FinancialPlan& plan);

}  // namespace quotaplan
