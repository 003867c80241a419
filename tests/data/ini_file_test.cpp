#include "data/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "archive_fixture.h"

namespace quotaplan {
namespace {

TEST(IniText, ReadsWithTheProfileRules) {
    const std::string longValue(300, 'v');
    const std::string text = "; commento\r\n[Altro]\r\nPATH=no\r\n[database]\r\n  path =  /dati/qp  "
                             "\r\nPATH=seconda\r\nFILE=\"Archivio.mdb\"\r\nLUNGO=" +
                             longValue + "\r\nVUOTO=\r\nULTIMA=senza a capo";
    EXPECT_EQ(IniValueFromText(text, "DATABASE", "PATH"), "/dati/qp");
    EXPECT_EQ(IniValueFromText(text, "Database", "file"), "Archivio.mdb");
    EXPECT_EQ(IniValueFromText(text, "DATABASE", "LUNGO"), std::string(255, 'v'));
    EXPECT_EQ(IniValueFromText(text, "DATABASE", "VUOTO"), "");
    EXPECT_EQ(IniValueFromText(text, "DATABASE", "ULTIMA"), "senza a capo");
    EXPECT_EQ(IniValueFromText(text, "DATABASE", "MANCA"), "");
    EXPECT_EQ(IniValueFromText(text, "MANCA", "PATH"), "");
}

// What many editors put before the first line: the section must still be found.
TEST(IniText, AByteOrderMarkIsSkipped) {
    EXPECT_EQ(IniValueFromText("\xEF\xBB\xBF[DATABASE]\r\nFILE=Archivio.mdb\r\n", "DATABASE",
                               "FILE"),
              "Archivio.mdb");
    EXPECT_EQ(IniValueFromText("\xEF\xBB\xBF[DATABASE]\nFILE=a\n", "DATABASE", "FILE"), "a");
    // Only at the very start: elsewhere the bytes are part of the text.
    EXPECT_EQ(IniValueFromText("[DATABASE]\n\xEF\xBB\xBF"
                               "FILE=a\n",
                               "DATABASE", "FILE"),
              "");
}

TEST(IniText, WritesEntriesInTheOrderWritten) {
    std::string text = IniTextWithValue("", "DEFAULT", "BASEURL", "http://h/index.asp?cat=1");
    text = IniTextWithValue(text, "InternetShortcut", "URL", "http://h/quotaplan.html");
    text = IniTextWithValue(text, "InternetShortcut", "Modified", "103DE468B8E8C201FC");
    text = IniTextWithValue(text, "default", "Nuovo", "1");
    text = IniTextWithValue(text, "INTERNETSHORTCUT", "url", "http://h/altro.html");
    EXPECT_EQ(text,
              "[DEFAULT]\r\nBASEURL=http://h/index.asp?cat=1\r\nNuovo=1\r\n[InternetShortcut]\r\n"
              "url=http://h/altro.html\r\nModified=103DE468B8E8C201FC\r\n");
    EXPECT_EQ(IniValueFromText(text, "InternetShortcut", "URL"), "http://h/altro.html");
}

class IniFileTest : public ::testing::Test {
protected:
    testing::TempArchive folder;
    std::filesystem::path ini = folder.Folder() / "prova.ini";
};

TEST_F(IniFileTest, ReadsARegularFile) {
    std::ofstream(ini) << "[DATABASE]\nPATH=/dati/qp\n";
    EXPECT_EQ(ReadIniValue(ini, "DATABASE", "PATH"), "/dati/qp");
    EXPECT_EQ(ReadIniValue(folder.Folder() / "manca.ini", "DATABASE", "PATH"), "");
    EXPECT_EQ(ReadIniFile(folder.Folder() / "manca.ini").status, FileReadStatus::Missing);
}

// Anything but a small regular file is refused before a byte of it is read, so a FIFO
// cannot stop the program and a device cannot fill its memory.
TEST_F(IniFileTest, OnlyASmallRegularFileIsRead) {
    const auto fifo = folder.Folder() / "coda.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto toZero = folder.Folder() / "zero.ini";
    std::filesystem::create_symlink("/dev/zero", toZero);
    const auto nowhere = folder.Folder() / "rotto.ini";
    std::filesystem::create_symlink(folder.Folder() / "non-esiste.ini", nowhere);
    const auto atLimit = folder.Folder() / "limite.ini";
    std::ofstream(atLimit) << "[DATABASE]\nFILE=a\n" << std::string(kIniFileMaxBytes - 18, ';');
    const auto overLimit = folder.Folder() / "oltre.ini";
    std::ofstream(overLimit) << "[DATABASE]\nFILE=a\n" << std::string(kIniFileMaxBytes - 17, ';');

    const struct {
        std::filesystem::path file;
        FileReadStatus status;
    } cases[] = {{fifo, FileReadStatus::NotRegular},
                 {toZero, FileReadStatus::NotRegular},
                 {folder.Folder(), FileReadStatus::NotRegular},
                 {nowhere, FileReadStatus::BrokenLink},
                 {atLimit, FileReadStatus::Read},
                 {overLimit, FileReadStatus::TooLarge}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        const auto read = ReadIniFile(c.file);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(read.bytes.size(), c.status == FileReadStatus::Read ? kIniFileMaxBytes : 0u);
    }
    EXPECT_EQ(ReadIniValue(atLimit, "DATABASE", "FILE"), "a");
    EXPECT_EQ(ReadIniValue(overLimit, "DATABASE", "FILE"), "");
}

}  // namespace
}  // namespace quotaplan
