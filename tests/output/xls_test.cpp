#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <tuple>

#include "output/compound_file.h"
#include "output/contract_header.h"
#include "output/excel_export.h"
#include "output/export_file.h"
#include "output/portfolio_export.h"
#include "output/xls_workbook.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::PythonReader;
using test::RunReader;
using test::SplitLines;
using test::TempFolder;

// A cell as xlrd reports it: type (1 text, 2 number, 3 date), format text, value text.
struct ReadCell {
    int type = 0;
    std::string format;
    std::string value;
    bool operator==(const ReadCell&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ReadCell& cell) {
    return out << "{" << cell.type << ", " << cell.format << ", " << cell.value << "}";
}

struct ReadSheet {
    std::string name;
    int rows = 0;
    std::map<std::pair<int, int>, ReadCell> cells;
    std::map<int, int> widths;

    ReadCell At(int row, int column) const {
        auto it = cells.find({row, column});
        return it == cells.end() ? ReadCell{} : it->second;
    }
};

ReadSheet ReadWithXlrd(const std::filesystem::path& file) {
    ReadSheet sheet;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_xls.py", file)))) {
        if (fields[0] == "sheet") {
            sheet.name = fields[1];
            sheet.rows = std::stoi(fields[2]);
        } else if (fields[0] == "cell") {
            sheet.cells[{std::stoi(fields[1]), std::stoi(fields[2])}] =
                ReadCell{std::stoi(fields[3]), fields[4], fields[5]};
        } else if (fields[0] == "width") {
            sheet.widths[std::stoi(fields[1])] = std::stoi(fields[2]);
        }
    }
    return sheet;
}

constexpr int kText = 1, kNumber = 2, kDate = 3;

ReadCell Text(const char* value) { return {kText, "General", value}; }
ReadCell Amount(const char* value) { return {kNumber, "#,##0.00", value}; }
ReadCell Rate(const char* value) { return {kNumber, "0.00", value}; }
ReadCell Date(const char* value) { return {kDate, "dd/mm/yy", value}; }
ReadCell Zero() { return {kNumber, "General", "0.0"}; }

TEST(ExcelExport, SmallPlanReadsBackCellByCell) {
    TempFolder folder;
    const ContractFormTexts form = test::SampleForm();
    const ExportResult result = ExportExcel(folder.Path() / "Export", form.descrizione,
                                            BuildContractHeader(form), test::SmallPlan());
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.file, folder.Path() / "Export" / "Città  A B.xls");
    const ReadSheet sheet = ReadWithXlrd(result.file);
    EXPECT_EQ(sheet.name, "Foglio1");
    EXPECT_EQ(sheet.rows, 20);

    const std::vector<std::tuple<int, int, ReadCell>> expected = {
        {0, 0, Text("Tipo Finanziamento")}, {0, 2, Text("Leasing")}, {1, 2, Text("Città: A/B")},
        {2, 2, Text("10.000,00")}, {8, 0, Text("Periodicità")}, {10, 2, Text("15/01/06")},
        {12, 0, Text("Pagamento")}, {12, 2, Text("Anticipato")}, {14, 0, Text("Tipo")},
        {14, 1, Text("Data")}, {14, 2, Text("Tasso")}, {14, 3, Text("Importo")},
        {14, 4, Text("Capitale")}, {14, 5, Text("Deb.Res.")}, {14, 6, Text("Interessi")},
        // maxi row: row 16 of the sheet
        {15, 0, Text("Maxi.")}, {15, 1, Date("2006-01-15")}, {15, 2, Zero()},
        {15, 3, Amount("1234.5")}, {15, 4, Amount("1234.5")}, {15, 5, Amount("8765.5")},
        {15, 6, Amount("0.0")}, {16, 0, Text("1° Rata")}, {16, 1, Date("2006-02-15")},
        {16, 2, Rate("6.0")}, {16, 3, Amount("2995.5")}, {16, 4, Amount("2950.5")},
        {16, 5, Amount("6049.5")}, {16, 6, Amount("45.0")},
        // the rate of 5.125 % stands with two decimals; amounts are the 32-bit sums taken to
        // four decimals (2084.25f + 15.42f is 2099.66992...)
        {18, 0, Text("3° Rata")}, {18, 2, Rate("5.13")}, {18, 3, Amount("2099.6699")},
        {18, 6, Amount("15.42")},
        // buy-out row directly below the last instalment
        {19, 0, Text("Riscatto")}, {19, 1, Date("2007-03-15")}, {19, 2, Zero()},
        {19, 3, Amount("1009.7")}, {19, 4, Amount("1000.0")}, {19, 5, Amount("0.0")},
        {19, 6, Amount("9.7")}};
    for (const auto& [row, column, cell] : expected) {
        EXPECT_EQ(sheet.At(row, column), cell) << "row " << row << " column " << column;
    }
    EXPECT_EQ(sheet.At(0, 1), ReadCell{});  // column B stays empty
    for (int column = 0; column < 7; ++column) EXPECT_EQ(sheet.At(13, column), ReadCell{});

    const std::map<int, int> widths = {{0, XlsColumnWidth(10)}, {1, XlsColumnWidth(10)},
                                       {3, XlsColumnWidth(8)},  {4, XlsColumnWidth(8)},
                                       {5, XlsColumnWidth(8)},  {6, XlsColumnWidth(9)}};
    EXPECT_EQ(sheet.widths, widths);
    EXPECT_EQ(XlsColumnWidth(10), 2742);
}

