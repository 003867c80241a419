#include "cli/calc_command.h"

#include <bit>
#include <cstdint>

#include "cli/json_text.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "engine/taeg.h"
#include "output/contract_header.h"
#include "output/plan_export_rows.h"
#include "output/text_export.h"

namespace quotaplan {
namespace {

// A plan amount as the plan grid shows it: rounded for display to its decimals. An amount
// of the plan to the cent is printed exactly: a 32-bit value cannot hold every cent above
// 167.772,16; a classic one as the shortest 32-bit number, or with Cents as the cents the
// grid shows.
std::string ShownNumber(double value, int formatCode, PlanNumbers numbers) {
    switch (numbers) {
        case PlanNumbers::Exact:
            return Money::FromUnits(value).Decimal();
        case PlanNumbers::Cents:
            return ReadMoney(FormatNumber(value, formatCode)).value_or(Money()).Decimal();
        case PlanNumbers::Float32:
            break;
    }
    return JsonNumber(ParseNumber32(FormatNumber(value, formatCode)));
}

// The row's Tipo: "Maxi.", "Rata", "Sospensione" or "Riscatto", or an event's.
std::string RowTypeOf(const ExportRow& row) { return PlanLineTipo(row.kind); }

// ShownNumber for one column of a plan, the text of the row before kept: the rate and the
// instalment repeat down a plan, and formatting them again row after row was most of the
// calculator's time on a long plan.
class ShownColumn {
public:
    ShownColumn(int formatCode, PlanNumbers numbers) : formatCode_(formatCode), numbers_(numbers) {}
    const std::string& Text(double value) {
        if (!shown_ || std::bit_cast<std::uint64_t>(value) != lastBits_) {
            lastText_ = ShownNumber(value, formatCode_, numbers_);
            lastBits_ = std::bit_cast<std::uint64_t>(value);
            shown_ = true;
        }
        return lastText_;
    }

private:
    int formatCode_;
    PlanNumbers numbers_;
    bool shown_ = false;
    std::uint64_t lastBits_ = 0;
    std::string lastText_;
};

struct PlanColumns {
    explicit PlanColumns(PlanNumbers exact)
        : rate(2, PlanNumbers::Float32), amount(1, exact), capital(1, exact),
          interest(1, exact), residual(1, exact) {}
    ShownColumn rate, amount, capital, interest, residual;
};

void AppendPlanRowJson(std::string& json, const ExportRow& row, PlanColumns& columns) {
    json += "{\"type\": ";
    json += JsonString(RowTypeOf(row));
    if (row.kind == ExportRowKind::Instalment || row.kind == ExportRowKind::Suspension) {
        json += ", \"number\": ";
        json += std::to_string(row.number);
    }
    json += ", \"date\": ";
    json += JsonString(row.date.Iso());
    json += ", \"rate\": ";
    json += columns.rate.Text(row.ratePercent);
    json += ", \"amount\": ";
    json += columns.amount.Text(row.amount);
    json += ", \"capital\": ";
    json += columns.capital.Text(row.capital);
    json += ", \"interest\": ";
    json += columns.interest.Text(row.interest);
    json += ", \"residual\": ";
    json += columns.residual.Text(row.residual);
    // A payment holiday's interest: deferred to the instalment, or borne by the Fund.
    if (row.deferredInterest != 0) {
        json += ", \"deferred_interest\": ";
        json += columns.amount.Text(row.deferredInterest);
    }
    if (row.fundInterest != 0) {
        json += ", \"fund_interest\": ";
        json += columns.amount.Text(row.fundInterest);
    }
    json += '}';
}

}  // namespace

// ", "taeg": 9.68": the percentage with two decimals; when no single rate fits, null and
// the reason in "taeg_note".
std::string TaegJson(const TaegSolution& taeg) {
    if (taeg.rate) return ", \"taeg\": " + TaegPercent(*taeg.rate).Decimal();
    return ", \"taeg\": null, \"taeg_note\": " + JsonString(NoTaegNote(taeg.missing));
}

// ", "capitalisation": "compound", "timing": "arrears": how the contract was calculated, as
// the window's two choices say it (the window starts on simple capitalisation, the
// calculator on compound).
std::string TermsJson(const ContractTerms& terms) {
    return std::string(", \"capitalisation\": ") + (terms.Semplice ? "\"simple\"" : "\"compound\"") +
           ", \"timing\": " + (terms.Anticipato ? "\"advance\"" : "\"arrears\"");
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

std::variant<CalcOutcome, CliFailure> RunCalculation(const CalcOptions& options) {
    constexpr int kRefused = 2;
    constexpr int kArithmeticError = 1;
    auto result = CalculateRequest(options, Today());
    if (auto* failure = std::get_if<CalcFailure>(&result)) {
        return CliFailure{failure->kind == CalcFailureKind::Refused ? kRefused : kArithmeticError,
                          failure->message};
    }
    return std::get<CalcOutcome>(std::move(result));
}

std::string CalcOutcomeJson(const CalcOutcome& outcome) {
    const std::string effective = ", \"effective_rate\": " + JsonNumber(outcome.effectiveRate) +
                                  TaegJson(outcome.taeg) + UsuryJson(outcome);
    // Last, after the keys scripts already read in their places.
    const std::string terms = TermsJson(outcome.terms);
    switch (outcome.target) {
        case SolveTarget::Rate:
            // The rate as the rate field shows it: seven significant digits at most.
            return "{\"rate\": " +
                   JsonNumber(ParseNumber32(GeneralText(outcome.nominalRatePercent))) + effective +
                   terms + "}\n";
        case SolveTarget::Value:
            return "{\"value\": " + JsonNumber(outcome.value) + effective + terms + "}\n";
        case SolveTarget::Instalment:
            break;
    }
    const auto& exact = outcome.plan.toTheCent;
    const std::string instalment =
        exact ? exact->instalment.Decimal() : JsonNumber(outcome.instalment);
    std::string json = "{\"instalment\": " + instalment + effective + ", \"plan\": ";
    AppendPlanJson(json, outcome.plan, exact ? PlanNumbers::Exact : PlanNumbers::Float32);
    json += terms + "}\n";
    return json;
}

void AppendPlanJson(std::string& json, const FinancialPlan& plan, PlanNumbers numbers) {
    const auto rows = PlanRowsForExport(plan);
    // Room for the whole plan at once: grown line by line, the text was copied over and over,
    // and every copy touched fresh memory, a good part of a calculation's start.
    constexpr std::size_t kRowJsonLength = 160;
    json.reserve(json.size() + rows.size() * kRowJsonLength + 8);
    json += '[';
    PlanColumns columns(numbers);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        json += k == 0 ? "\n  " : ",\n  ";
        AppendPlanRowJson(json, rows[k], columns);
    }
    json += "\n]";
}

std::string PlanJson(const FinancialPlan& plan, PlanNumbers numbers) {
    std::string json;
    AppendPlanJson(json, plan, numbers);
    return json;
}

std::string CalcOutcomeCsv(const CalcOutcome& outcome) {
    if (outcome.target != SolveTarget::Instalment) return {};
    // With no heading pairs the text export's lines are the column heading, then one line
    // per export row in order; keep the instalment lines.
    const auto rows = PlanRowsForExport(outcome.plan);
    const auto lines = TextExportLines(ContractHeader{}, outcome.plan);
    std::string csv;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].kind == ExportRowKind::Instalment || rows[k].kind == ExportRowKind::Suspension) {
            csv += lines[k + 1] + "\n";
        }
    }
    return csv;
}

}  // namespace quotaplan
