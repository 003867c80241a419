#include "engine/plan_events.h"

#include "common/number_text.h"
#include "engine/plan_lines.h"
#include "engine/plan_position.h"

namespace quotaplan {
namespace {

constexpr int kLongDate = 2;                                       // "dd/mm/yyyy"
constexpr int kAmount = 1;                                         // "#,##0.00"
constexpr Percent kWholePercent = Percent::FromHundredths(10000);  // 100 %

std::string Date(CalendarDate date) { return FormatDate(date, kLongDate); }
std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

EventRefusal Refusal(std::string message) { return {std::move(message)}; }

std::optional<EventRefusal> PenaltyRefusal(const PenaltyRule& rule) {
    if (rule.regime == PenaltyRegime::Contractual &&
        (rule.percent < Percent() || rule.percent > kWholePercent)) {
        return Refusal("La penale contrattuale deve essere una percentuale fra 0 e 100.");
    }
    return std::nullopt;
}

std::optional<EventRefusal> PrepaymentRefusal(const SignedTerms& terms, const CentsPlan& plan,
                                              const ContractEvent& event,
                                              const PrepaymentOptions& options) {
    if (options.amount <= Money()) {
        return Refusal("L'importo del rimborso parziale deve essere maggiore di zero.");
    }
    const PlanPosition position = PositionAt(plan, event.date, terms.contractDate);
    if (position.paid == plan.rows.size()) {
        return Refusal("Dopo il " + Date(event.date) +
                       " non restano rate: per chiudere il contratto registrare l'estinzione.");
    }
    if (options.amount >= position.residual) {
        return Refusal("L'importo del rimborso parziale (" + Amount(options.amount) +
                       ") deve essere minore del debito residuo (" + Amount(position.residual) +
                       "): per chiudere il contratto registrare l'estinzione.");
    }
    return PenaltyRefusal(options.penalty);
}

std::optional<EventRefusal> PayoffRefusal(const PayoffOptions& options) {
    if (options.extraCosts < Money()) {
        return Refusal("Le spese da rimborsare non possono essere negative.");
    }
    if (options.discountRate &&
        *options.discountRate <= Percent::FromTenThousandths(-kWholePercent.TenThousandths())) {
        return Refusal("Il tasso di attualizzazione deve essere maggiore di -100%.");
    }
    return PenaltyRefusal(options.penalty);
}

}  // namespace

std::optional<EventRefusal> FirstEventRefusal(const SignedTerms& terms, const CentsPlan& plan,
                                              const ContractEvent& event) {
    if (plan.rows.empty()) {
        return Refusal(
            "Il contratto non ha un piano: calcolarlo e salvarlo prima di registrare "
            "un evento.");
    }
    if (plan.PaidOff()) {
        return Refusal("Il contratto è già stato estinto il " + Date(plan.eventLines.back().date) +
                       ": non si possono registrare altri eventi.");
    }
    if (event.date < terms.contractDate) {
        return Refusal("La data dell'evento (" + Date(event.date) +
                       ") precede la data del contratto (" + Date(terms.contractDate) + ").");
    }
    if (event.date > plan.rows.back().date) {
        return Refusal("La data dell'evento (" + Date(event.date) +
                       ") è successiva all'ultima rata (" + Date(plan.rows.back().date) + ").");
    }
    if (!plan.eventLines.empty() && event.date < plan.eventLines.back().date) {
        return Refusal("La data dell'evento (" + Date(event.date) +
                       ") precede quella dell'ultimo evento registrato (" +
                       Date(plan.eventLines.back().date) + ").");
    }
    if (const auto* prepayment = std::get_if<PrepaymentOptions>(&event.options)) {
        return PrepaymentRefusal(terms, plan, event, *prepayment);
    }
    return PayoffRefusal(std::get<PayoffOptions>(event.options));
}

std::variant<EventResult, EventRefusal> ApplyEvent(const SignedTerms& terms, const CentsPlan& plan,
                                                   const ContractEvent& event) {
    if (auto refusal = FirstEventRefusal(terms, plan, event)) return *refusal;
    if (const auto* payoff = std::get_if<PayoffOptions>(&event.options)) {
        PayoffStatement statement = ComputePayoffStatement(terms, plan, event.date, *payoff);
        CentsPlan after = PlanAfterPayoff(plan, statement);
        const auto kept = static_cast<std::size_t>(statement.instalmentsPaid);
        return EventResult{std::move(after), kept, std::move(statement)};
    }
    Prepayment prepayment =
        ApplyPrepayment(terms, plan, event.date, std::get<PrepaymentOptions>(event.options));
    const std::size_t kept = prepayment.plan.eventLines.back().afterRow;
    return EventResult{std::move(prepayment.plan), kept, std::move(prepayment.figures)};
}

std::variant<CentsPlan, EventRefusal> PlanWithEvents(const SignedTerms& terms, CentsPlan signedPlan,
                                                     const std::vector<ContractEvent>& events) {
    for (const ContractEvent& event : events) {
        auto applied = ApplyEvent(terms, signedPlan, event);
        if (auto* refusal = std::get_if<EventRefusal>(&applied)) return *refusal;
        signedPlan = std::move(std::get<EventResult>(applied).plan);
    }
    return signedPlan;
}

CentsPlan PlanAsStored(const FinancialPlan& plan) {
    if (plan.toTheCent) return *plan.toTheCent;
    return PlanOfLines(PlanLines(plan, DerivedLines::Always));
}

}  // namespace quotaplan
