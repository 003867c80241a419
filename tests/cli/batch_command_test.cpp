// quotaplan-calc --batch: the wiring of the batch (the reading and pricing are tested beside
// them): the printed answers, the counts, the exit status and the usury check from --db.
#include <gtest/gtest.h>

#include <fstream>

#include "calc_archive_fixture.h"

namespace quotaplan {
namespace {

constexpr const char* kPortfolio =
    "description;value;rate;count;contract-date;first-date;plan;contract-fees;usury-category\n"
    "Auto;10000;6;12;2006-01-31;2006-02-28;;;\n"
    "Prestito;10.000,00;6;12;2026-01-15;2026-02-15;cents;150;Credito personale\n"
    "Vuoto;;6;12;;;;;\n"
    "Caro;10000;25;12;2026-01-15;2026-02-15;cents;;credito PERSONALE\n";

class BatchCommand : public test::CalcArchive {
protected:
    std::string WriteFile(const std::string& name, const std::string& text) {
        const auto file = (archive_.Folder() / name).string();
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    void ImportQuarter() {
        ASSERT_EQ(Run({"--import-thresholds",
                       WriteFile("soglie.csv",
                                 "Categoria;Importo da;Importo a;Dal;Al;TEGM\n"
                                 "Credito personale;;;01/01/2026;31/03/2026;10,58\n")}),
                  0)
            << err_;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, BatchCommand, testing::kEngines, testing::EngineName);

TEST_P(BatchCommand, EveryLineAnsweredInOrderThenTheCounts) {
    ImportQuarter();
    EXPECT_EQ(Run({"--batch", WriteFile("portafoglio.csv", kPortfolio), "--jobs", "3"}), 2);
    EXPECT_EQ(out_,
              "{\"line\": 2, \"description\": \"Auto\", \"instalment\": 859.93, \"taeg\": 6, "
              "\"total_interest\": 319.15, \"total_paid\": 10319.16, \"capitalisation\": \"compound\", \"timing\": \"arrears\"}\n"
              "{\"line\": 3, \"description\": \"Prestito\", \"instalment\": 859.93, \"taeg\": "
              "9.03, \"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, "
              "\"threshold\": 17.225, \"teg\": 9.03, \"over\": false}, \"total_interest\": 319.22, "
              "\"total_paid\": 10469.22, \"capitalisation\": \"compound\", \"timing\": \"arrears\"}\n"
              "{\"line\": 4, \"description\": \"Vuoto\", \"error\": \"Inserire il Valore del "
              "bene!\"}\n"
              "{\"line\": 5, \"description\": \"Caro\", \"instalment\": 938.46, \"taeg\": 25, "
              "\"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, \"threshold\": "
              "17.225, \"teg\": 25, \"over\": true}, \"total_interest\": 1261.56, "
              "\"total_paid\": 11261.56, \"capitalisation\": \"compound\", \"timing\": \"arrears\"}\n"
              "{\"good\": 3, \"bad\": 1}\n");
    EXPECT_EQ(err_, "");
}

TEST_P(BatchCommand, CsvOutputAndTheCountsApart) {
    ImportQuarter();
    EXPECT_EQ(Run({"--batch", WriteFile("portafoglio.csv", kPortfolio), "--format", "csv"}), 2);
    EXPECT_EQ(out_,
              "line;description;instalment;taeg;usury_category;usury_threshold;usury_over;"
              "total_interest;total_paid;error\n"
              "2;Auto;859,93;6;;;;319,15;10319,16;\n"
              "3;Prestito;859,93;9,03;Credito personale;17,225;no;319,22;10469,22;\n"
              "4;Vuoto;;;;;;;;Inserire il Valore del bene!\n"
              "5;Caro;938,46;25;Credito personale;17,225;sì;1261,56;11261,56;\n");
    EXPECT_EQ(err_, "{\"good\": 3, \"bad\": 1}\n");
}

TEST_P(BatchCommand, PlansOnAskingAndAllGood) {
    const std::string file = WriteFile(
        "due.jsonl",
        "{\"value\": 1000, \"rate\": 6, \"count\": 2, \"contract-date\": \"2026-01-15\"}\n");
    EXPECT_EQ(RunPlain({"--batch", file, "--plans"}), 0) << err_;
    // As the calculator prints the same contract, amounts to the cents the grid shows.
    EXPECT_EQ(
        out_,
        "{\"line\": 1, \"description\": \"\", \"instalment\": 503.65, \"taeg\": 5.99, "
        "\"total_interest\": 7.29, \"total_paid\": 1007.3, \"capitalisation\": \"compound\", \"timing\": \"arrears\", \"plan\": [\n"
        "  {\"type\": \"Rata\", \"number\": 1, \"date\": \"2026-02-15\", \"rate\": 6, "
        "\"amount\": 503.65, \"capital\": 498.79, \"interest\": 4.86, \"residual\": 501.21},\n"
        "  {\"type\": \"Rata\", \"number\": 2, \"date\": \"2026-03-15\", \"rate\": 6, "
        "\"amount\": 503.65, \"capital\": 501.22, \"interest\": 2.43, \"residual\": -0.01}\n"
        "]}\n{\"good\": 1, \"bad\": 0}\n");
}

TEST_P(BatchCommand, RefusedBeforeAnyLine) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--batch", "/non/esiste.csv"}, "Impossibile leggere il file \"/non/esiste.csv\".\n"},
        {{"--batch", WriteFile("x.csv", "valore;tasso\n1;2\n")},
         "Colonna sconosciuta nell'intestazione del file: \"valore\" (le colonne sono le opzioni "
         "di quotaplan-calc senza i trattini: value, rate, count, …).\n"},
        {{"--batch", WriteFile("y.csv", "value\n1\n"), "--jobs", "0"},
         "Valore non valido per --jobs: \"0\" (serve un numero intero da 1 a 256)\n"},
        {{"--batch", WriteFile("y.csv", "value\n1\n"), "--format", "csv", "--plans"},
         "--plans vale solo per l'uscita JSON.\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunPlain(c.args), 2) << c.args[1];
        EXPECT_EQ(out_, "");
        EXPECT_EQ(err_, c.message);
    }
}

// A category the archive lacks fails its line only.
TEST_P(BatchCommand, UnknownCategoryFailsItsLine) {
    EXPECT_EQ(Run({"--batch", WriteFile("c.csv",
                                        "value;rate;count;type\n10000;6;12;Leasing\n"
                                        "10000;6;12;Aereo\n")}),
              2);
    EXPECT_NE(out_.find("{\"line\": 2, \"description\": \"\", \"instalment\": 859.93"),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("\"usury\": {\"category\": null, \"tegm\": null"), std::string::npos);
    EXPECT_NE(out_.find("{\"line\": 3, \"description\": \"\", \"error\": \"Tipo di finanziamento "
                        "non presente nell'archivio: \\\"Aereo\\\"\"}"),
              std::string::npos)
        << out_;
}

}  // namespace
}  // namespace quotaplan