TEST(ExcelExport, WithoutMaxiTheFirstInstalmentIsRow16AndEmptyValuesStayEmpty) {
    TempFolder folder;
    FinancialPlan plan = test::SmallPlan();
    plan.Maxicanone = 0;
    plan.Riscatto = 0;
    ContractFormTexts form = test::SampleForm();
    form.maxi = "";
    const ExportResult result =
        ExportExcel(folder.Path(), "Senza maxi", BuildContractHeader(form), plan);
    ASSERT_TRUE(result.Ok()) << result.message;
    const ReadSheet sheet = ReadWithXlrd(result.file);
    EXPECT_EQ(sheet.rows, 18);
    EXPECT_EQ(sheet.At(3, 0), Text("Anticipo"));
    EXPECT_EQ(sheet.At(3, 2), ReadCell{});
    EXPECT_EQ(sheet.At(15, 0), Text("1° Rata"));
    EXPECT_EQ(sheet.At(17, 0), Text("3° Rata"));
}

TEST(ExcelExport, LargestPlanFitsWithEveryRowInPlace) {
    TempFolder folder;
    const int n = 32767;
    const ExportResult result = ExportExcel(
        folder.Path(), "Lungo", BuildContractHeader(test::SampleForm()), test::LongPlan(n, true));
    ASSERT_TRUE(result.Ok()) << result.message;
    const ReadSheet sheet = ReadWithXlrd(result.file);
    ASSERT_EQ(sheet.rows, 15 + 1 + n + 1);
    EXPECT_EQ(sheet.At(15, 0), Text("Maxi."));
    EXPECT_EQ(sheet.At(16, 0), Text("1° Rata"));
    EXPECT_EQ(sheet.At(16 + n - 1, 0), Text("32767° Rata"));
    // 15/02/2006 plus 32766 months
    EXPECT_EQ(sheet.At(16 + n - 1, 1), Date("4736-08-15"));
    EXPECT_EQ(sheet.At(16 + n - 1, 4), Amount("866.0"));
    EXPECT_EQ(sheet.At(16 + n, 0), Text("Riscatto"));
    int instalments = 0;
    for (const auto& [position, cell] : sheet.cells) {
        if (position.second == 0 && cell.value.find("° Rata") != std::string::npos) ++instalments;
    }
    EXPECT_EQ(instalments, n);
}

TEST(ExcelExport, NothingIsWrittenBeforeTheFirstCalculation) {
    TempFolder folder;
    EXPECT_EQ(ExportExcel(folder.Path(), "x", ContractHeader{}, FinancialPlan{}).code,
              ExportCode::NoPlan);
    EXPECT_TRUE(test::FileNames(folder.Path()).empty());
}

TEST(XlsWorkbook, SharedStringsSpanningContinueRecordsReadBack) {
    TempFolder folder;
    XlsSheet sheet("Testi");
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) texts.push_back("Testo numero " + std::to_string(i) + " è qui");
    std::string wide;
    for (int i = 0; i < 9000; ++i) wide += (i % 2 == 0) ? "Ω" : "€";  // beyond one byte
    texts.push_back(wide);
    texts.push_back(std::string(20000, 'a') + "z");
    texts.push_back("tab\there, line\nbreak");
    for (std::size_t i = 0; i < texts.size(); ++i) sheet.SetText(static_cast<int>(i), 1, texts[i]);
    sheet.SetText(0, 0, texts[5]);  // repeated: shared, not stored twice
    const std::filesystem::path file = folder.Path() / "testi.xls";
    ASSERT_TRUE(WriteExportFile(file, BuildXlsWorkbook(sheet)).Ok());

    const ReadSheet read = ReadWithXlrd(file);
    EXPECT_EQ(read.name, "Testi");
    ASSERT_EQ(read.rows, static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size() - 1; ++i) {
        ASSERT_EQ(read.At(static_cast<int>(i), 1).value, texts[i]) << "row " << i;
    }
    EXPECT_EQ(read.At(static_cast<int>(texts.size() - 1), 1).value, "tab\\there, line\\nbreak");
    EXPECT_EQ(read.At(0, 0).value, texts[5]);
}

