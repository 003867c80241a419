#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/contract_calculation.h"
#include "engine/contract_terms.h"
#include "engine/financial_plan.h"
#include "engine/first_refusal.h"
#include "engine/indexation.h"
#include "engine/taeg.h"
#include "engine/usury.h"

namespace quotaplan {

enum class SolveTarget { Instalment, Rate, Value };
enum class OutputFormat { Json, Csv };

// One calculation asked for without a form: the calculator's options, a line of a batch
// file. Numbers use "." as the decimal separator; rates are percentages, as the window's
// fields hold them. Amounts and rates are kept in 64 bits as given, so that the form's
// texts built from them keep every cent.
struct CalcOptions {
    SolveTarget target = SolveTarget::Instalment;
    OutputFormat format = OutputFormat::Json;
    PlanKind plan = PlanKind::Classic;  // --plan classic|cents
    std::optional<double> value;
    double maxi = 0;
    double buyout = 0;
    std::optional<double> ratePercent;
    double spreadPercent = 0;
    std::optional<long> count;  // the 16-bit range is checked by the calculation
    int periodicity = 12;
    bool simple = false;
    bool advance = false;
    bool buyoutInterest = false;
    std::optional<CalendarDate> contractDate;  // missing: today
    std::optional<CalendarDate> firstDate;     // missing: one period after the contract date
    std::optional<CalendarDate> buyoutDate;    // none: the buy-out falls on its BuyoutDueDate
    double contractFees = 0;
    double instalmentFee = 0;
    std::optional<double> instalment;
    std::vector<double> ratesPercent;  // per-instalment annual rates, spread included
    bool ratesIndexed = false;         // --indexed: ratePercent is the index value
};

// The texts the contract form's input fields would hold with these options once the user
// left them: amounts "#,##0.00", rates "0.00", each from the number as given (64 bits, so
// every cent given is kept). The calculation reads them in 32 bits, as the window reads its
// fields; --save stores them and --export heads its files with them.
struct GivenFields {
    std::string valBene, maxi, riscatto, tasso, spread, spContratto, spRata;
};
GivenFields GivenFieldsOf(const CalcOptions& options);

// The options as the form's checks read them (FirstRefusal): the field texts, dates with
// four-digit years, no description field.
ContractInput InputOf(const CalcOptions& options, const GivenFields& fields);

// The usury check of a calculation: the category it was judged by (empty: the financing type
// has none), and the verdict, none when no threshold is in force or there is no TAEG.
struct CalcUsury {
    std::string category;
    std::optional<UsuryJudgement> judgement;
};

// What one calculation produced: the figure asked for, the effective rate, the TAEG and,
// for the instalment, the plan (to the cent with --plan cents).
struct CalcOutcome {
    GivenFields fields;  // the form's input texts
    ExactAmounts exact;  // the same amounts to the cent
    SolveTarget target = SolveTarget::Instalment;
    float instalment = 0;
    float nominalRatePercent = 0;
    float value = 0;
    float effectiveRate = 0;
    TaegSolution taeg;               // without a rate when none fits the contract's flows
    ContractTerms terms;             // the contract as calculated, results included
    FinancialPlan plan;              // filled by the instalment calculation only
    std::optional<CalcUsury> usury;  // set when the usury check was asked for
};

// A calculation that did not run: refused by the checks (the Italian message), or stopped
// by an arithmetic error ("Errore 6: Overflow").
enum class CalcFailureKind { Refused, Arithmetic };
struct CalcFailure {
    CalcFailureKind kind = CalcFailureKind::Refused;
    std::string message;
};

// Checks the options as the "Calcola" command checks its form (FirstRefusal, the
// description aside, then a --rates list whose first rate is not rate plus spread) and
// runs the calculation; a missing contract date is `today`. Reads no clock and no other
// global state, so that batch workers may call it side by side.
std::variant<CalcOutcome, CalcFailure> CalculateRequest(const CalcOptions& options,
                                                        CalendarDate today);

// Makes the options an indexed calculation, as "Indicizza" fills the form: the rate list
// from the reference rate's series (IndexRates) on the contract's own calendar (a missing
// contract date is `today`, a missing first date one period after it), --rate its first
// index value, the spread as its field shows it. The IndexGap when the series does not reach
// the contract date. Needs a count and a known periodicity (FirstRefusal's); raises
// RunTimeError 6 for a count beyond 16 bits, 5 for a date beyond the year 9999.
std::optional<IndexGap> IndexRequest(CalcOptions& options, const std::vector<IndexValue>& series,
                                     CalendarDate today);

// The amount financed and the contract date of a calculated contract as the usury check
// reads them, with its TAEG; nullopt without a TAEG.
std::optional<UsuryCase> UsuryCaseOf(const CalcOutcome& outcome);

}  // namespace quotaplan
