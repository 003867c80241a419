#include "data/portfolio_reindex.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <future>
#include <map>
#include <set>

#include "common/date_text.h"
#include "common/name_key.h"
#include "common/number_text.h"
#include "common/recording_message_boxes.h"
#include "common/side_thread.h"
#include "common/run_time_error.h"
#include "data/contract_event_store.h"
#include "data/contract_store.h"
#include "data/event_plan_reindex.h"
#include "data/plan_line_rows.h"
#include "data/plan_row_changes.h"
#include "data/reference_rate_values.h"
#include "data/sql_helpers.h"
#include "engine/calculation_request.h"
#include "engine/indexation.h"
#include "engine/money.h"
#include "engine/periodicity.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

// Contracts written in one transaction at most this long, so that a desk saving meanwhile
// waits no longer.
constexpr auto kLongestTransaction = std::chrono::milliseconds(250);

// The first error the last statement left, thrown.
[[noreturn]] void ThrowStatementError(Database& db, const std::string& sql) {
    const DbError error = db.Errors().empty() ? DbError{kErrUnspecified, sql} : db.Errors().front();
    db.ClearErrors();
    throw DatabaseError(error);
}

// A statement that must run; its error otherwise.
void Run(Database& db, const std::string& sql) {
    if (!db.Execute(sql)) ThrowStatementError(db, sql);
}

std::optional<CalendarDate> DateOf(const std::string& text, CalendarDate today) {
    if (text.empty()) return std::nullopt;
    return ReadDateText(text, today);
}

double NumberOf(const std::string& text) { return TryParseNumber(text).value_or(0.0); }

// The stored contract as the calculation reads it: its form's texts (amounts and rates
// with their two decimals, so nothing is lost on the way).
CalcOptions OptionsOf(const ContractForm& form, CalendarDate today) {
    CalcOptions options;
    options.plan = form.chkCentesimo ? PlanKind::ToTheCent : PlanKind::Classic;
    options.value = TryParseNumber(form.txtValBene);
    options.maxi = NumberOf(form.txtMaxi);
    options.buyout = NumberOf(form.txtRiscatto);
    options.spreadPercent = NumberOf(form.txtSpread);
    if (const auto count = TryParseNumber(form.txtRate)) options.count = static_cast<long>(*count);
    const bool listed =
        form.cboPeriodicita >= 0 && form.cboPeriodicita < static_cast<int>(kPeriodsPerYear.size());
    options.periodicity = listed ? ConvertPeriodicity(form.cboPeriodicita, false) : 0;
    options.simple = form.optCapSem;
    options.advance = form.optPagAnt;
    options.buyoutInterest = form.chkIntRiscatto;
    options.contractDate = DateOf(form.txtContract, today);
    options.firstDate = DateOf(form.txtStart, today);
    options.buyoutDate = DateOf(form.txtDataRiscatto, today);
    options.contractFees = NumberOf(form.txtSpContratto);
    options.instalmentFee = NumberOf(form.txtSpRata);
    return options;
}

// The contract's current plan from its stored terms indexed anew.
std::variant<FinancialPlan, std::string> CurrentPlanOf(CalcOptions& options,
                                                       const std::vector<IndexValue>& series,
                                                       const std::string& referenceName,
                                                       CalendarDate today) {
    if (!options.count || *options.count == 0) return std::string("Inserire il Numero di rate!");
    if (options.periodicity == 0) return std::string("Inserire una periodicità!");
    try {
        if (const auto gap = IndexRequest(options, series, today)) {
            return IndexGapMessage(referenceName, *gap);
        }
    } catch (const RunTimeError& error) {
        return "Errore " + std::to_string(error.Number()) + ": " + error.Description();
    }
    auto calculated = CalculateRequest(options, today);
    if (auto* failure = std::get_if<CalcFailure>(&calculated)) return failure->message;
    return std::move(std::get<CalcOutcome>(calculated).plan);
}

// A contract's plan indexed anew, with the lines it stores; or why it cannot be.
struct IndexedPlan {
    std::variant<FinancialPlan, std::string> plan;
    std::vector<PlanLine> lines;
};

IndexedPlan IndexedPlanOf(CalcOptions& options, const std::vector<IndexValue>& series,
                          const std::string& referenceName, CalendarDate today) {
    IndexedPlan indexed{CurrentPlanOf(options, series, referenceName, today), {}};
    if (const auto* plan = std::get_if<FinancialPlan>(&indexed.plan)) {
        indexed.lines = PlanLines(*plan, DerivedLines::Always);
    }
    return indexed;
}

// What one contract's re-indexing wrote.
struct ContractRewrite {
    bool changed = false;
    int rows = 0;
};

