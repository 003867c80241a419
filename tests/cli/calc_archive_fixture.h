#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../data/archive_fixture.h"
#include "cli/quotaplan_calc.h"

namespace quotaplan::test {

namespace fs = std::filesystem;

// `args` followed by `more`.
inline std::vector<std::string> Plus(std::vector<std::string> args,
                                     const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Each test works on its own new archive, on each engine: quotaplan-calc gets it with --db.
class CalcArchive : public ::testing::TestWithParam<EngineKind> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive_); }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--db", archive_.Address()});
        return RunPlain(args);
    }

    // Without --db: the archive configured beside the program (the test's folder).
    int RunPlain(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = RunQuotaplanCalc(args, out, err, archive_.Folder());
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    // The output of a run that must succeed.
    std::string Ok(const std::vector<std::string>& args) {
        EXPECT_EQ(Run(args), 0) << err_;
        return out_;
    }

    // A run refused with exit status 2, the message and nothing on standard output.
    void Refused(const std::vector<std::string>& args, const std::string& message) {
        EXPECT_EQ(Run(args), 2) << out_;
        EXPECT_EQ(err_, message + "\n");
        EXPECT_EQ(out_, "");
    }

    int Save(const std::string& description, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {
            "--save",          description,  "--value",      "30000",     "--maxi",  "3000",
            "--buyout",        "3000",       "--rate",       "7.5",       "--count", "12",
            "--contract-date", "2026-01-15", "--first-date", "2026-02-15"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }

    Database Open() const { return archive_.Open(); }

    quotaplan::testing::TempArchive archive_{GetParam()};
    std::string out_, err_;
};

// The cases about the archive file itself.
class CalcSqliteArchive : public CalcArchive {};

}  // namespace quotaplan::test
