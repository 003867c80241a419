// --import-thresholds and the usury verdict of a calculation (--usury-category, or the
// category of --type), on each engine.
#include <gtest/gtest.h>

#include <fstream>
#include <string_view>

#include "calc_archive_fixture.h"
#include "data/database.h"

namespace quotaplan {
namespace {

// A quarter of a decree's table, figures made up for the tests: personal loans, and
// leasing in two classes of amounts.
constexpr const char* kQuarter =
    "Categoria;Importo da;Importo a;Dal;Al;TEGM\r\n"
    "Credito personale;;;01/01/2026;31/03/2026;10,58\r\n"
    "Leasing strumentale;;25.000,00;01/01/2026;31/03/2026;3,33\r\n"
    "Leasing strumentale;25.000,00;;01/01/2026;31/03/2026;17,00\r\n";

// 10.000 at 6 % simple, 12 monthly from 15/02/2026, fees 150 and 2 an instalment: TAEG 9,68.
const std::vector<std::string> kTenThousand = {
    "--value",   "10000",           "--rate",     "6",
    "--simple",  "--count",         "12",         "--plan",
    "cents",     "--contract-fees", "150",        "--instalment-fee",
    "2",         "--contract-date", "2026-01-15", "--first-date",
    "2026-02-15"};

using test::Plus;

// The "usury" member of the calculator's JSON, as printed.
std::string UsuryOf(const std::string& json) {
    const auto start = json.find("\"usury\": ");
    if (start == std::string::npos) return "";
    return json.substr(start, json.find('}', start) + 1 - start);
}

class UsuryCommand : public test::CalcArchive {
protected:
    std::string WriteFile(const std::string& text) {
        const auto file = (archive_.Folder() / "soglie.csv").string();
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    long long Rows() {
        Database db = Open();
        Recordset count(db, "SELECT COUNT(*) FROM tabSoglieUsura");
        return static_cast<long long>(count.Value(0).ToDouble());
    }
    void ImportQuarter() {
        ASSERT_EQ(Run({"--import-thresholds", WriteFile(kQuarter)}), 0) << err_;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, UsuryCommand, testing::kEngines, testing::EngineName);

TEST_P(UsuryCommand, ImportThenReimport) {
    ImportQuarter();
    EXPECT_EQ(out_, "{\"thresholds\": 3, \"added\": 3, \"replaced\": 0}\n");
    EXPECT_TRUE(err_.empty());
    // The same class and quarter is replaced, whatever the letter case; a new quarter added.
    ASSERT_EQ(Run({"--import-thresholds",
                   WriteFile("CREDITO PERSONALE;;;01/01/2026;31/03/2026;10,60\n"
                             "Credito personale;;;01/04/2026;30/06/2026;10,90\n")}),
              0);
    EXPECT_EQ(out_, "{\"thresholds\": 2, \"added\": 1, \"replaced\": 1}\n");
    EXPECT_EQ(Rows(), 4);
}

// A table saved by Excel as "CSV" (Windows-1252) or as "Unicode text" (UTF-16) keeps its
// accented categories: the category typed in UTF-8 finds them.
TEST_P(UsuryCommand, TablesSavedInOtherEncodingsKeepTheirCategories) {
    std::string utf16 = "\xFF\xFE";  // UTF-16 little-endian, as Windows saves it
    for (const char16_t unit : std::u16string_view(u"Attivit\u00E0;;;01/01/2026;;9,50\r\n")) {
        utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    const struct {
        const char* saved;
        std::string file;
    } cases[] = {
        {"Windows-1252",
         "Categoria;Importo da;Importo a;Dal;Al;TEGM\r\n"
         "Attivit\xE0;;;01/01/2026;;9,50\r\n"},
        {"UTF-16", utf16},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Run({"--import-thresholds", WriteFile(c.file)}), 0) << c.saved << ": " << err_;
        ASSERT_EQ(Run(Plus(kTenThousand, {"--usury-category", "attivit\xC3\xA0"})), 0)
            << c.saved << ": " << err_;
        EXPECT_EQ(UsuryOf(out_),
                  "\"usury\": {\"category\": \"Attivit\xC3\xA0\", \"tegm\": 9.5, "
                  "\"threshold\": 15.875, \"teg\": 9.68, \"over\": false}")
            << c.saved;
    }
    EXPECT_EQ(Rows(), 1);
}

TEST_P(UsuryCommand, ABadFileImportsNothing) {
    ImportQuarter();
    struct Case {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {"Credito personale;;;01/01/2026;31/03/2026\n",
         "Riga 1: servono sei campi, Categoria;Importo da;Importo a;Dal;Al;TEGM, separati da "
         "punti e virgola (un settimo, Maggiorazione mora, facoltativo). Nessuna soglia "
         "importata."},
        {"Categoria;Importo da;Importo a;Dal;Al;TEGM\nMutui;;;01/01/2026;31/03/2026;4,20\n"
         "Mutui;;;31/02/2026;;4,20\n",
         "Riga 3: data Dal non valida \"31/02/2026\" (serve gg/mm/aaaa). Nessuna soglia "
         "importata."},
        {"Mutui;;;01/04/2026;31/03/2026;4,20\n",
         "Riga 1: la data Al precede la data Dal. Nessuna soglia importata."},
        {"Mutui;;;01/01/2026;31/03/2026;4.20\n",
         "Riga 1: TEGM non valido \"4.20\" (serve un tasso in percentuale con la virgola "
         "decimale, come 10,58). Nessuna soglia importata."},
        {"Mutui;;;01/01/2026;31/03/2026;104,20\n",
         "Riga 1: TEGM fuori misura \"104,20\" (serve un tasso fra 0 e 100). Nessuna soglia "
         "importata."},
        {"Mutui;5.000;5.000;01/01/2026;31/03/2026;4,20\n",
         "Riga 1: l'importo da deve essere minore dell'importo a. Nessuna soglia importata."},
        {"Mutui;-5;;01/01/2026;31/03/2026;4,20\n",
         "Riga 1: importo non valido \"-5\" (serve un importo in euro come 25.000,00, o nulla "
         "per nessun limite). Nessuna soglia importata."},
        {";;;01/01/2026;31/03/2026;4,20\n",
         "Riga 1: manca la categoria. Nessuna soglia importata."},
        {"Categoria;Importo da;Importo a;Dal;Al;TEGM\n",
         "Il file non contiene soglie (righe Categoria;Importo da;Importo a;Dal;Al;TEGM). "
         "Nessuna soglia importata."},
    };
    for (const Case& c : cases) Refused({"--import-thresholds", WriteFile(c.file)}, c.message);
    EXPECT_EQ(Rows(), 3);
    const std::string missing = (archive_.Folder() / "manca.csv").string();
    Refused({"--import-thresholds", missing},
            "Impossibile leggere il file \"" + missing + "\". Nessuna soglia importata.");
}

// The verdict: in force, over, out of the quarter, by the class of the amount financed
// (the asset value less the maxi-instalment), and by the category of the archive's type.
TEST_P(UsuryCommand, TheTaegJudgedByTheThresholdInForce) {
    ImportQuarter();
    {
        Database db = Open();
        ASSERT_TRUE(db.Execute(
            "UPDATE supTipologia SET CategoriaUsura = 'Credito personale' WHERE ID = 3"));
    }
    struct Case {
        std::vector<std::string> more;
        const char* usury;
    };
    const Case cases[] = {
        {{"--usury-category", "credito PERSONALE"},
         "\"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, \"threshold\": "
         "17.225, \"teg\": 9.68, \"over\": false}"},
        // 10.000 is in the class up to 25.000: TEGM 3,33, threshold 8,1625.
        {{"--usury-category", "Leasing strumentale"},
         "\"usury\": {\"category\": \"Leasing strumentale\", \"tegm\": 3.33, \"threshold\": "
         "8.1625, \"teg\": 9.68, \"over\": true}"},
        // A month later, the same TAEG, but after the quarter.
        {{"--usury-category", "Credito personale", "--contract-date", "2026-04-15", "--first-date",
          "2026-05-15"},
         "\"usury\": {\"category\": \"Credito personale\", \"tegm\": null, \"threshold\": null, "
         "\"teg\": 9.68, \"over\": null}"},
        {{"--type", "credito al consumo"},
         "\"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, \"threshold\": "
         "17.225, \"teg\": 9.68, \"over\": false}"},
        {{"--type", "Mutuo"},
         "\"usury\": {\"category\": null, \"tegm\": null, \"threshold\": null, \"teg\": 9.68, "
         "\"over\": null}"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsuryOf(Ok(Plus(kTenThousand, c.more))), c.usury);
        EXPECT_NE(out_.find("\"taeg\": 9.68, \"usury\""), std::string::npos) << out_;
    }
    // Without --db, --type only names the type, as it always did.
    ASSERT_EQ(RunPlain(Plus(kTenThousand, {"--type", "Mutuo"})), 0) << err_;
    EXPECT_EQ(UsuryOf(out_), "");
    // 30.000 with 6.000 down: 24.000 financed, the lower class; without it the upper one.
    const std::vector<std::string> leasing = {
        "--value",      "30000",      "--rate",           "6",
        "--count",      "36",         "--contract-date",  "2026-02-01",
        "--first-date", "2026-03-01", "--usury-category", "Leasing strumentale"};
    ASSERT_EQ(Run(Plus(leasing, {"--maxi", "6000"})), 0) << err_;
    EXPECT_NE(UsuryOf(out_).find("\"tegm\": 3.33, \"threshold\": 8.1625"), std::string::npos);
    ASSERT_EQ(Run(leasing), 0) << err_;
    EXPECT_NE(UsuryOf(out_).find("\"tegm\": 17, \"threshold\": 25, \"teg\": 6, \"over\": false"),
              std::string::npos)
        << out_;
}

TEST_P(UsuryCommand, Refusals) {
    ImportQuarter();
    struct Case {
        std::vector<std::string> more;
        const char* message;
    };
    const Case cases[] = {
        {{"--usury-category", "Cessione del quinto"},
         "Categoria non presente fra le soglie d'usura dell'archivio per --usury-category: "
         "\"Cessione del quinto\""},
        {{"--type", "Noleggio"}, "Valore non presente nell'archivio per --type: \"Noleggio\""},
        {{"--usury-category", "Credito personale", "--format", "csv"},
         "--usury-category vale solo per un calcolo stampato in JSON."},
        {{"--usury-category", "Credito personale", "--save", "Auto"},
         "--usury-category non si usa con --save."},
    };
    for (const Case& c : cases) Refused(Plus(kTenThousand, c.more), c.message);
}

// Default interest against TEGM + M by the rule of the contract's date, or against the
// ordinary threshold where the table gives no M; a default rate given with --save is stored.
TEST_P(UsuryCommand, DefaultInterestJudgedAndStored) {
    ASSERT_EQ(Run({"--import-thresholds",
                   WriteFile("Credito personale;;;01/01/2026;31/03/2026;10,58;2,1\n"
                             "Credito personale;;;01/01/2010;31/03/2010;10,58\n")}),
              0)
        << err_;
    struct Case {
        const char* contractDate;
        const char* firstDate;
        std::vector<std::string> more;
        const char* usury;
    };
    const Case cases[] = {
        // (10,58 + 2,1) * 1,25 + 4 = 19,85; 6 + 14 points = 20.
        {"2026-01-15",
         "2026-02-15",
         {"--default-spread", "14"},
         "\"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, \"threshold\": "
         "17.225, \"teg\": 9.68, \"over\": false, \"default\": {\"rate\": 20, \"surcharge\": "
         "2.1, \"threshold\": 19.85, \"over\": true}}"},
        // 2010: TEGM * 1,5 = 15,87, no surcharge published.
        {"2010-01-15",
         "2010-02-15",
         {"--default-rate", "15.5"},
         "\"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, \"threshold\": "
         "15.87, \"teg\": 9.68, \"over\": false, \"default\": {\"rate\": 15.5, \"surcharge\": "
         "null, \"threshold\": 15.87, \"over\": false}}"},
    };
    for (const Case& c : cases) {
        auto args = Plus(kTenThousand, {"--usury-category", "Credito personale"});
        args = Plus(args, c.more);
        for (std::size_t k = 0; k < args.size(); ++k) {
            if (args[k] == "--contract-date") args[k + 1] = c.contractDate;
            if (args[k] == "--first-date") args[k + 1] = c.firstDate;
        }
        ASSERT_EQ(Run(args), 0) << err_;
        const auto start = out_.find("\"usury\": ");
        EXPECT_EQ(out_.substr(start, out_.find("}}", start) + 2 - start), c.usury)
            << c.contractDate;
    }
    ASSERT_EQ(Run(Plus(Plus(kTenThousand, {"--save", "Prestito"}), {"--default-spread", "3"})), 0)
        << err_;
    Database db = Open();
    Recordset stored(db, "SELECT TassoMora, SpreadMora FROM tabContratti");
    EXPECT_TRUE(stored.Value(0).IsNull());
    EXPECT_EQ(stored.Value(1).ToDouble(), 3);
    Refused(Plus(kTenThousand, {"--default-rate", "9"}),
            "--default-rate e --default-spread valgono con --usury-category, con --save o con i "
            "comandi di perizia.");
}

}  // namespace
}  // namespace quotaplan
