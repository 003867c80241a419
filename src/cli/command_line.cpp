#include "cli/command_line.h"

namespace quotaplan {

std::optional<CliFailure> CommandLine::Parse(const std::vector<std::string>& args,
                                             const std::set<std::string>& valueOptions,
                                             const std::set<std::string>& flagOptions,
                                             CommandLine& parsed,
                                             const std::set<std::string>& pairOptions) {
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        // -h, the short form every command line knows, where --help is an option.
        const bool shortHelp = word == "-h" && flagOptions.contains("help");
        if (!word.starts_with("--") && !shortHelp) {
            return CliFailure{2, "Argomento non riconosciuto: " + word};
        }
        const std::string name = shortHelp ? "help" : word.substr(2);
        if (flagOptions.contains(name)) {
            parsed.flags_.insert(name);
        } else if (pairOptions.contains(name)) {
            if (k + 2 >= args.size()) {
                return CliFailure{2, "Mancano i due valori dell'opzione " + word};
            }
            parsed.values_[name] = args[++k];
            parsed.secondValues_[name] = args[++k];
        } else if (valueOptions.contains(name)) {
            if (k + 1 >= args.size()) {
                return CliFailure{2, "Manca il valore dell'opzione " + word};
            }
            parsed.values_[name] = args[++k];
        } else {
            return CliFailure{2, "Opzione sconosciuta: " + word};
        }
    }
    return std::nullopt;
}

bool CommandLine::Has(const std::string& option) const {
    return values_.contains(option) || flags_.contains(option);
}

std::optional<std::string> CommandLine::Value(const std::string& option) const {
    const auto found = values_.find(option);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<std::string> CommandLine::SecondValue(const std::string& option) const {
    const auto found = secondValues_.find(option);
    if (found == secondValues_.end()) return std::nullopt;
    return found->second;
}

std::vector<std::string> CommandLine::Names() const {
    std::set<std::string> names = flags_;
    for (const auto& [name, value] : values_) names.insert(name);
    return {names.begin(), names.end()};
}

}  // namespace quotaplan
