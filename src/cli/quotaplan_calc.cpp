#include "cli/quotaplan_calc.h"

#include <iostream>

#include "cli/archive_command.h"
#include "cli/batch_command.h"
#include "cli/calc_command.h"
#include "cli/export_command.h"
#include "cli/index_command.h"
#include "cli/reindex_command.h"
#include "cli/setup_command.h"
#include "cli/taeg_flows_command.h"
#include "cli/usage.h"
#include "cli/usury_command.h"
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
    options.insert(BatchValueOptions().begin(), BatchValueOptions().end());
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
    flags.insert(BatchFlagOptions().begin(), BatchFlagOptions().end());
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
    const bool usesArchive =
        (AsksForArchive(line) || line.Flag("indexed") || AsksForUsury(line)) && !line.Has("db");
    return usesArchive || (line.Has("export") && !line.Has("out"));
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProgramFiles& files, const PictureWriter& pictures) {
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
    if (UsesProgramData(line)) {
        // Without its archive the program can do nothing: the status of a database error.
        if (auto failure = PrepareProgramFiles(files)) return Fail({1, *failure}, err);
    }
    const std::filesystem::path& programFolder = files.dataFolder;
    if (line.Flag("indexed") && !line.Has("import-index")) {
        if (auto failure = IndexFromArchive(line, programFolder, calc, err)) {
            return Fail(*failure, err);
        }
    }
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
                     const ProgramFiles& files, const PictureWriter& pictures) {
    // The last trap: whatever escapes a command is reported in words, never as a crash.
    try {
        return RunCommand(args, out, err, files, pictures);
    } catch (const RunTimeError& error) {
        err << "Errore " << error.Number() << ": " << error.Description() << "\n";
    } catch (const std::exception& error) {
        err << "Errore: " << error.what() << "\n";
    }
    return 1;
}

int RunQuotaplanCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& programFolder, const PictureWriter& pictures) {
    return RunQuotaplanCalc(args, out, err, ReadyToRunFiles(programFolder), pictures);
}

}  // namespace quotaplan
