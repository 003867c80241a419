#include "data/bank_plan_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quotaplan {
namespace {

// A row as "number date instalment capital interest residual", cents or "-" for none.
std::string Describe(const ReviewRow& row) {
    const auto cents = [](const std::optional<Money>& money) {
        return money ? std::to_string(money->Cents()) : std::string("-");
    };
    return std::to_string(row.number) + " " + (row.date.IsZero() ? "-" : row.date.Iso()) + " " +
           cents(row.instalment) + " " + cents(row.capital) + " " + cents(row.interest) + " " +
           cents(row.residual);
}

struct ReadCase {
    const char* name;
    const char* text;
    std::vector<std::string> rows;
};

class BankPlanText : public ::testing::TestWithParam<ReadCase> {};

// Each dialect read with the mapping guessed from its own header.
TEST_P(BankPlanText, GuessedColumnsAndRows) {
    const SheetCells sheet = ReadCsvText(GetParam().text);
    const auto read = ReadBankPlanRows(sheet, GuessBankColumns(sheet));
    ASSERT_TRUE(std::holds_alternative<std::vector<ReviewRow>>(read))
        << std::get<SheetRefusal>(read).message;
    std::vector<std::string> described;
    for (const ReviewRow& row : std::get<std::vector<ReviewRow>>(read)) {
        described.push_back(Describe(row));
    }
    EXPECT_EQ(described, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, BankPlanText,
    ::testing::Values(
        ReadCase{"ItalianSemicolons",
                 "N.;Scadenza;Importo rata;Quota capitale;Quota interessi;Debito residuo\r\n"
                 "1;15/02/2026;1.500,25;1.083,58;416,67;98.916,42\r\n"
                 "2;15/03/2026;1.500,25;1.088,10;412,15;97.828,32\r\n"
                 "Totale;;3.000,50;;;\r\n",
                 {"1 2026-02-15 150025 108358 41667 9891642",
                  "2 2026-03-15 150025 108810 41215 9782832"}},
        ReadCase{"PlainCommas",
                 "Rata n.,Data,Rata,Capitale,Interessi,Residuo\n"
                 "1,2026-02-15,1500.25,1083.58,416.67,98916.42\n"
                 "2,2026-03-15,1500.25,1088.1,412.15,97828.32\n",
                 {"1 2026-02-15 150025 108358 41667 9891642",
                  "2 2026-03-15 150025 108810 41215 9782832"}},
        // Tabs, quotes, a euro sign, a column of notes to skip, the capital missing on a row.
        ReadCase{"TabsAndQuotes",
                 "Scadenza\tNote\tRata\tQuota capitale\tDebito residuo\n"
                 "\"15/02/2026\"\t\"prima; rata\"\t\"€ 1.500,25\"\t1.083,58\t\"98.916,42\"\n"
                 "15/03/2026\t\t1.500,25\t\t97.828,32\n",
                 {"0 2026-02-15 150025 108358 - 9891642", "0 2026-03-15 150025 - - 9782832"}},
        // The project's own text export: "1° Rata", the rate column skipped by its header.
        ReadCase{"TextExport",
                 "N.;Scadenza;Tasso;Rata;Quota capitale;Debito residuo;Quota interessi\n"
                 "1° Rata;28/02/2026;6,00;103,28;97,28;1.102,72;6,00\n",
                 {"1 2026-02-28 10328 9728 600 110272"}},
        // No header: the usual order; a column whose cells hold no comma reads "1.500" as
        // one and a half.
        ReadCase{"NoHeaderPlainPoints",
                 "1;2026-02-15;1.500;1.08\n2;2026-03-15;1.500;1.09\n",
                 {"1 2026-02-15 150 108 - -", "2 2026-03-15 150 109 - -"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GuessBankColumns, ItalianCaptions) {
    const SheetCells sheet = ReadCsvText(
        "Rata n.;Data scadenza;Importo;Quota interessi;Quota capitale;Capitale residuo;"
        "Descrizione;Rata\n1;1/1/2026;1;1;1;1;x;1\n");
    EXPECT_EQ(
        GuessBankColumns(sheet),
        (std::vector<BankColumn>{BankColumn::Number, BankColumn::DueDate, BankColumn::Instalment,
                                 BankColumn::Interest, BankColumn::Capital, BankColumn::Residual,
                                 BankColumn::Skip, BankColumn::Skip}));
    EXPECT_EQ(BankLayoutKey(sheet),
              "rata n.|data scadenza|importo|quota interessi|quota capitale|capitale residuo|"
              "descrizione|rata");
    EXPECT_EQ(BankLayoutKey(ReadCsvText("1;2;3\n")), "3 colonne");
}

TEST(CsvSeparator, TheOneThatSplitsEveryLineAlike) {
    EXPECT_EQ(CsvSeparator("a;b;c\n1;2,5;3\n"), ';');
    EXPECT_EQ(CsvSeparator("a,b,c\n1,2.5,3\n"), ',');
    EXPECT_EQ(CsvSeparator("a\tb\n1,5\t2,5\n"), '\t');
    EXPECT_EQ(CsvSeparator("a|b\n1|2\n"), '|');
    EXPECT_EQ(CsvSeparator("solo testo\n"), ';');
}

struct RefusalCase {
    const char* name;
    const char* text;
    std::vector<BankColumn> columns;
    int line;
    const char* message;
};

class BankPlanRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BankPlanRefusal, LineAndColumnNamedNothingRead) {
    const auto& c = GetParam();
    const auto read = ReadBankPlanRows(ReadCsvText(c.text), c.columns);
    ASSERT_TRUE(std::holds_alternative<SheetRefusal>(read));
    EXPECT_EQ(std::get<SheetRefusal>(read).line, c.line);
    EXPECT_EQ(std::get<SheetRefusal>(read).message, c.message);
}

constexpr BankColumn kN = BankColumn::Number, kDate = BankColumn::DueDate,
                     kAmount = BankColumn::Instalment;

INSTANTIATE_TEST_SUITE_P(
    Bad, BankPlanRefusal,
    ::testing::Values(
        RefusalCase{"Amount",
                    "N.;Data;Rata\n1;15/02/2026;659,96\n2;15/03/2026;12,3,4\n",
                    {kN, kDate, kAmount},
                    3,
                    "Riga 3, colonna 3 (Rata): importo non valido \"12,3,4\". Nessuna riga "
                    "importata."},
        RefusalCase{"Date",
                    "1;31/02/2026;659,96\n",
                    {kN, kDate, kAmount},
                    1,
                    "Riga 1, colonna 2 (Scadenza): data non valida (serve gg/mm/aaaa) "
                    "\"31/02/2026\". Nessuna riga importata."},
        RefusalCase{"Number",
                    "\n\n1,5;15/02/2026;659,96\n",
                    {kN, kDate, kAmount},
                    3,
                    "Riga 3, colonna 1 (N.): numero non valido \"1,5\". Nessuna riga "
                    "importata."},
        RefusalCase{"NoAmountColumn",
                    "1;15/02/2026\n",
                    {kN, kDate},
                    0,
                    "Indicare almeno una colonna di importi (Rata, Quota capitale, Quota "
                    "interessi o Debito residuo). Nessuna riga importata."},
        RefusalCase{"HeaderOnly",
                    "N.;Data;Rata\n",
                    {kN, kDate, kAmount},
                    0,
                    "Il file non contiene righe del piano. Nessuna riga importata."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadColumnList, NamesAndSkips) {
    const auto read = ReadColumnList("n,Scadenza,-,RATA,capitale,INTERESSI,residuo");
    ASSERT_TRUE(std::holds_alternative<std::vector<BankColumn>>(read));
    EXPECT_EQ(std::get<std::vector<BankColumn>>(read),
              (std::vector<BankColumn>{kN, kDate, BankColumn::Skip, kAmount, BankColumn::Capital,
                                       BankColumn::Interest, BankColumn::Residual}));
    EXPECT_EQ(std::get<std::string>(ReadColumnList("N,DATA")),
              "Colonna sconosciuta in --columns: \"DATA\" (si usano N, SCADENZA, RATA, CAPITALE, "
              "INTERESSI, RESIDUO e - per una colonna da saltare)");
}

}  // namespace
}  // namespace quotaplan
