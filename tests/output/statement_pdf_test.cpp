// The early-payoff statement as a PDF page, read back with pdftotext.
#include "output/statement_pdf.h"

#include <gtest/gtest.h>

#include "common/clock.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

TEST(StatementPdf, OnePageWithTheStatementsLines) {
    const ScopedToday today(*CalendarDate::FromYmd(2028, 1, 10));
    const StatementDocument statement{
        "Prestito auto",
        {{"Contratto", "Prestito auto"},
         {"Penale", "117,59 - consumatore 1% di 11.759,27"},
         {"Totale da pagare", "11.876,86"}}};
    test::TempFolder folder;
    const ExportResult written = ExportStatementPdf(folder.Path(), statement);
    ASSERT_TRUE(written.Ok()) << written.message;
    EXPECT_EQ(written.file.filename(), "Prestito auto - conteggio estintivo.pdf");
    const auto pages = test::ReadPdfPages(written.file);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (std::vector<std::string>{
                            "Conteggio estintivo - Prestito auto", "10.01.2028",
                            "Contratto Prestito auto",
                            "Penale 117,59 - consumatore 1% di 11.759,27",
                            "Totale da pagare 11.876,86", "Pagina 1 di 1"}));
}

}  // namespace
}  // namespace quotaplan
