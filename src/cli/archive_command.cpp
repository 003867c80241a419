#include "cli/archive_command.h"

#include <optional>
#include <ostream>

#include "cli/event_command.h"
#include "cli/index_command.h"
#include "cli/json_text.h"
#include "cli/review_options.h"
#include "cli/usury_command.h"
#include "common/clock.h"
#include "common/name_key.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "common/stderr_message_boxes.h"
#include "data/connection.h"
#include "data/contract_store.h"
#include "data/db_error.h"
#include "data/lookup_lists.h"
#include "data/review_store.h"
#include "data/sql_helpers.h"
#include "data/summary_queries.h"
#include "engine/periodicity.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;

struct ArchiveRefusal {
    int exitStatus;
    std::string message;
};

std::optional<std::int32_t> ReadId(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(std::stol(text));
}

// The entry of a lookup list chosen by its text, or the first entry when none is asked for.
std::string LookupText(Database& db, std::string_view table,
                       const std::optional<std::string>& asked, const char* option) {
    RecordBuffer buffer;
    const auto entries = FillCombo(db, buffer, table);
    if (!asked) {
        return entries.empty() ? std::string() : entries.front();
    }
    // By the archive's name rule.
    std::optional<std::size_t> index;
    for (std::size_t k = 0; k < entries.size() && !index; ++k) {
        if (SameName(entries[k], *asked)) index = k;
    }
    if (!index) {
        throw ArchiveRefusal{kRefused, std::string("Valore non presente nell'archivio per --") + option +
                                    ": \"" + *asked + "\""};
    }
    return entries[*index];
}

// The form as the window shows it after the same calculation.
ContractForm FormOf(const CalcOutcome& outcome, const CalcOptions& calc, std::string description,
                    std::string type, std::string referenceRate) {
    const ContractTerms& terms = outcome.terms;
    ContractForm form;
    form.txtDescBene = std::move(description);
    form.txtValBene = outcome.fields.valBene;
    form.txtMaxi = outcome.fields.maxi;
    form.txtTasso = outcome.fields.tasso;
    form.txtSpread = outcome.fields.spread;
    form.txtRate = std::to_string(terms.NumRate);
    form.txtRiscatto = outcome.fields.riscatto;
    form.cboPeriodicita = ConvertPeriodicity(calc.periodicity, true);
    form.optCapSem = terms.Semplice;
    form.optPagAnt = terms.Anticipato;
    // Four-digit years: the command line's dates may lie beyond the two-digit-year window.
    form.txtContract = FormatDate(terms.DataContratto, 2);
    form.txtStart = FormatDate(terms.DataInizio, 2);
    form.txtDataRiscatto = terms.DataRiscatto.IsZero() ? "" : FormatDate(terms.DataRiscatto, 2);
    form.chkIntRiscatto = terms.IntRiscatto;
    form.chkCentesimo = terms.Centesimo;
    form.txtSpContratto = outcome.fields.spContratto;
    form.txtSpRata = outcome.fields.spRata;
    form.cboTipoLea = std::move(type);
    form.cboTxRif = std::move(referenceRate);
    return form;
}

int Save(Database& db, ContractStore& store, const CommandLine& line, const CalcOptions& calc,
         std::ostream& out) {
    if (calc.target != SolveTarget::Instalment) {
        throw ArchiveRefusal{kRefused, "--save richiede il calcolo della rata (--solve instalment)."};
    }
    // The window cuts the description to its field's 50 characters and requires one first.
    const std::string description = DescriptionOf(*line.Value("save"));
    if (description.find_first_not_of(' ') == std::string::npos) {
        throw ArchiveRefusal{kRefused, "Inserire la descrizione del bene!"};
    }
    auto defaultInterest = ReadDefaultInterest(line);
    if (auto* refusal = std::get_if<CliFailure>(&defaultInterest)) {
        throw ArchiveRefusal{refusal->exitStatus, refusal->message};
    }
    const std::string type = LookupText(db, "supTipologia", line.Value("type"), "type");
    const std::string rate = LookupText(db, "supTxRiferimento", line.Value("ref-rate"), "ref-rate");
    auto result = RunCalculation(calc);
    if (auto* refusal = std::get_if<CliFailure>(&result)) {
        throw ArchiveRefusal{refusal->exitStatus, refusal->message};
    }
    const auto& outcome = std::get<CalcOutcome>(result);
    const ContractForm form = FormOf(outcome, calc, description, type, rate);
    const SaveResult saved =
        store.Save(form, outcome.plan, PlanOwner::For(0, form), SaveMode::NewContract, 0);
    switch (saved.status) {
        case SaveStatus::Saved:
            // The default interest (--default-rate, --default-spread) goes beside the row.
            if (const auto& interest = std::get<std::optional<DefaultInterest>>(defaultInterest)) {
                if (const auto error = SaveDefaultInterest(db, saved.contractId, interest)) {
                    throw ArchiveRefusal{kDatabaseError,
                                  std::to_string(error->number) + " - " + error->description};
                }
            }
            out << saved.contractId << "\n";
            return 0;
        case SaveStatus::Duplicate:
            return kRefused;
        case SaveStatus::Failed:
        case SaveStatus::Ignored:
            break;
    }
    return kDatabaseError;
}

