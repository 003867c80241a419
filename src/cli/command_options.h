#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace quotaplan {

// The commands that share one kind of refusal when two are asked at once ("Indicare uno solo
// fra ..."): their options are left to that refusal.
enum class CommandFamily {
    Setup,
    Flows,
    Batch,
    Reindex,
    Yearly,
    Event,
    Review,
    Archive,
    Calculation
};

// One command of quotaplan-calc: the options that ask for it and the options it reads (or
// refuses with a message of its own). `contract` adds the calculation's options (--value,
// --rate, --count...), --format aside.
struct CommandOptions {
    std::string_view name;  // as the refusals name it: "--summary", "il calcolo"
    CommandFamily family;
    std::vector<std::string_view> selectors;
    std::vector<std::string_view> takes;
    bool contract = false;
};

// The commands in the order the command line is dispatched: the first whose selector is
// given runs; the last, the calculation, has none.
std::span<const CommandOptions> CommandTable();

// The command the line asks for.
const CommandOptions& CommandOf(const CommandLine& line);

// Whether the command reads the option (its selectors included).
bool Takes(const CommandOptions& command, std::string_view option);

// A refusal (exit status 2) naming every option the asked command would ignore, one line
// each: "--out si usa solo con --report o --export.", "--value non si usa con --list."; and
// --format csv with a result that has no plan rows. Nothing when the line asks for two
// commands of one family, which the command refuses itself.
std::optional<CliFailure> RefuseUnusedOptions(const CommandLine& line);

}  // namespace quotaplan
