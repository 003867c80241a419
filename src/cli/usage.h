#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quotaplan {

// One option as `quotaplan-calc --help` lists it.
struct OptionHelp {
    std::string_view group;    // the heading it is listed under ("Calcolo", "Archivio", ...)
    std::string_view option;   // its name without the dashes
    std::string_view value;    // what its value stands for; empty for a flag
    std::string_view meaning;  // one line, in Italian
};

// Every option the command line knows, once each; --help lists each group under one heading,
// the groups in the order of their first option. A new option gets its line here.
std::span<const OptionHelp> OptionHelps();

// The whole text of --help: the forms of the command, one line per option under its group's
// heading, and the exit statuses.
std::string UsageText();

}  // namespace quotaplan
