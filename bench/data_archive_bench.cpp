// Archive timings: saving plans of 360 and 32767 rows, and the summary queries, the tree
// and loading one contract on a generated archive of 10,000 contracts x 360 instalments.
#include <benchmark/benchmark.h>

#include <fstream>

#include "common/number_text.h"
#include "common/recording_message_boxes.h"
#include "data/contract_store.h"
#include "data/reference_rate_values.h"
#include "data/sql_helpers.h"
#include "archive_bench_support.h"
#include "data_archive_generator.h"

namespace quotaplan {
namespace {

using bench::SaveContracts;

// Into an archive that starts empty.
void BM_SavePlan(benchmark::State& state) {
    const auto file = std::filesystem::temp_directory_path() / "quotaplan-bench-save.mdb";
    bench::CreateEmptyArchive(file);
    auto db = Database::Open(file);
    SaveContracts(state, db, static_cast<int>(state.range(0)));
    db.Close();
    std::filesystem::remove(file);
}
BENCHMARK(BM_SavePlan)
    ->Arg(360)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SavePlan)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Each iteration imports a daily series of 27 years (9,855 lines, the Euribor history since
// 1999) into one reference rate, in one transaction; from the second on, every line
// replaces the value its date already has.
void BM_ImportIndexSeries(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path();
    const auto file = folder / "quotaplan-bench-index.mdb";
    const auto series = folder / "quotaplan-bench-euribor.csv";
    bench::CreateEmptyArchive(file);
    {
        std::ofstream out(series, std::ios::binary);
        out << "Data;Valore\r\n";
        const CalendarDate start = *CalendarDate::FromYmd(1999, 1, 4);
        for (int day = 0; day < 27 * 365; ++day) {
            const CalendarDate date = CalendarDate::FromSerial(start.Serial() + day);
            out << FormatDate(date, 2) << ";" << (day % 5000) / 1000 << "," << day % 1000 << "\r\n";
        }
    }
    auto db = Database::Open(file);
    RecordingMessageBoxes boxes;
    ReferenceRateValues values(db, boxes);
    const std::int32_t rate = GetIdByDescription(db, "supTxRiferimento", "Euribor 3 mesi");
    for (auto _ : state) {
        const auto imported = ImportIndexSeries(values, rate, "Euribor 3 mesi", series);
        if (imported.status != SeriesImport::Status::Imported) state.SkipWithError("refused");
    }
    db.Close();
    std::filesystem::remove(file);
    std::filesystem::remove(series);
}
BENCHMARK(BM_ImportIndexSeries)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A copy of the large archive to write into, made once a run and removed at its end.
class LargeArchiveCopy {
public:
    LargeArchiveCopy()
        : file_(std::filesystem::temp_directory_path() / "quotaplan-bench-save-large.mdb") {
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

// Into the archive of 10,000 contracts, where the new plan lines join 3.6 million others.
void BM_SavePlanIntoLargeArchive(benchmark::State& state) {
    static LargeArchiveCopy archive;
    SaveContracts(state, archive.Db(), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_SavePlanIntoLargeArchive)
    ->Arg(360)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

const bool kQueriesRegistered = (bench::RegisterLargeArchiveQueries(
                                     "BM_",
                                     [] {
                                         static Database db =
                                             Database::Open(bench::LargeArchive(10000, 360));
                                         return &db;
                                     },
                                     ""),
                                 true);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
