#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/calendar_date.h"
#include "engine/first_refusal.h"
#include "engine/usury.h"
#include "ui/coupled_pair.h"
#include "ui/rate_list.h"

namespace quotaplan {

struct FinancialPlan;
class MessageBoxes;

// Where the rate list of the form came from: the form's own rate (filled by Calcola, or
// typed row by row), "Indicizza", or a stored contract's plan.
enum class RateListOrigin { Form, Indexed, Stored };

// A snapshot of the contract form as the Calculate command reads and writes it: the field
// texts, the option states, the coupled pairs with their stored values, and the rate list.
struct CalculationForm {
    std::string descBene, valBene, spread, tasso, rate, contract, start, dataRiscatto;
    std::string result = "0", spContratto = "0", spRata = "0", txEffettivo;
    std::string taeg;         // txtTAEG: "9,68%", "n.d." when the flows fix no single rate
    std::string taegTooltip;  // txtTAEG's tooltip: why there is no TAEG, empty with one
    CoupledPair maxi;
    CoupledPair riscatto = BuyoutPair();
    int periodicityIndex = 0;  // -1: nothing selected
    bool compound = false;     // optCapCom
    bool advance = false;      // optPagAnt
    bool intRiscatto = false;  // chkIntRiscatto
    bool centesimo = false;    // chkCentesimo: the plan to the cent
    CalcTarget target = CalcTarget::Instalment;
    RateList rateList;
    RateListOrigin rateListOrigin = RateListOrigin::Form;
};

// How a run of the Calculate command ended, for the window to show.
struct CalculationOutcome {
    bool planBuilt = false;           // the plan was replaced: fill the grid
    std::optional<bool> saveEnabled;  // set when the command enables or disables "Salva"
    bool effectiveRateShown = false;  // hide the stale marker, show "Tasso effettivo"
    std::optional<FormField> focus;   // where a message sent the focus
    // The contract as the usury check reads it; set when a TAEG was found.
    std::optional<UsuryCase> usuryCase;
    // Shown beside the TAEG when the first instalment in arrears falls on or before the
    // contract date (kEarlyFirstDateWarning); the figures stand, the dates may be a slip.
    bool earlyFirstDate = false;
};

inline constexpr const char* kEarlyFirstDateWarning =
    "La prima rata cade il giorno del contratto o prima, con pagamento posticipato: il TAEG "
    "ne risulta più alto. Controllare la data della prima rata.";

// The date an empty "Prima rata" takes: one period after the contract date in `contract`
// (DefaultFirstDate) at the periodicity of the list index, as the field shows dates.
// nullopt when `contract` is no date. Raises RunTimeError 5 past the year 9999.
std::optional<std::string> DefaultStartText(const std::string& contract, int periodicityIndex);

// The form's inputs as the checks and the calculation read them. The rate list counts as
// indexed when it comes from indexing or from a stored contract.
ContractInput InputOf(const CalculationForm& form);

// bCheckCalcData: true when the form allows the calculation of form.target (FirstRefusal).
// Otherwise shows the refusal (the form check's message, or the exclamation box of an
// amount too long for its field), names the field for the focus in `focus`, and returns
// false. Fills an empty contract date with `today` and an empty first-instalment date with
// DefaultStartText.
bool bCheckCalcData(CalculationForm& form, MessageBoxes& boxes, std::optional<FormField>& focus,
                    CalendarDate today);

// The "Calcola" command: tidies the fields, brings the coupled pairs into step, checks,
// computes the target (the instalment also replaces `plan`, classic or to the cent), then
// the effective rate and the TAEG.
// Any run-time error ends the command with ShowError; the fields written before it keep
// their new values.
CalculationOutcome RunCalculateCommand(CalculationForm& form, FinancialPlan& plan,
                                       MessageBoxes& boxes, CalendarDate today);

// The figures of a stored contract shown with its stored plan, as a calculation would show
// them: the instalment field the plan's first instalment, the effective rate on it, the
// TAEG on the plan's lines and the form's fees. A plan without instalments, or a form whose
// dates or amounts do not read, leaves the figures as they are and the outcome empty.
CalculationOutcome ShowStoredFigures(CalculationForm& form, const FinancialPlan& plan);

// The text cut to its first `count` characters (not bytes: the text is UTF-8).
std::string FirstCharacters(const std::string& text, std::size_t count);

}  // namespace quotaplan