int List(ContractStore& store, std::ostream& out) {
    std::string json = "[";
    bool first = true;
    for (const TreeType& type : store.TreeEntries()) {
        for (const TreeContract& contract : type.contracts) {
            json += (first ? "\n  " : ",\n  ");
            json += "{\"type\": " + JsonString(type.Descrizione) +
                    ", \"id\": " + std::to_string(contract.ID) +
                    ", \"description\": " + JsonString(contract.DescBene) + "}";
            first = false;
        }
    }
    out << json << (first ? "]\n" : "\n]\n");
    return 0;
}

// Asks the contract table itself: a contract whose financing type is missing is not in the
// tree, yet it can still be shown and deleted.
bool Exists(Database& db, std::int32_t id) {
    return !Recordset(db, "SELECT ID FROM tabContratti WHERE ID = " + std::to_string(id)).Eof();
}

std::string FormJson(const ContractForm& form) {
    const auto text = [](const char* name, const std::string& value) {
        return std::string("  \"") + name + "\": " + JsonString(value) + ",\n";
    };
    const auto flag = [](const char* name, bool value) {
        return std::string("  \"") + name + "\": " + (value ? "true" : "false") + ",\n";
    };
    const int index = form.cboPeriodicita;
    const std::string periodicity =
        index >= 0 && index < 6 ? std::string(kPeriodicityCaptions[index]) : std::string();
    return text("description", form.txtDescBene) + text("type", form.cboTipoLea) +
           text("ref_rate", form.cboTxRif) + text("value", form.txtValBene) +
           text("maxi", form.txtMaxi) + text("rate", form.txtTasso) +
           text("spread", form.txtSpread) + text("count", form.txtRate) +
           text("periodicity", periodicity) + text("buyout", form.txtRiscatto) +
           flag("simple", form.optCapSem) + flag("advance", form.optPagAnt) +
           text("contract_date", form.txtContract) + text("first_date", form.txtStart) +
           text("buyout_date", form.txtDataRiscatto) +
           flag("buyout_interest", form.chkIntRiscatto) +
           flag("plan_to_the_cent", form.chkCentesimo) +
           text("contract_fees", form.txtSpContratto) + text("instalment_fee", form.txtSpRata);
}

std::string StoredRowJson(const StoredPlanRow& row) {
    return "{\"id\": " + std::to_string(row.ID) + ", \"type\": " + JsonString(row.Tipo) +
           ", \"date\": " + JsonString(row.Data.IsZero() ? "" : row.Data.Iso()) +
           ", \"rate\": " + JsonNumber(row.Tasso) + ", \"amount\": " + JsonNumber(row.Importo) +
           ", \"capital\": " + JsonNumber(row.QCapitale) +
           ", \"interest\": " + JsonNumber(row.QInteressi) +
           ", \"residual\": " + JsonNumber(row.DebitoRes) + "}";
}

ArchiveRefusal NotInArchive(const std::string& text) {
    return {kRefused, "Il contratto " + text + " non è nell'archivio."};
}

std::int32_t StoredId(Database& db, const std::string& option, const std::string& text) {
    const auto id = ReadId(text);
    if (!id) throw ArchiveRefusal{kRefused, "Valore non valido per --" + option + ": \"" + text + "\""};
    if (!Exists(db, *id)) throw NotInArchive(text);
    return *id;
}

// Prints what can be read of the contract; a stored value that cannot be read is shown
// empty and reported on `boxes`, and the command then fails.
int Show(Database& db, ContractStore& store, const StderrMessageBoxes& boxes,
         const std::string& text, std::ostream& out) {
    const std::int32_t id = StoredId(db, "show", text);
    const int reportedBefore = boxes.Written();
    const auto form = store.Load(id);
    if (!form) return kRefused;
    const bool unreadable = boxes.Written() != reportedBefore;
    std::string json =
        "{\n  \"id\": " + std::to_string(id) + ",\n" + FormJson(*form) + "  \"plan\": [";
    const auto rows = store.LoadPlanRows(id);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        json += (k == 0 ? "\n    " : ",\n    ") + StoredRowJson(rows[k]);
    }
    json += rows.empty() ? "]" : "\n  ]";
    out << json << StoredEventsJson(db, id) << "\n}\n";
    return unreadable ? kDatabaseError : 0;
}

int Delete(Database& db, ContractStore& store, const std::string& text) {
    const std::int32_t id = StoredId(db, "delete", text);
    switch (store.Delete(id)) {
        case DeleteStatus::Deleted:
            return 0;
        case DeleteStatus::NothingSelected:
            return kRefused;
        case DeleteStatus::Gone:
            // Deleted by another program between the look-up above and this delete.
            throw NotInArchive(text);
        case DeleteStatus::Failed:
            break;
    }
    return kDatabaseError;
}

