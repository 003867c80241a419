// The summary views of an archive made by an earlier Quotaplan are replaced by this
// version's when the archive is opened for writing; newer views, and a read-only archive,
// are left as they are.
#include "data/archive_views.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive_fixture.h"
#include "common/clock.h"
#include "data/connection.h"
#include "data/contract_store.h"
#include "data/summary_queries.h"

namespace quotaplan {
namespace {

using testing::Engine;
using testing::TempArchive;

class ArchiveViews : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        QP_REQUIRE_ARCHIVE(archive);
        Database db = archive.Open();
        RecordingMessageBoxes boxes;
        ContractStore store(db, boxes);
        ASSERT_EQ(testing::SaveNewContract(store, "Beta").status, SaveStatus::Saved);
    }

    // The views as an earlier version left them: the month's instalments without the
    // contract's ID, and `stamp` as the recorded version (none when 0).
    void MakeViewsOlder(int stamp) {
        Database db = archive.Open();
        ASSERT_TRUE(db.ExecuteScript(testing::OlderViewsSql(GetParam(), stamp)))
            << db.Errors().back().description;
    }

    // The ID of the first instalment of the month, through OpenArchive as the program opens.
    std::int32_t FirstIdSeenOnOpen() {
        RecordingMessageBoxes boxes;
        auto db = OpenArchive(LocationOfAddress(archive.Address()), boxes);
        EXPECT_TRUE(boxes.shown.empty());
        if (!db) return -1;
        const auto month = InstalmentsThisMonth(*db);
        return month.empty() ? -1 : month.front().ID;
    }

    ScopedToday today{*CalendarDate::FromYmd(2024, 3, 20)};
    TempArchive archive{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveViews, testing::kEngines, testing::EngineName);

TEST_P(ArchiveViews, ANewArchiveHasTheCurrentViews) {
    Database db = archive.Open();
    EXPECT_EQ(SummaryViewsVersion(db), kSummaryViewsVersion);
}

TEST_P(ArchiveViews, OlderViewsAreReplacedOnOpen) {
    MakeViewsOlder(kSummaryViewsVersion - 1);
    {
        Database db = archive.Open();
        EXPECT_EQ(SummaryViewsVersion(db), kSummaryViewsVersion - 1);
    }
    EXPECT_EQ(FirstIdSeenOnOpen(), 1);
    Database db = archive.Open();
    EXPECT_EQ(SummaryViewsVersion(db), kSummaryViewsVersion);
}

// A later Quotaplan's views are not taken back to this version's.
TEST_P(ArchiveViews, NewerViewsStay) {
    MakeViewsOlder(kSummaryViewsVersion + 1);
    EXPECT_EQ(FirstIdSeenOnOpen(), 0);
    Database db = archive.Open();
    EXPECT_EQ(SummaryViewsVersion(db), kSummaryViewsVersion + 1);
}

TEST(ArchiveViewsSqlite, AReadOnlyArchiveIsNotWritten) {
    TempArchive archive;
    {
        Database db = archive.Open();
        ASSERT_TRUE(db.ExecuteScript(testing::OlderViewsSql(Engine::Sqlite, 0)));
    }
    namespace fs = std::filesystem;
    fs::permissions(archive.File(), fs::perms::owner_read);
    RecordingMessageBoxes boxes;
    auto db = OpenArchive(LocationOfAddress(archive.Address()), boxes);
    ASSERT_TRUE(db.has_value());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(SummaryViewsVersion(*db), 0);
    EXPECT_FALSE(Recordset(*db, "SELECT * FROM qryRLeaMese").HasField("ID"));
}

}  // namespace
}  // namespace quotaplan
