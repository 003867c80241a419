#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quotaplan {

// A refusal of the command line: the text for standard error and the exit status
// (2 for bad input or a refused request, 1 for an arithmetic or database error).
struct CliFailure {
    int exitStatus;
    std::string message;
};

// The "--name value" and "--flag" words of one command line.
class CommandLine {
public:
    // Splits args into options. Options in valueOptions take the next word as their value,
    // options in pairOptions the next two (Value and SecondValue), options in flagOptions
    // take none; "-h" stands for "--help" when that is a flag option; anything else is
    // refused with exit status 2.
    static std::optional<CliFailure> Parse(const std::vector<std::string>& args,
                                           const std::set<std::string>& valueOptions,
                                           const std::set<std::string>& flagOptions,
                                           CommandLine& parsed,
                                           const std::set<std::string>& pairOptions = {});

    bool Has(const std::string& option) const;
    bool Flag(const std::string& option) const { return flags_.contains(option); }
    std::optional<std::string> Value(const std::string& option) const;
    std::optional<std::string> SecondValue(const std::string& option) const;
    // The options given, in alphabetical order.
    std::vector<std::string> Names() const;

private:
    std::map<std::string, std::string> values_;
    std::map<std::string, std::string> secondValues_;
    std::set<std::string> flags_;
};

}  // namespace quotaplan
