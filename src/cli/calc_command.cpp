#include "cli/calc_command.h"

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "cli/json_text.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "engine/contract_calculation.h"
#include "engine/due_dates.h"
#include "engine/rate_schedule.h"
#include "engine/taeg.h"
#include "output/contract_header.h"
#include "output/plan_export_rows.h"
#include "output/text_export.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kArithmeticError = 1;

bool IsKnownPeriodicity(int periodsPerYear) {
    for (const int known : {12, 6, 4, 3, 2, 1}) {
        if (periodsPerYear == known) return true;
    }
    return false;
}

constexpr int kAmountFormat = 1;  // "#,##0.00"
constexpr int kRateFormat = 2;    // "0.00"

// A number as its field holds it once the user leaves the field: its text with two decimals
// (rounded for display), read back in 32 bits, as the window calculates with it.
float AsShown(double value, int formatCode) {
    return ParseNumber32(FormatNumber(value, formatCode));
}

bool IsZero(const std::string& fieldText) { return ParseNumber32(fieldText) == 0; }

// True when the amount's field text is longer than the field's 16 characters:
// 10,000,000,000 and more, where 32-bit amounts no longer hold units.
bool IsTooLong(const std::string& fieldText) {
    constexpr std::size_t kLongestAmountText = 16;
    return fieldText.size() > kLongestAmountText;
}

// A missing contract date is today; a missing first date one period after the contract
// date, as the window fills its empty fields. Raises RunTimeError 5 past the year 9999.
CalendarDate ContractDateOf(const CalcOptions& options) {
    return options.contractDate.value_or(Today());
}
CalendarDate FirstDateOf(const CalcOptions& options) {
    if (options.firstDate) return *options.firstDate;
    return DefaultFirstDate(ContractDateOf(options),
                            static_cast<std::int16_t>(options.periodicity));
}

// The buy-out closes the contract, so its date cannot come before the plan reaches it (the
// last instalment; in advance to the cent, a period later). A count beyond the 16-bit range,
// or a first date beyond the year 9999, is left to the calculation, which reports it.
bool BuyoutBeforeLastInstalment(const CalcOptions& options) {
    if (!options.buyoutDate) return false;
    const long count = std::labs(*options.count);
    if (count > 32767) return false;
    try {
        const InstalmentCalendar calendar{
            ContractDateOf(options), FirstDateOf(options), static_cast<std::int16_t>(count),
            static_cast<std::int16_t>(options.periodicity),
            options.advance ? PaymentTiming::Advance : PaymentTiming::Arrears};
        return FallsBeforeBuyoutDue(*options.buyoutDate, calendar,
                                    BuyoutDueOf(calendar.timing, options.plan));
    } catch (const RunTimeError&) {
        return false;
    }
}

// The plan's first segment runs at the contract's rate, rate plus spread, and the rate list
// starts from it: a list whose first rate differs would label the first rows with one rate
// and calculate them at another. Compared as the list shows rates, with two decimals.
std::optional<CliFailure> CheckFirstListedRate(const CalcOptions& options,
                                               const GivenFields& fields) {
    if (options.target != SolveTarget::Instalment || options.ratesPercent.empty()) {
        return std::nullopt;
    }
    const std::string contractRate =
        FormatNumber(ParseNumber32(fields.tasso) + ParseNumber32(fields.spread), kRateFormat);
    const std::string firstListed = FormatNumber(options.ratesPercent.front(), kRateFormat);
    if (firstListed == contractRate) return std::nullopt;
    return CliFailure{kRefused, "Il primo tasso di --rates (" + firstListed +
                                    ") deve essere uguale a --rate più --spread (" + contractRate +
                                    ")."};
}

