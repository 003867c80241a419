#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/indexation.h"
#include "ui/calculation_form.h"
#include "ui/rate_list.h"

namespace quotaplan {

class MessageBoxes;

// What "Indicizza" writes back into the form.
struct IndexedForm {
    std::string tasso;     // the first index value, "0.00"
    std::string rate;      // txtRate as plain digits, its absolute value
    std::string contract;  // an empty date filled with today
    std::string start;
    RateList rateList;                 // one row per instalment: due date and rate
    std::vector<ChangedRate> changed;  // rows whose rate differs from the list before
};

// "Indicizza": the rate list of the contract in the form made from the series of its
// reference rate (IndexRates), rows dated as the plan will date them, and Tasso set to the
// first index value, so that Calcola builds the indexed plan. The rows are compared with
// the list shown before, row by row, when there was one.
// Checks, each shown with ShowMessage (empty title) and naming the field for the focus:
// the count ("Inserire il Numero di rate!"), the periodicity ("Inserire una periodicità!"),
// the contract and first-instalment dates (an empty contract date becomes today, an empty
// first date one period after it, as Calcola fills them; "Inserire una data valida!"), the reference rate ("Fisso", or a series that does not reach the contract
// date: IndexGapMessage). Returns nullopt after a refusal. Throws RunTimeError 6 for a
// count beyond 16 bits, 5 for a due date beyond the year 9999.
std::optional<IndexedForm> IndexContractForm(const CalculationForm& form,
                                             const std::vector<IndexValue>& series,
                                             const std::string& referenceName, MessageBoxes& boxes,
                                             std::optional<FormField>& focus);

}  // namespace quotaplan
