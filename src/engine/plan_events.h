#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/cents_plan.h"
#include "engine/contract_events.h"
#include "engine/financial_plan.h"
#include "engine/payment_holiday.h"
#include "engine/payoff_statement.h"
#include "engine/prepayment.h"
#include "engine/renegotiation.h"

namespace quotaplan {

// Why an event cannot act on a plan, in Italian, as the window, the calculator and the
// archive say it.
struct EventRefusal {
    std::string message;
    friend bool operator==(const EventRefusal&, const EventRefusal&) = default;
};

// The one home of the rules an event must meet on the current plan (the plan as signed with
// the events recorded so far), the first one broken: a plan with instalments that is not
// paid off already; a date on or after the contract date, on or before the last instalment,
// not before the latest event; a prepayment above 0, below the residual on its date and with
// an instalment left after it; a contractual penalty from 0 to 100 %; costs to refund not
// below 0; a discount rate above -100 %; a payment holiday from an instalment's due date
// (not one paid at signing), of 1 to 36 instalments, a Fund's share from 0 to 100 %; a
// renegotiation on a due date with an instalment after it, changing something, its rate
// above -100 %, 1 to 1200 instalments, a periodicity of 1, 2, 3, 4, 6 or 12. nullopt when the event may act. Raises nothing.
std::optional<EventRefusal> FirstEventRefusal(const SignedTerms& terms, const CentsPlan& plan,
                                              const ContractEvent& event);

// What an event did: the plan from then on, how many instalment rows it left as they were,
// and its figures (the payoff statement, or the prepayment's).
struct EventResult {
    CentsPlan plan;
    std::size_t keptInstalments = 0;
    std::variant<PayoffStatement, PrepaymentFigures, SuspensionFigures, RenegotiationFigures>
        figures;
};

// Applies one event to the current plan: ComputePayoffStatement and PlanAfterPayoff, or
// ApplyPrepayment, ApplySuspension, ApplyRenegotiation (at terms.periodsPerYear, the
// periodicity in force: TermsInForce). The refusal of FirstEventRefusal when it may not act. Pure: the same
// terms, plan and event always give the same result. Raises the arithmetic errors of those.
std::variant<EventResult, EventRefusal> ApplyEvent(const SignedTerms& terms, const CentsPlan& plan,
                                                   const ContractEvent& event);

// The terms the next event acts on: the signed terms with the periodicity the latest
// renegotiation that changed it set.
SignedTerms TermsInForce(SignedTerms terms, const std::vector<ContractEvent>& events);

// The current plan of a contract: the plan as signed with its events applied in order, each
// acting from its date on (at the terms in force). The first refusal met, when one of them may not act.
std::variant<CentsPlan, EventRefusal> PlanWithEvents(const SignedTerms& terms, CentsPlan signedPlan,
                                                     const std::vector<ContractEvent>& events);

// A calculated plan as the archive holds it and events act on it: a plan to the cent as it
// is; a classic plan as its lines are stored, each amount to the cent as shown
// (PlanOfLines), so that an unsaved contract and the same contract saved give one answer.
CentsPlan PlanAsStored(const FinancialPlan& plan);

}  // namespace quotaplan
