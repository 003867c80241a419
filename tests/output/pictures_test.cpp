// The chart drawn without a window, its PNG picture and the PDF of the plan, read back with
// pdftotext and pdfinfo.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QImageReader>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "common/clock.h"
#include "common/number_text.h"
#include "engine/money.h"
#include "output/plan_chart.h"
#include "output/plan_pdf.h"
#include "output/plan_print.h"
#include "output/plan_table.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::FileNames;
using test::Joined;
using test::PythonReader;
using test::ReadPdfPages;
using test::RunReader;
using test::SplitLines;
using test::TempFolder;

std::string PageText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Page sizes in points, width and height rounded.
std::vector<std::pair<int, int>> PageSizes(const std::filesystem::path& file) {
    std::vector<std::pair<int, int>> sizes;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_pdf.py", file, "sizes")))) {
        sizes.emplace_back(static_cast<int>(std::lround(std::stod(fields[1]))),
                           static_cast<int>(std::lround(std::stod(fields[2]))));
    }
    return sizes;
}

TEST(PlanChart, TheSeriesHoldThePlansFigures) {
    const FinancialPlan plan = test::EngineMonthlyPlan(24);
    const PlanChartData data = PlanChartDataOf(plan);
    const std::unique_ptr<QChart> chart = BuildPlanChart(data, "");
    ASSERT_EQ(chart->series().size(), 2);
    auto* bars = qobject_cast<QStackedBarSeries*>(chart->series()[0]);
    auto* residual = qobject_cast<QLineSeries*>(chart->series()[1]);
    ASSERT_NE(bars, nullptr);
    ASSERT_NE(residual, nullptr);
    ASSERT_EQ(bars->count(), 2);
    EXPECT_EQ(bars->barSets()[0]->label(), QString("Quota capitale"));
    EXPECT_EQ(bars->barSets()[1]->label(), QString("Quota interessi"));
    EXPECT_EQ(residual->name(), QString("Debito residuo"));
    ASSERT_EQ(bars->barSets()[0]->count(), 24);
    ASSERT_EQ(residual->count(), 24);
    for (int k = 0; k < 24; ++k) {
        const PlanRow& row = plan.rows[static_cast<std::size_t>(k)];
        EXPECT_EQ(bars->barSets()[0]->at(k), row.QCapitale) << k;
        EXPECT_EQ(bars->barSets()[1]->at(k), row.QInteressi) << k;
        EXPECT_EQ(residual->at(k), QPointF(k, row.DebitoRes)) << k;
    }
    // The residual debt on the right axis, the shares on the left, dates below.
    const auto right = chart->axes(Qt::Vertical, residual);
    ASSERT_EQ(right.size(), 1);
    EXPECT_EQ(right[0]->alignment(), Qt::AlignRight);
    auto* below = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal)[0]);
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(below->titleText(), QString("Scadenza"));
    EXPECT_EQ(
        below->categoriesLabels(),
        QStringList({"15/02/06", "15/04/06", "15/06/06", "15/08/06", "15/10/06", "15/12/06",
                     "15/02/07", "15/04/07", "15/06/07", "15/08/07", "15/10/07", "15/12/07"}));
    EXPECT_TRUE(chart->localizeNumbers());
    EXPECT_EQ(chart->locale().decimalPoint(), QString(","));
    EXPECT_EQ(chart->locale().groupSeparator(), QString("."));
}

TEST(PlanChart, NoPlanNoSeries) {
    const std::unique_ptr<QChart> chart = BuildPlanChart(PlanChartData{}, "");
    EXPECT_TRUE(chart->series().isEmpty());
    EXPECT_TRUE(chart->axes().isEmpty());
}

// The picture is 1600 x 900 and shows the bars in their colours.
TEST(PlanChart, PngOfSixteenHundredByNineHundred) {
    TempFolder folder;
    const ExportResult result =
        ExportChartPng(folder.Path(), "Città: A/B", test::EngineMonthlyPlan(36));
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.file, folder.Path() / "Città  A B.png");
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"Città  A B.png"});
    QImageReader reader(QString::fromStdString(result.file.string()));
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(1600, 900));
    int capital = 0, interest = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb pixel = image.pixel(x, y) & 0xffffff;
            capital += pixel == 0x2e6db4;
            interest += pixel == 0xf08c28;
        }
    }
    EXPECT_GT(capital, 20000);  // most of the plot
    EXPECT_GT(interest, 500);
}