// Writes the plan's changes over the stored rows, and the new first index into Tasso,
// inside the caller's transaction. Throws DatabaseError.
ContractRewrite Rewrite(Database& db, PlanLineWriter& writer, std::int32_t id,
                        const ContractForm& form, const std::vector<StoredPlanRow>& stored,
                        const std::vector<PlanLine>& lines, double firstIndexPercent) {
    ContractRewrite rewrite;
    const std::size_t first = FirstChangedRow(stored, lines);
    if (first < stored.size() && !writer.DeleteFrom(id, stored[first].ID)) {
        ThrowStatementError(db, "DELETE FROM tabPDA");
    }
    if (first < lines.size() && !writer.Insert(id, lines, first)) {
        ThrowStatementError(db, "INSERT INTO tabPDA");
    }
    rewrite.rows = static_cast<int>(lines.size() - first);
    rewrite.changed = first < lines.size() || first < stored.size();
    const std::string tasso = FormatNumber(firstIndexPercent, 2);
    if (FormatNumber(std::string_view(form.txtTasso), 2) != tasso) {
        Run(db,
            "UPDATE tabContratti SET Tasso = " +
                FormatSqlValue(SqlValue(static_cast<double>(ParseNumber32(tasso))), kTypeSingle) +
                " WHERE ID = " + std::to_string(id));
        rewrite.changed = true;
    }
    return rewrite;
}

std::string ContractName(std::int32_t id, const std::string& description) {
    return "Contratto " + std::to_string(id) + " \"" + description + "\"";
}

// A contract as the run reads it, before anything of it is written: its form, and when it is
// indexed within the run's scope its plan indexed anew and the rows it stores (or why it is
// skipped).
struct ContractReading {
    std::int32_t id = 0;
    std::optional<ContractForm> form;  // nullopt: no longer in the archive
    bool indexed = false;              // in scope, on a reference rate with values
    std::optional<std::string> skippedWhy;
    IndexedPlan plan;
    double firstIndexPercent = 0;
    std::vector<StoredPlanRow> stored;
};

// Reads the run's contracts on one connection, each reference rate's series once.
class ContractReader {
public:
    ContractReader(Database& db, const ReindexScope& scope, CalendarDate today)
        : db_(db), store_(db, quiet_), values_(db, quiet_), scope_(scope), today_(today) {
        store_.RememberDescriptions();
    }

    // Throws DatabaseError.
    ContractReading Read(std::int32_t id) {
        ContractReading reading;
        reading.id = id;
        quiet_.shown.clear();
        reading.form = store_.Load(id);
        const auto& form = reading.form;
        const bool inScope =
            form && (scope_.type.empty() || SameName(form->cboTipoLea, scope_.type)) &&
            (scope_.referenceRate.empty() || SameName(form->cboTxRif, scope_.referenceRate)) &&
            !IsFixedRateName(form->cboTxRif) && !form->cboTxRif.empty();
        if (!inScope) return reading;
        const auto& series = SeriesOf(form->cboTxRif);
        if (series.empty()) return reading;
        reading.indexed = true;
        CalcOptions options = OptionsOf(*form, today_);
        reading.plan = IndexedPlanOf(options, series, form->cboTxRif, today_);
        reading.firstIndexPercent = options.ratePercent.value_or(0);
        if (!quiet_.shown.empty()) {
            reading.skippedWhy = quiet_.shown.front().prompt;
        } else if (const auto* why = std::get_if<std::string>(&reading.plan.plan)) {
            reading.skippedWhy = *why;
        } else {
            reading.stored = ReadStoredPlanRows(db_, id);
        }
        return reading;
    }

private:
    // The series of the reference rate, read once; empty for one without values.
    const std::vector<IndexValue>& SeriesOf(const std::string& rate) {
        auto found = seriesOf_.find(NameKey(rate));
        if (found == seriesOf_.end()) {
            const std::int32_t rateId = GetIdByDescription(db_, "supTxRiferimento", rate);
            found = seriesOf_.emplace(NameKey(rate), values_.Series(rateId)).first;
        }
        return found->second;
    }

    Database& db_;
    RecordingMessageBoxes quiet_;
    ContractStore store_;
    ReferenceRateValues values_;
    std::map<std::string, std::vector<IndexValue>> seriesOf_;
    ReindexScope scope_;
    CalendarDate today_;
};

// How many contracts a second connection reads ahead of the one being written.
constexpr std::size_t kReadAhead = 2;

// Hands the run its contracts in order: read on a second connection by a side thread a few
// contracts ahead, while the run writes on its own; on the run's connection itself when no
// second one can be had. Contracts are read only while the run holds the writer lock
// (Submit after BEGIN, Drop before COMMIT), so nothing read can change before it is written.
class ContractFeed {
public:
    ContractFeed(Database& db, const ReindexScope& scope, CalendarDate today,
                 const std::vector<std::int32_t>& ids)
        : alongside_(db.ReaderAlongside()),
          reader_(alongside_ ? *alongside_ : db, scope, today),
          ids_(ids) {}
    ~ContractFeed() { Drop(0); }
    ContractFeed(const ContractFeed&) = delete;
    ContractFeed& operator=(const ContractFeed&) = delete;

