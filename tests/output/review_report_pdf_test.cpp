#include "output/review_report_pdf.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPrinter>

#include "engine/cents_plan.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::ReadPdfPages;
using test::TempFolder;

// 360 rows of a 30-year mortgage compared with itself, one row of the bank's a cent off.
ReportDocument LongReport() {
    CentsPlanTerms terms;
    terms.value = Money::FromCents(20000000);
    terms.capitalisation = Capitalisation::Simple;
    terms.calendar = {*CalendarDate::FromIso("2026-01-15"), *CalendarDate::FromIso("2026-02-15"),
                      360, 12, PaymentTiming::Arrears};
    terms.rates.assign(360, Percent::FromHundredths(400));
    ReviewFacts facts;
    facts.description = "Mutuo trentennale";
    facts.value = terms.value;
    facts.count = 360;
    facts.annualRate = terms.rates.front();
    facts.ours = ReviewRowsOf(BuildCentsPlan(terms));
    facts.bank = facts.ours;
    *facts.bank[99].interest += Money::FromCents(1);
    facts.comparison = ComparePlans(facts.bank, facts.ours);
    return ReviewDocument(facts, *CalendarDate::FromIso("2026-03-02"));
}

bool HasLine(const std::vector<std::string>& page, const std::string& start) {
    for (const auto& line : page) {
        if (line.starts_with(start)) return true;
    }
    return false;
}

// Every page headed and numbered, the table's header row on each page it runs over, every
// row once, the text selectable.
TEST(ReviewReportPdf, PagesHeadedNumberedAndTheTableWhole) {
    TempFolder folder;
    const ExportResult written =
        ExportReviewReportPdf(folder.Path(), "Perizia Mutuo trentennale", LongReport());
    ASSERT_TRUE(written.Ok()) << written.message;
    const auto pages = ReadPdfPages(written.file);
    ASSERT_EQ(pages.size(), 7u);  // 55 rows a page under the head and the header row
    const std::string count = std::to_string(pages.size());
    int rows = 0;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_EQ(pages[k].front(), "Perizia econometrica - Mutuo trentennale");
        EXPECT_TRUE(HasLine(pages[k], "Pagina " + std::to_string(k + 1) + " di " + count));
        for (const auto& line : pages[k]) {
            if (line.find("/20") != std::string::npos && line.find(";") == std::string::npos &&
                std::isdigit(static_cast<unsigned char>(line.front())) &&
                line.find(' ') != std::string::npos && line.size() > 30) {
                ++rows;
            }
        }
    }
    EXPECT_EQ(rows, 360);
    EXPECT_TRUE(HasLine(pages[0], "Prima rata diversa 100"));
    EXPECT_TRUE(HasLine(pages[3], "N. Scadenza Rata banca"));
}

// Printed, the same pages: here on a printer that writes a PDF file.
TEST(ReviewReportPdf, PrintedAsTheFileIsWritten) {
    TempFolder folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const auto file = folder.Path() / "stampa.pdf";
    printer.setOutputFileName(QString::fromStdString(file.string()));
    const PrintResult printed = PrintReviewReport(printer, LongReport());
    ASSERT_TRUE(printed.Ok()) << printed.message;
    const auto pages = ReadPdfPages(file);
    ASSERT_EQ(pages.size(), 7u);
    EXPECT_EQ(pages[0].front(), "Perizia econometrica - Mutuo trentennale");
    EXPECT_TRUE(HasLine(pages[6], "Pagina 7 di 7"));
}

}  // namespace
}  // namespace quotaplan

int main(int argc, char** argv) {
    // A PDF needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