TEST(XlsWorkbook, TextsAreCutAtTheCellLimitAndCellsOutsideTheSheetAreRefused) {
    XlsSheet sheet("x");
    EXPECT_THROW(sheet.SetText(XlsSheet::kMaxRows, 0, "x"), std::out_of_range);
    EXPECT_THROW(sheet.SetNumber(0, XlsSheet::kMaxColumns, 1), std::out_of_range);
    EXPECT_THROW(sheet.SetText(-1, 0, "x"), std::out_of_range);
    TempFolder folder;
    sheet.SetText(0, 0, std::string(40000, 'b'));
    sheet.SetNumber(65535, 255, -1.5, XlsNumberFormat::Amount);
    const std::filesystem::path file = folder.Path() / "limite.xls";
    ASSERT_TRUE(WriteExportFile(file, BuildXlsWorkbook(sheet)).Ok());
    const ReadSheet read = ReadWithXlrd(file);
    EXPECT_EQ(read.At(0, 0).value, std::string(XlsSheet::kMaxTextLength, 'b'));
    EXPECT_EQ(read.At(65535, 255), Amount("-1.5"));
}

struct StreamCase {
    const char* name;
    std::size_t size;
};

class CompoundFileTest : public ::testing::TestWithParam<StreamCase> {};

// Sizes around the mini-stream cutoff and the sector size, and one large enough to need
// allocation-table index sectors beyond the header's 109.
TEST_P(CompoundFileTest, StreamReadsBackWithAnotherReader) {
    TempFolder folder;
    std::string bytes(GetParam().size, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 251);
    std::string expected = bytes;
    if (expected.size() < 4096) expected.resize(4096, '\0');
    std::ofstream(folder.Path() / "expected", std::ios::binary) << expected;
    ASSERT_TRUE(
        WriteExportFile(folder.Path() / "file.cfb",
                        BuildCompoundFile({{u"Other", "x"}, {u"Workbook", bytes}, {u"B", "yy"}}))
            .Ok());
    const std::string output =
        RunReader(PythonReader("read_compound.py", folder.Path() / "file.cfb", "Workbook") + " '" +
                  (folder.Path() / "expected").string() + "'");
    EXPECT_EQ(output, std::to_string(expected.size()) + " equal\n");
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompoundFileTest,
                         ::testing::Values(StreamCase{"Empty", 0}, StreamCase{"Small", 100},
                                           StreamCase{"AtCutoff", 4096},
                                           StreamCase{"OddSectors", 4097 + 512 * 3},
                                           StreamCase{"BeyondHeaderIndex", 8 * 1024 * 1024}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompoundFile, RefusesBadAndRepeatedNames) {
    EXPECT_THROW(BuildCompoundFile({{u"", "x"}}), std::invalid_argument);
    EXPECT_THROW(BuildCompoundFile({{u"a/b", "x"}}), std::invalid_argument);
    EXPECT_THROW(BuildCompoundFile({{std::u16string(32, u'a'), "x"}}), std::invalid_argument);
    EXPECT_THROW(BuildCompoundFile({{u"Workbook", "x"}, {u"WORKBOOK", "y"}}),
                 std::invalid_argument);
}

// The portfolio check's results, as the spreadsheet reads them back: a priced line, one
// over the usury threshold, one that failed.
TEST(PortfolioExport, ResultsReadBackCellByCell) {
    const auto p = Percent::FromTenThousandths;
    const PortfolioRow good{2, "Auto", Money::FromCents(85993), p(60000), p(172250), false, ""};
    const PortfolioRow over{3, "Caro", Money::FromCents(93846), p(250000), p(172250), true, ""};
    const PortfolioRow failed{5, "Vuoto", {}, {}, {}, false, "Inserire il Valore del bene!"};
    TempFolder folder;
    const ExportResult result = ExportPortfolio(folder.Path(), {good, over, failed});
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.file, folder.Path() / "Verifica portafoglio.xls");
    const ReadSheet sheet = ReadWithXlrd(result.file);
    EXPECT_EQ(sheet.name, "Verifica");
    EXPECT_EQ(sheet.rows, 4);
    EXPECT_EQ(sheet.At(0, 3), Text("TAEG %"));
    EXPECT_EQ(sheet.At(1, 0), (ReadCell{kNumber, "General", "2.0"}));
    EXPECT_EQ(sheet.At(1, 2), Amount("859.93"));
    EXPECT_EQ(sheet.At(1, 3), Rate("6.0"));
    EXPECT_EQ(sheet.At(1, 4), (ReadCell{kNumber, "General", "17.225"}));
    EXPECT_EQ(sheet.At(1, 5), Text("Entro la soglia d'usura"));
    EXPECT_EQ(sheet.At(2, 5), Text("Oltre la soglia d'usura"));
    EXPECT_EQ(sheet.At(3, 1), Text("Vuoto"));
    EXPECT_EQ(sheet.At(3, 2), ReadCell{});
    EXPECT_EQ(sheet.At(3, 5), Text("Inserire il Valore del bene!"));
}
}  // namespace
}  // namespace quotaplan
