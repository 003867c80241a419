#include "data/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "archive_fixture.h"
#include "common/utf8.h"

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

// The file's bytes for `text`: a byte-order mark, then each UTF-16 unit in that order.
std::string Utf16File(std::u16string_view text, ByteOrder order) {
    std::string bytes = order == ByteOrder::LittleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += order == ByteOrder::LittleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

// Windows Notepad saves "Unicode" as UTF-16 with a byte-order mark; read as bytes, every line
// would hold a zero byte after each letter and no key would be found.
TEST(IniText, ReadsUtf16ByItsByteOrderMark) {
    const std::u16string text = u"[DATABASE]\r\nPATH=/dati/Società\r\nFILE=Archivio 😀.mdb\r\n";
    const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
    const struct {
        const char* name;
        std::string bytes;
        const char* key;
        std::string value;
    } cases[] = {
        {"little-endian", Utf16File(text, ByteOrder::LittleEndian), "PATH", "/dati/Società"},
        {"little-endian, a surrogate pair", Utf16File(text, ByteOrder::LittleEndian), "FILE",
         "Archivio 😀.mdb"},
        {"big-endian", Utf16File(text, ByteOrder::BigEndian), "PATH", "/dati/Società"},
        {"big-endian, a surrogate pair", Utf16File(text, ByteOrder::BigEndian), "FILE",
         "Archivio 😀.mdb"},
        {"a surrogate without its partner",
         Utf16File(u"[DATABASE]\nFILE=a\xD83D" u"b\n", ByteOrder::LittleEndian), "FILE",
         "a" + replacement + "b"},
        {"an odd byte at the end", Utf16File(u"[DATABASE]\nFILE=a", ByteOrder::LittleEndian) + "b",
         "FILE", "a" + replacement},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IniValueFromText(c.bytes, "DATABASE", c.key), c.value);
    }
    // Written back as UTF-8, which is what the other files of the program are.
    EXPECT_EQ(IniTextWithValue(Utf16File(u"[A]\r\nK=è\r\n", ByteOrder::BigEndian), "A", "N", "w"),
              "[A]\r\nK=è\r\nN=w\r\n");
}

// Writing reads the text through its mark and writes UTF-8: whatever stood after the mark
// must not become a mark of its own when the file is read again, or the values move.
TEST(IniText, TextWrittenReadsAsTheTextItCameFrom) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"a UTF-8 mark, then the bytes of a UTF-16 mark",
         "\xEF\xBB\xBF\xFE\xFF[A]\r\nK=1\r\n[B]\r\nK=2\r\n"},
        {"two UTF-8 marks", "\xEF\xBB\xBF\xEF\xBB\xBF[A]\r\nK=1\r\n[B]\r\nK=2\r\n"},
        {"UTF-16 with a second mark",
         Utf16File(u"\xFEFF[A]\r\nK=1\r\n[B]\r\nK=2\r\n", ByteOrder::LittleEndian)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string written = IniTextWithValue(c.bytes, "B", "N", "w");
        EXPECT_EQ(IniValueFromText(written, "B", "N"), "w");
        EXPECT_EQ(IniValueFromText(written, "A", "K"), IniValueFromText(c.bytes, "A", "K"));
        EXPECT_EQ(IniValueFromText(written, "B", "K"), "2");
    }
    // A plain text is written back as it was, without a mark.
    EXPECT_EQ(IniTextWithValue("[A]\r\nK=1\r\n", "A", "N", "w"), "[A]\r\nK=1\r\nN=w\r\n");
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
