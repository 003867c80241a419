#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/quotaplan_calc.h"

namespace quotaplan::test {

namespace fs = std::filesystem;

// Each test works on its own copy of a new archive.
class CalcArchive : public testing::Test {
protected:
    void SetUp() override {
        archive_ = fs::temp_directory_path() /
                   ("quotaplan-cli-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name() + ".mdb");
        fs::copy_file(QUOTAPLAN_PRISTINE_ARCHIVE, archive_, fs::copy_options::overwrite_existing);
    }
    void TearDown() override { fs::remove(archive_); }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--db", archive_.string()});
        std::ostringstream out, err;
        const int status = RunQuotaplanCalc(args, out, err, archive_.parent_path());
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    int Save(const std::string& description, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {
            "--save",          description,  "--value",      "30000",     "--maxi",  "3000",
            "--buyout",        "3000",       "--rate",       "7.5",       "--count", "12",
            "--contract-date", "2026-01-15", "--first-date", "2026-02-15"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }

    fs::path archive_;
    std::string out_, err_;
};

}  // namespace quotaplan::test
