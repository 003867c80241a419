#include "engine/calculation_request.h"

#include <cstdlib>

#include "common/number_text.h"
#include "common/run_time_error.h"
#include "engine/due_dates.h"
#include "engine/periodicity.h"
#include "engine/rate_schedule.h"

namespace quotaplan {
namespace {

constexpr int kAmountFormat = 1;    // "#,##0.00"
constexpr int kRateFormat = 2;      // "0.00"
constexpr int kLongDateFormat = 2;  // "dd/mm/yyyy"

// A number as its field holds it once the user leaves the field: its text with two decimals
// (rounded for display), read back in 32 bits, as the window calculates with it.
float AsShown(double value, int formatCode) {
    return ParseNumber32(FormatNumber(value, formatCode));
}

std::string DateText(const std::optional<CalendarDate>& date) {
    return date ? FormatDate(*date, kLongDateFormat) : std::string();
}

// A missing contract date is today; a missing first date one period after the contract
// date, as the window fills its empty fields. Raises RunTimeError 5 past the year 9999.
CalendarDate ContractDateOf(const CalcOptions& options, CalendarDate today) {
    return options.contractDate.value_or(today);
}
CalendarDate FirstDateOf(const CalcOptions& options, CalendarDate today) {
    if (options.firstDate) return *options.firstDate;
    return DefaultFirstDate(ContractDateOf(options, today),
                            static_cast<std::int16_t>(options.periodicity));
}

// The plan's first segment runs at the contract's rate, rate plus spread, and the rate list
// starts from it: a list whose first rate differs would label the first rows with one rate
// and calculate them at another. Compared as the list shows rates, with two decimals.
std::optional<CalcFailure> CheckFirstListedRate(const CalcOptions& options,
                                                const GivenFields& fields) {
    if (options.target != SolveTarget::Instalment || options.ratesPercent.empty()) {
        return std::nullopt;
    }
    const std::string contractRate =
        FormatNumber(ParseNumber32(fields.tasso) + ParseNumber32(fields.spread), kRateFormat);
    const std::string firstListed = FormatNumber(options.ratesPercent.front(), kRateFormat);
    if (firstListed == contractRate) return std::nullopt;
    return CalcFailure{CalcFailureKind::Refused,
                       "Il primo tasso di --rates (" + firstListed +
                           ") deve essere uguale a --rate più --spread (" + contractRate + ")."};
}

// The instalment count as the window reads it: a 16-bit integer, or an overflow.
std::int16_t CountOf(long count) {
    if (count < -32768 || count > 32767) throw RunTimeError::Overflow();
    return static_cast<std::int16_t>(count);
}

// The contract as the window reads its form: the field texts in 32 bits.
ContractTerms TermsOf(const CalcOptions& options, const GivenFields& fields, CalendarDate today) {
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
    terms.DataContratto = ContractDateOf(options, today);
    terms.DataInizio = FirstDateOf(options, today);
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

// Raises RunTimeError on arithmetic failure, CalcFailure for a negative instalment given to
// the rate search.
void Calculate(const CalcOptions& options, CalendarDate today, CalcOutcome& outcome) {
    ContractTerms& terms = outcome.terms;
    terms = TermsOf(options, outcome.fields, today);
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
            if (terms.Rata < 0) {
                throw CalcFailure{CalcFailureKind::Refused, "Inserire una rata valida."};
            }
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

CalcTarget TargetOf(SolveTarget target) {
    switch (target) {
        case SolveTarget::Rate:
            return CalcTarget::Rate;
        case SolveTarget::Value:
            return CalcTarget::AssetValue;
        case SolveTarget::Instalment:
            break;
    }
    return CalcTarget::Instalment;
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

ContractInput InputOf(const CalcOptions& options, const GivenFields& fields) {
    ContractInput input;
    input.valBene = fields.valBene;
    input.maxi = fields.maxi;
    input.riscatto = fields.riscatto;
    input.tasso = fields.tasso;
    input.spread = fields.spread;
    input.count = options.count ? std::to_string(*options.count) : std::string();
    const int index = ConvertPeriodicity(options.periodicity, true);
    input.periodicityIndex = index < static_cast<int>(kPeriodsPerYear.size()) ? index : -1;
    input.contract = DateText(options.contractDate);
    input.start = DateText(options.firstDate);
    input.dataRiscatto = DateText(options.buyoutDate);
    input.result = options.instalment ? FormatNumber(*options.instalment, kAmountFormat) : "0";
    input.target = TargetOf(options.target);
    input.advance = options.advance;
    input.toTheCent = options.plan == PlanKind::ToTheCent;
    input.indexedRates = options.ratesIndexed;
    return input;
}

std::variant<CalcOutcome, CalcFailure> CalculateRequest(const CalcOptions& options,
                                                        CalendarDate today) {
    CalcOutcome outcome;
    outcome.fields = GivenFieldsOf(options);
    if (auto refusal = FirstRefusal(InputOf(options, outcome.fields), today)) {
        return CalcFailure{CalcFailureKind::Refused, refusal->message};
    }
    if (auto refusal = CheckFirstListedRate(options, outcome.fields)) return *refusal;
    outcome.target = options.target;
    try {
        Calculate(options, today, outcome);
    } catch (const CalcFailure& refusal) {
        return refusal;
    } catch (const RunTimeError& error) {
        return CalcFailure{CalcFailureKind::Arithmetic,
                           "Errore " + std::to_string(error.Number()) + ": " + error.Description()};
    }
    return outcome;
}

std::optional<IndexGap> IndexRequest(CalcOptions& options, const std::vector<IndexValue>& series,
                                     CalendarDate today) {
    IndexedContract contract;
    contract.calendar.contractDate = ContractDateOf(options, today);
    contract.calendar.firstDate = FirstDateOf(options, today);
    contract.calendar.count = CountOf(std::labs(options.count.value_or(0)));
    contract.calendar.periodsPerYear = static_cast<std::int16_t>(options.periodicity);
    contract.calendar.timing = options.advance ? PaymentTiming::Advance : PaymentTiming::Arrears;
    // The spread as its field shows it, with two decimals.
    contract.spreadPercent = ParseNumber64(FormatNumber(options.spreadPercent, kRateFormat));
    const auto indexed = IndexRates(series, contract);
    if (const auto* gap = std::get_if<IndexGap>(&indexed)) return *gap;
    const auto& rates = std::get<IndexedRates>(indexed);
    options.ratePercent = static_cast<double>(rates.firstIndexHundredths) / 100.0;
    options.ratesIndexed = true;
    options.ratesPercent.clear();
    for (const std::int64_t hundredths : rates.rateHundredths) {
        options.ratesPercent.push_back(static_cast<double>(hundredths) / 100.0);
    }
    return std::nullopt;
}

std::optional<UsuryCase> UsuryCaseOf(const CalcOutcome& outcome) {
    if (!outcome.taeg.rate) return std::nullopt;
    return UsuryCase{outcome.exact.value - outcome.exact.maxi, outcome.terms.DataContratto,
                     TaegPercent(*outcome.taeg.rate)};
}

}  // namespace quotaplan
