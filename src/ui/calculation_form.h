#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/usury.h"
#include "ui/coupled_pair.h"
#include "ui/rate_list.h"

namespace quotaplan {

struct FinancialPlan;
class MessageBoxes;

// The fields a message can send the focus to.
enum class FormField {
    DescBene,
    ValBene,
    Maxi,
    Riscatto,
    Tasso,
    Rate,
    Periodicita,
    Contract,
    Start,
    DataRiscatto,
    Result
};

// Where the rate list of the form came from: the form's own rate (filled by Calcola, or
// typed row by row), "Indicizza", or a stored contract's plan.
enum class RateListOrigin { Form, Indexed, Stored };

// What "Calcola" computes: optFormula's index.
enum class CalcTarget : std::int16_t { Instalment = 0, Rate = 1, AssetValue = 3 };

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

// bCheckCalcData: true when the form allows the calculation of form.target. Otherwise
// shows the message of the first failing check, names the field for the focus in
// `focus`, and returns false. Fills an empty contract date with today and an empty
// first-instalment date with DefaultStartText.
// A Tasso of 0 is refused ("Inserire il Tasso!") unless the rate list comes from indexing
// or from a stored contract and the spread is not 0: an index worth 0,00 on the contract
// date still leaves the contract its spread.
bool bCheckCalcData(CalculationForm& form, MessageBoxes& boxes, std::optional<FormField>& focus);

// The "Calcola" command: tidies the fields, brings the coupled pairs into step, checks,
// computes the target (the instalment also replaces `plan`, classic or to the cent), then
// the effective rate and the TAEG.
// Any run-time error ends the command with ShowError; the fields written before it keep
// their new values.
CalculationOutcome RunCalculateCommand(CalculationForm& form, FinancialPlan& plan,
                                       MessageBoxes& boxes);

// The figures of a stored contract shown with its stored plan, as a calculation would show
// them: the instalment field the plan's first instalment, the effective rate on it, the
// TAEG on the plan's lines and the form's fees. A plan without instalments, or a form whose
// dates or amounts do not read, leaves the figures as they are and the outcome empty.
CalculationOutcome ShowStoredFigures(CalculationForm& form, const FinancialPlan& plan);

// The text cut to its first `count` characters (not bytes: the text is UTF-8).
std::string FirstCharacters(const std::string& text, std::size_t count);

}  // namespace quotaplan
