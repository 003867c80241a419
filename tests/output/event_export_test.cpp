// The documents of a contract with events: the events under the heading block, their lines in
// the plan, and the early-payoff statement as a document.
#include <gtest/gtest.h>

#include <map>

#include "engine/plan_events.h"
#include "output/event_heading.h"
#include "output/excel_export.h"
#include "output/payoff_statement_lines.h"
#include "output/plan_figures.h"
#include "output/text_export.h"
#include "output/word_export.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::PythonReader;
using test::RunReader;
using test::SplitLines;
using test::TempFolder;

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

// 17.482,81 over 84 monthly instalments at 5,35 % simple, 2.594,76 of up-front costs.
SignedTerms ConsumerTerms() {
    SignedTerms terms;
    terms.contractDate = Ymd(2026, 1, 15);
    terms.capitalisation = Capitalisation::Simple;
    terms.contractFees = Money::FromCents(259476);
    return terms;
}

CentsPlan ConsumerPlan() {
    CentsPlanTerms plan;
    plan.value = Money::FromCents(1748281);
    plan.calendar = {Ymd(2026, 1, 15), Ymd(2026, 2, 15), 84, 12, PaymentTiming::Arrears};
    plan.capitalisation = Capitalisation::Simple;
    plan.rates.assign(84, Percent::FromHundredths(535));
    return BuildCentsPlan(plan);
}

// A prepayment of 3.000 on 04/02/2027, between due dates (20 days after the 12th
// instalment: its interest 8,79), then the payoff on 15/01/2028 under the consumer rule, which
// at 9.274,08 charges no penalty.
FinancialPlan PlanWithEvents() {
    PayoffOptions payoff;
    payoff.penalty = {PenaltyRegime::Consumer, {}};
    const auto current = PlanWithEvents(
        ConsumerTerms(), ConsumerPlan(),
        {{Ymd(2027, 2, 4),
          PrepaymentOptions{Money::FromCents(300000), PrepaymentEffect::LowerInstalment, {}}, ""},
         {Ymd(2028, 1, 15), payoff, ""}});
    FinancialPlan plan;
    SetPlanToTheCent(plan, std::get<CentsPlan>(current));
    return plan;
}

ContractHeader Header() {
    ContractHeader header;
    header.labels[0] = "Tipo Finanziamento";
    header.values[0] = "Credito al consumo";
    return header;
}

TEST(EventHeading, EachEventALineUnderTheHeading) {
    const auto lines = EventHeadingLines(PlanWithEvents());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].first, "Rimborso parziale del 04/02/2027");
    EXPECT_EQ(lines[0].second, "3.000,00 (interessi 8,79, penale 0,00)");
    EXPECT_EQ(lines[1].first, "Estinzione del 15/01/2028");
    EXPECT_EQ(lines[1].second, "9.274,08 (penale 0,00, rimborso costi 1.296,64)");
    EXPECT_TRUE(EventHeadingLines(test::EngineCentsPlan(12)).empty());
}

TEST(EventHeading, AHolidayAmongTheEventsByItsDate) {
    const auto current = PlanWithEvents(
        ConsumerTerms(), ConsumerPlan(),
        {{Ymd(2027, 1, 15),
          SuspensionOptions{3, SuspensionKind::CapitalOnly, SuspendedInterest::Capitalised,
                            Percent::FromHundredths(5000)},
          ""},
         {Ymd(2027, 6, 4),
          PrepaymentOptions{Money::FromCents(300000), PrepaymentEffect::LowerInstalment, {}}, ""}});
    FinancialPlan plan;
    SetPlanToTheCent(plan, std::get<CentsPlan>(current));
    const auto lines = EventHeadingLines(plan);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].first, "Sospensione dal 15/01/2027");
    // Half of each of the three months' interest (69,32) on the residual after the 12th
    // instalment, the residual unchanged over a capital-only holiday.
    EXPECT_EQ(lines[0].second, "3 rate (interessi a carico del Fondo 103,98)");
    EXPECT_EQ(lines[1].first, "Rimborso parziale del 04/06/2027");
}

TEST(EventExports, TextLinesCarryTheEventsAndTheirLines) {
    const auto lines = TextExportLines(Header(), PlanWithEvents());
    ASSERT_EQ(lines.size(), 1u + 2u + 1u + 24u + 2u);
    EXPECT_EQ(lines[0], "Tipo Finanziamento;Credito al consumo");
    EXPECT_EQ(lines[1], "Rimborso parziale del 04/02/2027;3.000,00 (interessi 8,79, penale 0,00)");
    EXPECT_EQ(lines[3], "Tipo;Data;Tasso;Importo;Capitale;Deb.Res.;Interessi");
    EXPECT_EQ(lines[16], "Rimborso parziale;04/02/2027;5,35;3.008,79;3.000,00;12.366,88;8,79");
    EXPECT_EQ(lines.back(), "Estinzione;15/01/2028;5,35;10.570,72;10.570,72;0,00;0,00");
}

