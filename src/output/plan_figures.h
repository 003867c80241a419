#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/financial_plan.h"
#include "engine/money.h"
#include "engine/plan_totals.h"
#include "output/contract_header.h"

namespace quotaplan {

// The figures of a calculation that the printed plan and the PDF show under the contract's
// heading block, as the window (or the calculator) shows them.
struct PlanFigures {
    std::string instalment;     // the Rata field: "860,66" (or as typed, "860.66" is read too)
    std::string contractFees;   // Spese contratto, as typed
    std::string instalmentFee;  // Spese rata, as typed
    std::string taeg;           // "9,68%"; empty: none calculated
    std::string usuryVerdict;   // "Entro la soglia d'usura (soglia 17,2250 %)"; empty: none
    // The contract's "Piano al centesimo". Not the plan's own kind: a loaded contract's stored
    // plan is always held to the cent, whatever the contract says.
    bool toTheCent = false;
};

// The totals of the plan's lines (engine's PlanTotalsOf) with the fees of `figures`; a fee
// text that does not read as an amount counts 0.
PlanTotals PlanTotalsOf(const FinancialPlan& plan, const PlanFigures& figures);

// The lines of label and value: "Rata", "Spese contratto", "Spese rata" (amounts "#,##0.00";
// a text that does not read as an amount stands as it is), "TAEG" with the verdict after
// " - " ("9,68% - Entro la soglia d'usura (soglia 17,2250 %)"; the line left out without a
// TAEG), "Piano al centesimo" "Sì" for a contract to the cent, "Totale interessi" and "Totale
// pagato" (PlanTotalsOf).
std::vector<std::pair<std::string, std::string>> PlanFigureLines(const PlanFigures& figures,
                                                                 const FinancialPlan& plan);

// The heading block of the printed plan and of the PDF: the pairs of the exports' heading
// block that have a label, the contract's events (EventHeadingLines), then PlanFigureLines.
std::vector<std::pair<std::string, std::string>> PrintedHeading(const ContractHeader& header,
                                                                const PlanFigures& figures,
                                                                const FinancialPlan& plan);

}  // namespace quotaplan