// The checks of the window's form check, in its order, less the description; first, as the
// Calculate command does, the amounts too long for their fields.
std::optional<CliFailure> CheckInputs(const CalcOptions& options, const GivenFields& fields) {
    if (options.target != SolveTarget::Value && IsTooLong(fields.valBene)) {
        return CliFailure{kRefused, "Valore bene troppo alto"};
    }
    if (IsTooLong(fields.maxi)) return CliFailure{kRefused, "Valore MaxiRata troppo alto"};
    if (IsTooLong(fields.riscatto)) return CliFailure{kRefused, "Valore Riscatto troppo alto"};
    if (options.target != SolveTarget::Value && IsZero(fields.valBene)) {
        return CliFailure{kRefused, "Inserire il Valore del bene!"};
    }
    // An index worth 0 still leaves an indexed contract its spread; a given --rate must not
    // be 0, as the window's typed Tasso.
    const bool zeroIndexWithSpread = options.ratesIndexed && !IsZero(fields.spread);
    if (options.target != SolveTarget::Rate && IsZero(fields.tasso) && !zeroIndexWithSpread) {
        return CliFailure{kRefused, "Inserire il Tasso!"};
    }
    if (!options.count || *options.count == 0) {
        return CliFailure{kRefused, "Inserire il Numero di rate!"};
    }
    if (!IsKnownPeriodicity(options.periodicity)) {
        return CliFailure{kRefused, "Inserire una periodicità!"};
    }
    if (BuyoutBeforeLastInstalment(options))
        return CliFailure{kRefused, "Inserire una data valida!"};
    if (options.target != SolveTarget::Instalment &&
        !(options.instalment && *options.instalment != 0)) {
        return CliFailure{kRefused, "Inserire la rata!"};
    }
    return CheckFirstListedRate(options, fields);
}

// The instalment count as the window reads it: a 16-bit integer, or an overflow.
std::int16_t CountOf(long count) {
    if (count < -32768 || count > 32767) throw RunTimeError::Overflow();
    return static_cast<std::int16_t>(count);
}

// The contract as the window reads its form: the field texts in 32 bits.
ContractTerms TermsOf(const CalcOptions& options, const GivenFields& fields) {
    ContractTerms terms;
    terms.Valore = ParseNumber32(fields.valBene);
    terms.Maxicanone = ParseNumber32(fields.maxi);
    terms.Riscatto = ParseNumber32(fields.riscatto);
    terms.Tasso = ParseNumber32(fields.tasso);
    terms.Spread = ParseNumber32(fields.spread);
    terms.NumRate = CountOf(*options.count);
    terms.Periodicita = static_cast<std::int16_t>(options.periodicity);
    terms.Semplice = options.simple;
    terms.Anticipato = options.advance;
    terms.DataContratto = ContractDateOf(options);
    terms.DataInizio = FirstDateOf(options);
    terms.DataRiscatto = options.buyoutDate.value_or(CalendarDate{});
    terms.IntRiscatto = options.buyoutInterest;
    terms.Centesimo = options.plan == PlanKind::ToTheCent;
    terms.SpeseContratto = ParseNumber32(fields.spContratto);
    terms.SpeseAddebito = ParseNumber32(fields.spRata);
    terms.Rata = static_cast<float>(options.instalment.value_or(0));
    return terms;
}

// The rate list as the window would hold it: the given rates, or the contract's rate, each
// with the two decimals the list shows (and the plan row then shows), which the plan
// repeats on the rows the list does not reach.
std::vector<float> ListPercents(const CalcOptions& options, const ContractTerms& terms) {
    if (options.ratesPercent.empty()) return {AsShown(terms.Tasso + terms.Spread, kRateFormat)};
    std::vector<float> listed;
    for (const double percent : options.ratesPercent)
        listed.push_back(AsShown(percent, kRateFormat));
    return listed;
}

// The amounts of the form's texts to the cent, and the instalment as its field shows it.
ExactAmounts ExactAmountsOf(const CalcOptions& options, const GivenFields& fields) {
    const auto cents = [](const std::string& text) { return ReadMoney(text).value_or(Money()); };
    ExactAmounts exact;
    exact.value = cents(fields.valBene);
    exact.maxi = cents(fields.maxi);
    exact.buyout = cents(fields.riscatto);
    exact.contractFees = cents(fields.spContratto);
    exact.instalmentFee = cents(fields.spRata);
    exact.instalment = cents(FormatNumber(options.instalment.value_or(0), kAmountFormat));
    return exact;
}

