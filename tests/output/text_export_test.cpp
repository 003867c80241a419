#include "output/text_export.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "output/contract_header.h"
#include "output/cp1252.h"
#include "output/export_file.h"
#include "output/file_names.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::FileNames;
using test::ReadBytes;
using test::TempFolder;

struct NameCase {
    std::string description;
    std::string cleaned;
};

class ReplaceInvalidCharsTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ReplaceInvalidCharsTest, CleansInPlaceAndReturnsTheResult) {
    std::string text = GetParam().description;
    const std::string returned = ReplaceInvalidChars(text);
    EXPECT_EQ(returned, GetParam().cleaned);
    EXPECT_EQ(text, GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(Names, ReplaceInvalidCharsTest,
                         ::testing::Values(NameCase{"Auto: A/B", "Auto  A B"},
                                           NameCase{"a\\b/c:d*e?f\"g<h>i|j", "a b c d e f g h i j"},
                                           NameCase{"Città è più. 12", "Città è più. 12"},
                                           NameCase{"", ""}, NameCase{"::", "  "}));

// Control characters would reach the file name as they are: a line break in the middle of
// it, a terminal escape in every listing of the folder. Their neighbours stay: a no-break
// space, "é", "°", a cut sequence.
INSTANTIATE_TEST_SUITE_P(
    ControlCharacters, ReplaceInvalidCharsTest,
    ::testing::Values(NameCase{std::string("a\0b", 3), "a b"}, NameCase{"Riga\nDue\r", "Riga Due "},
                      NameCase{"\x1b[31mRosso", " [31mRosso"},
                      NameCase{"a\tb\x01\x1f\x7f", "a b   "},
                      NameCase{"a\xc2\x85" "b\xc2\x9f", "a b "},
                      NameCase{"\xc2\xa0\xc3\xa9\xc2\xb0 ~", "\xc2\xa0\xc3\xa9\xc2\xb0 ~"},
                      NameCase{"fine\xc2", "fine\xc2"}));

class ExportFilePathTest : public ::testing::TestWithParam<NameCase> {};

// A contract without a description is exported as "Piano finanziario", not as a hidden
// ".txt" or a name of blanks.
TEST_P(ExportFilePathTest, NamesTheFileAfterTheCleanedDescription) {
    EXPECT_EQ(ExportFilePath("Export", GetParam().description, ".txt"),
              std::filesystem::path("Export") / GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(Names, ExportFilePathTest,
                         ::testing::Values(NameCase{"Auto: A/B", "Auto  A B.txt"},
                                           NameCase{" Tornio ", " Tornio .txt"},
                                           NameCase{"", "Piano finanziario.txt"},
                                           NameCase{"   ", "Piano finanziario.txt"},
                                           NameCase{"?*", "Piano finanziario.txt"}));

// An export killed midway leaves its temporary file behind; the next export into the
// folder removes it, and only it: not one another export is still writing (it holds the
// lock), not another user's, not a file of another name, not a link.
TEST(ExportFile, TemporariesLeftByKilledExportsGoAtTheNextExport) {
    TempFolder folder;
    const auto at = [&](const char* name) { return folder.Path() / name; };
    for (const char* name : {".quotaplan-export-Ab12Cd", ".quotaplan-export-zzzzzz",
                             ".quotaplan-export-Ab12C", ".quotaplan-export-Ab12Cd.txt",
                             "quotaplan-export-Ab12Cd", ".quotaplan-export-altrui", "bersaglio"}) {
        std::ofstream(at(name)) << "mezzo";
    }
    std::filesystem::create_symlink(at("bersaglio"), at(".quotaplan-export-Link00"));
    const int writing = ::open(at(".quotaplan-export-zzzzzz").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(writing, LOCK_EX), 0);
    const bool otherUser =
        ::geteuid() == 0 && ::chown(at(".quotaplan-export-altrui").c_str(), 4321, 4321) == 0;

    ASSERT_TRUE(WriteExportFile(at("Piano.txt"), "abc").Ok());
    ::close(writing);
    std::vector<std::string> expected = {
        ".quotaplan-export-Ab12C",  ".quotaplan-export-Ab12Cd.txt", ".quotaplan-export-Link00",
        ".quotaplan-export-altrui", ".quotaplan-export-zzzzzz",     "Piano.txt",
        "bersaglio",                "quotaplan-export-Ab12Cd"};
    if (!otherUser) std::erase(expected, ".quotaplan-export-altrui");
    EXPECT_EQ(FileNames(folder.Path()), expected);
    EXPECT_EQ(ReadBytes(at("bersaglio")), "mezzo");

    // Once its export is gone, the file it held goes at the next export.
    ASSERT_TRUE(WriteExportFile(at("Piano.txt"), "abc").Ok());
    EXPECT_FALSE(std::filesystem::exists(at(".quotaplan-export-zzzzzz")));
}

struct CodePageCase {
    const char* utf8;
    const char* bytes;
};

class Cp1252Test : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(Cp1252Test, OneBytePerCharacter) {
    EXPECT_EQ(Utf8ToCp1252(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp1252Test,
                         ::testing::Values(CodePageCase{"1° Rata", "1\xb0 Rata"},
                                           CodePageCase{"àèéìòù", "\xe0\xe8\xe9\xec\xf2\xf9"},
                                           CodePageCase{"€ “x” – …", "\x80 \x93x\x94 \x96 \x85"},
                                           CodePageCase{"Ω日", "??"},  // not in the code page
                                           CodePageCase{"a\xff"
                                                        "b",
                                                        "a?b"},             // not UTF-8
                                           CodePageCase{"\xc3", "?"},       // cut short
                                           CodePageCase{"\xc0\xaf", "??"},  // overlong "/"
                                           CodePageCase{"\xf0\x9f\x98\x80",
                                                        "?"}));  // beyond 16 bits

TEST(ContractHeader, FormatsTheFormTexts) {
    const ContractHeader header = BuildContractHeader(test::SampleForm());
    const std::array<std::string, 13> labels = {
        "Tipo Finanziamento", "Descrizione",      "Valore finanziato", "Anticipo",
        "Spread",             "Tasso",            "Tasso di riferimento", "Numero di rate",
        "Periodicità",        "Riscatto",         "Data contratto",    "Capitalizzazione",
        "Pagamento"};
    const std::array<std::string, 13> values = {
        "Leasing", "Città: A/B", "10.000,00", "1.234,50", "1,00",     "5,13",      "Euribor 3 mesi",
        "3",       "Mensile",    "1.000,00",  "15/01/06", "Composta", "Anticipato"};
    EXPECT_EQ(header.labels, labels);
    EXPECT_EQ(header.values, values);
}

TEST(ContractHeader, UnreadableTextsStandUnchangedAndOptionsFlip) {
    ContractFormTexts form;
    form.valBene = "abc";
    form.maxi = "";
    form.dataContratto = "31/02/2006";
    form.capitalizzazioneSemplice = true;
    form.pagamentoAnticipato = false;
    const ContractHeader header = BuildContractHeader(form);
    EXPECT_EQ(header.values[0], "");
    EXPECT_EQ(header.values[2], "abc");
    EXPECT_EQ(header.values[3], "");
    EXPECT_EQ(header.values[10], "31/02/2006");
    EXPECT_EQ(header.values[11], "Semplice");
    EXPECT_EQ(header.values[12], "Posticipato");
}

TEST(TextExport, SmallPlanMatchesTheExpectedFileByteForByte) {
    TempFolder folder;
    const ContractFormTexts form = test::SampleForm();
    const ExportResult result = ExportText(folder.Path() / "Export", form.descrizione,
                                           BuildContractHeader(form), test::SmallPlan());
    ASSERT_EQ(result.code, ExportCode::Written) << result.message;
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.file, folder.Path() / "Export" / "Città  A B.txt");
    EXPECT_EQ(ReadBytes(result.file), ReadBytes(std::filesystem::path(QUOTAPLAN_OUTPUT_TEST_DIR) /
                                                "data" / "small_plan.txt"));
    EXPECT_EQ(FileNames(folder.Path() / "Export"), std::vector<std::string>{"Città  A B.txt"});
}

TEST(TextExport, WithoutMaxiAndBuyoutOnlyTheInstalmentLinesFollowTheHeadings) {
    FinancialPlan plan = test::SmallPlan();
    plan.Maxicanone = 0;
    plan.Riscatto = 0;
    const std::vector<std::string> lines =
        TextExportLines(BuildContractHeader(test::SampleForm()), plan);
    ASSERT_EQ(lines.size(), 13u + 1u + 3u);
    EXPECT_EQ(lines[14], "1° Rata;15/02/2006;6,00;2.995,50;2.950,50;6.049,50;45,00");
    EXPECT_EQ(lines[16], "3° Rata;15/04/2006;5,13;2.099,67;2.084,25;1.000,00;15,42");
}

TEST(TextExport, BuyoutWithoutDateTakesTheLastInstalmentDateAndEmptyLabelsAreSkipped) {
    FinancialPlan plan = test::SmallPlan();
    plan.DataRiscatto = CalendarDate();
    ContractHeader header = BuildContractHeader(test::SampleForm());
    header.labels[1] = "";
    const std::vector<std::string> lines = TextExportLines(header, plan);
    ASSERT_EQ(lines.size(), 12u + 1u + 5u);
    EXPECT_EQ(lines[1], "Valore finanziato;10.000,00");
    EXPECT_EQ(lines.back(), "Riscatto;15/04/2006;;1.009,70;1.000,00;0;9,70");
}

TEST(TextExport, ExportingTwiceReplacesTheFile) {
    TempFolder folder;
    const ContractHeader header = BuildContractHeader(test::SampleForm());
    ASSERT_TRUE(ExportText(folder.Path(), "Doppio", header, test::LongPlan(40)).Ok());
    const ExportResult second = ExportText(folder.Path(), "Doppio", header, test::SmallPlan());
    ASSERT_TRUE(second.Ok());
    EXPECT_EQ(ReadBytes(second.file), TextExportBytes(header, test::SmallPlan()));
}

TEST(TextExport, NothingIsWrittenBeforeTheFirstCalculation) {
    TempFolder folder;
    const ExportResult result =
        ExportText(folder.Path() / "Export", "Prima", ContractHeader{}, FinancialPlan{});
    EXPECT_EQ(result.code, ExportCode::NoPlan);
    EXPECT_EQ(result.message, "Nessun piano finanziario da esportare: calcolare prima la rata.");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Export"));
}

TEST(ExportFile, MissingFoldersAreCreated) {
    TempFolder folder;
    const std::filesystem::path file = folder.Path() / "a" / "b" / "x.txt";
    ASSERT_TRUE(WriteExportFile(file, "abc").Ok());
    EXPECT_EQ(ReadBytes(file), "abc");
}

TEST(ExportFile, FolderThatIsAFileCannotBeCreated) {
    TempFolder folder;
    ASSERT_TRUE(WriteExportFile(folder.Path() / "Export", "not a folder").Ok());
    const std::filesystem::path file = folder.Path() / "Export" / "x.txt";
    const ExportResult result = WriteExportFile(file, "abc");
    EXPECT_EQ(result.code, ExportCode::FolderError);
    EXPECT_EQ(result.message,
              "Impossibile creare la cartella " + (folder.Path() / "Export").string());
}

TEST(ExportFile, UnwritableTargetIsNamedAndTheOldContentStays) {
    TempFolder folder;
    // A folder standing where the file should go cannot be replaced by a file.
    const std::filesystem::path file = folder.Path() / "Piano.txt";
    std::filesystem::create_directory(file);
    std::ofstream(file / "inside") << "old";
    const ExportResult result = WriteExportFile(file, "new");
    EXPECT_EQ(result.code, ExportCode::WriteError);
    EXPECT_EQ(result.message, "Impossibile scrivere il file " + file.string());
    EXPECT_EQ(ReadBytes(file / "inside"), "old");
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"Piano.txt"});
}

TEST(ExportFile, NameLongerThanTheFileSystemAllowsIsAWriteError) {
    TempFolder folder;
    const std::filesystem::path file = folder.Path() / (std::string(300, 'x') + ".txt");
    const ExportResult result = WriteExportFile(file, "abc");
    EXPECT_EQ(result.code, ExportCode::WriteError);
    EXPECT_EQ(result.message, "Impossibile scrivere il file " + file.string());
    EXPECT_TRUE(FileNames(folder.Path()).empty());
}

TEST(ExportFile, WrittenFileIsReadableByOthers) {
    TempFolder folder;
    const std::filesystem::path file = folder.Path() / "x.txt";
    ASSERT_TRUE(WriteExportFile(file, "abc").Ok());
    const auto perms = std::filesystem::status(file).permissions();
    EXPECT_NE(perms & std::filesystem::perms::others_read, std::filesystem::perms::none);
}

}  // namespace
}  // namespace quotaplan
