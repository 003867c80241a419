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

}  // namespace
