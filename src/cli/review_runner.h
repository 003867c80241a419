#pragma once

#include <functional>
#include <iosfwd>

#include "cli/calc_options.h"
#include "cli/command_line.h"
#include "common/program_folder.h"

namespace quotaplan {

// Runs the expert review's commands (review_options.h). They read .xlsx workbooks and draw
// the report with Qt, so only the drawing program has one: the calculator without it hands the
// whole command line over to that program, as it does its pictures. Returns the exit status.
using ReviewRunner =
    std::function<int(const CommandLine& line, const CalcOptions& calc, const ProgramFiles& files,
                      std::ostream& out, std::ostream& err)>;

}  // namespace quotaplan
