#include "cli/index_command.h"

#include <cstdlib>
#include <ostream>
#include <variant>

#include "cli/archive_command.h"
#include "cli/json_text.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "common/stderr_message_boxes.h"
#include "data/db_error.h"
#include "data/reference_rate_values.h"
#include "data/sql_helpers.h"
#include "engine/indexation.h"
#include "engine/periodicity.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;
constexpr std::int16_t kNoSuchPeriodicity = 6;

struct ReferenceRate {
    std::int32_t id = 0;
    std::string name;  // as the archive writes it
};

// The reference rate --ref-rate names, compared as the archive compares texts.
std::variant<ReferenceRate, CliFailure> NamedReferenceRate(Database& db, const CommandLine& line,
                                                           const char* command) {
    const auto asked = line.Value("ref-rate");
    if (!asked) {
        return CliFailure{kRefused, std::string("--") + command +
                                        " richiede --ref-rate con il nome del tasso di "
                                        "riferimento."};
    }
    const std::int32_t id = GetIdByDescription(db, "supTxRiferimento", *asked);
    if (id == 0) {
        return CliFailure{kRefused,
                          "Valore non presente nell'archivio per --ref-rate: \"" + *asked + "\""};
    }
    return ReferenceRate{id, GetDescriptionById(db, "supTxRiferimento", id)};
}

// The refusals that come before the series is read: what indexing needs from the options.
std::optional<CliFailure> CheckIndexedOptions(const CalcOptions& calc) {
    if (calc.target != SolveTarget::Instalment) {
        return CliFailure{kRefused,
                          "--indexed vale per il calcolo della rata (--solve instalment)."};
    }
    if (calc.ratePercent || !calc.ratesPercent.empty()) {
        return CliFailure{kRefused,
                          "Con --indexed i tassi vengono dai valori del tasso di riferimento: "
                          "togliere --rate e --rates."};
    }
    if (!calc.count || *calc.count == 0) {
        return CliFailure{kRefused, "Inserire il Numero di rate!"};
    }
    if (std::labs(*calc.count) > 32767) return CliFailure{kDatabaseError, "Errore 6: Overflow"};
    if (ConvertPeriodicity(calc.periodicity, true) == kNoSuchPeriodicity) {
        return CliFailure{kRefused, "Inserire una periodicità!"};
    }
    return std::nullopt;
}

CliFailure DatabaseFailure(const DatabaseError& error) {
    return {kDatabaseError, std::to_string(error.Number()) + " - " + error.Description()};
}

}  // namespace

const std::set<std::string>& IndexValueOptions() {
    static const std::set<std::string> options = {"import-index"};
    return options;
}

const std::set<std::string>& IndexFlagOptions() {
    static const std::set<std::string> flags = {"indexed"};
    return flags;
}

int PrintImport(const SeriesImport& imported, const std::string& countsName, std::ostream& out,
                std::ostream& err) {
    switch (imported.status) {
        case SeriesImport::Status::Imported:
            out << countsName << ": " << imported.write.added + imported.write.replaced
                << ", \"added\": " << imported.write.added
                << ", \"replaced\": " << imported.write.replaced << "}\n";
            return 0;
        case SeriesImport::Status::Refused:
            err << imported.message << "\n";
            return kRefused;
        case SeriesImport::Status::Failed:
            break;
    }
    return kDatabaseError;
}

int ImportIndexCommand(Database& db, MessageBoxes& boxes, const CommandLine& line,
                       std::ostream& out, std::ostream& err) {
    const auto named = NamedReferenceRate(db, line, "import-index");
    if (const auto* refusal = std::get_if<CliFailure>(&named)) {
        err << refusal->message << "\n";
        return refusal->exitStatus;
    }
    const auto& rate = std::get<ReferenceRate>(named);
    ReferenceRateValues values(db, boxes);
    const SeriesImport imported =
        ImportIndexSeries(values, rate.id, rate.name, *line.Value("import-index"));
    return PrintImport(imported, "{\"ref_rate\": " + JsonString(rate.name) + ", \"values\"", out,
                       err);
}

std::optional<CliFailure> IndexCalculation(Database& db, MessageBoxes& boxes,
                                           const CommandLine& line, CalcOptions& calc) {
    if (auto refusal = CheckIndexedOptions(calc)) return refusal;
    try {
        const auto named = NamedReferenceRate(db, line, "indexed");
        if (const auto* refusal = std::get_if<CliFailure>(&named)) return *refusal;
        const auto& rate = std::get<ReferenceRate>(named);
        if (IsFixedRateName(rate.name)) {
            return CliFailure{kRefused, "Il tasso di riferimento \"" + rate.name +
                                            "\" è fisso: non si può indicizzare."};
        }
        if (const auto gap =
                IndexRequest(calc, ReferenceRateValues(db, boxes).Series(rate.id), Today())) {
            return CliFailure{kRefused, IndexGapMessage(rate.name, *gap)};
        }
    } catch (const DatabaseError& error) {
        return DatabaseFailure(error);
    } catch (const RunTimeError& error) {
        return CliFailure{kDatabaseError,
                          "Errore " + std::to_string(error.Number()) + ": " + error.Description()};
    }
    return std::nullopt;
}

std::optional<CliFailure> IndexFromArchive(const CommandLine& line,
                                           const std::filesystem::path& programFolder,
                                           CalcOptions& calc, std::ostream& err) {
    StderrMessageBoxes boxes(err);
    auto db = ConnectArchive(line, programFolder, boxes);
    if (!db) return CliFailure{kDatabaseError, ""};
    return IndexCalculation(*db, boxes, line, calc);
}

}  // namespace quotaplan
