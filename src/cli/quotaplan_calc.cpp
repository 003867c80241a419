#include "cli/quotaplan_calc.h"

#include <iostream>

#include "cli/archive_command.h"
#include "cli/batch_command.h"
#include "cli/calc_command.h"
#include "cli/command_options.h"
#include "cli/event_command.h"
#include "cli/export_command.h"
#include "cli/index_command.h"
#include "cli/reindex_command.h"
#include "cli/review_options.h"
#include "cli/setup_command.h"
#include "cli/taeg_flows_command.h"
#include "cli/usage.h"
#include "cli/usury_command.h"
#include "cli/yearly_command.h"
#include "common/program_info.h"
#include "common/run_time_error.h"

namespace quotaplan {
namespace {

std::set<std::string> AllValueOptions() {
    std::set<std::string> options = CalcValueOptions();
    options.insert(ExportValueOptions().begin(), ExportValueOptions().end());
    options.insert(ArchiveValueOptions().begin(), ArchiveValueOptions().end());
    options.insert(IndexValueOptions().begin(), IndexValueOptions().end());
    options.insert(UsuryValueOptions().begin(), UsuryValueOptions().end());
    options.insert(EventValueOptions().begin(), EventValueOptions().end());
    options.insert(ReviewValueOptions().begin(), ReviewValueOptions().end());
    options.insert(BatchValueOptions().begin(), BatchValueOptions().end());
    options.insert(YearlyValueOptions().begin(), YearlyValueOptions().end());
    options.insert("taeg-flows");
    return options;
}

std::set<std::string> AllFlagOptions() {
    std::set<std::string> flags = CalcFlagOptions();
    flags.insert(ArchiveFlagOptions().begin(), ArchiveFlagOptions().end());
    flags.insert("help");
    flags.insert("version");
    flags.insert(IndexFlagOptions().begin(), IndexFlagOptions().end());
    flags.insert(SetupFlagOptions().begin(), SetupFlagOptions().end());
    flags.insert(EventFlagOptions().begin(), EventFlagOptions().end());
    flags.insert(BatchFlagOptions().begin(), BatchFlagOptions().end());
    flags.insert(YearlyFlagOptions().begin(), YearlyFlagOptions().end());
    flags.insert("reindex-all");
    return flags;
}

int Fail(const CliFailure& failure, std::ostream& err) {
    // An empty message: the failure has been written already.
    if (!failure.message.empty()) err << failure.message << "\n";
    return failure.exitStatus;
}

// Whether the command reads or writes the user's files rather than only calculating: the
// configured archive (no --db) or the default Export folder (no --out).
bool UsesProgramData(const CommandLine& line) {
    const bool reviewUsesArchive = line.Has("id") || line.Has("report") ||
                                   line.Has("import-legal-rates") || line.Has("legal-interest-to");
    const bool usesArchive = (AsksForArchive(line) || line.Flag("indexed") || AsksForUsury(line) ||
                              EventUsesArchive(line) || YearlyUsesArchive(line) ||
                              reviewUsesArchive) &&
                             !line.Has("db");
    return usesArchive || (line.Has("export") && !line.Has("out"));
}

// Readies the data folder when the command uses it.
std::optional<CliFailure> PrepareProgramFilesFor(const CommandLine& line,
                                                 const ProgramFiles& files) {
    if (!UsesProgramData(line)) return std::nullopt;
    // Without its archive the program can do nothing: the status of a database error.
    if (auto failure = PrepareProgramFiles(files)) return CliFailure{1, *failure};
    return std::nullopt;
}

// The review's commands in the program that has them; elsewhere handed over to the drawing
// program, which replaces this process (a return is a failure to start it).
int RunReview(const CommandLine& line, const CalcOptions& calc, const ProgramFiles& files,
              const PictureWriter& pictures, const ReviewRunner& review, std::ostream& out,
              std::ostream& err) {
    if (review) {
        if (auto failure = PrepareProgramFilesFor(line, files)) return Fail(*failure, err);
        return review(line, calc, files, out, err);
    }
    if (!pictures) return Fail({1, "I comandi di perizia non sono disponibili."}, err);
    const ExportResult handed = pictures(PictureExport{"review", {}, {}, {}, nullptr, {}});
    return Fail({1, handed.message}, err);
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProgramFiles& files, const PictureWriter& pictures,
               const ReviewRunner& review) {
    CommandLine line;
    CalcOptions calc;
    if (auto failure = CommandLine::Parse(args, AllValueOptions(), AllFlagOptions(), line,
                                          SetupPairOptions())) {
        return Fail(*failure, err);
    }
    if (line.Flag("help")) {
        out << UsageText();
        return 0;
    }
    if (line.Flag("version")) {
        out << "quotaplan-calc " << ProgramVersion() << "\n";
        return 0;
    }
    if (auto failure = RefuseUnusedOptions(line)) return Fail(*failure, err);
    if (AsksForSetup(line)) return RunSetupCommand(line, files.dataFolder, out, err);
    if (const auto flowsFile = line.Value("taeg-flows")) return RunTaegFlows(*flowsFile, out, err);
    if (line.Has("batch")) return RunBatchCommand(line, files, std::cin, out, err);
    if (line.Flag("reindex-all")) {
        if (!line.Has("db")) {
            if (auto failure = PrepareProgramFiles(files)) return Fail({1, *failure}, err);
        }
        return RunReindexCommand(line, files.dataFolder, out, err);
    }
    if (auto failure = ReadCalcOptions(line, calc)) return Fail(*failure, err);
    if (AsksForYearly(line)) {
        if (auto failure = PrepareProgramFilesFor(line, files)) return Fail(*failure, err);
        return RunYearlyCommand(line, calc, files.dataFolder, out, err);
    }
    if (AsksForReview(line) && !AsksForEvent(line))
        return RunReview(line, calc, files, pictures, review, out, err);
    if ((line.Has("default-rate") || line.Has("default-spread")) && !line.Has("save") &&
        !AsksForUsury(line)) {
        return Fail({2,
                     "--default-rate e --default-spread valgono con --usury-category, con "
                     "--save o con i comandi di perizia."},
                    err);
    }
    if (auto failure = PrepareProgramFilesFor(line, files)) return Fail(*failure, err);
    const std::filesystem::path& programFolder = files.dataFolder;
    if (line.Flag("indexed") && !line.Has("import-index")) {
        if (auto failure = IndexFromArchive(line, programFolder, calc, err)) {
            return Fail(*failure, err);
        }
    }
    if (AsksForEvent(line)) return RunEventCommand(line, calc, programFolder, out, err);
    if (line.Has("usury-category") &&
        (AsksForArchive(line) || line.Has("export") || calc.format != OutputFormat::Json)) {
        return Fail({2, "--usury-category vale solo per un calcolo stampato in JSON."}, err);
    }
    if (AsksForArchive(line)) return RunArchiveCommand(line, calc, programFolder, out, err);

    ExportOptions exportOptions;
    const bool exporting = line.Has("export");
    if (exporting) {
        if (auto failure = ReadExportOptions(line, programFolder, exportOptions)) {
            return Fail(*failure, err);
        }
    }

    auto result = RunCalculation(calc);
    if (auto* refusal = std::get_if<CliFailure>(&result)) return Fail(*refusal, err);
    auto& outcome = std::get<CalcOutcome>(result);
    if (AsksForUsury(line) && !exporting && calc.format == OutputFormat::Json) {
        auto usury = CheckUsuryInArchive(line, programFolder, outcome, err);
        if (auto* failure = std::get_if<CliFailure>(&usury)) return Fail(*failure, err);
        outcome.usury = std::get<CalcUsury>(std::move(usury));
    }

    if (exporting) {
        auto written = WriteExport(exportOptions, calc, outcome, files.WordTemplate(), pictures);
        if (auto* failure = std::get_if<CliFailure>(&written)) return Fail(*failure, err);
        out << std::get<std::filesystem::path>(written).string() << "\n";
        return 0;
    }
    out << (calc.format == OutputFormat::Csv ? CalcOutcomeCsv(outcome) : CalcOutcomeJson(outcome));
    return 0;
}

}  // namespace

std::set<std::string> KnownOptions() {
    std::set<std::string> options = AllValueOptions();
    options.merge(AllFlagOptions());
    options.insert(SetupPairOptions().begin(), SetupPairOptions().end());
    return options;
}

int RunQuotaplanCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const ProgramFiles& files, const PictureWriter& pictures,
                     const ReviewRunner& review) {
    // The last trap: whatever escapes a command is reported in words, never as a crash.
    try {
        return RunCommand(args, out, err, files, pictures, review);
    } catch (const RunTimeError& error) {
        err << "Errore " << error.Number() << ": " << error.Description() << "\n";
    } catch (const std::exception& error) {
        err << "Errore: " << error.what() << "\n";
    }
    return 1;
}

int RunQuotaplanCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& programFolder, const PictureWriter& pictures,
                     const ReviewRunner& review) {
    return RunQuotaplanCalc(args, out, err, ReadyToRunFiles(programFolder), pictures, review);
}

}  // namespace quotaplan