// The figures of the Stato page as JSON: the weighted rate as the page shows it (percent,
// two decimals), the residual debt and the month's instalments as stored.
int Summary(Database& db, std::ostream& out) {
    const PortfolioSummary summary = ReadPortfolioSummary(db);
    const double shownRate = ParseNumber64(FormatNumber(summary.weightedAverageRate, 2));
    std::string json = "{\"weighted_rate\": " + JsonNumber(shownRate) +
                       ", \"residual_debt\": " + JsonNumber(summary.totalResidualDebt) +
                       ", \"due_this_month\": [";
    const auto& rows = summary.instalmentsThisMonth;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        json += (k == 0 ? "\n  " : ",\n  ");
        json += "{\"id\": " + (rows[k].ID != 0 ? std::to_string(rows[k].ID) : "null") +
                ", \"description\": " + JsonString(rows[k].DescBene) +
                ", \"date\": " + JsonString(rows[k].Data.IsZero() ? "" : rows[k].Data.Iso()) +
                ", \"amount\": " + JsonNumber(rows[k].Importo) + "}";
    }
    out << json << (rows.empty() ? "]}\n" : "\n]}\n");
    return 0;
}

// The day --summary counts as today: --today, or the system's.
std::optional<CalendarDate> SummaryDay(const CommandLine& line) {
    const auto text = line.Value("today");
    if (!text) return std::nullopt;
    const auto day = ReadIsoDate(*text);
    if (!day) {
        throw ArchiveRefusal{kRefused, "Valore non valido per --today: \"" + *text +
                                    "\" (serve una data AAAA-MM-GG)"};
    }
    return day;
}

}  // namespace

const std::set<std::string>& ArchiveValueOptions() {
    static const std::set<std::string> options = {"db",   "save",     "show", "delete",
                                                  "type", "ref-rate", "today"};
    return options;
}

const std::set<std::string>& ArchiveFlagOptions() {
    static const std::set<std::string> flags = {"list", "summary"};
    return flags;
}

bool AsksForArchive(const CommandLine& line) {
    return line.Has("save") || line.Has("list") || line.Has("show") || line.Has("delete") ||
           line.Has("import-index") || line.Has("import-thresholds") || line.Has("summary") ||
           line.Has("today");
}

std::optional<Database> ConnectArchive(const CommandLine& line,
                                       const std::filesystem::path& programFolder,
                                       MessageBoxes& boxes, ArchiveAccess access) {
    if (const auto path = line.Value("db")) {
        return OpenWorkingArchive(LocationOfAddress(*path), programFolder, boxes, access);
    }
    return OpenDatabase(programFolder, boxes, access);
}

int RunArchiveCommand(const CommandLine& line, const CalcOptions& calc,
                      const std::filesystem::path& programFolder, std::ostream& out,
                      std::ostream& err) {
    const int commands = line.Has("save") + line.Has("list") + line.Has("show") +
                         line.Has("delete") + line.Has("import-index") +
                         line.Has("import-thresholds") + line.Has("summary");
    if (commands != 1) {
        err << "Indicare uno solo fra --save, --list, --show, --delete, --import-index, "
               "--import-thresholds e --summary.\n";
        return kRefused;
    }
    if (line.Has("today") && !line.Has("summary")) {
        err << "--today si usa solo con --summary.\n";
        return kRefused;
    }
    std::optional<ScopedToday> summaryDay;
    try {
        if (const auto day = SummaryDay(line)) summaryDay.emplace(*day);
    } catch (const ArchiveRefusal& refusal) {
        err << refusal.message << "\n";
        return refusal.exitStatus;
    }
    StderrMessageBoxes boxes(err);
    const bool reads = line.Has("summary") || line.Has("list") || line.Has("show");
    auto db = ConnectArchive(line, programFolder, boxes,
                             reads ? ArchiveAccess::Reading : ArchiveAccess::Writing);
    if (!db) return kDatabaseError;
    ContractStore store(*db, boxes);
    try {
        if (line.Has("summary")) return Summary(*db, out);
        if (line.Has("save")) return Save(*db, store, line, calc, out);
        if (line.Has("list")) return List(store, out);
        if (line.Has("show")) return Show(*db, store, boxes, *line.Value("show"), out);
        if (line.Has("import-index")) return ImportIndexCommand(*db, boxes, line, out, err);
        if (line.Has("import-thresholds")) {
            return ImportThresholdsCommand(*db, boxes, line, out, err);
        }
        return Delete(*db, store, *line.Value("delete"));
    } catch (const ArchiveRefusal& refusal) {
        err << refusal.message << "\n";
        return refusal.exitStatus;
    } catch (const DatabaseError& error) {
        err << error.Number() << " - " << error.Description() << "\n";
        return kDatabaseError;
    } catch (const RunTimeError& error) {
        // A stored value that cannot be read (a text in a number column).
        err << CommandErrorText(error.Number(), error.Description()) << "\n";
        return kDatabaseError;
    }
}

}  // namespace quotaplan
