#include "cli/export_command.h"

#include <algorithm>

#include "common/number_text.h"
#include "engine/periodicity.h"
#include "engine/taeg.h"
#include "output/contract_header.h"
#include "output/excel_export.h"
#include "output/text_export.h"
#include "output/word_export.h"

namespace quotaplan {
namespace {

constexpr int kAmountFormat = 1;  // "#,##0.00"

std::string PeriodicityCaption(int periodsPerYear) {
    const int index = ConvertPeriodicity(periodsPerYear, true);
    return index < static_cast<int>(kPeriodicityCaptions.size())
               ? std::string(kPeriodicityCaptions[index])
               : std::string();
}

// The form's texts as the window would hold them after the same calculation.
ContractFormTexts FormTextsOf(const ExportOptions& options, const CalcOptions& calc,
                              const CalcOutcome& outcome) {
    const ContractTerms& terms = outcome.terms;
    ContractFormTexts form;
    form.tipo = options.financingType;
    form.descrizione = options.description;
    form.valBene = outcome.fields.valBene;
    form.maxi = outcome.fields.maxi;
    form.spread = outcome.fields.spread;
    form.tasso = outcome.fields.tasso;
    form.txRif = options.referenceRate;
    form.rate = std::to_string(terms.NumRate);
    form.periodicita = PeriodicityCaption(calc.periodicity);
    form.riscatto = outcome.fields.riscatto;
    form.dataContratto = FormatDate(terms.DataContratto, 1);
    form.capitalizzazioneSemplice = terms.Semplice;
    form.pagamentoAnticipato = terms.Anticipato;
    return form;
}

// The figures the window shows beside the form after the same calculation.
PlanFigures FiguresOf(const CalcOutcome& outcome) {
    PlanFigures figures;
    const auto& exact = outcome.plan.toTheCent;
    figures.instalment = exact ? FormatNumber(exact->instalment.Units(), kAmountFormat)
                               : FormatNumber(outcome.instalment, kAmountFormat);
    figures.contractFees = outcome.fields.spContratto;
    figures.instalmentFee = outcome.fields.spRata;
    figures.taeg = TaegText(outcome.taeg);
    figures.toTheCent = exact.has_value();
    return figures;
}

}  // namespace

const std::vector<std::string>& ExportKinds() {
    static const std::vector<std::string> kinds = {"txt", "xls", "doc", "pdf", "png"};
    return kinds;
}

const std::set<std::string>& ExportValueOptions() {
    static const std::set<std::string> options = {"export", "out", "description", "type",
                                                  "ref-rate"};
    return options;
}

std::optional<CliFailure> ReadExportOptions(const CommandLine& line,
                                            const std::filesystem::path& programFolder,
                                            ExportOptions& options) {
    options.kind = line.Value("export").value_or("");
    if (std::find(ExportKinds().begin(), ExportKinds().end(), options.kind) ==
        ExportKinds().end()) {
        return CliFailure{2, "Valore non valido per --export: \"" + options.kind +
                                 "\" (txt, xls, doc, pdf o png)"};
    }
    options.folder = line.Value("out").value_or((programFolder / "Export").string());
    options.description = DescriptionOf(line.Value("description").value_or(options.description));
    options.financingType = line.Value("type").value_or("");
    options.referenceRate = line.Value("ref-rate").value_or("");
    return std::nullopt;
}

std::variant<std::filesystem::path, CliFailure> WriteExport(
    const ExportOptions& options, const CalcOptions& calc, const CalcOutcome& outcome,
    const std::filesystem::path& templateFile, const PictureWriter& pictures) {
    if (outcome.target != SolveTarget::Instalment) {
        return CliFailure{2, "--export richiede il calcolo della rata (--solve instalment)."};
    }
    const ContractHeader header = BuildContractHeader(FormTextsOf(options, calc, outcome));
    ExportResult result;
    if (options.kind == "txt") {
        result = ExportText(options.folder, options.description, header, outcome.plan);
    } else if (options.kind == "xls") {
        result = ExportExcel(options.folder, options.description, header, outcome.plan);
    } else if (options.kind == "doc") {
        result =
            ExportWord(templateFile, options.folder, options.description, header, outcome.plan);
    } else if (pictures) {
        result = pictures(PictureExport{options.kind, options.folder, options.description, header,
                                        &outcome.plan, FiguresOf(outcome)});
    } else {
        return CliFailure{1, "Questo programma non disegna i file PDF e PNG."};
    }
    if (!result.Ok()) return CliFailure{1, result.message};
    return result.file;
}

}  // namespace quotaplan
