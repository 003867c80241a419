#include "cli/command_options.h"

#include <algorithm>

#include "cli/calc_options.h"

namespace quotaplan {
namespace {

using F = CommandFamily;

const std::vector<CommandOptions>& Table() {
    static const std::vector<CommandOptions> table = {
        {"--init-archive", F::Setup, {"init-archive"}, {"db"}},
        {"--copy-archive", F::Setup, {"copy-archive"}, {"rename-duplicates", "replace"}},
        {"--taeg-flows", F::Flows, {"taeg-flows"}, {}},
        {"--batch", F::Batch, {"batch"}, {"jobs", "plans", "format", "db"}},
        {"--reindex-all", F::Reindex, {"reindex-all"}, {"db", "ref-rate", "type"}},
        // Before the review: --id with an event is the event's contract.
        {"--yearly", F::Yearly, {"yearly"}, {"id", "all", "type", "year", "db", "format"}, true},
        {"--payoff, --prepay, --suspend, --renegotiate o --undo-event",
         F::Event,
         {"payoff",          "prepay",        "suspend",     "renegotiate",  "undo-event",
          "method",          "discount-rate", "penalty",     "costs",        "refund",
          "amount",          "keep",          "instalments", "kind",         "interest",
          "fund-share",      "new-rate",      "new-spread",  "new-ref-rate", "new-count",
          "new-periodicity", "lender",        "record"},
         {"id", "db", "format", "indexed", "ref-rate"},
         true},
        {"--report", F::Review, {"report"}, {"db", "out"}},
        {"--import-legal-rates", F::Review, {"import-legal-rates"}, {"db"}},
        {"--bank-plan o --recompute",
         F::Review,
         {"bank-plan", "recompute", "columns", "legal-interest-to", "id"},
         {"db", "default-rate", "default-spread"},
         true},
        {"--save",
         F::Archive,
         {"save"},
         {"db", "type", "ref-rate", "default-rate", "default-spread", "indexed"},
         true},
        {"--list", F::Archive, {"list"}, {"db"}},
        {"--show", F::Archive, {"show"}, {"db"}},
        {"--delete", F::Archive, {"delete"}, {"db"}},
        {"--import-index", F::Archive, {"import-index"}, {"db", "ref-rate"}},
        {"--import-thresholds", F::Archive, {"import-thresholds"}, {"db"}},
        {"--summary", F::Archive, {"summary"}, {"db", "today"}},
        {"--export",
         F::Calculation,
         {"export"},
         {"out", "description", "type", "ref-rate", "indexed", "db", "usury-category"},
         true},
        {"il calcolo",
         F::Calculation,
         {},
         {"format", "db", "type", "ref-rate", "indexed", "usury-category", "default-rate",
          "default-spread"},
         true},
    };
    return table;
}

bool Contains(const std::vector<std::string_view>& options, std::string_view option) {
    return std::find(options.begin(), options.end(), option) != options.end();
}

bool IsContractOption(std::string_view option) {
    const std::string name(option);
    return name != "format" &&
           (CalcValueOptions().contains(name) || CalcFlagOptions().contains(name));
}

bool Selects(const CommandOptions& command, const CommandLine& line) {
    return std::any_of(command.selectors.begin(), command.selectors.end(),
                       [&](std::string_view option) { return line.Has(std::string(option)); });
}

// Whether the line also asks for another command of the same family: that clash has its own
// refusal ("Indicare uno solo fra ...").
bool ClashesInFamily(const CommandOptions& asked, const CommandLine& line) {
    return std::any_of(Table().begin(), Table().end(), [&](const CommandOptions& other) {
        return &other != &asked && other.family == asked.family && Selects(other, line);
    });
}

// "--out si usa solo con --report o --export."; for a command of its own or an option of the
// calculation "--value non si usa con --list.".
std::string UnusedOption(const CommandOptions& asked, std::string_view option) {
    const std::string name = "--" + std::string(option);
    const bool selects = std::any_of(Table().begin(), Table().end(), [&](const auto& command) {
        return Contains(command.selectors, option);
    });
    if (selects || Takes(Table().back(), option)) {
        return name + " non si usa con " + std::string(asked.name) + ".";
    }
    std::vector<std::string_view> owners;
    for (const auto& command : Table()) {
        if (Takes(command, option) && !Contains(owners, command.name)) {
            owners.push_back(command.name);
        }
    }
    std::string text = name + " si usa solo con ";
    for (std::size_t k = 0; k < owners.size(); ++k) {
        if (k > 0) text += k + 1 == owners.size() ? " o " : ", ";
        text += owners[k];
    }
    return text + ".";
}

}  // namespace

std::span<const CommandOptions> CommandTable() { return Table(); }

const CommandOptions& CommandOf(const CommandLine& line) {
    for (const auto& command : Table()) {
        if (Selects(command, line)) return command;
    }
    return Table().back();
}

bool Takes(const CommandOptions& command, std::string_view option) {
    return Contains(command.selectors, option) || Contains(command.takes, option) ||
           (command.contract && IsContractOption(option));
}

std::optional<CliFailure> RefuseUnusedOptions(const CommandLine& line) {
    const CommandOptions& asked = CommandOf(line);
    if (ClashesInFamily(asked, line)) return std::nullopt;
    std::string message;
    for (const std::string& option : line.Names()) {
        if (Takes(asked, option)) continue;
        message += (message.empty() ? "" : "\n") + UnusedOption(asked, option);
    }
    // The CSV lines are the plan's rows: a rate or a value has none.
    if (message.empty() && asked.family == F::Calculation && line.Value("format") == "csv" &&
        line.Has("solve") && line.Value("solve") != "instalment") {
        message = "--format csv stampa le righe del piano: si usa solo con --solve instalment.";
    }
    if (message.empty()) return std::nullopt;
    return CliFailure{2, message};
}

}  // namespace quotaplan
