// Recording an event on the archive of 10,000 contracts of 360 instalments (SQLite): the
// contract's terms, plan and events read, the plan re-derived, the lines replaced kept and
// the new ones written, in one transaction.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "data/contract_event_store.h"
#include "data/database.h"
#include "data_archive_generator.h"

namespace quotaplan {
namespace {

// A copy of the large archive to write into, made once a run and removed at its end.
class LargeArchiveCopy {
public:
    LargeArchiveCopy()
        : file_(std::filesystem::temp_directory_path() / "quotaplan-bench-events-large.mdb") {
        std::filesystem::copy_file(bench::LargeArchive(10000, 360), file_,
                                   std::filesystem::copy_options::overwrite_existing);
        db_ = Database::Open(file_);
    }
    ~LargeArchiveCopy() {
        db_.Close();
        std::filesystem::remove(file_);
    }
    Database& Db() { return db_; }

private:
    std::filesystem::path file_;
    Database db_;
};

LargeArchiveCopy& Archive() {
    static LargeArchiveCopy archive;
    return archive;
}

// The due date of instalment k of a generated contract (data_archive_generator.h).
CalendarDate DueDate(int id, int k) {
    return CalendarDate::FromYmdCarrying(2015, 1 + id % 132 + k, 1 + id % 28);
}

// A partial prepayment at the 12th instalment of the next contract each time: 348
// instalments re-derived, 349 lines kept aside and 350 written.
void BM_RecordPrepayment(benchmark::State& state) {
    ContractEventStore store(Archive().Db());
    static int next = 0;
    for (auto _ : state) {
        const int id = 1 + next++ % 10000;
        const EventStoreResult recorded = store.Record(
            id, {DueDate(id, 12),
                 PrepaymentOptions{Money::FromCents(500000), PrepaymentEffect::LowerInstalment, {}},
                 ""});
        if (!recorded.Ok()) state.SkipWithError(recorded.message.c_str());
    }
}
BENCHMARK(BM_RecordPrepayment)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Removing a contract's latest event: its lines gone, the lines it replaced back.
void BM_UndoEvent(benchmark::State& state) {
    ContractEventStore store(Archive().Db());
    static int next = 5000;
    for (auto _ : state) {
        state.PauseTiming();
        const int id = 1 + next++ % 10000;
        const EventStoreResult recorded = store.Record(id, {DueDate(id, 24), PayoffOptions{}, ""});
        state.ResumeTiming();
        if (!recorded.Ok()) state.SkipWithError(recorded.message.c_str());
        const EventStoreResult undone = store.UndoLatest(id);
        if (!undone.Ok()) state.SkipWithError(undone.message.c_str());
    }
}
BENCHMARK(BM_UndoEvent)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
