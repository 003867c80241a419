#include "ui/form_state.h"

namespace quotaplan {

PlanState StateOfPlan(bool planReady, const std::optional<FormSnapshot>& madeFrom,
                      const FormSnapshot& now) {
    if (!planReady) return PlanState::None;
    if (!madeFrom) return PlanState::Stale;
    // The description names the documents, not their figures: a contract renamed after its
    // calculation keeps its plan.
    FormSnapshot then = *madeFrom;
    then.form.txtDescBene = now.form.txtDescBene;
    return then == now ? PlanState::Current : PlanState::Stale;
}

std::optional<std::string> DocumentRefusal(PlanState state) {
    if (state != PlanState::Stale) return std::nullopt;
    return "Piano non aggiornato: i dati del contratto sono cambiati dopo il calcolo del piano. "
           "Premere Calcola prima di esportare, vedere l'anteprima o stampare.";
}

bool HasUnsavedChanges(SaveMode mode, const std::optional<FormSnapshot>& saved,
                       const FormSnapshot& now) {
    if (!saved || *saved == now) return false;
    const bool described = now.form.txtDescBene.find_first_not_of(' ') != std::string::npos;
    return mode == SaveMode::StoredContract || described;
}

LeaveStep StepAfterAnswer(BoxAnswer answer, bool saveEnabled) {
    switch (answer) {
        case BoxAnswer::Yes:
            return saveEnabled ? LeaveStep::SaveThenProceed : LeaveStep::StayToCalculate;
        case BoxAnswer::No:
            return LeaveStep::Proceed;
        case BoxAnswer::Ok:
        case BoxAnswer::Cancel:
            break;
    }
    return LeaveStep::Stay;
}

Reindexing ReindexingAtCalculation(bool indexedContract, bool listFromIndex, bool listFitsCount,
                                   bool referenceHasValues) {
    if (!indexedContract || (listFromIndex && listFitsCount)) return Reindexing::None;
    return referenceHasValues ? Reindexing::Reapply : Reindexing::Lost;
}

std::string ReindexedNote(const std::string& referenceName) {
    return "Le rate sono state indicizzate di nuovo con i valori di \"" + referenceName +
           "\" più lo spread, come con Indicizza.";
}

std::string IndexationLostWarning(const std::string& referenceName) {
    return "Il tasso di riferimento \"" + referenceName +
           "\" non ha valori: le rate non sono più indicizzate, tutte al Tasso più lo Spread.";
}

}  // namespace quotaplan
