#include "output/payoff_statement_lines.h"

#include "common/number_text.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;    // "#,##0.00"
constexpr int kLongDate = 2;  // "dd/mm/yyyy"

std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

}  // namespace

std::string StatementTitle(const std::string& description) {
    return "Conteggio estintivo - " + description;
}

StatementDocument PayoffStatementDocument(const std::string& description,
                                          const PayoffStatement& statement) {
    StatementDocument document{description, {}};
    auto& lines = document.lines;
    lines.emplace_back("Contratto", description);
    lines.emplace_back("Data di estinzione", FormatDate(statement.date, kLongDate));
    lines.emplace_back("Rate pagate", std::to_string(statement.instalmentsPaid));
    lines.emplace_back("Rate ancora dovute", std::to_string(statement.instalmentsDue));
    lines.emplace_back("Tasso in vigore", PercentText(statement.rateInForce));
    if (statement.method == PayoffMethod::Residual) {
        lines.emplace_back("Capitale residuo", Amount(statement.residualCapital));
        lines.emplace_back("Interessi maturati", Amount(statement.accruedInterest));
    } else {
        lines.emplace_back("Valore attuale delle rate", Amount(statement.residualCapital) +
                                                            " - attualizzate al " +
                                                            PercentText(statement.discountRate));
    }
    lines.emplace_back(
        "Penale", Amount(statement.penalty.amount) + " - " + PenaltyOutcomeText(statement.penalty));
    lines.emplace_back("Rimborso costi", Amount(statement.refund.amount) + " - " +
                                             RefundOutcomeText(statement.refund));
    lines.emplace_back("Totale da pagare", Amount(statement.total));
    return document;
}

}  // namespace quotaplan
