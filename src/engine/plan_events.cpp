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

constexpr int kMostSuspended = 36;
constexpr int kMostInstalments = 1200;

std::optional<EventRefusal> SuspensionRefusal(const SignedTerms& terms, const CentsPlan& plan,
                                              const ContractEvent& event,
                                              const SuspensionOptions& options) {
    if (options.instalments < 1 || options.instalments > kMostSuspended) {
        return Refusal("Le rate sospese devono essere da 1 a 36 (indicate: " +
                       std::to_string(options.instalments) + ").");
    }
    if (options.fundShare < Percent() || options.fundShare > kWholePercent) {
        return Refusal("La quota del Fondo deve essere una percentuale fra 0 e 100.");
    }
    const std::size_t row = SuspendedRowAt(plan, event.date);
    if (row == plan.rows.size()) {
        return Refusal("La sospensione parte da una scadenza del piano: il " + Date(event.date) +
                       " non è la data di una rata.");
    }
    if (row == 0 && terms.timing == PaymentTiming::Advance) {
        return Refusal("La prima rata, pagata alla stipula, non si può sospendere.");
    }
    return std::nullopt;
}

bool ValidPeriodicity(int m) { return m == 1 || m == 2 || m == 3 || m == 4 || m == 6 || m == 12; }

std::optional<EventRefusal> RenegotiationRefusal(const SignedTerms& terms, const CentsPlan& plan,
                                                 const ContractEvent& event,
                                                 const RenegotiationOptions& options) {
    if (options.rate && options.referenceRate) {
        return Refusal(
            "Indicare il nuovo tasso oppure il tasso di riferimento, non entrambi.");
    }
    if (!options.rate && !options.referenceRate && !options.spread && !options.count &&
        !options.periodsPerYear) {
        return Refusal(
            "La rinegoziazione deve cambiare qualcosa: il tasso, lo spread, il numero di rate "
            "o la periodicità.");
    }
    if (options.lender.find_first_of(";=") != std::string::npos) {
        return Refusal("Il nome del nuovo istituto non può contenere \";\" o \"=\".");
    }
    if (options.count && (*options.count < 1 || *options.count > kMostInstalments)) {
        return Refusal("Il numero di rate residue deve essere da 1 a 1200.");
    }
    if (options.periodsPerYear && !ValidPeriodicity(*options.periodsPerYear)) {
        return Refusal("La periodicità deve essere 1, 2, 3, 4, 6 o 12 rate l'anno.");
    }
    const std::size_t kept = RenegotiatedFrom(plan, event.date, terms.contractDate);
    if (kept > plan.rows.size()) {
        return Refusal("La rinegoziazione parte da una scadenza del piano: il " +
                       Date(event.date) + " non è la data di una rata.");
    }
    if (kept == plan.rows.size()) {
        return Refusal("Dopo il " + Date(event.date) + " non restano rate da rinegoziare.");
    }
    const auto rate = RenegotiatedRate(options, plan.rows[kept].rate, terms.spread);
    const std::int16_t m = options.periodsPerYear.value_or(terms.periodsPerYear);
    if (rate && rate->Fraction() / m <= -1.0L) {
        return Refusal("Il nuovo tasso deve essere maggiore di -100%.");
    }
    return std::nullopt;
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
    CalendarDate latest = plan.latestEvent;
    if (!plan.eventLines.empty() && latest < plan.eventLines.back().date) {
        latest = plan.eventLines.back().date;
    }
    if (!latest.IsZero() && event.date < latest) {
        return Refusal("La data dell'evento (" + Date(event.date) +
                       ") precede quella dell'ultimo evento registrato (" + Date(latest) + ").");
    }
    if (const auto* prepayment = std::get_if<PrepaymentOptions>(&event.options)) {
        return PrepaymentRefusal(terms, plan, event, *prepayment);
    }
    if (const auto* suspension = std::get_if<SuspensionOptions>(&event.options)) {
        return SuspensionRefusal(terms, plan, event, *suspension);
    }
    if (const auto* renegotiation = std::get_if<RenegotiationOptions>(&event.options)) {
        return RenegotiationRefusal(terms, plan, event, *renegotiation);
    }
    return PayoffRefusal(std::get<PayoffOptions>(event.options));
}

namespace {

EventResult ApplyAllowedEvent(const SignedTerms& terms, const CentsPlan& plan,
                              const ContractEvent& event) {
    if (const auto* payoff = std::get_if<PayoffOptions>(&event.options)) {
        PayoffStatement statement = ComputePayoffStatement(terms, plan, event.date, *payoff);
        CentsPlan after = PlanAfterPayoff(plan, statement);
        const auto kept = static_cast<std::size_t>(statement.instalmentsPaid);
        return EventResult{std::move(after), kept, std::move(statement)};
    }
    if (const auto* suspension = std::get_if<SuspensionOptions>(&event.options)) {
        Suspension applied = ApplySuspension(terms, plan, event.date, *suspension);
        return EventResult{std::move(applied.plan), applied.keptRows, std::move(applied.figures)};
    }
    if (const auto* renegotiation = std::get_if<RenegotiationOptions>(&event.options)) {
        Renegotiation applied =
            ApplyRenegotiation(terms, plan, event.date, *renegotiation, terms.periodsPerYear);
        return EventResult{std::move(applied.plan), applied.keptRows, std::move(applied.figures)};
    }
    Prepayment prepayment =
        ApplyPrepayment(terms, plan, event.date, std::get<PrepaymentOptions>(event.options));
    const std::size_t kept = prepayment.plan.eventLines.back().afterRow;
    return EventResult{std::move(prepayment.plan), kept, std::move(prepayment.figures)};
}

}  // namespace

std::variant<EventResult, EventRefusal> ApplyEvent(const SignedTerms& terms, const CentsPlan& plan,
                                                   const ContractEvent& event) {
    if (auto refusal = FirstEventRefusal(terms, plan, event)) return *refusal;
    EventResult result = ApplyAllowedEvent(terms, plan, event);
    result.plan.latestEvent = event.date;
    return result;
}

SignedTerms TermsInForce(SignedTerms terms, const std::vector<ContractEvent>& events) {
    for (const ContractEvent& event : events) {
        const auto* renegotiation = std::get_if<RenegotiationOptions>(&event.options);
        if (renegotiation && renegotiation->periodsPerYear) {
            terms.periodsPerYear = *renegotiation->periodsPerYear;
        }
    }
    return terms;
}

std::variant<CentsPlan, EventRefusal> PlanWithEvents(const SignedTerms& signedTerms,
                                                     CentsPlan signedPlan,
                                                     const std::vector<ContractEvent>& events) {
    SignedTerms terms = signedTerms;
    for (const ContractEvent& event : events) {
        auto applied = ApplyEvent(terms, signedPlan, event);
        terms = TermsInForce(terms, {event});
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
