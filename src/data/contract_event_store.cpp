#include "data/contract_event_store.h"

#include <algorithm>

#include "common/run_time_error.h"
#include "data/archive_upgrade.h"
#include "data/event_options.h"
#include "data/plan_line_rows.h"
#include "data/sql_helpers.h"
#include "data/stored_plan.h"
#include "engine/indexation.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

constexpr const char* kEventsTable = "tabEventi";
constexpr const char* kNoEventsToUndo = "Il contratto non ha eventi da annullare.";
constexpr const char* kOlderArchive =
    "L'archivio è di una versione precedente, senza la tabella degli eventi: va aggiornato "
    "aprendolo con un utente che possa scriverci.";

// A write transaction begun at once, rolled back unless committed; its failures stay in the
// connection's error list for the caller to report.
class EventTransaction {
public:
    explicit EventTransaction(Database& db) : db_(db), began_(db.Execute("BEGIN IMMEDIATE")) {}
    EventTransaction(const EventTransaction&) = delete;
    EventTransaction& operator=(const EventTransaction&) = delete;
    ~EventTransaction() {
        if (began_ && !committed_) {
            db_.Execute("ROLLBACK");
            db_.ClearErrors();
        }
    }
    bool Began() const { return began_; }
    bool Commit() { return committed_ = db_.Execute("COMMIT"); }

private:
    Database& db_;
    bool began_;
    bool committed_ = false;
};

EventStoreResult Outcome(EventStoreCode code, std::string message) {
    EventStoreResult result;
    result.code = code;
    result.message = std::move(message);
    return result;
}

// The first error of the connection's list as its line, the list emptied.
EventStoreResult FailedWith(Database& db) {
    const DbError error =
        db.Errors().empty() ? DbError{0, "errore sconosciuto"} : db.Errors().front();
    db.ClearErrors();
    return Outcome(EventStoreCode::Failed, ErrorLine(error));
}

// Runs a changing statement, or throws its error.
void Run(Database& db, const std::string& sql) {
    if (db.Execute(sql)) return;
    const DbError error = db.Errors().empty() ? DbError{} : db.Errors().front();
    db.ClearErrors();
    throw DatabaseError(error);
}

Money Amount(const DbValue& value) { return Money::FromUnits(value.ToDouble()); }

std::string Id(std::int32_t id) { return std::to_string(id); }

// The columns of tabContratti that the events read, by name.
SignedTerms TermsOf(Database& db, const Recordset& row, bool hasCentesimo) {
    SignedTerms terms;
    terms.contractDate = row.Value("DataContratto").ToDate().value_or(CalendarDate());
    const double periods = row.Value("Periodicita").ToDouble();
    if (!(periods >= 1 && periods <= 12)) throw RunTimeError::TypeMismatch();
    terms.periodsPerYear = static_cast<std::int16_t>(periods);
    terms.timing =
        row.Value("Anticipato").ToDouble() != 0 ? PaymentTiming::Advance : PaymentTiming::Arrears;
    terms.capitalisation =
        row.Value("Semplice").ToDouble() != 0 ? Capitalisation::Simple : Capitalisation::Compound;
    terms.plan = hasCentesimo && row.Value("Centesimo").ToDouble() != 0 ? PlanKind::ToTheCent
                                                                        : PlanKind::Classic;
    terms.buyout = Amount(row.Value("Riscatto"));
    terms.buyoutInterest =
        row.Value("IntRiscatto").ToDouble() != 0 ? BuyoutInterest::Yes : BuyoutInterest::No;
    terms.buyoutDate = row.Value("DataRiscatto").ToDate().value_or(CalendarDate());
    terms.contractFees = Amount(row.Value("SpeseContratto"));
    terms.spread = Percent::FromValue(row.Value("Spread").ToDouble());
    const DbValue& reference = row.Value("ID TassoRif");
    if (!reference.IsNull()) {
        Recordset name(
            db, "SELECT Descrizione FROM supTxRiferimento WHERE ID = " + Id(reference.ToLong()));
        const std::string text = name.Eof() ? std::string() : NullToEmpty(name.Value(0));
        if (!text.empty() && !IsFixedRateName(text)) terms.indexation = RateIndexation::Indexed;
    }
    return terms;
}