void Calculate(const CalcOptions& options, CalcOutcome& outcome) {
    ContractTerms& terms = outcome.terms;
    terms = TermsOf(options, outcome.fields);
    outcome.exact = ExactAmountsOf(options, outcome.fields);
    switch (options.target) {
        case SolveTarget::Instalment: {
            // As the window does, a negative count is taken as its absolute value.
            terms.NumRate = CountOf(std::labs(*options.count));
            const auto rates = RatesForPlan(ListPercents(options, terms), terms.NumRate,
                                            terms.Tasso + terms.Spread);
            if (options.plan == PlanKind::ToTheCent) {
                const Money instalment =
                    CalculateInstalmentToTheCent(terms, outcome.exact, rates, outcome.plan);
                terms.Rata = static_cast<float>(instalment.Units());
            } else {
                terms.Rata = CalculateInstalment(terms, rates, outcome.plan);
            }
            outcome.instalment = terms.Rata;
            break;
        }
        case SolveTarget::Rate: {
            if (terms.Rata < 0) throw CliFailure{kRefused, "Inserire una rata valida."};
            outcome.nominalRatePercent = CalculateRate(terms).nominalPercent;
            break;
        }
        case SolveTarget::Value:
            terms.Valore = CalculateAssetValue(terms);
            outcome.value = terms.Valore;
            outcome.exact.value = Money::FromUnits(terms.Valore);
            break;
    }
    outcome.effectiveRate = CalculateEffectiveRate(terms);
    terms.TassoEffettivo = outcome.effectiveRate;
    const bool planBuilt = options.target == SolveTarget::Instalment;
    outcome.taeg = CalculateTaeg(terms, outcome.exact, planBuilt ? &outcome.plan : nullptr);
}

// A plan amount as the plan grid shows it: rounded for display to its decimals. An amount
// of the plan to the cent is printed exactly: a 32-bit value cannot hold every cent above
// 167.772,16.
std::string ShownNumber(double value, int formatCode, bool exact) {
    if (exact) return Money::FromUnits(value).Decimal();
    return JsonNumber(ParseNumber32(FormatNumber(value, formatCode)));
}

// The row's Tipo: "Maxi.", "Rata" or "Riscatto".
std::string RowTypeOf(const ExportRow& row) {
    return row.kind == ExportRowKind::Instalment ? "Rata" : ExportRowCaption(row);
}

std::string PlanRowJson(const ExportRow& row, bool exact) {
    std::string json = "{\"type\": " + JsonString(RowTypeOf(row));
    if (row.kind == ExportRowKind::Instalment)
        json += ", \"number\": " + std::to_string(row.number);
    json += ", \"date\": " + JsonString(row.date.Iso());
    json += ", \"rate\": " + ShownNumber(row.ratePercent, 2, false);
    json += ", \"amount\": " + ShownNumber(row.amount, 1, exact);
    json += ", \"capital\": " + ShownNumber(row.capital, 1, exact);
    json += ", \"interest\": " + ShownNumber(row.interest, 1, exact);
    json += ", \"residual\": " + ShownNumber(row.residual, 1, exact);
    return json + "}";
}

// ", "taeg": 9.68": the percentage with two decimals; when no single rate fits, null and
// the reason in "taeg_note".
std::string TaegJson(const TaegSolution& taeg) {
    if (taeg.rate) return ", \"taeg\": " + TaegPercent(*taeg.rate).Decimal();
    return ", \"taeg\": null, \"taeg_note\": " + JsonString(NoTaegNote(taeg.missing));
}

// ", "default": {...}": the default rate, the decree's surcharge (null: not given), the
// threshold it is judged by and the verdict; nothing when the contract has no default rate.
std::string DefaultUsuryJson(const std::optional<UsuryJudgement>& judged) {
    if (!judged || !judged->defaultInterest) return {};
    const DefaultJudgement& mora = *judged->defaultInterest;
    return ", \"default\": {\"rate\": " + mora.rate.Decimal() + ", \"surcharge\": " +
           (mora.surcharge ? mora.surcharge->Decimal() : std::string("null")) +
           ", \"threshold\": " + mora.threshold.Decimal() +
           ", \"over\": " + (mora.over ? "true" : "false") + "}";
}

