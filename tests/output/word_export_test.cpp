#include "output/word_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "output/contract_header.h"
#include "output/rtf_document.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using test::PythonReader;
using test::ReadBytes;
using test::RunReader;
using test::SplitLines;
using test::TempFolder;

struct EscapeCase {
    const char* text;
    const char* rtf;
};

class RtfEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(RtfEscapeTest, Escapes) { EXPECT_EQ(RtfEscape(GetParam().text), GetParam().rtf); }

INSTANTIATE_TEST_SUITE_P(Texts, RtfEscapeTest,
                         ::testing::Values(EscapeCase{"a{b}c\\d", "a\\{b\\}c\\\\d"},
                                           EscapeCase{"1° Rata", "1\\'b0 Rata"},
                                           EscapeCase{"Città €", "Citt\\'e0 \\'80"},
                                           EscapeCase{"a\r\nb\nc\rd", "a\\line b\\line c\\line d"},
                                           EscapeCase{"x\ty\x01z", "x\\tab yz"},
                                           EscapeCase{"Ω", "\\u937?"},
                                           EscapeCase{"\xef\xbf\xbf", "\\u-1?"},
                                           EscapeCase{"😀", "\\u-10179?\\u-8704?"}));

TEST(RtfBookmark, FillsBetweenTheMarksAndKeepsThem) {
    std::string rtf =
        "{\\rtf1 A{\\*\\bkmkstart STEP1}old{\\*\\bkmkend STEP1}B"
        "{\\*\\bkmkstart STEP10}{\\*\\bkmkend STEP10}}";
    EXPECT_TRUE(FillRtfBookmark(rtf, "STEP1", "è"));
    EXPECT_TRUE(FillRtfBookmark(rtf, "STEP10", "x"));
    EXPECT_FALSE(FillRtfBookmark(rtf, "STEP2", "never"));
    EXPECT_EQ(rtf,
              "{\\rtf1 A{\\*\\bkmkstart STEP1}\\'e8{\\*\\bkmkend STEP1}B"
              "{\\*\\bkmkstart STEP10}x{\\*\\bkmkend STEP10}}");
}

TEST(RtfBookmark, WithoutEndMarkTheTextFollowsTheStart) {
    std::string rtf = "{\\rtf1 {\\*\\bkmkstart STEP0}rest}";
    EXPECT_TRUE(FillRtfBookmark(rtf, "STEP0", "T"));
    EXPECT_EQ(rtf, "{\\rtf1 {\\*\\bkmkstart STEP0}Trest}");
}

struct TitleCase {
    const char* name;
    const char* before;
    const char* after;
};

class RtfTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(RtfTitleTest, SetsTheTitle) {
    std::string rtf = GetParam().before;
    SetRtfTitle(rtf, "Tavolier: Quotaplan");
    EXPECT_EQ(rtf, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfTitleTest,
    ::testing::Values(
        TitleCase{"ReplacesTitle", "{\\rtf1{\\info{\\title Old \\} one}{\\author A}}x}",
                  "{\\rtf1{\\info{\\title Tavolier: Quotaplan}{\\author A}}x}"},
        TitleCase{"AddsTitleToInfo", "{\\rtf1{\\info{\\author A}}x}",
                  "{\\rtf1{\\info{\\title Tavolier: Quotaplan}{\\author A}}x}"},
        TitleCase{
            "AddsInfoAfterTables", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;}x}",
            "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;}{\\info{\\title Tavolier: Quotaplan}}x}"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordExport, BookmarkTextsOfASmallPlan) {
    const std::vector<std::string> texts =
        WordBookmarkTexts("Città: A/B", BuildContractHeader(test::SampleForm()), test::SmallPlan());
    ASSERT_EQ(texts.size(), 34u);
    EXPECT_EQ(texts[0], "Città  A B");
    EXPECT_EQ(texts[1], "Maxi.\r\n1° Rata\r\n2° Rata\r\n3° Rata\r\nRiscatto\r\n");
    EXPECT_EQ(texts[2], "\r\n6,00\r\n6,00\r\n5,13\r\n\r\n");
    EXPECT_EQ(texts[3], "15/01/06\r\n15/02/06\r\n15/03/06\r\n15/04/06\r\n15/03/07\r\n");
    EXPECT_EQ(texts[4], "1.234,50\r\n2.995,50\r\n2.995,50\r\n2.099,67\r\n1.009,70\r\n");
    EXPECT_EQ(texts[5], "1.234,50\r\n2.950,50\r\n2.965,25\r\n2.084,25\r\n1.000,00\r\n");
    EXPECT_EQ(texts[6], "8.765,50\r\n6.049,50\r\n3.084,25\r\n1.000,00\r\n0,00\r\n");
    EXPECT_EQ(texts[7], "0,00\r\n45,00\r\n30,25\r\n15,42\r\n9,70\r\n");
    EXPECT_EQ(texts[8], "Tipo Finanziamento");
    EXPECT_EQ(texts[20], "Pagamento");
    EXPECT_EQ(texts[21], "Leasing");
    EXPECT_EQ(texts[29], "Mensile");
    EXPECT_EQ(texts[30], "1.000,00");
    EXPECT_EQ(texts[33], "Anticipato");
}

TEST(WordExport, PairWithoutLabelLeavesBothBookmarksEmpty) {
    ContractHeader header = BuildContractHeader(test::SampleForm());
    header.labels[0] = "";
    FinancialPlan plan = test::SmallPlan();
    plan.Maxicanone = 0;
    plan.Riscatto = 0;
    const std::vector<std::string> texts = WordBookmarkTexts("x", header, plan);
    ASSERT_EQ(texts.size(), 34u);
    EXPECT_EQ(texts[8], "");
    EXPECT_EQ(texts[21], "");
    EXPECT_EQ(texts[9], "Descrizione");
    EXPECT_EQ(texts[22], "Città: A/B");
    EXPECT_EQ(texts[1], "1° Rata\r\n2° Rata\r\n3° Rata\r\n");
}

// The document as unrtf reads it: the title, the text before the tables, the table cells.
struct ReadDocument {
    std::string title;
    std::string text;
    std::vector<std::string> cells;
};

ReadDocument ReadWithUnrtf(const std::filesystem::path& file) {
    ReadDocument document;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_doc.py", file)))) {
        std::string value = fields.size() > 1 ? fields[1] : "";
        for (std::size_t at; (at = value.find("\\n")) != std::string::npos;)
            value.replace(at, 2, "\n");
        if (fields[0] == "title") document.title = value;
        if (fields[0] == "text") document.text = value;
        if (fields[0] == "td") document.cells.push_back(value);
    }
    return document;
}

TEST(WordExport, DocumentFromTheTemplateReadsBackWithUnrtf) {
    TempFolder folder;
    const ContractFormTexts form = test::SampleForm();
    const ExportResult result =
        ExportWord(QUOTAPLAN_TEMPLATE, folder.Path() / "Export", form.descrizione,
                   BuildContractHeader(form), test::SmallPlan());
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.file, folder.Path() / "Export" / "Città  A B.doc");
    const ReadDocument document = ReadWithUnrtf(result.file);
    EXPECT_EQ(document.title, "Tavolier: Quotaplan");
    // unrtf squeezes runs of blanks, which RTF itself keeps.
    EXPECT_NE(document.text.find("Piano finanziario - Città A B"), std::string::npos)
        << document.text;

    // 13 label/value pairs, the 7 headings, the 7 plan columns in page order; unrtf may
    // add an empty cell for the paragraph after the table.
    ASSERT_GE(document.cells.size(), 26u + 7u + 7u);
    const ContractHeader header = BuildContractHeader(form);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(document.cells[2 * i], header.labels[i]);
        EXPECT_EQ(document.cells[2 * i + 1], header.values[i]);
    }
    EXPECT_EQ(document.cells[32], "Interessi");
    for (std::size_t k = 40; k < document.cells.size(); ++k) {
        EXPECT_EQ(document.cells[k].find_first_not_of('\n'), std::string::npos);
    }
    // unrtf hands a cell's leading empty line to the cell before it, so each column is
    // compared without its outer empty lines and the whole row as one text.
    const std::vector<std::string> expected = {"Maxi.\n1° Rata\n2° Rata\n3° Rata\nRiscatto\n",
                                               "15/01/06\n15/02/06\n15/03/06\n15/04/06\n15/03/07\n",
                                               "\n6,00\n6,00\n5,13\n\n",
                                               "1.234,50\n2.995,50\n2.995,50\n2.099,67\n1.009,70\n",
                                               "1.234,50\n2.950,50\n2.965,25\n2.084,25\n1.000,00\n",
                                               "8.765,50\n6.049,50\n3.084,25\n1.000,00\n0,00\n",
                                               "0,00\n45,00\n30,25\n15,42\n9,70\n"};
    auto trimmed = [](const std::string& text) {
        const std::size_t first = text.find_first_not_of('\n');
        if (first == std::string::npos) return std::string();
        return text.substr(first, text.find_last_not_of('\n') - first + 1);
    };
    std::string row, expectedRow;
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(trimmed(document.cells[33 + c]), trimmed(expected[c])) << "column " << c;
        row += document.cells[33 + c];
        expectedRow += expected[c];
    }
    EXPECT_EQ(row, expectedRow);
}

