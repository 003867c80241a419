// A plan to the cent is exported with its exact cents, also where a 32-bit amount cannot
// hold them (above 167.772,16).
#include <gtest/gtest.h>

#include "engine/contract_calculation.h"
#include "engine/rate_schedule.h"
#include "output/contract_header.h"
#include "output/excel_export.h"
#include "output/text_export.h"
#include "output/word_export.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::PythonReader;
using test::RunReader;
using test::SplitLines;
using test::TempFolder;

// 209.824,65 with a maxi of 0,03 and a buy-out of 167.772,17, two instalments at 0,01 %.
FinancialPlan LargeCentsPlan() {
    ContractTerms terms;
    terms.NumRate = 2;
    terms.Semplice = true;
    terms.DataContratto = *CalendarDate::FromYmd(2026, 1, 15);
    terms.DataInizio = *CalendarDate::FromYmd(2026, 2, 15);
    ExactAmounts exact;
    exact.value = Money::FromCents(20982465);
    exact.maxi = Money::FromCents(3);
    exact.buyout = Money::FromCents(16777217);
    FinancialPlan plan;
    CalculateInstalmentToTheCent(terms, exact, RatesForPlan({}, 2, 0.01f), plan);
    return plan;
}

TEST(ExactPlanExport, TextLinesCarryEveryCent) {
    const auto lines = TextExportLines(ContractHeader{}, LargeCentsPlan());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "Maxi.;15/01/2026;0;0,03;0,03;209824,62;0");
    EXPECT_EQ(lines[3], "2° Rata;15/03/2026;0,01;21.027,88;21.026,31;167.772,17;1,57");
    EXPECT_EQ(lines[4], "Riscatto;15/03/2026;;167.772,17;167.772,17;0;0,00");
}

TEST(ExactPlanExport, SpreadsheetCellsAndWordColumnsCarryEveryCent) {
    TempFolder folder;
    const ExportResult result =
        ExportExcel(folder.Path(), "Centesimi", ContractHeader{}, LargeCentsPlan());
    ASSERT_TRUE(result.Ok()) << result.message;
    std::map<std::pair<int, int>, std::string> cells;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_xls.py", result.file)))) {
        if (fields[0] == "cell") cells[{std::stoi(fields[1]), std::stoi(fields[2])}] = fields[5];
    }
    // With no heading pairs: an empty row, the column headings, then the plan from row 2.
    const auto cell = [&cells](int row, int column) { return cells[{row, column}]; };
    EXPECT_EQ(cell(2, 5), "209824.62");
    EXPECT_EQ(cell(4, 3), "21027.88");
    EXPECT_EQ(cell(4, 5), "167772.17");

    const auto texts = WordBookmarkTexts("Centesimi", ContractHeader{}, LargeCentsPlan());
    EXPECT_EQ(texts[6], "209.824,62\r\n188.798,48\r\n167.772,17\r\n0,00\r\n");
}

}  // namespace
}  // namespace quotaplan
