#include "ui/calculation_form.h"

#include <cstdlib>

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

void TurnNonNumberToZero(std::string& text) {
    if (!IsNumberText(text)) text = "0";
}

CalendarDate DateOf(const std::string& text) {
    const auto date = ReadDateText(text);
    if (!date) throw RunTimeError::TypeMismatch();
    return *date;
}

std::int16_t PeriodsPerYear(const CalculationForm& form) {
    return ConvertPeriodicity(form.periodicityIndex, false);
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
    return FormatDate(DefaultFirstDate(*contractDate, ConvertPeriodicity(periodicityIndex, false)),
                      1);
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

ContractInput InputOf(const CalculationForm& form) {
    ContractInput input;
    input.description = form.descBene;
    input.valBene = form.valBene;
    input.maxi = form.maxi.amountText;
    input.riscatto = form.riscatto.amountText;
    input.tasso = form.tasso;
    input.spread = form.spread;
    input.count = form.rate;
    input.periodicityIndex = form.periodicityIndex;
    input.contract = form.contract;
    input.start = form.start;
    input.dataRiscatto = form.dataRiscatto;
    input.result = form.result;
    input.target = form.target;
    input.advance = form.advance;
    input.toTheCent = form.centesimo;
    input.indexedRates = form.rateListOrigin != RateListOrigin::Form && !form.rateList.empty();
    return input;
}

bool bCheckCalcData(CalculationForm& form, MessageBoxes& boxes, std::optional<FormField>& focus,
                    CalendarDate today) {
    if (const auto refusal = FirstRefusal(InputOf(form), today)) {
        if (refusal->box == RefusalBox::AmountTooLong) {
            ShowPlainBox(boxes, refusal->message, ProgramTitle(), BoxIcon::Exclamation);
        } else {
            ShowMessage(boxes, refusal->message, "");
        }
        focus = refusal->field;
        return false;
    }
    if (form.contract.empty()) form.contract = FormatDate(today, 1);
    if (form.start.empty()) {
        form.start = DefaultStartText(form.contract, form.periodicityIndex).value_or(std::string());
    }
    return true;
}

CalculationOutcome RunCalculateCommand(CalculationForm& form, FinancialPlan& plan,
                                       MessageBoxes& boxes, CalendarDate today) {
    CalculationOutcome out;
    try {
        form.descBene = FirstCharacters(form.descBene, kDescriptionLength);
        for (std::string* text :
             {&form.maxi.amountText, &form.spread, &form.riscatto.amountText, &form.tasso,
              &form.maxi.percentText, &form.riscatto.percentText, &form.result}) {
            TurnNonNumberToZero(*text);
        }
        const bool assetTarget = form.target == CalcTarget::AssetValue;
        BringIntoStep(form.maxi, form.valBene, assetTarget);
        BringIntoStep(form.riscatto, form.valBene, assetTarget);
        if (!bCheckCalcData(form, boxes, out.focus, today)) return out;

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
