// The expert review on the command line: a bank's plan read from each format and compared,
// the recomputations, the legal interest, the plan stored with its contract and copied with
// the archive, and the report.
#include "cli/review_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "calc_archive_fixture.h"
#include "cli/quotaplan_calc.h"
#include "output/xls_workbook.h"

namespace quotaplan::test {
namespace {

using quotaplan::testing::CountOf;
using quotaplan::testing::Engine;

// 1.200 at 6 % in 12 monthly instalments from 28/02/2026, simple capitalisation (j / m): the
// bank's plan is this one, with the third row's interest a cent up and its capital a cent
// down. number, date, instalment, capital, interest, residual.
struct BankRow {
    int number;
    const char* date;
    const char *instalment, *capital, *interest, *residual;
};
constexpr BankRow kBankPlan[] = {
    {1, "2026-02-28", "103.28", "97.28", "6.00", "1102.72"},
    {2, "2026-03-31", "103.28", "97.77", "5.51", "1004.95"},
    {3, "2026-04-30", "103.28", "98.25", "5.03", "906.69"},
    {4, "2026-05-31", "103.28", "98.75", "4.53", "807.94"},
    {5, "2026-06-30", "103.28", "99.24", "4.04", "708.70"},
    {6, "2026-07-31", "103.28", "99.74", "3.54", "608.96"},
    {7, "2026-08-31", "103.28", "100.24", "3.04", "508.72"},
    {8, "2026-09-30", "103.28", "100.74", "2.54", "407.98"},
    {9, "2026-10-31", "103.28", "101.24", "2.04", "306.74"},
    {10, "2026-11-30", "103.28", "101.75", "1.53", "204.99"},
    {11, "2026-12-31", "103.28", "102.26", "1.02", "102.73"},
    {12, "2027-01-31", "103.24", "102.73", "0.51", "0.00"},
};

const std::vector<std::string> kContract = {
    "--value", "1200", "--rate", "6", "--count", "12", "--contract-date", "2026-01-31", "--simple"};

constexpr const char* kComparison =
    "{\"rows\": 12, \"first_difference\": 3, \"paid_more\": 0, \"bank_paid\": 1239.32, "
    "\"ours_paid\": 1239.32, \"differences\": [\n"
    "  {\"number\": 3, \"field\": \"capital\", \"bank\": 98.25, \"ours\": 98.26},\n"
    "  {\"number\": 3, \"field\": \"interest\", \"bank\": 5.03, \"ours\": 5.02}\n"
    "]}\n";

// "1102.72" as "1.102,72".
std::string Italian(const std::string& plain) {
    std::string whole = plain.substr(0, plain.find('.'));
    const std::string cents = plain.substr(plain.find('.') + 1);
    if (whole.size() > 3) whole.insert(whole.size() - 3, ".");
    return whole + "," + cents;
}

std::string ItalianDate(const std::string& iso) {
    return iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4);
}

// The bank's plan as text: a header, then the rows with their cells between `separator`,
// dates and amounts Italian or plain.
std::string PlanText(const std::string& header, const std::string& separator,
                     const std::string& end, bool italian) {
    std::string text = header + end;
    for (const BankRow& row : kBankPlan) {
        text += std::to_string(row.number) + separator +
                (italian ? ItalianDate(row.date) : std::string(row.date));
        for (const char* amount : {row.instalment, row.capital, row.interest, row.residual}) {
            text += separator + (italian ? Italian(amount) : std::string(amount));
        }
        text += end;
    }
    return text;
}

// An Italian spreadsheet's CSV: ";", decimal commas, dd/mm/yyyy, and a header with "°" in
// Windows-1252, as Excel writes it on an Italian Windows.
std::string ItalianCsv() {
    return PlanText(
        "Rata n\xB0;Scadenza;Importo rata;Quota capitale;Quota interessi;Debito residuo", ";",
        "\r\n", true);
}

// A plain CSV: ",", decimal points, ISO dates, quoted captions.
std::string PlainCsv() {
    return PlanText("\"N.\",\"Data\",\"Rata\",\"Capitale\",\"Interessi\",\"Residuo\"", ",", "\n",
                    false);
}

// Excel's "Unicode text": UTF-16 little-endian with its mark, tabs between the cells.
std::string Utf16Tabs() {
    const std::string text = PlanText(
        "N.\tScadenza\tRata\tQuota capitale\tQuota interessi\tDebito residuo", "\t", "\r\n", true);
    std::string utf16 = "\xFF\xFE";
    for (const char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    return utf16;
}

// The project's own .xls writer: text captions, number cells, date cells.
std::string XlsBytes() {
    XlsSheet sheet("Piano");
    const char* captions[] = {
        "N.", "Scadenza", "Rata", "Quota capitale", "Quota interessi", "Debito residuo"};
    for (int c = 0; c < 6; ++c) sheet.SetText(0, c, captions[c]);
    int r = 1;
    for (const BankRow& row : kBankPlan) {
        sheet.SetNumber(r, 0, row.number);
        sheet.SetDate(r, 1, *CalendarDate::FromIso(row.date));
        int c = 2;
        for (const char* amount : {row.instalment, row.capital, row.interest, row.residual}) {
            sheet.SetNumber(r, c++, std::stod(amount), XlsNumberFormat::Amount);
        }
        ++r;
    }
    return BuildXlsWorkbook(sheet);
}

void WriteFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// An .xlsx written by Python's zipfile (make_xlsx.py): shared strings, numbers, date serials.
void WriteXlsx(const fs::path& file) {
    std::string rows =
        "[[\"N.\", \"Scadenza\", \"Rata\", \"Quota capitale\", \"Quota interessi\", "
        "\"Debito residuo\"]";
    for (const BankRow& row : kBankPlan) {
        rows += std::string(",\n[") + std::to_string(row.number) + ", {\"date\": \"" + row.date +
                "\"}, " + row.instalment + ", " + row.capital + ", " + row.interest + ", " +
                row.residual + "]";
    }
    const fs::path json = file.string() + ".json";
    WriteFile(json, rows + "]");
    const std::string command = "python3 " QUOTAPLAN_SOURCE_DIR "/tests/cli/make_xlsx.py '" +
                                file.string() + "' '" + json.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Review(const std::vector<std::string>& args, const fs::path& folder) {
    std::ostringstream out, err;
    const int status = RunQuotaplanCalc(args, out, err, folder, {}, RunReviewCommand);
    return {status, out.str(), err.str()};
}

struct FormatCase {
    const char* name;
    const char* file;
};

class BankPlanFormats : public ::testing::TestWithParam<FormatCase> {
protected:
    quotaplan::testing::TempArchive folder_{Engine::Sqlite};
};

TEST_P(BankPlanFormats, EachFormatGivesTheSameComparison) {
    const fs::path file = folder_.Folder() / GetParam().file;
    const std::string name = GetParam().name;
    if (name == "ItalianCsv") WriteFile(file, ItalianCsv());
    if (name == "PlainCsv") WriteFile(file, PlainCsv());
    if (name == "Utf16Tabs") WriteFile(file, Utf16Tabs());
    if (name == "Xls") WriteFile(file, XlsBytes());
    if (name == "Xlsx") WriteXlsx(file);
    const Outcome compared =
        Review(Plus(kContract, {"--bank-plan", file.string()}), folder_.Folder());
    EXPECT_EQ(compared.status, 0) << compared.err;
    EXPECT_EQ(compared.out, kComparison);
}

INSTANTIATE_TEST_SUITE_P(Files, BankPlanFormats,
                         ::testing::Values(FormatCase{"ItalianCsv", "banca.csv"},
                                           FormatCase{"PlainCsv", "banca.txt"},
                                           FormatCase{"Utf16Tabs", "banca-unicode.txt"},
                                           FormatCase{"Xls", "banca.xls"},
                                           FormatCase{"Xlsx", "banca.xlsx"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Without the contract's terms they are read back from the bank's plan and shown.
TEST(BankPlanTerms, RecoveredFromTheBankPlanAndShown) {
    quotaplan::testing::TempArchive folder(Engine::Sqlite);
    const fs::path file = folder.Folder() / "banca.csv";
    WriteFile(file, ItalianCsv());
    const Outcome compared = Review({"--bank-plan", file.string()}, folder.Folder());
    ASSERT_EQ(compared.status, 0) << compared.err;
    EXPECT_NE(compared.out.find("\"terms\": {\"value\": 1200, \"rate\": 6, \"count\": 12, "
                                "\"periodicity\": 12, \"first_date\": \"2026-02-28\"}"),
              std::string::npos)
        << compared.out;
    EXPECT_NE(compared.out.find("\"first_difference\": 3"), std::string::npos);
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> args;  // after the contract's options
    const char* fileText;           // written as banca.csv when not empty
    int status;
    const char* message;
};

class ReviewRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ReviewRefusals, SaysWhyAndPrintsNothing) {
    quotaplan::testing::TempArchive folder(Engine::Sqlite);
    const auto& c = GetParam();
    std::vector<std::string> args = kContract;
    for (const std::string& arg : c.args) {
        args.push_back(arg == "FILE" ? (folder.Folder() / "banca.csv").string() : arg);
    }
    if (*c.fileText) WriteFile(folder.Folder() / "banca.csv", c.fileText);
    const Outcome refused = Review(args, folder.Folder());
    EXPECT_EQ(refused.status, c.status);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReviewRefusals,
    ::testing::Values(
        RefusalCase{"BadAmount",
                    {"--bank-plan", "FILE"},
                    "N.;Scadenza;Rata\n1;28/02/2026;103,28\n2;31/03/2026;103,2.8\n",
                    2,
                    "Riga 3, colonna 3 (Rata): importo non valido \"103,2.8\". Nessuna riga "
                    "importata.\n"},
        RefusalCase{"UnknownColumn",
                    {"--bank-plan", "FILE", "--columns", "N,DATA,RATA"},
                    "1;28/02/2026;103,28\n",
                    2,
                    "Colonna sconosciuta in --columns: \"DATA\" (si usano N, SCADENZA, RATA, "
                    "CAPITALE, INTERESSI, RESIDUO e - per una colonna da saltare)\n"},
        RefusalCase{"UnknownMethod",
                    {"--recompute", "french"},
                    "",
                    2,
                    "Valore non valido per --recompute: \"french\" (si usano accumulated, "
                    "discounted, italian, interest-free)\n"},
        RefusalCase{"BothDefaultRates",
                    {"--recompute", "italian", "--default-rate", "9", "--default-spread", "2"},
                    "",
                    2,
                    "Indicare uno solo fra --default-rate e --default-spread.\n"},
        RefusalCase{"NothingAsked",
                    {"--columns", "N,RATA"},
                    "",
                    2,
                    "Indicare --bank-plan, --recompute o --report.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The recomputed plan as printed: the Italian method's rows split, the simple-interest ones
// amounts only; the difference against the contract's own plan (interest 39,32).
TEST(Recompute, PrintsThePlanAndTheDifference) {
    quotaplan::testing::TempArchive folder(Engine::Sqlite);
    const std::vector<std::string> small = {"--value",   "1000", "--rate",   "12",
                                            "--count",   "3",    "--simple", "--contract-date",
                                            "2026-01-15"};
    const Outcome italian = Review(Plus(small, {"--recompute", "italian"}), folder.Folder());
    ASSERT_EQ(italian.status, 0) << italian.err;
    EXPECT_EQ(italian.out,
              "{\"method\": \"italian\", \"instalment\": 343.33, \"total_interest\": 20, "
              "\"difference\": 0.07, \"reference\": \"contract\", \"plan\": [\n"
              "  {\"number\": 1, \"date\": \"2026-02-15\", \"amount\": 343.33, \"capital\": "
              "333.33, \"interest\": 10, \"residual\": 666.67},\n"
              "  {\"number\": 2, \"date\": \"2026-03-15\", \"amount\": 340, \"capital\": 333.33, "
              "\"interest\": 6.67, \"residual\": 333.34},\n"
              "  {\"number\": 3, \"date\": \"2026-04-15\", \"amount\": 336.67, \"capital\": "
              "333.34, \"interest\": 3.33, \"residual\": 0}\n"
              "]}\n");
    const Outcome discounted = Review(Plus(small, {"--recompute", "discounted"}), folder.Folder());
    ASSERT_EQ(discounted.status, 0) << discounted.err;
    EXPECT_EQ(discounted.out,
              "{\"method\": \"discounted\", \"instalment\": 339.98, \"total_interest\": 19.94, "
              "\"difference\": 0.13, \"reference\": \"contract\", \"plan\": [\n"
              "  {\"number\": 1, \"date\": \"2026-02-15\", \"amount\": 339.98},\n"
              "  {\"number\": 2, \"date\": \"2026-03-15\", \"amount\": 339.98},\n"
              "  {\"number\": 3, \"date\": \"2026-04-15\", \"amount\": 339.98}\n"
              "]}\n");
}

// On each engine: the bank's plan stored with the contract and used by a later recomputation,
// the legal rates imported and the legal interest on what the bank asked beyond the capital,
// the report written, and the plan copied with the archive.
class ReviewArchive : public CalcArchive {
protected:
    Outcome RunReview(std::vector<std::string> args) {
        args.insert(args.begin(), {"--db", archive_.Address()});
        return Review(args, archive_.Folder());
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, ReviewArchive, quotaplan::testing::kEngines,
                         quotaplan::testing::EngineName);

TEST_P(ReviewArchive, StoredBankPlanLegalInterestReportAndCopy) {
    ASSERT_EQ(Run(Plus({"--save", "Mutuo casa", "--plan", "cents"}, kContract)), 0) << err_;
    const std::string id = out_.substr(0, out_.find('\n'));
    const fs::path bank = archive_.Folder() / "banca.csv";
    WriteFile(bank, ItalianCsv());

    const Outcome stored = RunReview({"--bank-plan", bank.string(), "--id", id});
    ASSERT_EQ(stored.status, 0) << stored.err;
    EXPECT_EQ(stored.out, kComparison);
    Database db = Open();
    EXPECT_EQ(CountOf(db, "SELECT COUNT(*) FROM tabPianoBanca"), 12);

    // 2026 at 5 %, 2027 at 2 %. Interest-free: each interest share of the bank's plan owed
    // back from its due date to 31/12/2027.
    const fs::path rates = archive_.Folder() / "tassi.csv";
    WriteFile(rates, "Dal;Al;Tasso\n01/01/2026;31/12/2026;5\n01/01/2027;;2\n");
    const Outcome imported = RunReview({"--import-legal-rates", rates.string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "{\"legal_rates\": 2, \"added\": 2, \"replaced\": 0}\n");
    const Outcome free = RunReview(
        {"--id", id, "--recompute", "interest-free", "--legal-interest-to", "2027-12-31"});
    ASSERT_EQ(free.status, 0) << free.err;
    EXPECT_TRUE(free.out.starts_with(
        "{\"method\": \"interest-free\", \"instalment\": 100, \"total_interest\": 0, "
        "\"difference\": 39.33, \"reference\": \"bank\", \"legal_interest\": 1.82, \"plan\": ["))
        << free.out;

    const fs::path reports = archive_.Folder() / "perizie";
    const Outcome report = RunReview(
        {"--report", id, "--out", reports.string(), "--recompute", "accumulated,italian"});
    ASSERT_EQ(report.status, 0) << report.err;
    const fs::path pdf = reports / "Perizia Mutuo casa.pdf";
    EXPECT_EQ(report.out, pdf.string() + "\n");
    FILE* reader = ::popen(("pdftotext -layout '" + pdf.string() + "' -").c_str(), "r");
    ASSERT_NE(reader, nullptr);
    std::string text;
    for (char buffer[4096]; std::size_t read = std::fread(buffer, 1, sizeof buffer, reader);) {
        text.append(buffer, read);
    }
    ASSERT_EQ(::pclose(reader), 0);
    for (const char* expected :
         {"Perizia econometrica - Mutuo casa", "Condizioni del contratto", "Prima rata diversa",
          "Ricalcolo: Regime semplice, interessi maturati a scadenza",
          "Ricalcolo: Ammortamento all'italiana", "Interessi del piano della banca", "Convenzioni",
          "Pagina 1 di"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }

    const fs::path copy = archive_.Folder() / "copia.mdb";
    ASSERT_EQ(RunPlain({"--copy-archive", archive_.Address(), copy.string()}), 0) << err_;
    EXPECT_NE(out_.find("\"tabPianoBanca\": 12"), std::string::npos) << out_;
    EXPECT_NE(out_.find("\"tabTassiLegali\": 2"), std::string::npos) << out_;
}

}  // namespace
}  // namespace quotaplan::test
