#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPrinter>
#include <map>

#include "common/number_text.h"
#include "output/plan_print.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::Joined;
using test::PythonReader;
using test::ReadPdfPages;
using test::RunReader;
using test::SplitLines;
using test::TempFolder;

// The grid as the plan page shows it: header row, then one row per instalment.
GridPrintContent PlanGrid(int instalments) {
    GridPrintContent content;
    content.rows.push_back(
        {"Tipo", "Scadenza", "Importo", "Q. Capitale", "Q. Interessi", "Deb. Res."});
    for (int i = 1; i <= instalments; ++i) {
        content.rows.push_back({std::to_string(i) + "° Rata",
                                FormatDate(CalendarDate::FromYmdCarrying(2006, 1 + i, 15), 1),
                                FormatNumber(1000.0 + i, 1), FormatNumber(900.0 + i, 1),
                                FormatNumber(100.0, 1), FormatNumber(400000.0 - 1000.0 * i, 1)});
    }
    content.gridRowCount = instalments + 3;
    content.description = "Città: A/B";
    content.today = CalendarDate::FromYmdCarrying(2026, 12, 6);
    return content;
}

constexpr double kPointsPerMm = 72.0 / 25.4;

// A word as pdftotext places it, in points from the page's top left corner.
struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

// Every printed word, a list a page.
std::vector<std::vector<Word>> PrintedWords(const std::filesystem::path& file) {
    std::vector<std::vector<Word>> pages;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_pdf.py", file, "boxes")))) {
        if (fields[0] == "page") pages.emplace_back();
        if (fields[0] == "word") {
            pages.back().push_back({std::stod(fields[1]), std::stod(fields[2]),
                                    std::stod(fields[3]), std::stod(fields[4]), fields[5]});
        }
    }
    return pages;
}

// A PDF printer on A4 that writes into a fresh folder.
class PrintGrid : public ::testing::Test {
protected:
    PrintGrid() { PrintTo(file); }
    void PrintTo(const std::filesystem::path& path) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    // Without page margins the printable area is the whole A4 sheet (595 x 842 points).
    void WithoutPageMargins() {
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    PrintResult Print(const GridPrintContent& content, const PrintChoice& choice = {}) {
        return quotaplan::PrintGrid(printer, content, choice);
    }
    // The words of the first page's title line, printed without page margins.
    std::vector<Word> PrintedTitle(const std::string& description) {
        WithoutPageMargins();
        GridPrintContent content = PlanGrid(2);
        content.description = description;
        EXPECT_TRUE(Print(content).Ok());
        const auto pages = PrintedWords(file);
        std::vector<Word> title;
        for (const Word& word : pages.at(0)) {
            if (word.yMin <= 12 * kPointsPerMm) title.push_back(word);
        }
        return title;
    }

    TempFolder folder;
    const std::filesystem::path file = folder.Path() / "piano.pdf";
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(PrintGrid, EveryPageHasTitleDateAndHeaderAndEveryRowPrintsOnce) {
    const PrintResult result = Print(PlanGrid(360));
    ASSERT_EQ(result.code, PrintCode::Printed) << result.message;
    EXPECT_EQ(result.message, "");

    const auto pages = ReadPdfPages(file);
    ASSERT_GT(pages.size(), 1u);
    std::map<int, int> printed;  // instalment -> times seen
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& lines = pages[p];
        ASSERT_GE(lines.size(), 4u) << "page " << p + 1;
        EXPECT_EQ(lines[0], "Piano finanziario - Città: A/B") << "page " << p + 1;
        EXPECT_EQ(lines[1], "06.12.2026") << "page " << p + 1;
        EXPECT_EQ(lines[2], "Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res.")
            << "page " << p + 1;
        EXPECT_EQ(lines.back(),
                  "Pagina " + std::to_string(p + 1) + " di " + std::to_string(pages.size()));
        for (std::size_t k = 3; k + 1 < lines.size(); ++k) {
            const std::size_t mark = lines[k].find("° Rata");
            ASSERT_NE(mark, std::string::npos) << lines[k];
            const int number = std::stoi(lines[k].substr(0, mark));
            ++printed[number];
            EXPECT_EQ(lines[k], Joined(PlanGrid(number).rows.back()));
        }
    }
    ASSERT_EQ(printed.size(), 360u);
    for (const auto& [number, times] : printed) EXPECT_EQ(times, 1) << number << "° Rata";
    EXPECT_EQ(printed.begin()->first, 1);
    EXPECT_EQ(printed.rbegin()->first, 360);
}

TEST_F(PrintGrid, ShortPlanFitsOnOnePage) {
    ASSERT_TRUE(Print(PlanGrid(1)).Ok());
    const auto pages = ReadPdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 5u);
    EXPECT_EQ(pages[0][3], "1° Rata 15/02/06 1.001,00 901,00 100,00 399.000,00");
    EXPECT_EQ(pages[0][4], "Pagina 1 di 1");
}

