// The expert review: a bank's 360-row plan read from its CSV, .xls and .xlsx files and
// compared with the plan to the cent (target under 20 ms), and the review's PDF report of a
// 360-row contract (target under 300 ms).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>
#include <fstream>

#include "common/number_text.h"
#include "data/bank_plan_file.h"
#include "engine/cents_plan.h"
#include "engine/plan_comparison.h"
#include "engine/review_figures.h"
#include "output/review_report.h"
#include "output/review_report_pdf.h"
#include "output/xls_workbook.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

// 200.000 at 4 % over 360 months: the plan to the cent.
CentsPlan Mortgage() {
    CentsPlanTerms terms;
    terms.value = Money::FromCents(20000000);
    terms.capitalisation = Capitalisation::Simple;
    terms.calendar = {CalendarDate::FromYmdCarrying(2026, 1, 15),
                      CalendarDate::FromYmdCarrying(2026, 2, 15), 360, 12, PaymentTiming::Arrears};
    terms.rates.assign(360, Percent::FromHundredths(400));
    return BuildCentsPlan(terms);
}

const std::vector<BankColumn> kColumns = {BankColumn::Number,     BankColumn::DueDate,
                                          BankColumn::Instalment, BankColumn::Capital,
                                          BankColumn::Interest,   BankColumn::Residual};

// The plan as an Italian bank's CSV.
fs::path WriteCsv(const CentsPlan& plan) {
    const fs::path file = fs::temp_directory_path() / "quotaplan-review-bench.csv";
    std::ofstream out(file, std::ios::binary);
    out << "N.;Scadenza;Rata;Quota capitale;Quota interessi;Debito residuo\r\n";
    int number = 0;
    for (const CentsPlanRow& row : plan.rows) {
        out << ++number << ";" << FormatDate(row.date, 2) << ";"
            << FormatNumber(row.instalment.Units(), 1) << ";"
            << FormatNumber(row.capital.Units(), 1) << ";" << FormatNumber(row.interest.Units(), 1)
            << ";" << FormatNumber(row.residual.Units(), 1) << "\r\n";
    }
    return file;
}

// The same plan as an .xls workbook of the project's own writer.
fs::path WriteXls(const CentsPlan& plan) {
    XlsSheet sheet("Piano");
    const char* captions[] = {
        "N.", "Scadenza", "Rata", "Quota capitale", "Quota interessi", "Debito residuo"};
    for (int c = 0; c < 6; ++c) sheet.SetText(0, c, captions[c]);
    int r = 0;
    for (const CentsPlanRow& row : plan.rows) {
        ++r;
        sheet.SetNumber(r, 0, r);
        sheet.SetDate(r, 1, row.date);
        sheet.SetNumber(r, 2, row.instalment.Units(), XlsNumberFormat::Amount);
        sheet.SetNumber(r, 3, row.capital.Units(), XlsNumberFormat::Amount);
        sheet.SetNumber(r, 4, row.interest.Units(), XlsNumberFormat::Amount);
        sheet.SetNumber(r, 5, row.residual.Units(), XlsNumberFormat::Amount);
    }
    const fs::path file = fs::temp_directory_path() / "quotaplan-review-bench.xls";
    std::ofstream(file, std::ios::binary) << BuildXlsWorkbook(sheet);
    return file;
}

void ImportAndCompare(benchmark::State& state, const fs::path& file) {
    const auto ours = ReviewRowsOf(Mortgage());
    for (auto _ : state) {
        auto read = ReadBankPlanFile(file, kColumns);
        const auto& bank = std::get<std::vector<ReviewRow>>(read);
        const PlanComparison comparison = ComparePlans(bank, ours);
        benchmark::DoNotOptimize(comparison.firstDifference);
    }
}

void BM_ImportAndCompareCsv360(benchmark::State& state) {
    ImportAndCompare(state, WriteCsv(Mortgage()));
}
BENCHMARK(BM_ImportAndCompareCsv360)->Unit(benchmark::kMillisecond);

void BM_ImportAndCompareXls360(benchmark::State& state) {
    ImportAndCompare(state, WriteXls(Mortgage()));
}
BENCHMARK(BM_ImportAndCompareXls360)->Unit(benchmark::kMillisecond);

void BM_ReviewReportPdf360(benchmark::State& state) {
    const CentsPlan plan = Mortgage();
    ReviewFacts facts;
    facts.description = "Mutuo trentennale";
    facts.value = plan.value;
    facts.count = 360;
    facts.annualRate = Percent::FromHundredths(400);
    facts.ours = ReviewRowsOf(plan);
    facts.bank = facts.ours;
    facts.comparison = ComparePlans(facts.bank, facts.ours);
    for (const Recomputation method : {Recomputation::Accumulated, Recomputation::Italian}) {
        ReviewRecomputation recomputed;
        recomputed.plan = Recompute(RecomputationTermsOf(plan, 12), method);
        facts.recomputations.push_back(recomputed);
    }
    for (auto _ : state) {
        const std::string pdf =
            ReviewReportPdfBytes(ReviewDocument(facts, CalendarDate::FromYmdCarrying(2026, 3, 2)));
        benchmark::DoNotOptimize(pdf.data());
    }
}
BENCHMARK(BM_ReviewReportPdf360)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quotaplan

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    return 0;
}
