#include "data/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "archive_fixture.h"

namespace quotaplan {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class IniFileTest : public ::testing::Test {
protected:
    testing::TempArchive folder;
    std::filesystem::path ini = folder.Folder() / "prova.ini";
};

TEST_F(IniFileTest, ReadsWithTheProfileRules) {
    const std::string longValue(300, 'v');
    std::ofstream(ini)
        << "; commento\r\n[Altro]\r\nPATH=no\r\n[database]\r\n  path =  /dati/qp  \r\n"
        << "PATH=seconda\r\nFILE=\"Archivio.mdb\"\r\nLUNGO=" << longValue << "\r\nVUOTO=\r\n";
    EXPECT_EQ(ReadIniValue(ini, "DATABASE", "PATH"), "/dati/qp");
    EXPECT_EQ(ReadIniValue(ini, "Database", "file"), "Archivio.mdb");
    EXPECT_EQ(ReadIniValue(ini, "DATABASE", "LUNGO"), std::string(255, 'v'));
    EXPECT_EQ(ReadIniValue(ini, "DATABASE", "VUOTO"), "");
    EXPECT_EQ(ReadIniValue(ini, "DATABASE", "MANCA"), "");
    EXPECT_EQ(ReadIniValue(ini, "MANCA", "PATH"), "");
    EXPECT_EQ(ReadIniValue(folder.Folder() / "manca.ini", "DATABASE", "PATH"), "");
}

TEST_F(IniFileTest, WritesEntriesInTheOrderWritten) {
    ASSERT_TRUE(WriteIniValue(ini, "DEFAULT", "BASEURL", "http://h/index.asp?cat=1"));
    ASSERT_TRUE(WriteIniValue(ini, "InternetShortcut", "URL", "http://h/quotaplan.html"));
    ASSERT_TRUE(WriteIniValue(ini, "InternetShortcut", "Modified", "103DE468B8E8C201FC"));
    ASSERT_TRUE(WriteIniValue(ini, "default", "Nuovo", "1"));
    ASSERT_TRUE(WriteIniValue(ini, "INTERNETSHORTCUT", "url", "http://h/altro.html"));
    EXPECT_EQ(ReadAll(ini),
              "[DEFAULT]\r\nBASEURL=http://h/index.asp?cat=1\r\nNuovo=1\r\n[InternetShortcut]\r\n"
              "url=http://h/altro.html\r\nModified=103DE468B8E8C201FC\r\n");
    EXPECT_EQ(ReadIniValue(ini, "InternetShortcut", "URL"), "http://h/altro.html");
    EXPECT_FALSE(WriteIniValue(folder.Folder() / "manca" / "x.ini", "A", "B", "C"));
}

}  // namespace
}  // namespace quotaplan
