#include "ui/calculation_form.h"

#include <cstdlib>
#include <functional>

#include "common/clock.h"
#include "common/date_text.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/program_info.h"
#include "common/run_time_error.h"
#include "engine/contract_calculation.h"
#include "engine/due_dates.h"
#include "engine/effective_rate.h"
#include "engine/financial_plan.h"
#include "engine/periodicity.h"
#include "engine/plan_builder.h"
#include "engine/rate_schedule.h"
#include "engine/rate_solver.h"
#include "engine/taeg.h"
#include "ui/field_rules.h"

namespace quotaplan {
namespace {

constexpr std::size_t kDescriptionLength = 50;
constexpr std::size_t kLongestAmountText = 16;

bool CountsAsZero(const std::string& text) { return LeadingNumber(text) == 0; }

// The rate is read as the number its field shows: 0,75 is a rate of its own, not the 0
// before its comma. An empty or unreadable text counts as zero.
bool RateIsZero(const std::string& text) {
    const auto rate = TryParseNumber(text);
    return !rate || *rate == 0;
}

// Tasso is the index value when the list was made by "Indicizza" (or stored from it), and an
// index can be 0,00 while the contract's rate, index plus spread, is not. A typed Tasso
// keeps its rule: it must not be 0.
bool ZeroIndexWithSpread(const CalculationForm& form) {
    return form.rateListOrigin != RateListOrigin::Form && !form.rateList.empty() &&
           !RateIsZero(form.spread);
}

void TurnNonNumberToZero(std::string& text) {
    if (!IsNumberText(text)) text = "0";
}

CalendarDate DateOf(const std::string& text) {
    const auto date = ReadDateText(text);
    if (!date) throw RunTimeError::TypeMismatch();
    return *date;
}

bool Refuse(MessageBoxes& boxes, std::optional<FormField>& focus, const char* message,
            FormField field) {
    ShowMessage(boxes, message, "");
    focus = field;
    return false;
}

// An empty date becomes `fill` (the contract date today, the first instalment one period
// after the contract); anything else must read as a date.
bool CheckRequiredDate(std::string& text, const std::function<std::string()>& fill,
                       MessageBoxes& boxes, std::optional<FormField>& focus, FormField field) {
    if (text.empty()) {
        text = fill();
        return true;
    }
    if (IsDateText(text)) return true;
    return Refuse(boxes, focus, "Inserire una data valida!", field);
}

// The amount texts are limited in length before anything is read from them.
bool TooLong(const std::string& text, const char* message, FormField field, MessageBoxes& boxes,
             std::optional<FormField>& focus) {
    if (text.size() <= kLongestAmountText) return false;
    ShowPlainBox(boxes, message, ProgramTitle(), BoxIcon::Exclamation);
    focus = field;
    return true;
}

std::int16_t PeriodsPerYear(const CalculationForm& form) {
    return ConvertPeriodicity(form.periodicityIndex, false);
}

// The buy-out closes the contract, so its date cannot come before the plan reaches it (the
// last instalment; in advance to the cent, a period later).
// Only a form whose dates and count read is judged; the calculation reports the others.
bool BuyoutBeforeLastInstalment(const CalculationForm& form) {
    const auto buyout = ReadDateText(form.dataRiscatto);
    const auto contract = ReadDateText(form.contract);
    const auto start = ReadDateText(form.start);
    if (!buyout || !contract || !start) return false;
    int count = 0;
    try {
        // As the instalment calculation does, a negative count is taken as its size.
        count = std::abs(int{ParseInteger16(form.rate)});
    } catch (const RunTimeError&) {
        return false;
    }
    if (count > 32767) return false;
    const InstalmentCalendar calendar{
        *contract, *start, static_cast<std::int16_t>(count), PeriodsPerYear(form),
        form.advance ? PaymentTiming::Advance : PaymentTiming::Arrears};
    const PlanKind plan = form.centesimo ? PlanKind::ToTheCent : PlanKind::Classic;
    return FallsBeforeBuyoutDue(*buyout, calendar, BuyoutDueOf(calendar.timing, plan));
}

// The form's contract as the plan to the cent and the TAEG read it: count, options and
// dates (the amounts, to the cent, come from ExactAmountsOf).
ContractTerms ScheduleTermsOf(const CalculationForm& form) {
    ContractTerms terms;
    terms.NumRate = ParseInteger16(form.rate);
    terms.Periodicita = PeriodsPerYear(form);
    terms.Semplice = !form.compound;
    terms.Anticipato = form.advance;
    terms.IntRiscatto = form.intRiscatto;
    terms.Centesimo = form.centesimo;
    terms.DataContratto = DateOf(form.contract);
    terms.DataInizio = DateOf(form.start);
    terms.DataRiscatto = ReadDateText(form.dataRiscatto).value_or(CalendarDate());
    return terms;
}

// An amount field to the cent, read as the field's digits say (not through 32 bits).
// Raises RunTimeError 13 for a text that is no number, as reading the field does.
Money CentsOf(const std::string& text) {
    const auto amount = ReadMoney(text);
    if (!amount) throw RunTimeError::TypeMismatch();
    return *amount;
}

ExactAmounts ExactAmountsOf(const CalculationForm& form) {
    ExactAmounts exact;
    exact.value = CentsOf(form.valBene);
    exact.maxi = CentsOf(form.maxi.amountText);
    exact.buyout = CentsOf(form.riscatto.amountText);
    exact.contractFees = CentsOf(form.spContratto);
    exact.instalmentFee = CentsOf(form.spRata);
    exact.instalment = CentsOf(form.result);
    return exact;
}

float AnnualRate(const CalculationForm& form) {
    return (ParseNumber32(form.tasso) + ParseNumber32(form.spread)) / 100.0f;
}

void CalculateInstalment(CalculationForm& form, FinancialPlan& plan, CalculationOutcome& out) {
    RateListDefaults defaults{form.rate, form.start, form.tasso, form.spread,
                              form.periodicityIndex};
    try {
        FillLstWithDefault(form.rateList, defaults);
    } catch (...) {
        form.rate = defaults.rateCountText;
        throw;
    }
    form.rate = defaults.rateCountText;
    const std::int16_t n = ParseInteger16(form.rate);
    const float contractPercent = ParseNumber32(form.tasso) + ParseNumber32(form.spread);
    const std::vector<float> rates = RatesForPlan(ListPercents(form.rateList), n, contractPercent);

    if (form.centesimo) {
        const Money instalment =
            CalculateInstalmentToTheCent(ScheduleTermsOf(form), ExactAmountsOf(form), rates, plan);
        form.result = FormatNumber(instalment.Units(), 1);
    } else {
        const auto buyoutDate = ReadDateText(form.dataRiscatto).value_or(CalendarDate());
        const float instalment =
            BuildPlan(plan, ParseNumber32(form.valBene), ParseNumber32(form.maxi.amountText),
                      ParseNumber32(form.riscatto.amountText), n, PeriodsPerYear(form),
                      AnnualRate(form), 2, form.compound, form.advance, form.intRiscatto,
                      DateOf(form.contract), DateOf(form.start), buyoutDate, rates, 1);
        form.result = FormatNumber(instalment, 1);
    }
    out.planBuilt = true;
    out.saveEnabled = true;
}

bool CalculateRate(CalculationForm& form, MessageBoxes& boxes, CalculationOutcome& out) {
    form.rateList.clear();
    if (LeadingNumber(form.result) < 0) {
        ShowMessage(boxes, "Inserire una rata valida.", "");
        out.focus = FormField::Result;
        return false;
    }
    const float j =
        SolveRate(ParseNumber32(form.valBene), ParseNumber32(form.maxi.amountText),
                  ParseNumber32(form.riscatto.amountText), ParseInteger16(form.rate),
                  PeriodsPerYear(form), ParseNumber32(form.result), 4, form.compound, form.advance);
    form.tasso = GeneralText(j * 100.0f - ParseNumber32(form.spread));
    out.saveEnabled = false;
    return true;
}

// After the asset value is found, the percentage shows the amount's share of it.
void ShowShareOfValue(CoupledPair& pair, const std::string& valueText) {
    if (!HoldsNonZero(pair.amountText)) {
        pair.percentText = "0";
        pair.percentTooltip.clear();
        return;
    }
    const float hundredth = static_cast<float>(ParseNumber64(valueText) / 100.0);
    const float share = ParseNumber32(pair.amountText) / hundredth;
    pair.percentTooltip = std::string(kMaxiTooltipPrefix) + GeneralText(share);
    pair.percentText = FormatNumber(share, 2);
}

void CalculateAssetValue(CalculationForm& form, CalculationOutcome& out) {
    form.rateList.clear();
    for (CoupledPair* pair : {&form.maxi, &form.riscatto}) {
        if (HoldsNonZero(pair->amountText)) {
            pair->amountText = FormatValue(std::string_view(pair->amountText), "#,##0.00");
        }
    }
    const float value =
        AssetValue(ParseNumber32(form.maxi.amountText), ParseNumber32(form.riscatto.amountText),
                   ParseInteger16(form.rate), PeriodsPerYear(form), ParseNumber32(form.result),
                   AnnualRate(form), 0, form.compound, form.advance);
    form.valBene = FormatNumber(value, 1);
    ShowShareOfValue(form.maxi, form.valBene);
    ShowShareOfValue(form.riscatto, form.valBene);
    out.saveEnabled = false;
}

void ShowEffectiveRate(CalculationForm& form, CalculationOutcome& out) {
    const float rate =
        EffectiveRate(ParseNumber32(form.valBene), ParseNumber32(form.spContratto),
                      ParseNumber32(form.maxi.amountText), ParseNumber32(form.riscatto.amountText),
                      ParseInteger16(form.rate), PeriodsPerYear(form), ParseNumber32(form.result),
                      ParseNumber32(form.spRata), form.compound, form.advance);
    form.txEffettivo = FormatValue(static_cast<double>(rate), "0.00%");
    out.effectiveRateShown = true;
}

// The TAEG on the plan just built, or on the instalment field's amount when the rate or
// the asset value was calculated; "n.d." when the flows fix no single rate, with the reason
// as the field's tooltip.
void ShowTaeg(CalculationForm& form, const FinancialPlan& plan, CalculationOutcome& out) {
    const ContractTerms terms = ScheduleTermsOf(form);
    const ExactAmounts exact = ExactAmountsOf(form);
    const TaegSolution taeg = CalculateTaeg(terms, exact, out.planBuilt ? &plan : nullptr);
    form.taeg = TaegText(taeg);
    form.taegTooltip = taeg.rate ? std::string() : NoTaegNote(taeg.missing);
    if (taeg.rate) {
        out.usuryCase =
            UsuryCase{exact.value - exact.maxi, terms.DataContratto, TaegPercent(*taeg.rate)};
    }
    out.earlyFirstDate = FirstDateNotAfterContract(
        {terms.DataContratto, terms.DataInizio, terms.NumRate, terms.Periodicita,
         terms.Anticipato ? PaymentTiming::Advance : PaymentTiming::Arrears});
}

// The instalment a stored plan was made with: its first segment's, as Calcola shows it.
std::optional<double> FirstInstalmentOf(const FinancialPlan& plan) {
    if (!plan.PlanReady || plan.rows.empty()) return std::nullopt;
    if (plan.toTheCent) return plan.toTheCent->instalment.Units();
    return plan.rows.front().Importo;
}

}  // namespace

std::string FirstCharacters(const std::string& text, std::size_t count) {
    std::size_t byte = 0;
    for (std::size_t seen = 0; byte < text.size() && seen < count; ++seen) {
        ++byte;
        while (byte < text.size() && (static_cast<unsigned char>(text[byte]) & 0xC0) == 0x80) {
            ++byte;
        }
    }
    return text.substr(0, byte);
}

std::optional<std::string> DefaultStartText(const std::string& contract, int periodicityIndex) {
    const auto contractDate = ReadDateText(contract);
    if (!contractDate) return std::nullopt;
    return FormatDate(
        DefaultFirstDate(*contractDate, ConvertPeriodicity(periodicityIndex, false)), 1);
}

CalculationOutcome ShowStoredFigures(CalculationForm& form, const FinancialPlan& plan) {
    CalculationOutcome out;
    const std::optional<double> instalment = FirstInstalmentOf(plan);
    if (!instalment) return out;
    CalculationForm shown = form;
    shown.result = FormatNumber(*instalment, 1);
    try {
        out.planBuilt = true;
        ShowEffectiveRate(shown, out);
        ShowTaeg(shown, plan, out);
    } catch (const RunTimeError&) {
        // A stored contract whose fields no longer read has no figures to show; the
        // calculation will say what is wrong with it.
        return CalculationOutcome{};
    }
    out.planBuilt = false;
    form = shown;
    return out;
}

bool bCheckCalcData(CalculationForm& form, MessageBoxes& boxes, std::optional<FormField>& focus) {
    if (form.descBene.empty()) {
        return Refuse(boxes, focus, "Inserire la descrizione del bene!", FormField::DescBene);
    }
    if (form.target != CalcTarget::AssetValue && CountsAsZero(form.valBene)) {
        return Refuse(boxes, focus, "Inserire il Valore del bene!", FormField::ValBene);
    }
    if (form.target != CalcTarget::Rate && RateIsZero(form.tasso) && !ZeroIndexWithSpread(form)) {
        return Refuse(boxes, focus, "Inserire il Tasso!", FormField::Tasso);
    }
    if (CountsAsZero(form.rate)) {
        return Refuse(boxes, focus, "Inserire il Numero di rate!", FormField::Rate);
    }
    if (form.periodicityIndex < 0) {
        return Refuse(boxes, focus, "Inserire una periodicità!", FormField::Periodicita);
    }
    const auto today = [] { return FormatDate(Today(), 1); };
    if (!CheckRequiredDate(form.contract, today, boxes, focus, FormField::Contract)) return false;
    // The contract date reads by now.
    const auto onePeriodOn = [&form] {
        return DefaultStartText(form.contract, form.periodicityIndex).value_or(std::string());
    };
    if (!CheckRequiredDate(form.start, onePeriodOn, boxes, focus, FormField::Start)) return false;
    if (!form.dataRiscatto.empty() &&
        (!IsDateText(form.dataRiscatto) || BuyoutBeforeLastInstalment(form))) {
        return Refuse(boxes, focus, "Inserire una data valida!", FormField::DataRiscatto);
    }
    if (form.target != CalcTarget::Instalment && CountsAsZero(form.result)) {
        return Refuse(boxes, focus, "Inserire la rata!", FormField::Result);
    }
    return true;
}

CalculationOutcome RunCalculateCommand(CalculationForm& form, FinancialPlan& plan,
                                       MessageBoxes& boxes) {
    CalculationOutcome out;
    try {
        form.descBene = FirstCharacters(form.descBene, kDescriptionLength);
        for (std::string* text :
             {&form.maxi.amountText, &form.spread, &form.riscatto.amountText, &form.tasso,
              &form.maxi.percentText, &form.riscatto.percentText, &form.result}) {
            TurnNonNumberToZero(*text);
        }
        if (TooLong(form.valBene, "Valore bene troppo alto", FormField::ValBene, boxes,
                    out.focus) ||
            TooLong(form.maxi.amountText, "Valore MaxiRata troppo alto", FormField::Maxi, boxes,
                    out.focus) ||
            TooLong(form.riscatto.amountText, "Valore Riscatto troppo alto", FormField::Riscatto,
                    boxes, out.focus)) {
            return out;
        }
        const bool assetTarget = form.target == CalcTarget::AssetValue;
        BringIntoStep(form.maxi, form.valBene, assetTarget);
        BringIntoStep(form.riscatto, form.valBene, assetTarget);
        if (!bCheckCalcData(form, boxes, out.focus)) return out;

        switch (form.target) {
            case CalcTarget::Instalment:
                CalculateInstalment(form, plan, out);
                break;
            case CalcTarget::Rate:
                if (!CalculateRate(form, boxes, out)) return out;
                break;
            case CalcTarget::AssetValue:
                CalculateAssetValue(form, out);
                break;
        }
        ShowEffectiveRate(form, out);
        ShowTaeg(form, plan, out);
    } catch (const RunTimeError& error) {
        ShowError(boxes, static_cast<std::int16_t>(error.Number()), error.Description(), "");
    }
    return out;
}

}  // namespace quotaplan