// The window's grid ends in empty rows (n + 3 rows whatever the maxi and buy-out): the
// table stops at the last row that holds text, with no empty boxes under it.
TEST_F(PrintGrid, TheGridsEmptyRowsAtItsEndAreNotBoxed) {
    for (const int instalments : {12, 60}) {
        GridPrintContent content = PlanGrid(instalments);
        content.rows.insert(content.rows.end(), 2, std::vector<std::string>(6));
        ASSERT_TRUE(Print(content).Ok());
        const auto pages = ReadPdfPages(file);
        const auto rules = SplitLines(RunReader(PythonReader("read_pdf.py", file, "rules")));
        ASSERT_EQ(rules.size(), pages.size());
        // A rule above the header row and under every row of the page.
        const std::size_t lastRows = pages.back().size() - 4;
        EXPECT_EQ(std::stoul(rules.back()[1]), lastRows + 2) << instalments;
        EXPECT_EQ(pages.back()[pages.back().size() - 2], Joined(PlanGrid(instalments).rows.back()));
    }
}

// Page 1 opens with the heading block under the head, an empty line, then the table.
TEST_F(PrintGrid, TheHeadingBlockOpensPageOne) {
    GridPrintContent content = PlanGrid(100);
    content.headingPairs = {{"Descrizione", "Città: A/B"},
                            {"Rata", "1.001,00"},
                            {"TAEG", "7,50% - Entro la soglia d'usura (soglia 9,1250 %)"}};
    ASSERT_TRUE(Print(content).Ok());
    const auto pages = ReadPdfPages(file);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(
        std::vector<std::string>(pages[0].begin() + 2, pages[0].begin() + 6),
        (std::vector<std::string>{"Descrizione Città: A/B", "Rata 1.001,00",
                                  "TAEG 7,50% - Entro la soglia d'usura (soglia 9,1250 %)",
                                  "Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res."}));
    // Four rows fewer on page 1: three lines and the empty one.
    EXPECT_EQ(pages[0].size() - 7, pages[1].size() - 4 - 4);
    EXPECT_EQ(pages[1][2], "Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res.");
}

struct OrderCase {
    const char* name;
    const char* pages;  // as typed in the print dialog; "" for all
    int copies;
    bool collate;
    std::vector<int> order;  // 0-based page indexes
};

class PrintOrderTest : public ::testing::TestWithParam<OrderCase> {};