TEST(PlanChart, NoPngBeforeAPlan) {
    TempFolder folder;
    const ExportResult result = ExportChartPng(folder.Path(), "x", FinancialPlan{});
    EXPECT_EQ(result.code, ExportCode::NoPlan);
    EXPECT_TRUE(FileNames(folder.Path()).empty());
}

// The figures of the calculation as the window shows them beside the form.
PlanFigures SampleFigures(bool toTheCent = false) {
    PlanFigures figures;
    figures.toTheCent = toTheCent;
    figures.instalment = "859,93";
    figures.contractFees = "150";
    figures.instalmentFee = "2";
    figures.taeg = "6,17%";
    figures.usuryVerdict = "Entro la soglia d'usura (soglia 17,2250 %)";
    return figures;
}

// An amount column of the printed rows added up, to the cent.
Money ColumnSum(const std::vector<PlanTableRow>& rows, std::size_t column) {
    Money sum;
    for (const PlanTableRow& row : rows) sum += *ReadMoney(row[column]);
    return sum;
}

struct PdfCase {
    const char* name;
    int instalments;
    bool toTheCent;
    int pages;  // what the layout implies, worked out by the test below
    const char* firstRow;
};

class PlanPdfTest : public ::testing::TestWithParam<PdfCase> {};

// Page 1: title, date, the 13 heading lines and the calculation's figures, an empty line,
// the header row and the rows that fit; every further plan page: title, date, header row
// and rows; then the chart's page in landscape. Every page ends with "Pagina k di n"; every
// plan row stands once, in order. The totals are the sums of the printed columns (and the
// fees).
TEST_P(PlanPdfTest, HeadingBlockEveryRowAndTheChart) {
    const PdfCase& c = GetParam();
    TempFolder folder;
    const ScopedToday today(*CalendarDate::FromYmd(2026, 12, 6));
    const FinancialPlan plan =
        c.toTheCent ? test::EngineCentsPlan(c.instalments) : test::EngineMonthlyPlan(c.instalments);
    const ContractHeader header = BuildContractHeader(test::SampleForm());
    const ExportResult result =
        ExportPdf(folder.Path(), "Città: A/B", header, plan, SampleFigures(c.toTheCent));
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.file, folder.Path() / "Città  A B.pdf");
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"Città  A B.pdf"});

    const std::vector<PlanTableRow> rows = PlanTableRows(plan);
    const Money paid =
        ColumnSum(rows, 2) + Money::FromCents(15000) + Money::FromCents(200 * c.instalments);
    std::vector<std::string> heading;
    for (int i = 0; i < ContractHeader::kSize; ++i) {
        heading.push_back(header.labels[i] + " " + header.values[i]);
    }
    heading.insert(heading.end(), {"Rata 859,93", "Spese contratto 150,00", "Spese rata 2,00",
                                   "TAEG 6,17% - Entro la soglia d'usura (soglia 17,2250 %)"});
    if (c.toTheCent) heading.push_back("Piano al centesimo Sì");
    heading.push_back("Totale interessi " + FormatNumber(ColumnSum(rows, 4).Units(), 1));
    heading.push_back("Totale pagato " + FormatNumber(paid.Units(), 1));

    // A4 between 20 mm margins holds the header row and 45 rows of 5.5 mm; page 1 gives
    // some of them to the heading block and its empty line.
    const int perPage =
        static_cast<int>((297 - 2 * kPrintMarginMm - kPrintRowHeightMm) / kPrintRowHeightMm);
    const int onFirst = perPage - static_cast<int>(heading.size() + 1);
    const int planPages = 1 + (std::max(0, c.instalments - onFirst) + perPage - 1) / perPage;
    ASSERT_EQ(planPages + 1, c.pages);

    const auto pages = ReadPdfPages(result.file);
    ASSERT_EQ(static_cast<int>(pages.size()), c.pages);
    const auto sizes = PageSizes(result.file);
    ASSERT_EQ(static_cast<int>(sizes.size()), c.pages);
    for (int p = 0; p < c.pages; ++p) {
        EXPECT_EQ(sizes[p], p + 1 < c.pages ? std::pair(595, 842) : std::pair(842, 595)) << p;
        ASSERT_GE(pages[p].size(), 3u);
        EXPECT_EQ(pages[p][0], "Piano finanziario - Città: A/B") << "page " << p + 1;
        // The TAEG at the right of the date, as on the printed page.
        EXPECT_EQ(pages[p][1], "06.12.2026 TAEG 6,17%") << "page " << p + 1;
        EXPECT_EQ(pages[p].back(),
                  "Pagina " + std::to_string(p + 1) + " di " + std::to_string(c.pages));
    }
    EXPECT_EQ(std::vector<std::string>(pages[0].begin() + 2,
                                       pages[0].begin() + 2 + static_cast<long>(heading.size())),
              heading);
    std::vector<std::string> printed;
    for (int p = 0; p < planPages; ++p) {
        const std::size_t headerRow = p == 0 ? 2 + heading.size() : 2;
        ASSERT_GT(pages[p].size(), headerRow + 1);
        EXPECT_EQ(pages[p][headerRow], "Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res.");
        const int count = static_cast<int>(pages[p].size() - headerRow - 2);
        if (p + 1 < planPages) {
            EXPECT_EQ(count, p == 0 ? onFirst : perPage) << "page " << p + 1;
        }
        printed.insert(printed.end(), pages[p].begin() + static_cast<long>(headerRow) + 1,
                       pages[p].end() - 1);
    }
    std::vector<std::string> expected;
    for (const PlanTableRow& row : rows) expected.push_back(Joined(row));
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(printed.front(), c.firstRow);

    const std::string chartPage = PageText(pages.back());
    for (const char* text : {"Quota capitale", "Quota interessi", "Debito residuo"}) {
        EXPECT_NE(chartPage.find(text), std::string::npos) << text << "\n" << chartPage;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, PlanPdfTest,
                         ::testing::Values(PdfCase{"Twelve", 12, false, 2,
                                                   "1° Rata 15/02/06 859,93 811,26 48,67 9.188,74"},
                                           PdfCase{"ThreeHundredSixtyToTheCent", 360, true, 10,
                                                   "1° Rata 15/02/06 58,94 10,26 48,68 9.989,74"},
                                           PdfCase{"OneThousand", 1000, false, 24,
                                                   "1° Rata 15/02/06 49,06 0,38 48,68 9.999,62"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The chart's page has the axes' Italian numbers and the due dates of a short plan, a date
// every other bar on the 257 mm of the page (a label every 100 pixels of a 96-dpi screen).
// Without a TAEG the date stands alone on its line.
TEST(PlanPdf, ChartPageShowsItalianNumbersAndDates) {
    TempFolder folder;
    const ScopedToday today(*CalendarDate::FromYmd(2026, 12, 6));
    const ExportResult result =
        ExportPdf(folder.Path(), "Auto", ContractHeader{}, test::EngineMonthlyPlan(12), {});
    ASSERT_TRUE(result.Ok()) << result.message;
    const auto pages = ReadPdfPages(result.file);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0][1], "06.12.2026");
    EXPECT_EQ(pages[1][1], "06.12.2026");
    const std::string chartPage = PageText(pages.back());
    for (const char* text :
         {"\n1.000 10.000\n", "\n15/02/06 15/04/06 15/06/06 15/08/06 15/10/06 15/12/06\n",
          "\nScadenza\n"}) {
        EXPECT_NE(chartPage.find(text), std::string::npos) << text << "\n" << chartPage;
    }
}

TEST(PlanPdf, NothingBeforeAPlanAndAnOlderFileReplaced) {
    TempFolder folder;
    EXPECT_EQ(ExportPdf(folder.Path(), "Auto", ContractHeader{}, FinancialPlan{}, {}).code,
              ExportCode::NoPlan);
    EXPECT_TRUE(FileNames(folder.Path()).empty());
    test::WriteBytes(folder.Path() / "Auto.pdf", "vecchio");
    ASSERT_TRUE(
        ExportPdf(folder.Path(), "Auto", ContractHeader{}, test::EngineMonthlyPlan(3), {}).Ok());
    EXPECT_EQ(test::ReadBytes(folder.Path() / "Auto.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"Auto.pdf"});
}

TEST(PlanPdf, AFolderThatCannotBeMadeIsReported) {
    TempFolder folder;
    test::WriteBytes(folder.Path() / "file", "x");
    const ExportResult result = ExportPdf(folder.Path() / "file" / "Export", "Auto",
                                          ContractHeader{}, test::EngineMonthlyPlan(3), {});
    EXPECT_EQ(result.code, ExportCode::FolderError);
    EXPECT_EQ(result.message,
              "Impossibile creare la cartella " + (folder.Path() / "file" / "Export").string());
}

}  // namespace
}  // namespace quotaplan

int main(int argc, char** argv) {
    // Charts are drawn without a display, as the calculator draws them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
