// A file written aside and renamed into place: what bears the name is kept when asked, and
// a failed write leaves nothing behind.
#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <set>

#include "common/file_io.h"

namespace fs = std::filesystem;
using namespace quotaplan;

namespace {

class AtomicFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quotaplan-atomic-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    AtomicWriteStatus Write(WhenFileExists whenExists, const std::string& bytes,
                            bool fills = true) {
        return WriteFileAtomically(folder_ / "archivio", ".prova-", whenExists,
                                   [&](int fd) { return WriteAll(fd, bytes) && fills; });
    }
    std::string Read() const {
        std::ifstream in(folder_ / "archivio", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder_;
};

TEST_F(AtomicFile, KeepNeverReplacesWhatBearsTheName) {
    EXPECT_EQ(Write(WhenFileExists::Keep, "primo"), AtomicWriteStatus::Written);
    EXPECT_EQ(Write(WhenFileExists::Keep, "secondo"), AtomicWriteStatus::KeptExisting);
    EXPECT_EQ(Read(), "primo");
    EXPECT_EQ(Names(), std::set<std::string>{"archivio"});

    EXPECT_EQ(Write(WhenFileExists::Replace, "terzo"), AtomicWriteStatus::Written);
    EXPECT_EQ(Read(), "terzo");
    EXPECT_EQ(Names(), std::set<std::string>{"archivio"});
}

TEST_F(AtomicFile, AFailedFillLeavesNothing) {
    for (const WhenFileExists whenExists : {WhenFileExists::Keep, WhenFileExists::Replace}) {
        EXPECT_EQ(Write(whenExists, "a metà", false), AtomicWriteStatus::Failed);
        EXPECT_TRUE(Names().empty());
    }
}

// A writer that opens the file by its name: what a killed one left (the temporary and the
// journal named after it) goes at the next write, but not what a live writer holds.
TEST_F(AtomicFile, AWriterByNameFindsItsTemporaryAndItsLeftoversGo) {
    std::ofstream(folder_ / ".prova-Ab12Cd") << "a metà";
    std::ofstream(folder_ / ".prova-Ab12Cd-journal") << "diario";
    std::ofstream(folder_ / ".prova-altro-journal") << "di nessuno";
    fs::path written;
    std::set<std::string> during;
    const auto status = WriteNamedFileAtomically(
        folder_ / "archivio", ".prova-", WhenFileExists::Keep, [&](const fs::path& temporary) {
            written = temporary;
            during = Names();
            std::ofstream(temporary) << "intero";
            std::ofstream(fs::path(temporary.string() + "-journal")) << "in uso";
            // A second writer meanwhile leaves this one's files alone.
            EXPECT_EQ(Write(WhenFileExists::Keep, "secondo"), AtomicWriteStatus::Written);
            fs::remove(temporary.string() + "-journal");
            return true;
        });
    EXPECT_EQ(status, AtomicWriteStatus::KeptExisting);
    EXPECT_EQ(written.parent_path(), folder_);
    EXPECT_EQ(during, (std::set<std::string>{written.filename().string(), ".prova-altro-journal"}));
    EXPECT_EQ(Read(), "secondo");
    EXPECT_EQ(Names(), (std::set<std::string>{"archivio", ".prova-altro-journal"}));
}

}  // namespace
