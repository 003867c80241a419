#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/due_dates.h"
#include "engine/money.h"

namespace quotaplan {

// The dated events in the life of a contract after it is signed. Each acts on the plan from
// its date on (plan_events.h); the kinds and their options are stored with the contract
// (tabEventi), so that the plan they made can be shown, exported and undone.

enum class EventKind {
    Payoff,      // "Estinzione": the whole debt repaid on a date
    Prepayment,  // "Rimborso parziale": part of the capital repaid on a date
    Suspension,  // "Sospensione": instalments suspended, the plan lengthened
    Renegotiation,  // "Rinegoziazione": new rate, term or periodicity from a due date
    Surrogation,    // "Surroga": a renegotiation with another lender (art. 120-quater TUB)
};

// The early-repayment penalty's regime: the contract type's own (supTipologia), or chosen on
// the statement.
enum class PenaltyRegime {
    None,            // "nessuna"
    Consumer,        // "consumatore": consumer credit, art. 125-sexies TUB
    HomeOrBusiness,  // "mutuo casa/attività": art. 120-ter TUB, no penalty
    Contractual,     // "contrattuale": a percentage of the capital repaid, as agreed
};

struct PenaltyRule {
    PenaltyRegime regime = PenaltyRegime::None;
    Percent percent;  // Contractual: the percentage of the capital repaid (0,5 % is 5000)
    friend bool operator==(const PenaltyRule&, const PenaltyRule&) = default;
};

// How the statement values the debt on its date.
enum class PayoffMethod {
    Residual,  // the residual capital plus the interest accrued since the last due date
    Discount,  // "attualizzazione": the payments still due discounted to the date
};

// How the up-front costs are refunded on a payoff.
enum class RefundCriterion {
    InterestCurve,  // the share of the plan's interest still to run ("curva degli interessi")
    ProRata,        // the share of the instalments still due ("pro rata temporis")
};

// What a partial prepayment does to the rest of the plan.
enum class PrepaymentEffect {
    LowerInstalment,  // the same number of instalments, each lower
    ShortenTerm,      // the same instalment, fewer of them
};

struct PayoffOptions {
    PayoffMethod method = PayoffMethod::Residual;
    // Discount: the annual rate; none for the contract's effective annual rate.
    std::optional<Percent> discountRate;
    PenaltyRule penalty;
    RefundCriterion refund = RefundCriterion::InterestCurve;
    Money extraCosts;  // up-front costs beside the contract fees (consumer credit)
    friend bool operator==(const PayoffOptions&, const PayoffOptions&) = default;
};

struct PrepaymentOptions {
    Money amount;  // A: the capital repaid, less than the residual
    PrepaymentEffect effect = PrepaymentEffect::LowerInstalment;
    PenaltyRule penalty;
    friend bool operator==(const PrepaymentOptions&, const PrepaymentOptions&) = default;
};

// What a payment holiday suspends.
enum class SuspensionKind {
    CapitalOnly,  // "solo quota capitale": the instalments are their interest alone
    Whole,        // "intera rata": nothing is paid
};

// Where the interest of a whole-instalment suspension goes.
enum class SuspendedInterest {
    Capitalised,  // added to the residual, the instalment recomputed
    Deferred,     // kept apart, paid in equal parts with the remaining instalments
};

struct SuspensionOptions {
    int instalments = 1;  // k, 1 to 36, from the instalment due on the event's date
    SuspensionKind kind = SuspensionKind::CapitalOnly;
    SuspendedInterest interest = SuspendedInterest::Capitalised;
    // The share of the suspended interest a third party bears (the Fund): 50 % is 500000.
    Percent fundShare;
    friend bool operator==(const SuspensionOptions&, const SuspensionOptions&) = default;
};

// A renegotiation, or a surrogation when a lender is named. What is not given stays as it is.
struct RenegotiationOptions {
    std::optional<Percent> rate;           // the new nominal rate, without spread
    std::optional<Percent> referenceRate;  // or the reference rate it is indexed to today
    std::optional<Percent> spread;         // the new spread, added to either
    std::optional<int> count;              // instalments from the date on
    std::optional<std::int16_t> periodsPerYear;
    std::string lender;  // the new lender: a surrogation
    friend bool operator==(const RenegotiationOptions&, const RenegotiationOptions&) = default;
};

// One event: its date, what kind it is with its options, and a note of the user's.
struct ContractEvent {
    CalendarDate date;
    std::variant<PayoffOptions, PrepaymentOptions, SuspensionOptions, RenegotiationOptions>
        options;
    std::string note;

    EventKind Kind() const;
    friend bool operator==(const ContractEvent&, const ContractEvent&) = default;
};

// Whether the contract's rate is fixed or follows a reference rate.
enum class RateIndexation { Fixed, Indexed };

// What the events need to know of the contract as signed, beside its plan.
struct SignedTerms {
    CalendarDate contractDate;
    std::int16_t periodsPerYear = 12;
    PaymentTiming timing = PaymentTiming::Arrears;
    Capitalisation capitalisation = Capitalisation::Compound;
    PlanKind plan = PlanKind::ToTheCent;  // where its buy-out falls (BuyoutDueOf)
    Money buyout;                         // B, owed after the last instalment
    BuyoutInterest buyoutInterest = BuyoutInterest::No;
    CalendarDate buyoutDate;  // as signed: the zero date when the buy-out falls on its due date
    Money contractFees;       // the up-front costs a payoff refunds in part
    RateIndexation indexation = RateIndexation::Fixed;
    Percent spread;  // the contract's spread, in its rows' rates
};

// The Italian name of a kind, as the plan line and the events list show it: "Estinzione",
// "Rimborso parziale", "Sospensione", "Rinegoziazione", "Surroga".
const char* EventKindName(EventKind kind);

// What a surrogation's statement says of it: the law leaves the client nothing to pay.
inline constexpr const char* kSurrogationNote =
    "Surroga (art. 120-quater TUB): nessuna penale e nessun costo a carico del cliente.";

// The penalty rule as the calculator's --penalty and the financing types' column write it:
// "none", "consumer", "home", or a percentage with "." ("0.5" is 0,5 %, a contractual
// penalty). nullopt for anything else, a negative percentage or one above 100.
std::optional<PenaltyRule> ReadPenaltyRule(std::string_view code);
std::string PenaltyRuleCode(const PenaltyRule& rule);

// The rule in Italian: "nessuna", "consumatore", "mutuo casa/attività", "contrattuale 0,5%".
std::string PenaltyRuleName(const PenaltyRule& rule);

// A percentage as the statement writes it, shortest, with the decimal comma: "1%", "0,5%".
std::string PercentText(Percent percent);

// "curva degli interessi", "pro rata temporis".
const char* RefundCriterionName(RefundCriterion criterion);

}  // namespace quotaplan