TEST(WordExport, TemplateWithOnlyThePlanBookmarksGivesThePlanWithoutHeading) {
    TempFolder folder;
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\n";
    for (int j = 1; j <= 7; ++j) {
        rtf += "\\pard{\\*\\bkmkstart STEP" + std::to_string(j) + "}{\\*\\bkmkend STEP" +
               std::to_string(j) + "}\\par\n";
    }
    rtf += "}";
    std::ofstream(folder.Path() / "solo.dot", std::ios::binary) << rtf;
    const ExportResult result =
        ExportWord(folder.Path() / "solo.dot", folder.Path(), "Solo",
                   BuildContractHeader(test::SampleForm()), test::SmallPlan());
    ASSERT_TRUE(result.Ok()) << result.message;
    const std::string document = ReadBytes(result.file);
    EXPECT_NE(document.find("{\\*\\bkmkstart STEP1}Maxi.\\line 1\\'b0 Rata\\line "),
              std::string::npos);
    EXPECT_NE(document.find("{\\info{\\title Tavolier: Quotaplan}}"), std::string::npos);
    EXPECT_EQ(document.find("Leasing"), std::string::npos);
}

TEST(WordExport, MissingTemplateWritesNothingAndNamesTheFile) {
    TempFolder folder;
    const std::filesystem::path missing = folder.Path() / "pda.dot";
    const ExportResult result =
        ExportWord(missing, folder.Path() / "Export", "x", BuildContractHeader(test::SampleForm()),
                   test::SmallPlan());
    EXPECT_EQ(result.code, ExportCode::TemplateMissing);
    EXPECT_EQ(result.message,
              "Il modello " + missing.string() + " non esiste: il documento non è stato creato.");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Export"));
}

// A FIFO in the template's place is refused without waiting on it, a device without
// reading it.
TEST(WordExport, TemplateThatIsNotAnRtfFileWritesNothing) {
    TempFolder folder;
    const std::filesystem::path bad = folder.Path() / "pda.dot";
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"not RTF", [&] { std::ofstream(bad) << "PK not a document"; }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(bad.c_str(), 0600), 0); }},
        {"device", [&] { std::filesystem::create_symlink("/dev/null", bad); }},
        {"folder", [&] { std::filesystem::create_directory(bad); }}};
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(bad);
        make();
        const ExportResult result =
            ExportWord(bad, folder.Path() / "Export", "x", BuildContractHeader(test::SampleForm()),
                       test::SmallPlan());
        EXPECT_EQ(result.code, ExportCode::TemplateUnreadable);
        EXPECT_EQ(result.message, "Il modello " + bad.string() +
                                      " non è leggibile: il documento non è stato creato.");
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Export"));
    }
}

TEST(WordExport, NothingIsWrittenBeforeTheFirstCalculation) {
    TempFolder folder;
    EXPECT_EQ(
        ExportWord(QUOTAPLAN_TEMPLATE, folder.Path(), "x", ContractHeader{}, FinancialPlan{}).code,
        ExportCode::NoPlan);
    EXPECT_TRUE(test::FileNames(folder.Path()).empty());
}

}  // namespace
}  // namespace quotaplan
