#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/drawn_pictures.h"
#include "cli/picture_program.h"
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
        const int status = RunQuotaplanCalc(args, out, err, folder_, DrawnPictures());
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // What pdftotext reads in the file, the typographic "ﬁ" it returns unfolded.
    static std::string PdfText(const fs::path& file) {
        const fs::path text = file.string() + ".txt";
        const std::string command =
            "pdftotext -enc UTF-8 '" + file.string() + "' '" + text.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::string read = Read(text);
        for (std::size_t at; (at = read.find("\xEF\xAC\x81")) != std::string::npos;) {
            read.replace(at, 3, "fi");
        }
        return read;
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
    for (const char* line : {"\r\nValore finanziato;1.234.567,50\r\nAnticipo;1.000,00\r\n",
                             "\r\n1\xB0 Rata;", "\r\nMaxi.;", "\r\nRiscatto;"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
}

// The heading shows the amounts as given, to the cent, not as their 32-bit terms.
TEST_F(CalcExport, HeadingAmountsAreTheGivenOnes) {
    ASSERT_EQ(Run({"--export", "txt", "--value", "1234567.89", "--maxi", "150000.03", "--buyout",
                   "16777217", "--rate", "5.126", "--spread", "0.004"}),
              0)
        << err_;
    const std::string text = Read(folder_ / "Export" / "Auto  A B.txt");
    for (const char* lines : {"\r\nValore finanziato;1.234.567,89\r\nAnticipo;150.000,03\r\n"
                              "Spread;0,00\r\nTasso;5,13\r\n",
                              "\r\nRiscatto;16.777.217,00\r\n"}) {
        EXPECT_NE(text.find(lines), std::string::npos) << lines << "\n" << text;
    }
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

// The PDF of the plan with its chart, as the window's "File PDF" writes it: pdftotext reads
// the heading block with the calculation's figures, every row, the TAEG of the page heads
// ("taeg": 9.23 in the JSON) and the pages' numbers.
TEST_F(CalcExport, PdfOfThePlanAndItsChart) {
    ASSERT_EQ(Run({"--export", "pdf", "--type", "Leasing", "--contract-fees", "150"}), 0) << err_;
    const fs::path file = folder_ / "Export" / "Auto  A B.pdf";
    EXPECT_EQ(out_, file.string() + "\n");
    EXPECT_EQ(err_, "");
    const std::string text = PdfText(file);
    for (const char* expected :
         {"Piano finanziario - Auto: A/B", "Tipo Finanziamento", "Leasing", "Valore finanziato",
          "10.000,00", "Spese contratto", "150,00", "Totale pagato", "TAEG 9,23%", "Maxi.",
          "1° Rata", "12° Rata", "Riscatto", "Quota capitale", "Pagina 2 di 2"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

// The chart alone, as a PNG picture of 1600 x 900.
TEST_F(CalcExport, ChartPicture) {
    const fs::path out = folder_ / "immagini";
    ASSERT_EQ(Run({"--export", "png", "--out", out.string()}), 0) << err_;
    EXPECT_EQ(err_, "");
    const std::string png = Read(out / "Auto  A B.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    auto bigEndian = [&png](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) |
               (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) |
               static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), 1600u);
    EXPECT_EQ(bigEndian(20), 900u);
}

// The calculator's drawing program: beside it in the ready-to-run folder, in
// ../libexec/quotaplan once installed, and only an executable file counts.
TEST_F(CalcExport, DrawingProgramBesideOrInLibexec) {
    const fs::path bin = folder_ / "usr" / "bin";
    const fs::path libexec = folder_ / "usr" / "libexec" / "quotaplan";
    fs::create_directories(bin);
    fs::create_directories(libexec);
    EXPECT_EQ(FindPictureProgram(bin), std::nullopt);
    std::ofstream(libexec / "quotaplan-calc-pictures") << "#!/bin/sh\n";
    EXPECT_EQ(FindPictureProgram(bin), std::nullopt);  // not executable
    fs::permissions(libexec / "quotaplan-calc-pictures", fs::perms::owner_exec,
                    fs::perm_options::add);
    EXPECT_EQ(FindPictureProgram(bin), libexec / "quotaplan-calc-pictures");
    fs::create_directory(bin / "quotaplan-calc-pictures");  // a folder is no program
    EXPECT_EQ(FindPictureProgram(bin), libexec / "quotaplan-calc-pictures");
    fs::remove(bin / "quotaplan-calc-pictures");
    fs::copy_file(libexec / "quotaplan-calc-pictures", bin / "quotaplan-calc-pictures");
    EXPECT_EQ(FindPictureProgram(bin), bin / "quotaplan-calc-pictures");
}

// Without its drawing program the calculator says where it is missing, and writes nothing.
TEST_F(CalcExport, MissingDrawingProgramIsNamed) {
    std::ostringstream out, err;
    EXPECT_EQ(
        RunQuotaplanCalc({"--value", "10000", "--rate", "6", "--count", "12", "--export", "pdf"},
                         out, err, folder_, PicturesByProgram({}, folder_)),
        1);
    EXPECT_EQ(err.str(),
              "Il programma quotaplan-calc-pictures, che disegna i file PDF e PNG, "
              "manca in " +
                  folder_.string() + ".\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(
        RunQuotaplanCalc({"--value", "10000", "--rate", "6", "--count", "12", "--export", "png"},
                         out, err, folder_),
        1);
    EXPECT_FALSE(fs::exists(folder_ / "Export"));
}

TEST_F(CalcExport, RefusalsWriteNothing) {
    fs::remove(folder_ / "pda.dot");
    EXPECT_EQ(Run({"--export", "doc"}), 1);
    EXPECT_NE(err_.find("pda.dot"), std::string::npos) << err_;
    EXPECT_EQ(Run({"--export", "odt"}), 2);
    EXPECT_EQ(err_, "Valore non valido per --export: \"odt\" (txt, xls, doc, pdf o png)\n");
    EXPECT_EQ(Run({"--export", "txt", "--solve", "rate", "--instalment", "800"}), 2);
    EXPECT_TRUE(out_.empty());
    EXPECT_FALSE(fs::exists(folder_ / "Export" / "Auto  A B.doc"));
    EXPECT_FALSE(fs::exists(folder_ / "Export" / "Auto  A B.txt"));
}

}  // namespace
}  // namespace quotaplan
