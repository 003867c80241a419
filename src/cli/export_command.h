#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/calc_command.h"
#include "cli/command_line.h"
#include "cli/picture_export.h"

namespace quotaplan {

// What --export asks for, besides the calculation.
struct ExportOptions {
    std::string kind;  // one of ExportKinds()
    std::filesystem::path folder;
    std::string description = "Piano finanziario";
    std::string financingType;
    std::string referenceRate;
};

// What --export writes: "txt", "xls", "doc" (the window's three exports), "pdf" (the plan
// and its chart) and "png" (the chart alone).
const std::vector<std::string>& ExportKinds();

const std::set<std::string>& ExportValueOptions();

// Reads the export options; a CliFailure (exit status 2) for an unknown kind.
std::optional<CliFailure> ReadExportOptions(const CommandLine& line,
                                            const std::filesystem::path& programFolder,
                                            ExportOptions& options);

// Writes the calculated plan as the window's export button would, without opening it; the
// pdf and png exports through `pictures` (none: a CliFailure).
// Returns the path written, or a CliFailure with the export's Italian message.
std::variant<std::filesystem::path, CliFailure> WriteExport(
    const ExportOptions& options, const CalcOptions& calc, const CalcOutcome& outcome,
    const std::filesystem::path& templateFile, const PictureWriter& pictures);

}  // namespace quotaplan
