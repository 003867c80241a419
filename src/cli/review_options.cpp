#include "cli/review_options.h"

#include "cli/calc_options.h"

namespace quotaplan {

const std::set<std::string>& ReviewValueOptions() {
    static const std::set<std::string> options = {
        "recompute",          "bank-plan",    "columns",       "id", "legal-interest-to", "report",
        "import-legal-rates", "default-rate", "default-spread"};
    return options;
}

bool AsksForReview(const CommandLine& line) {
    for (const char* option : {"recompute", "bank-plan", "columns", "id", "legal-interest-to",
                               "report", "import-legal-rates"}) {
        if (line.Has(option)) return true;
    }
    return false;
}

std::variant<std::optional<DefaultInterest>, CliFailure> ReadDefaultInterest(
    const CommandLine& line) {
    if (line.Has("default-rate") && line.Has("default-spread")) {
        return CliFailure{2, "Indicare uno solo fra --default-rate e --default-spread."};
    }
    for (const auto& [option, kind] :
         {std::pair{"default-rate", DefaultInterestKind::Fixed},
          std::pair{"default-spread", DefaultInterestKind::OverContractRate}}) {
        const auto text = line.Value(option);
        if (!text) continue;
        const auto number = ReadDecimal(*text);
        if (!number || *number < 0 || *number > 100) {
            return CliFailure{2, std::string("Valore non valido per --") + option + ": \"" + *text +
                                     "\" (serve un tasso in percentuale fra 0 e 100)"};
        }
        return std::optional<DefaultInterest>(DefaultInterest{kind, Percent::FromValue(*number)});
    }
    return std::optional<DefaultInterest>();
}

}  // namespace quotaplan
