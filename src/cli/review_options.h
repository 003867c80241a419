#pragma once

#include <optional>
#include <set>
#include <string>
#include <variant>

#include "cli/command_line.h"
#include "engine/usury.h"

namespace quotaplan {

// The expert review's options: --recompute METHOD, --bank-plan FILE, --columns LIST, --id N,
// --legal-interest-to DATE, --import-legal-rates FILE, --report ID; and the contract's
// default interest, --default-rate J or --default-spread S, which a calculation's usury check
// and --save take too.
const std::set<std::string>& ReviewValueOptions();

// Whether the line asks for a review command (any of the options above but the two of the
// default interest): it runs in the drawing program, which reads .xlsx files and draws the
// report with Qt.
bool AsksForReview(const CommandLine& line);

// --default-rate J (a rate of its own) or --default-spread S (points over the contract's
// rate), percentages with "." as the decimal separator, 0 to 100; none when neither is
// given. A CliFailure (exit status 2) for both at once or a number that does not read.
std::variant<std::optional<DefaultInterest>, CliFailure> ReadDefaultInterest(
    const CommandLine& line);

}  // namespace quotaplan
