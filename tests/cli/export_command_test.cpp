#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/quotaplan_calc.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

// A program folder of its own for each test, with the Word template beside the program.
class CalcExport : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quotaplan-export-" + std::to_string(::getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::copy_file(fs::path(QUOTAPLAN_SOURCE_DIR) / "resources" / "pda.dot",
                      folder_ / "pda.dot");
    }
    void TearDown() override { fs::remove_all(folder_); }

    int Run(std::vector<std::string> extra) {
        std::vector<std::string> args = {
            "--value",      "10000",      "--maxi",          "1000",
            "--buyout",     "500",        "--rate",          "6",
            "--count",      "12",         "--contract-date", "2006-01-15",
            "--first-date", "2006-02-15", "--description",   "Auto: A/B"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        const int status = RunQuotaplanCalc(args, out, err, folder_);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    std::string out_, err_;
};

TEST_F(CalcExport, TextGoesToTheExportFolderBesideTheProgram) {
    ASSERT_EQ(Run({"--export", "txt", "--type", "Leasing", "--value", "1234567.5"}), 0) << err_;
    const fs::path file = folder_ / "Export" / "Auto  A B.txt";
    EXPECT_EQ(out_, file.string() + "\n");
    const std::string text = Read(file);
    EXPECT_EQ(text.rfind("Tipo Finanziamento;Leasing\r\nDescrizione;Auto: A/B\r\n", 0), 0u) << text;
    // Amounts in the heading keep their cents, as the form's fields show them.
    EXPECT_NE(text.find("\r\nValore finanziato;1.234.567,50\r\nAnticipo;1.000,00\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\n1\xB0 Rata;"), std::string::npos);
    EXPECT_NE(text.find("\r\nMaxi.;"), std::string::npos);
    EXPECT_NE(text.find("\r\nRiscatto;"), std::string::npos);
}

// The heading shows the amounts as given, to the cent, not as their 32-bit terms.
TEST_F(CalcExport, HeadingAmountsAreTheGivenOnes) {
    ASSERT_EQ(Run({"--export", "txt", "--value", "1234567.89", "--maxi", "150000.03", "--buyout",
                   "16777217", "--rate", "5.126", "--spread", "0.004"}),
              0)
        << err_;
    const std::string text = Read(folder_ / "Export" / "Auto  A B.txt");
    EXPECT_NE(text.find("\r\nValore finanziato;1.234.567,89\r\nAnticipo;150.000,03\r\n"
                        "Spread;0,00\r\nTasso;5,13\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nRiscatto;16.777.217,00\r\n"), std::string::npos) << text;
}

TEST_F(CalcExport, WorkbookAndDocumentGoToTheChosenFolder) {
    const fs::path out = folder_ / "elsewhere" / "deeper";
    ASSERT_EQ(Run({"--export", "xls", "--out", out.string()}), 0) << err_;
    EXPECT_EQ(Read(out / "Auto  A B.xls").substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    ASSERT_EQ(Run({"--export", "doc", "--out", out.string()}), 0) << err_;
    const std::string document = Read(out / "Auto  A B.doc");
    EXPECT_EQ(document.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(document.find("Tavolier: Quotaplan"), std::string::npos);
}

TEST_F(CalcExport, RefusalsWriteNothing) {
    fs::remove(folder_ / "pda.dot");
    EXPECT_EQ(Run({"--export", "doc"}), 1);
    EXPECT_NE(err_.find("pda.dot"), std::string::npos) << err_;
    EXPECT_EQ(Run({"--export", "pdf"}), 2);
    EXPECT_EQ(Run({"--export", "txt", "--solve", "rate", "--instalment", "800"}), 2);
    EXPECT_TRUE(out_.empty());
    EXPECT_FALSE(fs::exists(folder_ / "Export" / "Auto  A B.doc"));
    EXPECT_FALSE(fs::exists(folder_ / "Export" / "Auto  A B.txt"));
}

}  // namespace
}  // namespace quotaplan