PenaltyRule TypePenalty(Database& db, const DbValue& typeId) {
    if (typeId.IsNull() || !HasColumn(db, "supTipologia", "PenaleEstinzione")) return {};
    Recordset row(db,
                  "SELECT PenaleEstinzione FROM supTipologia WHERE ID = " + Id(typeId.ToLong()));
    if (row.Eof() || row.Value(0).IsNull()) return {};
    // A regime the program did not write counts as none rather than stopping the statement.
    return ReadPenaltyRule(NullToEmpty(row.Value(0))).value_or(PenaltyRule{});
}

std::vector<StoredEvent> EventsOf(Database& db, std::int32_t contractId) {
    std::vector<StoredEvent> events;
    if (!HasTable(db, kEventsTable)) return events;
    for (Recordset rows(db,
                        "SELECT ID, Data, Tipo, Importo, Penale, Rimborso, Opzioni, Note, "
                        "RigheScritte FROM tabEventi WHERE [ID Leasing] = " +
                            Id(contractId) + " ORDER BY ID");
         !rows.Eof(); rows.MoveNext()) {
        StoredEvent stored;
        stored.id = rows.Value("ID").ToLong();
        stored.paid = Amount(rows.Value("Importo"));
        stored.penalty = Amount(rows.Value("Penale"));
        stored.refund = Amount(rows.Value("Rimborso"));
        stored.linesWritten = rows.Value("RigheScritte").ToLong();
        const auto event = ReadEventOptions(NullToEmpty(rows.Value("Tipo")),
                                            NullToEmpty(rows.Value("Opzioni")), stored.paid);
        if (!event) throw RunTimeError::TypeMismatch();
        stored.event = *event;
        stored.event.date = rows.Value("Data").ToDate().value_or(CalendarDate());
        stored.event.note = NullToEmpty(rows.Value("Note"));
        events.push_back(std::move(stored));
    }
    return events;
}

// The basis with the stored lines it was read from.
struct ReadBasis {
    EventBasis basis;
    std::vector<StoredPlanRow> rows;
};

std::optional<ReadBasis> ReadContract(Database& db, std::int32_t contractId) {
    const bool hasCentesimo = HasColumn(db, "tabContratti", "Centesimo");
    Recordset row(db, std::string("SELECT DescBene, [ID Tipologia], [ID TassoRif], Riscatto, "
                                  "Periodicita, DataContratto, Anticipato, Semplice, "
                                  "SpeseContratto, DataRiscatto, IntRiscatto, Spread") +
                          (hasCentesimo ? ", Centesimo" : "") +
                          " FROM tabContratti WHERE ID = " + Id(contractId));
    if (row.Eof()) return std::nullopt;
    ReadBasis read;
    EventBasis& basis = read.basis;
    basis.contractId = contractId;
    basis.description = NullToEmpty(row.Value("DescBene"));
    basis.terms = TermsOf(db, row, hasCentesimo);
    basis.typePenalty = TypePenalty(db, row.Value("ID Tipologia"));
    read.rows = ReadStoredPlanRows(db, contractId);
    const FinancialPlan stored = StoredPlanOf(read.rows);
    if (stored.toTheCent) basis.plan = *stored.toTheCent;
    basis.events = EventsOf(db, contractId);
    std::vector<ContractEvent> events;
    events.reserve(basis.events.size());
    for (const StoredEvent& stored : basis.events) events.push_back(stored.event);
    RecoverHolidayInterest(basis.terms, basis.plan, events);
    if (!events.empty()) basis.plan.latestEvent = events.back().date;
    basis.termsInForce = TermsInForce(basis.terms, events);
    // The penalties and refunds live with the events, the k-th event on the k-th event line.
    for (std::size_t k = 0; k < basis.plan.eventLines.size() && k < basis.events.size(); ++k) {
        basis.plan.eventLines[k].penalty = basis.events[k].penalty;
        basis.plan.eventLines[k].refund = basis.events[k].refund;
    }
    return read;
}