// The pages of a five-page plan in the order the printer gets them.
TEST_P(PrintOrderTest, ChosenPagesInTheirCopies) {
    const OrderCase& c = GetParam();
    PrintChoice choice;
    choice.pages = QPageRanges::fromString(QString::fromLatin1(c.pages));
    choice.copies = c.copies;
    choice.collate = c.collate;
    EXPECT_EQ(PrintOrder(5, choice), c.order);
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintOrderTest,
                         ::testing::Values(OrderCase{"All", "", 1, true, {0, 1, 2, 3, 4}},
                                           OrderCase{"Range", "2-3", 1, true, {1, 2}},
                                           OrderCase{"ListAndRange", "1,4-5", 1, true, {0, 3, 4}},
                                           OrderCase{"BeyondTheEnd", "4-9", 1, true, {3, 4}},
                                           OrderCase{"NoneThere", "7-9", 1, true, {}},
                                           OrderCase{"TwoCollated", "2-3", 2, true, {1, 2, 1, 2}},
                                           OrderCase{
                                               "TwoUncollated", "2-3", 2, false, {1, 1, 2, 2}},
                                           OrderCase{"ZeroCopiesIsOne", "5", 0, true, {4}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Printed with a choice, the chosen pages come out in their copies, numbered as in the
// whole plan; a choice of no page prints nothing.
TEST_F(PrintGrid, OnlyTheChosenPagesInTheirCopies) {
    PrintChoice choice;
    choice.pages = QPageRanges::fromString(QStringLiteral("2-3"));
    choice.copies = 2;
    ASSERT_TRUE(Print(PlanGrid(200), choice).Ok());
    std::vector<std::string> numbers;
    for (const auto& page : ReadPdfPages(file)) numbers.push_back(page.back());
    EXPECT_EQ(numbers, (std::vector<std::string>{"Pagina 2 di 5", "Pagina 3 di 5", "Pagina 2 di 5",
                                                 "Pagina 3 di 5"}));

    std::filesystem::remove(file);
    choice.pages = QPageRanges::fromString(QStringLiteral("6-7"));
    const PrintResult none = Print(PlanGrid(200), choice);
    EXPECT_EQ(none.code, PrintCode::NothingToPrint);
    EXPECT_FALSE(std::filesystem::exists(file));
}

// A printer set up by the print dialog: its page range, and its copies only where it cannot
// make them itself (a PDF file cannot).
TEST_F(PrintGrid, TheChoiceAPrinterHolds) {
    EXPECT_TRUE(ChoiceOf(printer).pages.isEmpty());
    EXPECT_EQ(ChoiceOf(printer).copies, 1);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2-3,5")));
    printer.setCopyCount(3);
    printer.setCollateCopies(false);
    const PrintChoice choice = ChoiceOf(printer);
    EXPECT_EQ(choice.pages.toString(), QString("2-3,5"));
    EXPECT_EQ(choice.copies, 3);
    EXPECT_FALSE(choice.collate);
    printer.setPrintRange(QPrinter::AllPages);
    EXPECT_TRUE(ChoiceOf(printer).pages.isEmpty());
}

TEST_F(PrintGrid, HeadLinesAndRowsKeepTheirPlaceOnEveryPage) {
    WithoutPageMargins();
    GridPrintContent content = PlanGrid(120);
    content.description = "Tornio CNC " + std::string(30, 'x') + " con accessori e ricambi " +
                          std::string(40, 'y') + " fine";
    ASSERT_TRUE(Print(content).Ok());
    const double margin = 20 * kPointsPerMm;
    const auto pages = PrintedWords(file);
    ASSERT_GT(pages.size(), 1u);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& words = pages[p];
        ASSERT_GE(words.size(), 3u);
        // The title's first word starts at the left margin, its top 10 mm down; the date 16 mm.
        EXPECT_EQ(words[0].text, "Piano");
        EXPECT_NEAR(words[0].xMin, margin, 1.0) << "page " << p + 1;
        EXPECT_NEAR(words[0].yMin, 10 * kPointsPerMm, 1.0) << "page " << p + 1;
        const auto date = std::find_if(words.begin(), words.end(),
                                       [](const Word& w) { return w.text == "06.12.2026"; });
        ASSERT_NE(date, words.end()) << "page " << p + 1;
        EXPECT_NEAR(date->xMin, margin, 1.0);
        EXPECT_NEAR(date->yMin, 16 * kPointsPerMm, 1.0);
        // Every word within the side margins; the grid's within the bottom one too. The title
        // is too long for the page: it ends in an ellipsis at the right margin.
        std::string title;
        for (const Word& word : words) {
            EXPECT_GE(word.xMin, margin - 1.0) << word.text;
            EXPECT_LE(word.xMax, 595 - margin + 0.1) << word.text;
            if (word.yMin < 12 * kPointsPerMm) title += word.text + " ";
            if (word.yMin < 20 * kPointsPerMm) continue;  // head lines
            if (word.yMin > 842 - margin) continue;       // the page number
            EXPECT_LE(word.yMax, 842 - margin) << word.text;
        }
        // "Pagina k di n" in the bottom margin, its end at the right margin.
        ASSERT_GE(words.size(), 4u);
        const auto number = words.end() - 4;
        EXPECT_EQ(number->text, "Pagina");
        EXPECT_NEAR(number->yMin, 842 - margin + kPrintPageNumberGapMm * kPointsPerMm, 1.0);
        EXPECT_NEAR(words.back().xMax, 595 - margin, 1.0);
        EXPECT_EQ(words.back().text, std::to_string(pages.size()));
        EXPECT_EQ(title.substr(0, 38), "Piano finanziario - Tornio CNC xxxxxxx") << title;
        EXPECT_EQ(title.substr(title.size() - 4), "... ") << title;  // NFKC of "…"
    }
}

std::string Joined(const std::vector<Word>& words) {
    std::string text;
    for (const Word& word : words) text += (text.empty() ? "" : " ") + word.text;
    return text;
}
double Height(const Word& word) { return word.yMax - word.yMin; }

// A title too wide for the page is set smaller before it is ever cut; only one too long
// even at the smallest size ends in an ellipsis.
TEST_F(PrintGrid, ALongTitleIsSetSmallerBeforeItIsCut) {
    constexpr double kRightMargin = 595 - 20 * 72.0 / 25.4;
    const std::vector<Word> plain = PrintedTitle("Tornio CNC");
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(Joined(plain), "Piano finanziario - Tornio CNC");

    const std::string longer =
        "Centro di lavoro verticale a cinque assi con cambio utensili e tavola rotante";
    const std::vector<Word> smaller = PrintedTitle(longer);
    ASSERT_FALSE(smaller.empty());
    EXPECT_EQ(Joined(smaller), "Piano finanziario - " + longer);
    EXPECT_LT(Height(smaller.front()), Height(plain.front()) * 0.9);
    EXPECT_LE(smaller.back().xMax, kRightMargin);

    const std::vector<Word> cut = PrintedTitle(longer + " " + longer);
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(Joined(cut).substr(0, 20), "Piano finanziario - ");
    EXPECT_EQ(Joined(cut).substr(Joined(cut).size() - 3), "...");  // NFKC of "…"
    EXPECT_LE(cut.back().xMax, kRightMargin);
    EXPECT_LE(Height(cut.front()), Height(smaller.front()));
}

// Each page holds the rows its grid area allows at the fixed row height: on A4 without page
// margins, 257 mm less the header row make room for 45 rows of 5.5 mm.
TEST_F(PrintGrid, EveryFullPageHoldsTheRowsItsHeightAllows) {
    WithoutPageMargins();
    const int perPage =
        static_cast<int>((297 - 2 * kPrintMarginMm - kPrintRowHeightMm) / kPrintRowHeightMm);
    ASSERT_EQ(perPage, 45);
    ASSERT_TRUE(Print(PlanGrid(100)).Ok());
    std::vector<std::size_t> rowsPerPage;
    for (const auto& lines : ReadPdfPages(file)) rowsPerPage.push_back(lines.size() - 4);
    EXPECT_EQ(rowsPerPage, (std::vector<std::size_t>{45, 45, 10}));
}

struct NothingCase {
    const char* name;
    int gridRows;
};

class NothingToPrintTest : public PrintGrid, public ::testing::WithParamInterface<NothingCase> {};

TEST_P(NothingToPrintTest, BelowThreeGridRowsNothingIsPrinted) {
    GridPrintContent content = PlanGrid(0);
    content.gridRowCount = GetParam().gridRows;
    const PrintResult result = Print(content);
    EXPECT_EQ(result.code, PrintCode::NothingToPrint);
    EXPECT_EQ(result.message, "Non ci sono righe da stampare");
    EXPECT_FALSE(std::filesystem::exists(file));
}

INSTANTIATE_TEST_SUITE_P(Rows, NothingToPrintTest,
                         ::testing::Values(NothingCase{"HeaderOnly", 1}, NothingCase{"Two", 2},
                                           NothingCase{"None", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintGrid, PrinterThatCannotStartIsAPrinterError) {
    PrintTo(folder.Path() / "missing" / "folder" / "x.pdf");
    const PrintResult result = Print(PlanGrid(5));
    EXPECT_EQ(result.code, PrintCode::PrinterError);
    EXPECT_EQ(result.message, "Errore della stampante");
}

}  // namespace
}  // namespace quotaplan

int main(int argc, char** argv) {
    // Printing to a PDF file needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
