#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "common/clock.h"
#include "common/run_time_error.h"
#include "data/contract_store.h"
#include "data/summary_queries.h"
#include "data/yearly_statement_query.h"

namespace quotaplan {
namespace {

using testing::Engine;
using testing::MakeForm;
using testing::MakePlan;
using testing::TempArchive;

CalendarDate Day(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

class SummaryQueries : public ::testing::TestWithParam<Engine> {};
INSTANTIATE_TEST_SUITE_P(Engines, SummaryQueries, testing::kEngines, testing::EngineName);

TEST_P(SummaryQueries, EmptyArchiveGivesZerosAndNoRows) {
    ScopedToday today(Day(2024, 3, 20));
    TempArchive archive(GetParam());
    QP_REQUIRE_ARCHIVE(archive);
    auto db = archive.Open();
    EXPECT_EQ(WeightedAverageRate(db), 0);
    EXPECT_EQ(TotalResidualDebt(db), 0);
    EXPECT_TRUE(InstalmentsThisMonth(db).empty());
}

class SummaryWithContracts : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }

    ScopedToday today{Day(2024, 3, 20)};
    TempArchive archive{GetParam()};
    Database db = archive.Open();
    RecordingMessageBoxes boxes;
    ContractStore store{db, boxes};

    void Save(const std::string& name, const std::string& rate, FinancialPlan plan) {
        auto form = MakeForm(name);
        form.txtTasso = rate;
        form.txtSpread = "0,50";
        ASSERT_EQ(store.Save(form, plan, PlanOwner::For(0, form), SaveMode::NewContract, 0).status,
                  SaveStatus::Saved);
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, SummaryWithContracts, testing::kEngines, testing::EngineName);

TEST_P(SummaryWithContracts, ResidualDebtTodayWeightsTheRateAndTheMonthListsItsInstalments) {
    // Plan rows fall on the 15th from February 2024: on 20/03/2024 the latest is row 2.
    Save("Beta", "5,00", MakePlan(12, 1000, 500));
    auto second = MakePlan(12, 0, 0);
    for (auto& row : second.rows) row.DebitoRes /= 2;
    Save("Alfa", "3,00", second);
    auto future = MakePlan(12, 1000, 500);
    future.DataMaxi = Day(2030, 1, 1);
    for (auto& row : future.rows) row.Data = CalendarDate::FromSerial(row.Data.Serial() + 3650);
    Save("Futuro", "9,00", future);

    const double debtBeta = 9000 - 2 * 700.25;         // 7599.5
    const double debtAlfa = (10000 - 2 * 700.25) / 2;  // 4299.75
    EXPECT_DOUBLE_EQ(TotalResidualDebt(db), debtBeta + debtAlfa);
    EXPECT_NEAR(WeightedAverageRate(db), (5.5 * debtBeta + 3.5 * debtAlfa) / (debtBeta + debtAlfa),
                1e-9);

    const auto month = InstalmentsThisMonth(db);
    ASSERT_EQ(month.size(), 2u);
    EXPECT_EQ(month[0].DescBene, "Alfa");
    EXPECT_EQ(month[0].ID, 2);
    EXPECT_EQ(month[0].Data, Day(2024, 3, 15));
    EXPECT_DOUBLE_EQ(month[0].Importo, 712.25);
    EXPECT_EQ(month[1].DescBene, "Beta");
    EXPECT_EQ(month[1].ID, 1);

    const PortfolioSummary summary = ReadPortfolioSummary(db);
    EXPECT_EQ(summary.totalResidualDebt, TotalResidualDebt(db));
    EXPECT_EQ(summary.weightedAverageRate, WeightedAverageRate(db));
    ASSERT_EQ(summary.instalmentsThisMonth.size(), 2u);
    EXPECT_EQ(summary.instalmentsThisMonth[1].DescBene, "Beta");
}

// An archive whose month view predates the contract's ID still lists its rows.
TEST_P(SummaryWithContracts, MonthViewWithoutContractIdsGivesIdZero) {
    Save("Beta", "5,00", MakePlan(12, 1000, 500));
    ASSERT_TRUE(db.Execute("DROP VIEW qryRLeaMese"));
    ASSERT_TRUE(
        db.Execute("CREATE VIEW qryRLeaMese AS SELECT c.DescBene AS DescBene, p.Data AS Data, "
                   "p.Importo AS Importo FROM tabPDA AS p INNER JOIN tabContratti AS c ON c.ID = "
                   "p.[ID Leasing] WHERE p.Tipo = 'Rata' AND p.Data >= '2024-03-01' AND p.Data < "
                   "'2024-04-01'"));
    const auto month = InstalmentsThisMonth(db);
    ASSERT_EQ(month.size(), 1u);
    EXPECT_EQ(month[0].DescBene, "Beta");
    EXPECT_EQ(month[0].ID, 0);
}

TEST_P(SummaryWithContracts, MonthBoundariesAreHalfOpen) {
    auto plan = MakePlan(3, 0, 0);
    plan.rows[0].Data = Day(2024, 2, 29);
    plan.rows[1].Data = Day(2024, 3, 1);
    plan.rows[2].Data = Day(2024, 4, 1);
    Save("Confini", "5,00", plan);
    auto month = InstalmentsThisMonth(db);
    ASSERT_EQ(month.size(), 1u);
    EXPECT_EQ(month[0].Data, Day(2024, 3, 1));

    // Today moves: the views follow it.
    ScopedToday april(Day(2024, 4, 30));
    month = InstalmentsThisMonth(db);
    ASSERT_EQ(month.size(), 1u);
    EXPECT_EQ(month[0].Data, Day(2024, 4, 1));
    // The buy-out line on the last instalment's date closes the debt that very day.
    EXPECT_EQ(TotalResidualDebt(db), 0);
    ScopedToday lastMarch(Day(2024, 3, 31));
    EXPECT_EQ(TotalResidualDebt(db), 10000 - 2 * 700.25);
}

// A plan whose shares drift a cent past the debt ends with a "Rata" row at -0,01 and the
// "Riscatto" row at 0 on the same day: the day's last line, the buy-out, says what is left.
TEST_P(SummaryWithContracts, FinishedContractLeavesNoDebtWhateverItsLastInstalmentDrift) {
    auto drifted = MakePlan(1, 0, 0);
    drifted.rows[0].Data = Day(2024, 2, 15);
    drifted.rows[0].DebitoRes = -0.01f;
    Save("Finito", "9,00", drifted);
    auto running = MakePlan(12, 0, 0);
    Save("In corso", "5,00", running);

    const double debtRunning = 10000 - 2 * 700.25;
    EXPECT_DOUBLE_EQ(TotalResidualDebt(db), debtRunning);
    EXPECT_DOUBLE_EQ(WeightedAverageRate(db), 5.5);
}

// Quarterly instalments: today often lies more than a month past the contract's last line,
// which must still be the one that counts, and so must the maxi-instalment's line before the
// first instalment and the buy-out's after the last.
TEST_P(SummaryWithContracts, ResidualDebtIsTheLastLineOnOrBeforeTodayHoweverFarBack) {
    auto quarterly = MakePlan(4, 0, 0);
    for (int k = 0; k < 4; ++k) {
        quarterly.rows[k].Data = CalendarDate::FromYmdCarrying(2024, 4 + 3 * k, 15);
    }
    Save("Trimestrale", "5,00", quarterly);
    const struct {
        CalendarDate today;
        double debt;
    } cases[] = {
        {Day(2024, 1, 14), 0},          // not started
        {Day(2024, 1, 15), 10000},      // the maxi-instalment's line
        {Day(2024, 3, 20), 10000},      // 65 days after it
        {Day(2024, 4, 15), 9299.75},    // the first instalment
        {Day(2024, 5, 15), 9299.75},    // 30 days after it
        {Day(2024, 5, 16), 9299.75},    // 31 days after it
        {Day(2024, 10, 14), 8599.5},    // 91 days after the second
        {Day(2025, 1, 15), 0},          // the buy-out, the last instalment's day
        {Day(2026, 6, 30), 0},          // long after the end
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.today.Iso());
        ScopedToday today(entry.today);
        EXPECT_EQ(TotalResidualDebt(db), entry.debt);
        EXPECT_EQ(WeightedAverageRate(db), entry.debt > 0 ? 5.5 : 0);
    }
}

TEST_P(SummaryWithContracts, ContractNotYetStartedCountsNothing) {
    ScopedToday early(Day(2023, 12, 31));
    Save("Domani", "5,00", MakePlan(12, 1000, 500));
    EXPECT_EQ(TotalResidualDebt(db), 0);
    EXPECT_EQ(WeightedAverageRate(db), 0);
}

// The yearly statement read back from the archive: SQLite reads the lines one by one, the
// server sums them; both must round each stored line to the cent as a line read alone is.
TEST_P(SummaryWithContracts, YearlyStatementRoundsEachStoredLineAndSumsTheScope) {
    auto alfa = MakePlan(12, 1000, 500);
    alfa.rows[0].QCapitale = 100.125f;   // a binary half cent: 100,13
    alfa.rows[1].QInteressi = 88.3333f;  // 88,33 and 13,33, where their sum
    alfa.rows[2].QInteressi = 13.3333f;  // rounded once would give a cent more
    Save("Alfa", "5,00", alfa);
    auto form = MakeForm("Beta");
    form.cboTipoLea = "Mutuo";
    ASSERT_EQ(store.Save(form, MakePlan(12, 1000, 500), PlanOwner::For(0, form),
                         SaveMode::NewContract, 0)
                  .status,
              SaveStatus::Saved);

    const auto money = [](double units) { return Money::FromUnits(units); };
    // Alfa: the maxi and eleven instalments (February-December) in 2024 with the contract
    // fees of 150 and 2,50 an instalment, the last instalment and the buy-out in 2025.
    const std::vector<YearFigures> alfaYears = {
        {2024, money(8102.63), money(252.66), money(177.5), money(8532.79)},
        {2025, money(1200.25), money(22), money(2.5), money(1224.75)}};
    EXPECT_EQ(ArchiveYearlyTotals(db, YearlyScope{1, std::nullopt}).Years(), alfaYears);
    EXPECT_EQ(ArchiveYearlyTotals(db, YearlyScope{std::nullopt, 1}).Years(), alfaYears);
    EXPECT_EQ(ArchiveYearlyTotals(db, YearlyScope{1, std::nullopt}).Years(2025),
              std::vector<YearFigures>{alfaYears[1]});

    const auto beta = ArchiveYearlyTotals(db, YearlyScope{2, std::nullopt}).Years();
    const auto all = ArchiveYearlyTotals(db, {}).Years();
    ASSERT_EQ(beta.size(), 2u);
    ASSERT_EQ(all.size(), 2u);
    for (std::size_t k = 0; k < all.size(); ++k) {
        EXPECT_EQ(all[k].capital, alfaYears[k].capital + beta[k].capital);
        EXPECT_EQ(all[k].interest, alfaYears[k].interest + beta[k].interest);
        EXPECT_EQ(all[k].paid, alfaYears[k].paid + beta[k].paid);
    }
}

// The rows read in place, as the large reads use them, give what a Recordset gives on both
// engines: whole numbers, texts, dates as ISO texts, amounts.
TEST_P(SummaryWithContracts, RowReaderReadsTheColumnsInPlace) {
    Save("Alfa", "5,00", MakePlan(12, 1000, 500));
    RowReader rows(db, "SELECT [ID Leasing], Tipo, Data, QInteressi FROM tabPDA ORDER BY ID");
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(rows.Integer(0), 1);
    EXPECT_EQ(rows.Text(1), "Maxi.");
    EXPECT_EQ(rows.Text(2).substr(0, 10), "2024-01-15");
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(rows.Text(1), "Rata");
    EXPECT_EQ(rows.Real(3), 11.0);
    int left = 0;
    while (rows.Next()) ++left;
    EXPECT_EQ(left, 12);  // eleven instalments and the buy-out
}

// A file written by hand may hold texts where numbers belong: read in place they convert as
// a Recordset converts them, and one that is no number fails instead of reading as 0.
TEST_P(SummaryWithContracts, RowReaderReadsStoredTextsAsARecordsetDoes) {
    if (db.Engine()->Kind() != EngineKind::Sqlite) GTEST_SKIP() << "typed columns";
    Save("Alfa", "5,00", MakePlan(12, 1000, 500));
    ASSERT_TRUE(db.Execute("UPDATE tabPDA SET QInteressi = '12,5', [ID Leasing] = '1' WHERE ID = 2"));
    ASSERT_TRUE(db.Execute("UPDATE tabPDA SET QInteressi = 'dodici' WHERE ID = 3"));
    RowReader rows(db, "SELECT [ID Leasing], QInteressi FROM tabPDA WHERE ID >= 2 ORDER BY ID");
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(rows.Integer(0), 1);
    EXPECT_EQ(rows.Real(1), 12.5);
    ASSERT_TRUE(rows.Next());
    EXPECT_THROW(rows.Real(1), RunTimeError);
}

}  // namespace
}  // namespace quotaplan