// The index of the first stored line an event after `kept` instalments replaces: the next
// instalment's, else the buy-out line's; rows.size() when it replaces none.
std::size_t FirstReplaced(const std::vector<StoredPlanRow>& rows, std::size_t kept) {
    std::size_t instalments = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].Tipo == "Riscatto") return k;
        const bool numbered = rows[k].Tipo == "Rata" || rows[k].Tipo == "Sospensione";
        if (numbered && instalments++ == kept) return k;
    }
    return rows.size();
}

// The lines an event writes: its own and every line after it in the new plan; for an event
// without a line of its own (a payment holiday, a renegotiation) the rows after the `kept`
// it left as they were, and the buy-out line.
std::vector<PlanLine> LinesFromTheEvent(const EventResult& result) {
    FinancialPlan shown;
    SetPlanToTheCent(shown, result.plan);
    std::vector<PlanLine> lines = PlanLines(shown, DerivedLines::Always);
    const bool ownLine = std::holds_alternative<PayoffStatement>(result.figures) ||
                         std::holds_alternative<PrepaymentFigures>(result.figures);
    if (ownLine) {
        const auto own = std::find_if(lines.rbegin(), lines.rend(), [](const PlanLine& line) {
            return line.kind == PlanLineKind::Prepayment || line.kind == PlanLineKind::Payoff;
        });
        if (own != lines.rend()) lines.erase(lines.begin(), own.base() - 1);
        return lines;
    }
    const auto first = std::find_if(lines.begin(), lines.end(), [&](const PlanLine& line) {
        return line.kind == PlanLineKind::Buyout ||
               (line.number > 0 && static_cast<std::size_t>(line.number) > result.keptInstalments);
    });
    lines.erase(lines.begin(), first);
    return lines;
}

// What the client paid with the event, its penalty and refund.
struct PaidWith {
    Money paid, penalty, refund;
};

PaidWith PaidWithEvent(const EventResult& result) {
    if (const auto* statement = std::get_if<PayoffStatement>(&result.figures)) {
        return {statement->total, statement->penalty.amount, statement->refund.amount};
    }
    if (const auto* prepayment = std::get_if<PrepaymentFigures>(&result.figures)) {
        return {prepayment->amount, prepayment->penalty.amount, Money()};
    }
    // A payment holiday and a renegotiation move no money on their date.
    return {};
}

std::int32_t InsertEvent(Database& db, std::int32_t contractId, const ContractEvent& event,
                         const EventResult& result, int linesWritten) {
    PreparedStatement insert = db.Prepare(
        "INSERT INTO tabEventi ([ID Leasing], Data, Tipo, Importo, Penale, Rimborso, Opzioni, "
        "Note, RigheScritte) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const PaidWith paid = PaidWithEvent(result);
    const bool bound = insert.Bind(1, DbValue::Integer(contractId)) &&
                       insert.Bind(2, DbValue::Text(event.date.Iso())) &&
                       insert.Bind(3, DbValue::Text(EventKindName(event.Kind()))) &&
                       insert.Bind(4, DbValue::Real(paid.paid.Units())) &&
                       insert.Bind(5, DbValue::Real(paid.penalty.Units())) &&
                       insert.Bind(6, DbValue::Real(paid.refund.Units())) &&
                       insert.Bind(7, DbValue::Text(EventOptionsText(event))) &&
                       insert.Bind(8, event.note.empty() ? DbValue() : DbValue::Text(event.note)) &&
                       insert.Bind(9, DbValue::Integer(linesWritten));
    if (!bound || !insert.Step()) {
        const DbError error = db.Errors().empty() ? DbError{} : db.Errors().front();
        db.ClearErrors();
        throw DatabaseError(error);
    }
    return GetLastId(db, kEventsTable);
}

constexpr const char* kPlanColumns = "Tipo, Data, Tasso, Importo, QInteressi, QCapitale, DebitoRes";

// Whether the contract is still as a caller saw it: the same events, and plan rows with the
// same dates and amounts.
bool SameAsSeen(const EventBasis& now, const EventBasis& seen) {
    const auto sameEvent = [](const StoredEvent& a, const StoredEvent& b) { return a.id == b.id; };
    const auto sameRow = [](const CentsPlanRow& a, const CentsPlanRow& b) {
        return a.date == b.date && a.instalment == b.instalment && a.interest == b.interest &&
               a.capital == b.capital && a.residual == b.residual;
    };
    return std::equal(now.events.begin(), now.events.end(), seen.events.begin(), seen.events.end(),
                      sameEvent) &&
           std::equal(now.plan.rows.begin(), now.plan.rows.end(), seen.plan.rows.begin(),
                      seen.plan.rows.end(), sameRow);
}

}  // namespace