// ", "usury": {...}": the category, the TEGM, the threshold, the TEG and the verdict; null
// for what is missing.
std::string UsuryJson(const CalcOutcome& outcome) {
    if (!outcome.usury) return {};
    const auto& usury = *outcome.usury;
    const auto& judged = usury.judgement;
    const auto percent = [&](Percent UsuryJudgement::*figure) {
        return judged ? ((*judged).*figure).Decimal() : std::string("null");
    };
    const auto& taeg = outcome.taeg.rate;
    const std::string teg = taeg ? TaegPercent(*taeg).Decimal() : "null";
    return ", \"usury\": {\"category\": " +
           (usury.category.empty() ? std::string("null") : JsonString(usury.category)) +
           ", \"tegm\": " + percent(&UsuryJudgement::tegm) +
           ", \"threshold\": " + percent(&UsuryJudgement::threshold) + ", \"teg\": " + teg +
           ", \"over\": " + (judged ? (judged->over ? "true" : "false") : "null") +
           DefaultUsuryJson(judged) + "}";
}

}  // namespace

GivenFields GivenFieldsOf(const CalcOptions& options) {
    GivenFields fields;
    fields.valBene = FormatNumber(options.value.value_or(0), kAmountFormat);
    fields.maxi = FormatNumber(options.maxi, kAmountFormat);
    fields.riscatto = FormatNumber(options.buyout, kAmountFormat);
    fields.tasso = FormatNumber(options.ratePercent.value_or(0), kRateFormat);
    fields.spread = FormatNumber(options.spreadPercent, kRateFormat);
    fields.spContratto = FormatNumber(options.contractFees, kAmountFormat);
    fields.spRata = FormatNumber(options.instalmentFee, kAmountFormat);
    return fields;
}

std::variant<CalcOutcome, CliFailure> RunCalculation(const CalcOptions& options) {
    CalcOutcome outcome;
    outcome.fields = GivenFieldsOf(options);
    if (auto refusal = CheckInputs(options, outcome.fields)) return *refusal;
    outcome.target = options.target;
    try {
        Calculate(options, outcome);
    } catch (const CliFailure& refusal) {
        return refusal;
    } catch (const RunTimeError& error) {
        return CliFailure{kArithmeticError,
                          "Errore " + std::to_string(error.Number()) + ": " + error.Description()};
    }
    return outcome;
}

std::string CalcOutcomeJson(const CalcOutcome& outcome) {
    const std::string effective = ", \"effective_rate\": " + JsonNumber(outcome.effectiveRate) +
                                  TaegJson(outcome.taeg) + UsuryJson(outcome);
    switch (outcome.target) {
        case SolveTarget::Rate:
            // The rate as the rate field shows it: seven significant digits at most.
            return "{\"rate\": " +
                   JsonNumber(ParseNumber32(GeneralText(outcome.nominalRatePercent))) + effective +
                   "}\n";
        case SolveTarget::Value:
            return "{\"value\": " + JsonNumber(outcome.value) + effective + "}\n";
        case SolveTarget::Instalment:
            break;
    }
    const auto& exact = outcome.plan.toTheCent;
    const std::string instalment =
        exact ? exact->instalment.Decimal() : JsonNumber(outcome.instalment);
    return "{\"instalment\": " + instalment + effective + ", \"plan\": " + PlanJson(outcome.plan) +
           "}\n";
}

std::string PlanJson(const FinancialPlan& plan) {
    std::string json = "[";
    const auto rows = PlanRowsForExport(plan);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        json += (k == 0 ? "\n  " : ",\n  ") + PlanRowJson(rows[k], plan.toTheCent.has_value());
    }
    return json + "\n]";
}

std::string CalcOutcomeCsv(const CalcOutcome& outcome) {
    if (outcome.target != SolveTarget::Instalment) return {};
    // With no heading pairs the text export's lines are the column heading, then one line
    // per export row in order; keep the instalment lines.
    const auto rows = PlanRowsForExport(outcome.plan);
    const auto lines = TextExportLines(ContractHeader{}, outcome.plan);
    std::string csv;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].kind == ExportRowKind::Instalment) csv += lines[k + 1] + "\n";
    }
    return csv;
}

}  // namespace quotaplan
