#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "cli/calc_command.h"
#include "cli/command_line.h"

namespace quotaplan {

// What --export asks for, besides the calculation.
struct ExportOptions {
    std::string kind;  // "txt", "xls" or "doc"
    std::filesystem::path folder;
    std::string description = "Piano finanziario";
    std::string financingType;
    std::string referenceRate;
};

const std::set<std::string>& ExportValueOptions();

// Reads the export options; a CliFailure (exit status 2) for an unknown kind.
std::optional<CliFailure> ReadExportOptions(const CommandLine& line,
                                            const std::filesystem::path& programFolder,
                                            ExportOptions& options);

// Writes the calculated plan as the window's export button would, without opening it.
// Returns the path written, or a CliFailure with the export's Italian message.
std::variant<std::filesystem::path, CliFailure> WriteExport(
    const ExportOptions& options, const CalcOptions& calc, const CalcOutcome& outcome,
    const std::filesystem::path& templateFile);

}  // namespace quotaplan