std::optional<EventBasis> ContractEventStore::Basis(std::int32_t contractId) {
    auto read = ReadContract(db_, contractId);
    if (!read) return std::nullopt;
    return std::move(read->basis);
}

std::vector<StoredEvent> ContractEventStore::Events(std::int32_t contractId) {
    return EventsOf(db_, contractId);
}

EventStoreResult ContractEventStore::Record(std::int32_t contractId, const ContractEvent& event,
                                            const EventBasis* seen) {
    EventTransaction transaction(db_);
    if (!transaction.Began()) return FailedWith(db_);
    try {
        if (!HasTable(db_, kEventsTable)) return Outcome(EventStoreCode::Refused, kOlderArchive);
        auto read = ReadContract(db_, contractId);
        if (!read) return Outcome(EventStoreCode::ContractGone, kEventContractGoneMessage);
        if (seen != nullptr && !SameAsSeen(read->basis, *seen)) {
            return Outcome(EventStoreCode::Refused, kEventChangedMeanwhileMessage);
        }
        auto applied = ApplyEvent(read->basis.termsInForce, read->basis.plan, event);
        if (const auto* refusal = std::get_if<EventRefusal>(&applied)) {
            return Outcome(EventStoreCode::Refused, refusal->message);
        }
        EventResult& result = std::get<EventResult>(applied);
        const std::vector<PlanLine> lines = LinesFromTheEvent(result);
        const std::int32_t eventId =
            InsertEvent(db_, contractId, event, result, static_cast<int>(lines.size()));
        const std::size_t first = FirstReplaced(read->rows, result.keptInstalments);
        if (first < read->rows.size()) {
            const std::string from = Id(read->rows[first].ID);
            Run(db_, std::string("INSERT INTO tabEventiPDA ([ID Evento], ") + kPlanColumns +
                         ") SELECT " + Id(eventId) + ", " + kPlanColumns +
                         " FROM tabPDA WHERE [ID Leasing] = " + Id(contractId) +
                         " AND ID >= " + from + " ORDER BY ID");
            Run(db_, "DELETE * FROM tabPDA WHERE [ID Leasing] = " + Id(contractId) +
                         " AND ID >= " + from);
        }
        if (!InsertPlanLines(db_, contractId, lines)) return FailedWith(db_);
        if (!transaction.Commit()) return FailedWith(db_);

        EventStoreResult done;
        done.eventId = eventId;
        EventBasis& basis = read->basis;
        basis.plan = result.plan;
        const PaidWith paid = PaidWithEvent(result);
        basis.events.push_back(
            {eventId, event, paid.paid, paid.penalty, paid.refund, static_cast<int>(lines.size())});
        done.basis = std::move(basis);
        done.result = std::move(result);
        return done;
    } catch (const DatabaseError& error) {
        db_.ClearErrors();
        return Outcome(EventStoreCode::Failed, ErrorLine(error.Error()));
    } catch (const RunTimeError& error) {
        return Outcome(EventStoreCode::Failed,
                       std::to_string(error.Number()) + " - " + error.Description());
    }
}

