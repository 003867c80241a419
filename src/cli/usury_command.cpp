#include "cli/usury_command.h"

#include <ostream>

#include "cli/archive_command.h"
#include "cli/index_command.h"
#include "cli/review_options.h"
#include "common/clock.h"
#include "common/name_key.h"
#include "common/number_text.h"
#include "common/stderr_message_boxes.h"
#include "data/db_error.h"
#include "data/sql_helpers.h"
#include "data/usury_thresholds.h"
#include "engine/taeg.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;

// The category the line names, as the table writes it; a refusal when the table lacks it.
std::variant<std::string, CliFailure> AskedCategory(UsuryThresholds& thresholds,
                                                    const std::string& asked) {
    for (const std::string& category : thresholds.Categories()) {
        if (SameName(category, asked)) return category;
    }
    return CliFailure{kRefused,
                      "Categoria non presente fra le soglie d'usura dell'archivio per "
                      "--usury-category: \"" +
                          asked + "\""};
}

// The category of the financing type --type; "" when the type has none.
std::variant<std::string, CliFailure> CategoryOfType(Database& db, UsuryThresholds& thresholds,
                                                     const std::string& type) {
    if (GetIdByDescription(db, "supTipologia", type) == 0) {
        return CliFailure{kRefused,
                          "Valore non presente nell'archivio per --type: \"" + type + "\""};
    }
    return thresholds.CategoryOfType(type).value_or(std::string());
}

}  // namespace

const std::set<std::string>& UsuryValueOptions() {
    static const std::set<std::string> options = {"import-thresholds", "usury-category"};
    return options;
}

int ImportThresholdsCommand(Database& db, MessageBoxes& boxes, const CommandLine& line,
                            std::ostream& out, std::ostream& err) {
    UsuryThresholds thresholds(db, boxes);
    const SeriesImport imported =
        ImportUsuryThresholds(thresholds, *line.Value("import-thresholds"));
    return PrintImport(imported, "{\"thresholds\"", out, err);
}

bool AsksForUsury(const CommandLine& line) {
    return line.Has("usury-category") || (line.Has("type") && line.Has("db"));
}

std::variant<CalcUsury, CliFailure> CheckUsury(Database& db, MessageBoxes& boxes,
                                               const CommandLine& line,
                                               const CalcOutcome& outcome) {
    try {
        UsuryThresholds thresholds(db, boxes);
        const auto category = line.Has("usury-category")
                                  ? AskedCategory(thresholds, *line.Value("usury-category"))
                                  : CategoryOfType(db, thresholds, *line.Value("type"));
        if (const auto* refusal = std::get_if<CliFailure>(&category)) return *refusal;
        CalcUsury usury;
        usury.category = std::get<std::string>(category);
        auto contract = UsuryCaseOf(outcome);
        if (usury.category.empty() || !contract) return usury;
        auto defaultInterest = ReadDefaultInterest(line);
        if (const auto* refusal = std::get_if<CliFailure>(&defaultInterest)) return *refusal;
        if (const auto& interest = std::get<std::optional<DefaultInterest>>(defaultInterest)) {
            const Percent contractRate = Percent::FromValue(ParseNumber64(outcome.fields.tasso) +
                                                            ParseNumber64(outcome.fields.spread));
            contract->defaultRate = interest->RateFor(contractRate);
        }
        usury.judgement = JudgeContract(thresholds.OfCategory(usury.category), *contract);
        return usury;
    } catch (const DatabaseError& error) {
        return CliFailure{kDatabaseError,
                          std::to_string(error.Number()) + " - " + error.Description()};
    }
}

std::variant<CalcUsury, CliFailure> CheckUsuryInArchive(const CommandLine& line,
                                                        const std::filesystem::path& programFolder,
                                                        const CalcOutcome& outcome,
                                                        std::ostream& err) {
    StderrMessageBoxes boxes(err);
    auto db = ConnectArchive(line, programFolder, boxes);
    if (!db) return CliFailure{kDatabaseError, ""};
    return CheckUsury(*db, boxes, line, outcome);
}

}  // namespace quotaplan
