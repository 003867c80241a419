#pragma once

#include <optional>
#include <string>

#include "common/message_boxes.h"
#include "data/contract_form.h"
#include "data/contract_store.h"
#include "ui/rate_list.h"

namespace quotaplan {

// The contract form as a plan and a save are made from: every field of the contract, its
// options and its rate list. Two equal snapshots describe the same contract.
struct FormSnapshot {
    ContractForm form;
    RateList rates;
    friend bool operator==(const FormSnapshot&, const FormSnapshot&) = default;
};

// What the plan in memory is to the form beside it.
enum class PlanState {
    None,     // no plan: nothing calculated yet, or a contract stored without one
    Current,  // made from the form as it is: calculated, or the stored plan of the loaded contract
    Stale,    // the form changed since (or the calculation failed midway): heading and rows
              // would describe two different contracts
};

// The state of the plan: None when no plan is ready; Current when it was made from a form
// equal to `now` but for the description (which names the documents, not their figures);
// Stale otherwise, also when nothing is known of what it was made from.
PlanState StateOfPlan(bool planReady, const std::optional<FormSnapshot>& madeFrom,
                      const FormSnapshot& now);

// What the plan page shows above its buttons while the plan is stale.
inline constexpr const char* kStalePlanNote = "Piano non aggiornato: premere Calcola";

// Why the exports, the preview and printing refuse the plan in this state; nullopt when they
// go ahead (without a plan they report that themselves, as before).
std::optional<std::string> DocumentRefusal(PlanState state);

// Whether leaving the contract shown (Nuovo, another contract, closing) loses work: a stored
// contract changed since it was loaded or saved, or a new contract with a description typed
// (only such a contract can be saved) that differs from the empty form. `saved` is the form
// as last loaded, saved or emptied; nothing to lose while it is unknown.
bool HasUnsavedChanges(SaveMode mode, const std::optional<FormSnapshot>& saved,
                       const FormSnapshot& now);

inline constexpr const char* kSaveChangesQuestion = "Salvare le modifiche?";

// The answer to "Salvare le modifiche?" as a step: go on without saving, save first, or stay.
// A save is possible only while "Salva" is enabled (the plan calculated for the form);
// otherwise Yes stays, with kCalculateBeforeSaving.
enum class LeaveStep { Proceed, SaveThenProceed, Stay, StayToCalculate };
LeaveStep StepAfterAnswer(BoxAnswer answer, bool saveEnabled);

inline constexpr const char* kCalculateBeforeSaving =
    "Per salvare il contratto premere prima Calcola, poi Salva.";

// What Calcola does about an indexed contract: one whose rates "Indicizza" made, or a stored
// contract on a reference rate that is not fixed. Its rate list holds the indexed rates only
// until an edit of Tasso, Spread, the first date or the periodicity empties it (or a new
// count leaves it short or long); then the rates would all be Tasso + Spread.
enum class Reindexing {
    None,     // not indexed, or the list still holds the indexed rates for every instalment
    Reapply,  // index the rates again from the reference rate's values, and say so
    Lost,     // the reference rate has no values: warn that the rates are no longer indexed
};
Reindexing ReindexingAtCalculation(bool indexedContract, bool listFromIndex, bool listFitsCount,
                                   bool referenceHasValues);

std::string ReindexedNote(const std::string& referenceName);
std::string IndexationLostWarning(const std::string& referenceName);

}  // namespace quotaplan
