#include "cli/yearly_command.h"

#include <ostream>

#include "cli/archive_command.h"
#include "cli/calc_command.h"
#include "common/run_time_error.h"
#include "common/stderr_message_boxes.h"
#include "data/db_error.h"
#include "data/sql_helpers.h"
#include "data/yearly_statement_query.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kFailed = 1;

struct Stop {
    int exitStatus;
    std::string message;
};

std::optional<std::int32_t> ReadWhole(const std::string& text, std::size_t digits) {
    if (text.empty() || text.size() > digits ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(std::stol(text));
}

void CheckCombination(const CommandLine& line) {
    if (line.Has("id") && line.Flag("all")) {
        throw Stop{kRefused, "--yearly vale per un contratto (--id N) o per l'archivio (--all), "
                             "non per entrambi."};
    }
    if (line.Has("type") && !line.Flag("all")) {
        throw Stop{kRefused, "--type si usa con --yearly solo insieme a --all."};
    }
    if (line.Has("db") && !line.Has("id") && !line.Flag("all")) {
        throw Stop{kRefused, "--db vale per il prospetto annuale solo con --id N o --all."};
    }
}

YearlyTotals FromArchive(const CommandLine& line, const std::filesystem::path& programFolder,
                         std::ostream& err) {
    YearlyScope scope;
    if (const auto text = line.Value("id")) {
        const auto id = ReadWhole(*text, 9);
        if (!id) throw Stop{kRefused, "Valore non valido per --id: \"" + *text + "\" (serve l'ID di un contratto)"};
        scope.contractId = *id;
    }
    StderrMessageBoxes boxes(err);
    auto db = ConnectArchive(line, programFolder, boxes, ArchiveAccess::Reading);
    if (!db) throw Stop{kFailed, ""};
    if (scope.contractId &&
        Recordset(*db, "SELECT ID FROM tabContratti WHERE ID = " + std::to_string(*scope.contractId))
            .Eof()) {
        throw Stop{kRefused, "Il contratto " + *line.Value("id") + " non è nell'archivio."};
    }
    if (const auto type = line.Value("type")) {
        const std::int32_t typeId = GetIdByDescription(*db, "supTipologia", *type);
        if (typeId == 0) {
            throw Stop{kRefused, "Valore non presente nell'archivio per --type: \"" + *type + "\""};
        }
        scope.typeId = typeId;
    }
    return ArchiveYearlyTotals(*db, scope);
}

YearlyTotals FromCalculation(const CalcOptions& calc) {
    if (calc.target != SolveTarget::Instalment) {
        throw Stop{kRefused, "Il prospetto annuale vale sul piano del calcolo della rata."};
    }
    auto calculated = RunCalculation(calc);
    if (auto* failure = std::get_if<CliFailure>(&calculated)) {
        throw Stop{failure->exitStatus, failure->message};
    }
    const CalcOutcome& outcome = std::get<CalcOutcome>(calculated);
    YearlyTotals totals;
    AddPlan(totals, PlanLines(outcome.plan, DerivedLines::WhenNotZero),
            {outcome.terms.DataContratto, outcome.exact.contractFees, outcome.exact.instalmentFee});
    return totals;
}

}  // namespace

const std::set<std::string>& YearlyValueOptions() {
    static const std::set<std::string> options = {"year"};
    return options;
}

const std::set<std::string>& YearlyFlagOptions() {
    static const std::set<std::string> flags = {"yearly", "all"};
    return flags;
}

bool AsksForYearly(const CommandLine& line) { return line.Flag("yearly"); }

bool YearlyUsesArchive(const CommandLine& line) {
    return AsksForYearly(line) && (line.Has("id") || line.Flag("all"));
}

std::string YearlyJson(const std::vector<YearFigures>& years) {
    std::string json = "[";
    for (std::size_t k = 0; k < years.size(); ++k) {
        const YearFigures& year = years[k];
        json += (k == 0 ? "\n  " : ",\n  ") + std::string("{\"year\": ") +
                std::to_string(year.year) + ", \"capital\": " + year.capital.Decimal() +
                ", \"interest\": " + year.interest.Decimal() + ", \"fees\": " +
                year.fees.Decimal() + ", \"paid\": " + year.paid.Decimal() + "}";
    }
    return json + (years.empty() ? "]\n" : "\n]\n");
}

std::string YearlyCsv(const std::vector<YearFigures>& years) {
    std::string csv = "year;capital;interest;fees;paid\n";
    for (const YearFigures& year : years) {
        csv += std::to_string(year.year) + ";" + year.capital.Decimal() + ";" +
               year.interest.Decimal() + ";" + year.fees.Decimal() + ";" + year.paid.Decimal() +
               "\n";
    }
    return csv;
}

int RunYearlyCommand(const CommandLine& line, const CalcOptions& calc,
                     const std::filesystem::path& programFolder, std::ostream& out,
                     std::ostream& err) {
    try {
        CheckCombination(line);
        int onlyYear = 0;
        if (const auto text = line.Value("year")) {
            const auto year = ReadWhole(*text, 4);
            if (!year || *year < 100) {
                throw Stop{kRefused, "Valore non valido per --year: \"" + *text +
                                         "\" (serve un anno come 2025)"};
            }
            onlyYear = *year;
        }
        const YearlyTotals totals = YearlyUsesArchive(line) ? FromArchive(line, programFolder, err)
                                                            : FromCalculation(calc);
        const std::vector<YearFigures> years = totals.Years(onlyYear);
        out << (calc.format == OutputFormat::Csv ? YearlyCsv(years) : YearlyJson(years));
        return 0;
    } catch (const Stop& stop) {
        if (!stop.message.empty()) err << stop.message << "\n";
        return stop.exitStatus;
    } catch (const DatabaseError& error) {
        err << error.Number() << " - " << error.Description() << "\n";
    } catch (const RunTimeError& error) {
        err << "Errore " << error.Number() << ": " << error.Description() << "\n";
    }
    return kFailed;
}

}  // namespace quotaplan