EventStoreResult ContractEventStore::UndoLatest(std::int32_t contractId) {
    EventTransaction transaction(db_);
    if (!transaction.Began()) return FailedWith(db_);
    try {
        if (!HasTable(db_, kEventsTable)) return Outcome(EventStoreCode::Refused, kNoEventsToUndo);
        auto read = ReadContract(db_, contractId);
        if (!read) return Outcome(EventStoreCode::ContractGone, kEventContractGoneMessage);
        if (read->basis.events.empty()) return Outcome(EventStoreCode::Refused, kNoEventsToUndo);
        const StoredEvent& latest = read->basis.events.back();
        const std::size_t written = static_cast<std::size_t>(std::max(latest.linesWritten, 0));
        if (written > read->rows.size()) throw RunTimeError::TypeMismatch();
        const std::string event = Id(latest.id);
        const std::string contract = Id(contractId);
        if (written > 0) {
            Run(db_, "DELETE * FROM tabPDA WHERE [ID Leasing] = " + contract +
                         " AND ID >= " + Id(read->rows[read->rows.size() - written].ID));
        }
        Run(db_, std::string("INSERT INTO tabPDA ([ID Leasing], ") + kPlanColumns + ") SELECT " +
                     contract + ", " + kPlanColumns +
                     " FROM tabEventiPDA WHERE [ID Evento] = " + event + " ORDER BY ID");
        Run(db_, "DELETE * FROM tabEventiPDA WHERE [ID Evento] = " + event);
        Run(db_, "DELETE * FROM tabEventi WHERE ID = " + event);
        auto after = ReadContract(db_, contractId);
        if (!transaction.Commit()) return FailedWith(db_);
        EventStoreResult done;
        done.eventId = latest.id;
        if (after) done.basis = std::move(after->basis);
        return done;
    } catch (const DatabaseError& error) {
        db_.ClearErrors();
        return Outcome(EventStoreCode::Failed, ErrorLine(error.Error()));
    } catch (const RunTimeError& error) {
        return Outcome(EventStoreCode::Failed,
                       std::to_string(error.Number()) + " - " + error.Description());
    }
}

bool ArchiveKeepsEvents(Database& db) { return HasTable(db, kEventsTable); }

bool AnyEventOf(Database& db, std::int32_t contractId) {
    return !Recordset(db, "SELECT TOP 1 ID FROM tabEventi WHERE [ID Leasing] = " + Id(contractId))
                .Eof();
}

std::set<std::int32_t> ContractsWithEvents(Database& db) {
    std::set<std::int32_t> contracts;
    for (Recordset rows(db, "SELECT DISTINCT [ID Leasing] FROM tabEventi"); !rows.Eof();
         rows.MoveNext()) {
        contracts.insert(static_cast<std::int32_t>(rows.Value(0).ToLong()));
    }
    return contracts;
}

bool ContractHasEvents(Database& db, std::int32_t contractId) {
    return ArchiveKeepsEvents(db) && AnyEventOf(db, contractId);
}

bool DeleteContractEvents(Database& db, std::int32_t contractId) {
    if (!HasTable(db, kEventsTable)) return true;
    const std::string contract = Id(contractId);
    return db.Execute(
               "DELETE * FROM tabEventiPDA WHERE [ID Evento] IN (SELECT ID FROM tabEventi "
               "WHERE [ID Leasing] = " +
               contract + ")") &&
           db.Execute("DELETE * FROM tabEventi WHERE [ID Leasing] = " + contract);
}

std::optional<std::string> SignedTermsChange(const ContractForm& stored, const ContractForm& form) {
    ContractForm withStoredNames = form;
    withStoredNames.txtDescBene = stored.txtDescBene;
    withStoredNames.cboTipoLea = stored.cboTipoLea;
    if (withStoredNames == stored) return std::nullopt;
    return "Il contratto ha eventi registrati: i termini firmati restano quelli del contratto "
           "(si possono cambiare la descrizione e la tipologia). Per cambiarli annullare prima "
           "gli eventi.";
}

}  // namespace quotaplan