    // The reading of ids[k], the contracts after it being read meanwhile. Throws DatabaseError.
    ContractReading Take(std::size_t k) {
        if (!alongside_) return reader_.Read(ids_[k]);
        if (ahead_.empty()) next_ = k;
        while (next_ < ids_.size() && next_ <= k + kReadAhead) {
            ahead_.push_back(side_.Run([this, id = ids_[next_]] { return reader_.Read(id); }));
            ++next_;
        }
        auto reading = std::move(ahead_.front());
        ahead_.pop_front();
        return reading.get();
    }

    // Forgets what was read ahead (its reading finished first), to be read again from ids[k].
    void Drop(std::size_t k) {
        for (auto& reading : ahead_) reading.wait();
        ahead_.clear();
        next_ = k;
    }

private:
    std::optional<Database> alongside_;
    ContractReader reader_;
    const std::vector<std::int32_t>& ids_;
    std::deque<std::future<ContractReading>> ahead_;
    std::size_t next_ = 0;
    SideThread side_;  // last: finished and joined before what it reads with goes
};

}  // namespace

ReindexReport ReindexPortfolio(Database& db, const ReindexScope& scope, CalendarDate today,
                               const std::function<bool(int done, int total)>& progress) {
    ReindexReport report;
    std::vector<std::int32_t> ids;
    PlanLineWriter writer(db);
    const WithLargeTransactions large(db);
    try {
        for (Recordset row(db, "SELECT ID FROM tabContratti ORDER BY ID"); !row.Eof();
             row.MoveNext()) {
            ids.push_back(row.Value(0).ToLong());
        }
    } catch (const DatabaseError& error) {
        report.failure = error.Error();
        return report;
    }

    bool keepsEvents = false;
    std::set<std::int32_t> withEvents;  // as the open transaction found them
    bool inTransaction = false;
    auto began = std::chrono::steady_clock::now();
    ReindexReport pending;  // what the open transaction wrote
    const auto count = [&pending](const ContractRewrite& rewrite) {
        ++pending.contracts;
        pending.changed += rewrite.changed ? 1 : 0;
        pending.rows += rewrite.rows;
    };
    std::optional<ContractFeed> feed;
    const auto commit = [&](std::size_t next) {
        if (!inTransaction) return;
        feed->Drop(next);
        Run(db, "COMMIT");
        inTransaction = false;
        report.contracts += pending.contracts;
        report.changed += pending.changed;
        report.rows += pending.rows;
        pending = ReindexReport{};
    };
    try {
        keepsEvents = ArchiveKeepsEvents(db);
        feed.emplace(db, scope, today, ids);
        for (std::size_t k = 0; k < ids.size(); ++k) {
            const std::int32_t id = ids[k];
            if (!inTransaction) {
                Run(db, "BEGIN IMMEDIATE");
                inTransaction = true;
                began = std::chrono::steady_clock::now();
                // Read under the writer lock, so that no event recorded meanwhile is
                // overwritten: events are recorded under it too.
                if (keepsEvents) withEvents = ContractsWithEvents(db);
            }
            const ContractReading reading = feed->Take(k);
            const auto& form = reading.form;
            if (!reading.indexed) {
                // Not indexed, or not within the run's scope: nothing to do.
            } else if (reading.skippedWhy) {
                report.skipped.push_back(ContractName(id, form->txtDescBene) + ": " +
                                         *reading.skippedWhy);
            } else if (!withEvents.contains(id)) {
                count(Rewrite(db, writer, id, *form, reading.stored, reading.plan.lines,
                              reading.firstIndexPercent));
            } else {
                const EventReindex next = ReindexedPlanWithEvents(
                    db, id, reading.stored, std::get<FinancialPlan>(reading.plan.plan));
                if (const auto* refusal = std::get_if<EventReindexRefusal>(&next)) {
                    report.skipped.push_back(ContractName(id, form->txtDescBene) + ": " +
                                             refusal->message);
                } else if (const auto* lines = std::get_if<std::vector<PlanLine>>(&next)) {
                    count(Rewrite(db, writer, id, *form, reading.stored, *lines,
                                  reading.firstIndexPercent));
                } else {
                    count(ContractRewrite{});  // paid off: nothing after its payoff
                }
            }
            const bool goOn =
                !progress || progress(static_cast<int>(k + 1), static_cast<int>(ids.size()));
            if (!goOn || std::chrono::steady_clock::now() - began >= kLongestTransaction) {
                commit(k + 1);
            }
            if (!goOn) {
                report.cancelled = k + 1 < ids.size();
                return report;
            }
        }
        commit(ids.size());
    } catch (const DatabaseError& error) {
        if (feed) feed->Drop(0);
        if (inTransaction) {
            db.Execute("ROLLBACK");
            db.ClearErrors();
        }
        report.failure = error.Error();
    }
    return report;
}

}  // namespace quotaplan
