#include "output/review_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "output_test_support.h"

namespace quotaplan::test {
namespace {

CalendarDate Iso(const char* text) { return *CalendarDate::FromIso(text); }
Money Cents(std::int64_t cents) { return Money::FromCents(cents); }

ReviewRow Row(int number, const char* date, std::int64_t instalment, std::int64_t capital,
              std::int64_t interest, std::int64_t residual) {
    return {number, Iso(date), Cents(instalment), Cents(capital), Cents(interest), Cents(residual)};
}

// A mortgage of 1.000 at 12 % over three months, signed before the 2011 rule; the bank's
// plan a cent off in the second row's interest.
ReviewFacts Facts() {
    ReviewFacts facts;
    facts.description = "Mutuo Rossi";
    facts.financingType = "Mutuo";
    facts.value = Cents(100000);
    facts.count = 3;
    facts.annualRate = Percent::FromHundredths(1200);
    facts.compound = false;
    facts.contractDate = Iso("2010-01-15");
    facts.firstDate = Iso("2010-02-15");
    facts.taeg = Percent::FromHundredths(1268);
    facts.defaultInterest =
        DefaultInterest{DefaultInterestKind::OverContractRate, Percent::FromHundredths(300)};
    facts.usuryCategory = "Mutui a tasso fisso";
    const UsuryRate quarter{"Mutui a tasso fisso", std::nullopt,      Cents(2500000),
                            Iso("2010-01-01"),     Iso("2010-03-31"), Percent::FromHundredths(550)};
    facts.judgement = JudgeUsury(quarter, *facts.taeg, facts.contractDate,
                                 facts.defaultInterest->RateFor(facts.annualRate));
    facts.ours = {Row(1, "2010-02-15", 34002, 33002, 1000, 66998),
                  Row(2, "2010-03-15", 34002, 33332, 670, 33666),
                  Row(3, "2010-04-15", 34003, 33666, 337, 0)};
    facts.bank = facts.ours;
    facts.bank[1].interest = Cents(671);
    facts.comparison = ComparePlans(facts.bank, facts.ours);
    ReviewRecomputation italian;
    italian.plan = Recompute({facts.value,
                              Money(),
                              facts.annualRate,
                              12,
                              {Iso("2010-02-15"), Iso("2010-03-15"), Iso("2010-04-15")}},
                             Recomputation::Italian);
    italian.referenceInterest = Cents(2008);
    italian.difference = Cents(8);
    italian.legalRateGap = Iso("2010-02-16");
    facts.recomputations = {italian};
    facts.legalInterestTo = Iso("2024-12-31");
    return facts;
}

TEST(ReviewDocument, TermsVerdictsComparisonRecomputationsAndConventions) {
    const auto lines = ReportLines(ReviewDocument(Facts(), Iso("2026-03-02")));
    const std::vector<std::string> expected = {
        "Perizia econometrica - Mutuo Rossi",
        "Data: 02/03/2026",
        "Condizioni del contratto",
        "Tipologia: Mutuo",
        "Valore finanziato: 1.000,00",
        "Tasso annuo nominale: 12,00 %",
        "Numero di rate: 3",
        "Periodicità: Mensile",
        "Pagamento: Posticipato",
        "Capitalizzazione: Semplice",
        "Data del contratto: 15/01/2010",
        "Prima rata: 15/02/2010",
        "TAEG e verifica d'usura",
        "TAEG (usato come TEG): 12,68 %",
        "Tasso di mora: 3,00 % oltre il tasso del contratto (15,00 %)",
        // Before 14/05/2011: TEGM * 1,5.
        "Regola della soglia: TEGM × 1,5 (fino al 13/05/2011)",
        "Soglia utilizzata: Mutui a tasso fisso, fino a 25.000,00, dal 01/01/2010 al 31/03/2010, "
        "TEGM 5,50 %",
        "Soglia d'usura: 8,2500 %",
        "Esito TEG: OLTRE la soglia d'usura",
        "Il decreto non indica la maggiorazione media della mora: il tasso di mora è confrontato "
        "con la soglia ordinaria.",
        "Soglia per la mora: 8,2500 %",
        "Esito mora: OLTRE la soglia d'usura",
        "Piano della banca e piano ricalcolato",
        "Righe confrontate: 3",
        "Prima rata diversa: 2",
        "Totale pagato secondo la banca: 1.020,07",
        "Totale secondo il ricalcolo: 1.020,07",
        "Pagato in più dal cliente: 0,00",
        "N.;Scadenza;Rata banca;Rata ricalcolata;Capitale banca;Capitale ricalcolato;Interessi "
        "banca;Interessi ricalcolati;Residuo banca;Residuo ricalcolato",
        "1;15/02/2010;340,02;340,02;330,02;330,02;10,00;10,00;669,98;669,98",
        "2;15/03/2010;340,02;340,02;333,32;333,32;6,71*;6,70*;336,66;336,66",
        "3;15/04/2010;340,03;340,03;336,66;336,66;3,37;3,37;0,00;0,00",
        "Ricalcolo: Ammortamento all'italiana",
        "Prima rata: 343,33",
        "Totale interessi ricalcolati: 20,00",
        "Interessi del piano della banca: 20,08",
        "Differenza da restituire: 0,08",
        "Interessi legali non calcolabili: manca il tasso legale del 16/02/2010.",
        "Convenzioni",
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    // The default simple-interest convention is stated.
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& line) {
                               return line.find(
                                          "convenzione predefinita: Regime semplice, "
                                          "interessi maturati a scadenza") != std::string::npos;
                           }),
              lines.end());
}

// The .doc as unrtf reads it: the title, the pairs, and the comparison's cells.
TEST(ReviewDocument, DocReadBackByUnrtf) {
    TempFolder folder;
    const ExportResult written = ExportReviewReportDoc(folder.Path(), "Perizia Mutuo Rossi",
                                                       ReviewDocument(Facts(), Iso("2026-03-02")));
    ASSERT_TRUE(written.Ok()) << written.message;
    EXPECT_EQ(written.file, folder.Path() / "Perizia Mutuo Rossi.doc");
    const std::string read = RunReader(PythonReader("read_doc.py", written.file));
    for (const char* expected : {"Perizia econometrica - Mutuo Rossi", "Esito TEG:",
                                 "OLTRE la soglia d'usura", "td\t6,71", "td\t336,66"}) {
        EXPECT_NE(read.find(expected), std::string::npos) << expected << "\n" << read;
    }
}

}  // namespace
}  // namespace quotaplan::test
