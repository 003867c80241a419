#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/payoff_statement.h"

namespace quotaplan {

// The early-payoff statement as a document: its title and its lines of label and value, the
// same on screen, printed and in the PDF.
struct StatementDocument {
    std::string description;  // the contract's
    std::vector<std::pair<std::string, std::string>> lines;
};

// "Conteggio estintivo - " and the description.
std::string StatementTitle(const std::string& description);

// The statement's lines, amounts "#,##0.00", dates "dd/mm/yyyy":
//   "Contratto"                 the description
//   "Data di estinzione"        15/01/2028
//   "Rate pagate"               24, the instalments due on or before the date
//   "Rate ancora dovute"        60, those the payoff replaces
//   "Tasso in vigore"           5,35%
//   "Capitale residuo"          13.134,93 (discounted: "Valore attuale delle rate",
//                               "attualizzate al 5,4832%")
//   "Interessi maturati"        0,00 (discounted: none)
//   "Penale"                    117,59 - consumatore 1% di 11.759,27
//   "Rimborso costi"            1.375,66 - curva degli interessi: 1.864,02 su 3.515,90
//   "Totale da pagare"          11.876,86
// Raises nothing.
StatementDocument PayoffStatementDocument(const std::string& description,
                                          const PayoffStatement& statement);

}  // namespace quotaplan
