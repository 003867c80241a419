#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/indexation.h"
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

struct SuspensionFormTexts {
    std::string date;              // the due date of the first instalment suspended
    std::string instalments;       // k, "6"
    bool wholeInstalment = false;  // "intera rata" rather than "solo quota capitale"
    bool deferInterest = false;    // "differiti" rather than "capitalizzati"
    std::string fundShare;         // percent, "50"; empty: no Fund
    std::string note;
};

// The value of a reference rate in force on `date`: the latest dated on or before it, rounded
// to four decimals; nullopt when none is. Raises nothing.
std::optional<Percent> ReferenceValueOn(const std::vector<IndexValue>& series, CalendarDate date);

// The periodicity list of a renegotiation: "invariata", then kPeriodicityCaptions.
int PeriodicityEntries();
std::string PeriodicityEntry(int entry);

struct RenegotiationFormTexts {
    std::string date;
    std::string rate;    // the new nominal rate without spread; empty: unchanged
    std::string spread;  // the new spread; empty: unchanged
    // The value in force today of the reference rate chosen; none when none is chosen.
    std::optional<Percent> referenceRate;
    std::string count;    // the instalments from the date on; empty: unchanged
    int periodicity = 0;  // PeriodicityEntry; 0 "invariata"
    std::string lender;   // filled: a surrogation
    std::string note;
};

// As ReadPayoffForm: "Inserire una data valida!", "Inserire il numero delle rate sospese!",
// "Inserire una quota del Fondo valida!"; "Inserire un nuovo tasso valido!", "Inserire un
// nuovo spread valido!", "Inserire un numero di rate valido!". The ranges and what a
// renegotiation must change are ApplyEvent's to say.
std::variant<ContractEvent, EventRefusal> ReadSuspensionForm(const SuspensionFormTexts& form);
std::variant<ContractEvent, EventRefusal> ReadRenegotiationForm(const RenegotiationFormTexts& form);

}  // namespace quotaplan
