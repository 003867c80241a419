#include "cli/batch_command.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <thread>

#include "cli/archive_command.h"
#include "cli/calc_command.h"
#include "cli/json_text.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "common/stderr_message_boxes.h"
#include "data/db_error.h"
#include "data/portfolio_batch.h"
#include "engine/taeg.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;

std::string Amount(Money amount) { return amount.Decimal(); }

std::string FigureJson(const CalcOutcome& outcome, const BatchAnswer& answer) {
    switch (outcome.target) {
        case SolveTarget::Rate:
            return "\"rate\": " +
                   JsonNumber(ParseNumber32(GeneralText(outcome.nominalRatePercent)));
        case SolveTarget::Value:
            return "\"value\": " + Amount(outcome.exact.value);
        case SolveTarget::Instalment:
            break;
    }
    return "\"instalment\": " + Amount(answer.instalment);
}

std::string AnswerJson(const BatchAnswer& answer, bool plans) {
    std::string json = "{\"line\": " + std::to_string(answer.line) +
                       ", \"description\": " + JsonString(answer.description);
    if (!answer.outcome) return json + ", \"error\": " + JsonString(answer.error) + "}\n";
    const CalcOutcome& outcome = *answer.outcome;
    json += ", " + FigureJson(outcome, answer) + TaegJson(outcome.taeg) + UsuryJson(outcome);
    const bool instalment = outcome.target == SolveTarget::Instalment;
    if (instalment) {
        json += ", \"total_interest\": " + Amount(answer.totals.interest) +
                ", \"total_paid\": " + Amount(answer.totals.paid);
    }
    json += TermsJson(outcome.terms);
    if (instalment && plans) {
        json += ", \"plan\": " +
                PlanJson(outcome.plan,
                         outcome.plan.toTheCent ? PlanNumbers::Exact : PlanNumbers::Cents);
    }
    return json + "}\n";
}

// A CSV field: in double quotes when it holds the separator, a quote or a line break.
std::string CsvText(const std::string& text) {
    if (text.find_first_of(";\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// An amount or percentage as an Italian spreadsheet reads it: decimal comma, no grouping.
std::string CsvNumber(const std::string& decimal) {
    std::string text = decimal;
    for (char& c : text) {
        if (c == '.') c = ',';
    }
    return text;
}

constexpr const char* kCsvHeading =
    "line;description;instalment;taeg;usury_category;usury_threshold;usury_over;"
    "total_interest;total_paid;error\n";

std::string AnswerCsv(const BatchAnswer& answer) {
    std::string csv = std::to_string(answer.line) + ";" + CsvText(answer.description) + ";";
    if (!answer.outcome) return csv + ";;;;;;;" + CsvText(answer.error) + "\n";
    const CalcOutcome& outcome = *answer.outcome;
    const bool instalment = outcome.target == SolveTarget::Instalment;
    csv += (instalment ? CsvNumber(Amount(answer.instalment)) : "") + ";";
    csv += (outcome.taeg.rate ? CsvNumber(TaegPercent(*outcome.taeg.rate).Decimal()) : "") + ";";
    const auto& usury = outcome.usury;
    const auto& judged = usury ? usury->judgement : std::nullopt;
    csv += (usury ? CsvText(usury->category) : "") + ";";
    csv += (judged ? CsvNumber(judged->threshold.Decimal()) : "") + ";";
    csv += std::string(judged ? (judged->over ? "sì" : "no") : "") + ";";
    if (instalment) {
        csv +=
            CsvNumber(Amount(answer.totals.interest)) + ";" + CsvNumber(Amount(answer.totals.paid));
    } else {
        csv += ";";
    }
    return csv + ";\n";
}

std::optional<CliFailure> ReadJobs(const CommandLine& line, int& jobs) {
    jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const auto text = line.Value("jobs");
    if (!text) return std::nullopt;
    const auto number = ReadDecimal(*text);
    if (!number || *number < 1 || *number > 256 || *number != static_cast<int>(*number)) {
        return CliFailure{kRefused, "Valore non valido per --jobs: \"" + *text +
                                        "\" (serve un numero intero da 1 a 256)"};
    }
    jobs = static_cast<int>(*number);
    return std::nullopt;
}

}  // namespace

const std::set<std::string>& BatchValueOptions() {
    static const std::set<std::string> options = {"batch", "jobs"};
    return options;
}

const std::set<std::string>& BatchFlagOptions() {
    static const std::set<std::string> flags = {"plans"};
    return flags;
}

int RunBatchCommand(const CommandLine& line, const ProgramFiles& files, std::istream& in,
                    std::ostream& out, std::ostream& err) {
    const std::string source = *line.Value("batch");
    const bool csv = line.Value("format") == std::optional<std::string>("csv");
    if (line.Has("format") && !csv && line.Value("format") != std::optional<std::string>("json")) {
        err << "Valore non valido per --format: \"" << *line.Value("format") << "\" (json o csv)\n";
        return kRefused;
    }
    if (csv && line.Flag("plans")) {
        err << "--plans vale solo per l'uscita JSON.\n";
        return kRefused;
    }
    BatchSettings settings;
    if (auto failure = ReadJobs(line, settings.jobs)) {
        err << failure->message << "\n";
        return failure->exitStatus;
    }
    settings.keepPlans = line.Flag("plans");
    settings.today = Today();

    std::ifstream file;
    if (source != "-") {
        file.open(source, std::ios::binary);
        if (!file) {
            err << "Impossibile leggere il file \"" << source << "\".\n";
            return kRefused;
        }
    }
    BatchReader reader(source == "-" ? in : file);
    if (auto refusal = reader.Start()) {
        err << *refusal << "\n";
        return kRefused;
    }
    std::optional<UsuryBook> book;
    if (line.Has("db") || reader.NamesUsury()) {
        if (!line.Has("db")) {
            if (auto failure = PrepareProgramFiles(files)) {
                err << *failure << "\n";
                return kDatabaseError;
            }
        }
        StderrMessageBoxes boxes(err);
        auto db = ConnectArchive(line, files.dataFolder, boxes, ArchiveAccess::Reading);
        if (!db) return kDatabaseError;
        try {
            book = ReadUsuryBook(*db);
        } catch (const DatabaseError& error) {
            err << error.Number() << " - " << error.Description() << "\n";
            return kDatabaseError;
        }
        settings.usury = &*book;
    }

    if (csv) out << kCsvHeading;
    const BatchCounts counts = RunBatch(reader, settings, [&](const BatchAnswer& answer) {
        out << (csv ? AnswerCsv(answer) : AnswerJson(answer, settings.keepPlans));
        return static_cast<bool>(out);
    });
    const std::string summary = "{\"good\": " + std::to_string(counts.good) +
                                ", \"bad\": " + std::to_string(counts.bad) + "}\n";
    (csv ? err : out) << summary;
    out.flush();
    return counts.bad > 0 ? kRefused : 0;
}

}  // namespace quotaplan