TEST(EventExports, SpreadsheetAndWordDocumentShowTheEvents) {
    TempFolder folder;
    const ExportResult result = ExportExcel(folder.Path(), "Eventi", Header(), PlanWithEvents());
    ASSERT_TRUE(result.Ok()) << result.message;
    std::map<std::pair<int, int>, std::string> cells;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_xls.py", result.file)))) {
        if (fields[0] == "cell") cells[{std::stoi(fields[1]), std::stoi(fields[2])}] = fields[5];
    }
    EXPECT_EQ((cells[{1, 0}]), "Rimborso parziale del 04/02/2027");
    EXPECT_EQ((cells[{2, 2}]), "9.274,08 (penale 0,00, rimborso costi 1.296,64)");
    // After the heading, its events, an empty row and the column headings: 12 instalments,
    // then the prepayment with its rate.
    EXPECT_EQ((cells[{17, 0}]), "Rimborso parziale");
    EXPECT_EQ((cells[{17, 2}]), "5.35");
    EXPECT_EQ((cells[{17, 3}]), "3008.79");

    const auto texts = WordBookmarkTexts("Eventi", Header(), PlanWithEvents());
    EXPECT_EQ(texts[20], "Rimborso parziale del 04/02/2027\r\nEstinzione del 15/01/2028");
    EXPECT_EQ(texts[33],
              "3.000,00 (interessi 8,79, penale 0,00)\r\n9.274,08 (penale 0,00, rimborso "
              "costi 1.296,64)");
    EXPECT_TRUE(texts[1].ends_with("24° Rata\r\nEstinzione\r\n"));
    EXPECT_TRUE(texts[2].ends_with("5,35\r\n5,35\r\n"));
}

TEST(EventExports, ThePrintedHeadingAndTheTotalsCountTheEvents) {
    const FinancialPlan plan = PlanWithEvents();
    PlanFigures figures;
    figures.contractFees = "2.594,76";
    const auto heading = PrintedHeading(Header(), figures, plan);
    ASSERT_GE(heading.size(), 3u);
    EXPECT_EQ(heading[1].first, "Rimborso parziale del 04/02/2027");
    EXPECT_EQ(heading[2].first, "Estinzione del 15/01/2028");
    // Paid: 24 instalments (12 of 249,99, 12 of 201,18 after the prepayment), the prepayment
    // and its interest, the payoff with its penalty less the refund, and the fees.
    const PlanTotals totals = PlanTotalsOf(plan, figures);
    Money instalments;
    for (const CentsPlanRow& row : plan.toTheCent->rows) instalments += row.instalment;
    EXPECT_EQ(instalments, Money::FromCents(541404));
    EXPECT_EQ(totals.paid, instalments + Money::FromCents(300879) + Money::FromCents(927408) +
                               Money::FromCents(259476));
}

TEST(PayoffStatementDocument, TheLinesOfThePublishedCase) {
    PayoffOptions options;
    options.penalty = {PenaltyRegime::Consumer, {}};
    const PayoffStatement statement =
        ComputePayoffStatement(ConsumerTerms(), ConsumerPlan(), Ymd(2028, 1, 15), options);
    const StatementDocument document = PayoffStatementDocument("Prestito auto", statement);
    EXPECT_EQ(StatementTitle(document.description), "Conteggio estintivo - Prestito auto");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Contratto", "Prestito auto"},
        {"Data di estinzione", "15/01/2028"},
        {"Rate pagate", "24"},
        {"Rate ancora dovute", "60"},
        {"Tasso in vigore", "5,35%"},
        {"Capitale residuo", "13.134,93"},
        {"Interessi maturati", "0,00"},
        {"Penale", "117,59 - consumatore 1% di 11.759,27"},
        {"Rimborso costi", "1.375,66 - curva degli interessi: 1.864,02 su 3.515,90"},
        {"Totale da pagare", "11.876,86"}};
    EXPECT_EQ(document.lines, expected);

    options.method = PayoffMethod::Discount;
    const auto discounted = PayoffStatementDocument(
        "Prestito auto",
        ComputePayoffStatement(ConsumerTerms(), ConsumerPlan(), Ymd(2028, 1, 15), options));
    EXPECT_EQ(discounted.lines[5],
              (std::pair<std::string, std::string>{"Valore attuale delle rate",
                                                   "13.134,90 - attualizzate al 5,4832%"}));
    EXPECT_EQ(discounted.lines[6].first, "Penale");
}

}  // namespace
}  // namespace quotaplan
