#pragma once

#include <string>
#include <variant>

#include "engine/plan_events.h"

namespace quotaplan {

// The fields of the event dialogs as the user left them, and the events they describe. Plain
// code: the dialogs only read their controls into these and show what comes back.

// The penalty lists' entries, in order: "nessuna", "consumatore", "mutuo casa/attività",
// "contrattuale" (with its percentage in a field of its own).
inline constexpr const char* kPenaltyEntries[] = {"nessuna", "consumatore", "mutuo casa/attività",
                                                  "contrattuale"};
int PenaltyEntryOf(const PenaltyRule& rule);

struct PayoffFormTexts {
    std::string date;            // "15/01/2028" (or "15/01/28")
    bool discount = false;       // "Attualizzazione" chosen rather than the residual capital
    std::string discountRate;    // percent, "4,50"; empty: the contract's effective rate
    int penaltyEntry = 0;        // kPenaltyEntries
    std::string penaltyPercent;  // the contractual penalty, "0,50"
    std::string costs;           // up-front costs beside the contract fees; empty: none
    bool proRata = false;        // "pro rata temporis" rather than the interest curve
    std::string note;
};

struct PrepaymentFormTexts {
    std::string date;
    std::string amount;        // "5.000,00"
    bool shortenTerm = false;  // "Riduzione della durata" rather than of the instalment
    int penaltyEntry = 0;
    std::string penaltyPercent;
    std::string note;
};

// The event the fields describe, or the first field that cannot be read, in the program's
// words: "Inserire una data valida!", "Inserire l'importo del rimborso parziale!",
// "Inserire la percentuale della penale contrattuale!", "Inserire un tasso di
// attualizzazione valido!", "Inserire un importo valido per i costi da rimborsare!". Whether
// the event may act on the contract is ApplyEvent's to say.
std::variant<ContractEvent, EventRefusal> ReadPayoffForm(const PayoffFormTexts& form);
std::variant<ContractEvent, EventRefusal> ReadPrepaymentForm(const PrepaymentFormTexts& form);

}  // namespace quotaplan
